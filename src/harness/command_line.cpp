#include "harness/command_line.h"

#include <charconv>

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
    else if (a == "--render-all")
      out.render_all = true;
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
    } else if (a == "--seed") {
      if (!value(v)) return Fail(error);
      if (!Number(v, out.seed)) {
        return Fail("--seed needs a number from 0 to 4294967295, not '" + v + "'");
      }
      out.has_seed = true;
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
  return out;
}

std::string UsageText() {
  return "Usage: quorvex [--dir DIR] [--pack DIR] [--headless] [--render-all] [--seed N]\n"
         "               [--script FILE] [--ticks N] [--autoplay] [--help] [--version]\n"
         "\n"
         "  --dir DIR      the game folder (content, options.txt, saves, log.txt); default: .\n"
         "  --pack DIR     lay this content pack into the game folder first (options.txt\n"
         "                 only when the folder has none)\n"
         "  --headless     no window, no sound card, virtual 10 ms clock, boxes to stderr\n"
         "  --render-all   with --headless: rasterise every frame, not only screenshots\n"
         "  --seed N       seed the random generator with N instead of the clock\n"
         "  --script FILE  scripted input and captures, one 'TICK command' per line\n"
         "  --ticks N      stop after N timer ticks and exit 0\n"
         "  --autoplay     a built-in player shoots whenever the game scene lets it\n"
         "  --help         this text\n"
         "  --version      the version\n";
}

}  // namespace qv
