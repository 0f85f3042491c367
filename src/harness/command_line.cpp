#include "harness/command_line.h"

#include <charconv>

#include "game/player_models.h"

namespace qv {
namespace {

template <typename T>
bool Number(const std::string& s, T& out) {
  const char* end = s.data() + s.size();
  auto [ptr, ec] = std::from_chars(s.data(), end, out);
  return !s.empty() && ec == std::errc() && ptr == end;
}

}  // namespace

Expected<CommandLine> ParseCommandLine(const std::vector<std::string>& args) {
  CommandLine out;
  std::string error;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const auto value = [&](std::string& v) {
      if (i + 1 >= args.size()) {
        error = a + " needs a value";
        return false;
      }
      v = args[++i];
      return true;
    };
    std::string v;
    if (a == "--headless")
      out.headless = true;
    else if (a == "--fullscreen")
      out.fullscreen = true;
    else if (a == "--windowed")
      out.fullscreen = false;
    else if (a == "--no-sound")
      out.no_sound = true;
    else if (a == "--render-all")
      out.render_all = true;
    else if (a == "--virtual-clock")
      out.virtual_clock = true;
    else if (a == "--no-vsync")
      out.no_vsync = true;
    else if (a == "--autoplay")
      out.autoplay = true;
    else if (a == "--help" || a == "-h")
      out.help = true;
    else if (a == "--version")
      out.version = true;
    else if (a == "--dir") {
      if (!value(out.dir)) return Fail(error);
    } else if (a == "--pack") {
      if (!value(out.pack)) return Fail(error);
    } else if (a == "--script") {
      if (!value(out.script)) return Fail(error);
    } else if (a == "--record") {
      if (!value(out.record)) return Fail(error);
    } else if (a == "--replay") {
      if (!value(out.replay)) return Fail(error);
      out.headless = true;  // a replay runs on the virtual clock
    } else if (a == "--events") {
      if (!value(out.events)) return Fail(error);
    } else if (a == "--seed") {
      if (!value(v)) return Fail(error);
      if (!Number(v, out.seed)) {
        return Fail("--seed needs a number from 0 to 4294967295, not '" + v + "'");
      }
      out.has_seed = true;
    } else if (a == "--autoplay-skill") {
      if (!value(v)) return Fail(error);
      const PlayerModel* found = nullptr;
      for (const PlayerModel& m : kPlayerModels) {
        if (v == m.name) found = &m;
      }
      if (!found) {
        return Fail("--autoplay-skill needs casual, average, expert or perfect, not '" + v + "'");
      }
      out.autoplay = true;
      out.autoplay_skill = found->skill;
    } else if (a == "--ticks") {
      if (!value(v)) return Fail(error);
      std::uint64_t n = 0;
      if (!Number(v, n)) {
        return Fail("--ticks needs a whole number, not '" + v + "'");
      }
      out.ticks = n;
    } else {
      return Fail("unknown option '" + a + "'");
    }
  }
  if (!out.events.empty() &&
      (out.events == out.record || out.events == out.script || out.events == out.replay)) {
    return Fail("--events needs a file of its own, not '" + out.events + "'");
  }
  if (out.script == "-" && out.replay == "-") {
    return Fail("--script and --replay cannot both read standard input");
  }
  return out;
}

std::string UsageText() {
  return "Usage: quorvex [OPTION]...\n"
         "Quorvex, an arcade puzzle game. Without options it plays in the per-user game folder.\n"
         "\n"
         "Playing:\n"
         "  --fullscreen   start fullscreen, this run only (options.txt is left as it is)\n"
         "  --windowed     start in a window, this run only\n"
         "  --no-sound     play without sound\n"
         "  --dir DIR      the game folder (content, options.txt, saves, log.txt)\n"
         "  --help         this text\n"
         "  --version      the version\n"
         "\n"
         "Testing and bug reports:\n"
         "  --pack DIR     lay this content pack into the game folder first (options.txt\n"
         "                 only when the folder has none)\n"
         "  --headless     no window, no sound card, virtual 10 ms clock, boxes to stderr\n"
         "  --render-all   with --headless: rasterise every frame, not only screenshots\n"
         "  --no-vsync     draw every tick and present at once, not in step with the display\n"
         "  --virtual-clock  the window on the headless run's clock: ticks back to back, 10 ms\n"
         "                 apart in game time, so a script's frames match the headless run's\n"
         "  --seed N       seed the random generator with N instead of the clock\n"
         "  --script FILE  scripted input and captures, one 'TICK command' per line; a pipe\n"
         "                 will do, - reads standard input; captures stay in the game folder\n"
         "  --ticks N      stop after N timer ticks and exit 0\n"
         "  --autoplay     a built-in player shoots whenever the game scene lets it\n"
         "  --autoplay-skill SKILL\n"
         "                 the built-in player as a casual, average, expert or perfect\n"
         "                 (the default) player; implies --autoplay\n"
         "  --record FILE  write this session's input and clock to FILE as a script\n"
         "  --events FILE  write what happens in the game to FILE, one JSON object a line\n"
         "  --replay FILE  play a recorded session back headless, from the saves it started\n"
         "                 with (implies --headless; an installed game needs --dir); a pipe\n"
         "                 or - too; it may not capture: give captures with --script\n";
}

}  // namespace qv
