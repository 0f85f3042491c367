// The content pack damaged one file at a time, as a broken install would be, each copy run
// headless for 400 ticks: no crash, no hang, no run over 10 s, and damage the program can see
// leaves a log line (or an error box on standard error).
//
// The suite runs a handful of cases. The full sweep over every damage of the files the menu
// reads (or of every file, with QUORVEX_DAMAGE_FILES=all) prints its figures:
//   QUORVEX_DAMAGE_SWEEP=1 build/tests/test_harness --gtest_filter='DamagedPack.Sweep'
// QUORVEX_DAMAGE_BINARY names another build of the game to run (a sanitizer build, say).
#include <gtest/gtest.h>
#include <sys/wait.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <random>
#include <regex>
#include <string>
#include <vector>

#include "common/sanitized.h"
#include "common/temp_dir.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using test::ReadText;
using test::WriteText;

// A damaged file may slow the game (a huge move_cnt runs the most catch-up steps a frame allows)
// but must never stall it; the sanitized build runs several times slower.
constexpr double kMaxSeconds = test::kSanitizedBuild ? 40.0 : 10.0;
constexpr const char* kKillAfter = test::kSanitizedBuild ? "60" : "30";

struct Damage {
  std::string name;
  // The damaged bytes of a file, or nothing when the damage is not a byte change.
  std::function<std::string(const std::string& bytes, std::mt19937& rng)> bytes;
  bool text_only = false;
};

std::string ReplaceNumbers(const std::string& s, const std::string& with) {
  return std::regex_replace(s, std::regex("[0-9]+"), with);
}

const std::vector<Damage>& Damages() {
  static const std::vector<Damage> kAll = {
      {"missing", nullptr},
      {"folder", nullptr},
      {"empty", [](const std::string&, std::mt19937&) { return std::string(); }},
      {"truncated", [](const std::string& b, std::mt19937&) { return b.substr(0, b.size() / 2); }},
      {"flipped",
       [](const std::string& b, std::mt19937& rng) {
         std::string out = b;
         for (int i = 0; i < 16 && !out.empty(); ++i) out[rng() % out.size()] ^= static_cast<char>(1 + rng() % 255);
         return out;
       }},
      {"garbage",
       [](const std::string& b, std::mt19937& rng) {
         std::string out(std::max<std::size_t>(b.size(), 64), '\0');
         for (char& c : out) c = static_cast<char>(rng());
         return out;
       }},
      {"header_ff",
       [](const std::string& b, std::mt19937&) {
         std::string out = b;
         for (std::size_t i = 8; i < 64 && i < out.size(); ++i) out[i] = '\xff';
         return out;
       }},
      {"header_zero",
       [](const std::string& b, std::mt19937&) {
         std::string out = b;
         for (std::size_t i = 8; i < 64 && i < out.size(); ++i) out[i] = '\0';
         return out;
       }},
      {"max_int", [](const std::string& b, std::mt19937&) { return ReplaceNumbers(b, "2147483647"); },
       true},
      {"min_int", [](const std::string& b, std::mt19937&) { return ReplaceNumbers(b, "-2147483648"); },
       true},
      {"hex_max", [](const std::string& b, std::mt19937&) { return ReplaceNumbers(b, "$7FFFFFFF"); },
       true},
      {"lf_only",
       [](const std::string& b, std::mt19937&) {
         std::string out;
         for (char c : b)
           if (c != '\r') out += c;
         return out;
       },
       true},
      {"bom", [](const std::string& b, std::mt19937&) { return "\xEF\xBB\xBF" + b; }, true},
      {"long_line",
       [](const std::string& b, std::mt19937&) { return std::string(100000, 'q') + "\r\n" + b; },
       true},
      {"huge",
       [](const std::string& b, std::mt19937&) {
         std::string out = b.empty() ? std::string("x\r\n") : b;
         while (out.size() < (8u << 20)) out += out;
         return out;
       },
       true},
  };
  return kAll;
}

bool IsText(const fs::path& p) {
  const std::string ext = p.extension().string();
  return ext == ".txt" || ext == ".msl" || ext == ".ini" || ext == ".map" || ext == ".spr" ||
         ext == ".pos";
}

struct Outcome {
  std::string file, damage;
  int status = 0;      // exit status, or 128 + signal, or -1 for a timeout
  double seconds = 0;
  bool trace = false;  // a log line or an error box
  bool sanitizer = false;
};

fs::path PackDir() {
  return fs::path(QUORVEX_BINARY_DIR) / "pack";
}

std::string Binary() {
  const char* env = std::getenv("QUORVEX_DAMAGE_BINARY");
  return env && *env ? env : std::string(QUORVEX_BINARY_DIR) + "/src/quorvex";
}

// Lines of the log that report a problem.
bool HasTrace(const std::string& log, const std::string& err) {
  if (err.find("Error:") != std::string::npos) return true;
  return log.find("ERROR") != std::string::npos || log.find("catch_up_limited") != std::string::npos;
}

class Runner {
 public:
  explicit Runner(const fs::path& work) : work_(work) {}

  // Runs a copy of the pack in which `file` (relative to the pack) is damaged by `damage`, or
  // replaced by `bytes` when no damage is named.
  Outcome Run(const std::string& file, const Damage* damage, const std::string* bytes = nullptr) {
    const fs::path game = work_ / "game";
    std::error_code ec;
    fs::remove_all(game, ec);
    // Hard links: fast, and every file the game or the damage writes is replaced, not changed.
    fs::copy(PackDir(), game, fs::copy_options::recursive | fs::copy_options::create_hard_links);
    std::string options = ReadText(PackDir() / "options.txt");
    options = std::regex_replace(options, std::regex("log_enabled=0"), "log_enabled=1");
    Replace(game / "options.txt", options);
    const fs::path target = game / file;
    const std::string original = ReadText(target);
    Outcome out;
    out.file = file;
    out.damage = damage ? damage->name : "custom";
    if (bytes) {
      Replace(target, *bytes);
    } else if (damage->name == "missing") {
      fs::remove(target);
    } else if (damage->name == "folder") {
      fs::remove(target);
      fs::create_directories(target / "inside");
    } else {
      std::mt19937 rng(static_cast<unsigned>(std::hash<std::string>()(file + damage->name)));
      Replace(target, damage->bytes(original, rng));
    }
    const fs::path err = work_ / "stderr.txt";
    const std::string command =
        "ASAN_OPTIONS=exitcode=86:detect_leaks=0 UBSAN_OPTIONS=halt_on_error=1:exitcode=86 "
        "timeout -s KILL " + std::string(kKillAfter) + " " +
        Binary() + " --headless --dir '" + game.string() + "' --ticks 400 >/dev/null 2>'" +
        err.string() + "'";
    const auto start = std::chrono::steady_clock::now();
    const int raw = std::system(command.c_str());
    out.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    out.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : 128 + WTERMSIG(raw);
    if (out.status == 137) out.status = -1;  // killed by the timeout
    const std::string err_text = ReadText(err);
    out.sanitizer = err_text.find("Sanitizer") != std::string::npos ||
                    err_text.find("runtime error:") != std::string::npos;
    out.trace = HasTrace(ReadText(game / "log.txt"), err_text);
    return out;
  }

 private:
  static void Replace(const fs::path& p, const std::string& bytes) {
    std::error_code ec;
    fs::remove(p, ec);
    WriteText(p, bytes);
  }
  fs::path work_;
};

// A clean run is one that ends by itself in time: exit 0 after the ticks, or 1 when start-up
// refuses the folder with a message.
bool Clean(const Outcome& o) {
  return (o.status == 0 || o.status == 1) && !o.sanitizer && o.seconds < kMaxSeconds;
}

std::string Describe(const Outcome& o) {
  char line[512];
  std::snprintf(line, sizeof line, "%-55s %-11s status %3d  %6.2f s  %s%s", o.file.c_str(),
                o.damage.c_str(), o.status, o.seconds, o.trace ? "logged" : "silent",
                o.sanitizer ? "  SANITIZER" : "");
  return line;
}

const Damage& Named(const std::string& name) {
  for (const Damage& d : Damages())
    if (d.name == name) return d;
  throw std::runtime_error(name);
}

class DamagedPack : public ::testing::Test {
 protected:
  void SetUp() override {
    if (!fs::exists(PackDir() / "options.txt")) GTEST_SKIP() << "no content pack was built";
  }
  // The definition with `edit` applied to each line after the first that names an image.
  static std::string EditPartLines(const std::string& spr, const std::string& suffix) {
    std::string out;
    std::size_t start = 0;
    while (start < spr.size()) {
      std::size_t end = spr.find("\r\n", start);
      if (end == std::string::npos) end = spr.size();
      std::string line = spr.substr(start, end - start);
      if (line.find(".png") != std::string::npos) line += suffix;
      out += line + "\r\n";
      start = end + 2;
    }
    return out;
  }
  test::TempDir dir_;
  Runner runner_{dir_.path()};
};

// The damages that once crashed or hung the program, and one of each kind besides.
TEST_F(DamagedPack, RepresentativeDamagesRunCleanAndLeaveALogLine) {
  const std::string orbit = "graphics/logo set/earth_traectory.spr";
  const std::string spr = ReadText(PackDir() / orbit);
  std::string common_z = spr;
  common_z.replace(0, common_z.find("\r\n"), "x=240,y=110,z=2147483647");
  const std::string wave = ReadText(PackDir() / "music/puzzle.wav");
  std::string silent_wave = wave;
  silent_wave[22] = silent_wave[23] = 0;  // no channels
  std::string long_list;
  for (int i = 0; i < 100000; ++i) long_list += "graphics\\nothing\\n" + std::to_string(i) + ".spr\r\n";
  struct Case {
    std::string file;
    std::string damage;  // a damage name, or "" for the bytes below
    std::string bytes;
    bool needs_trace = true;
  };
  const std::vector<Case> cases = {
      {orbit, "", EditPartLines(spr, ",border=2147483647")},
      {orbit, "", EditPartLines(spr, ",frame_width=2147483647,x=1")},
      {orbit, "", EditPartLines(spr, ",texture_size=$80ff40")},
      {orbit, "", EditPartLines(spr, ",texture_size=46341")},
      {orbit, "", common_z, false},  // a valid if odd draw order: nothing to report
      {"options.txt", "max_int", ""},
      {"music/puzzle.wav", "", silent_wave},
      {"music/menu.xm", "folder", ""},
      {"main.msl", "", long_list},
      {"loading.msl", "garbage", ""},
      {"graphics/logo set/bubble_top.png", "truncated", ""},
      {"sound.ini", "long_line", "", false},
      {"text/combo.txt", "missing", ""},
  };
  double slowest = 0;
  for (const Case& c : cases) {
    const Outcome o = c.damage.empty() ? runner_.Run(c.file, nullptr, &c.bytes)
                                       : runner_.Run(c.file, &Named(c.damage));
    SCOPED_TRACE(Describe(o));
    EXPECT_TRUE(Clean(o));
    if (c.needs_trace) {
      EXPECT_TRUE(o.trace);
    }
    slowest = std::max(slowest, o.seconds);
  }
  std::printf("slowest damaged run: %.2f s\n", slowest);
}

TEST_F(DamagedPack, Sweep) {
  if (!std::getenv("QUORVEX_DAMAGE_SWEEP")) GTEST_SKIP() << "set QUORVEX_DAMAGE_SWEEP=1";
  const char* which = std::getenv("QUORVEX_DAMAGE_FILES");
  const bool all = which && std::string(which) == "all";
  std::vector<std::string> files;
  for (const auto& entry : fs::recursive_directory_iterator(PackDir())) {
    if (!entry.is_regular_file()) continue;
    const std::string rel = fs::relative(entry.path(), PackDir()).string();
    // Without input the run loads and shows the menu: these are the files it reads.
    const bool menu_reads = rel.find('/') == std::string::npos || rel.starts_with("music/") ||
                            rel.starts_with("sounds/") || rel.starts_with("graphics/logo set/") ||
                            rel.starts_with("graphics/cursors/") || rel == "text/combo.txt" ||
                            rel.starts_with("graphics/menu/") ||
                            rel.starts_with("graphics/elements_gamezone/loading");
    if (all || menu_reads) files.push_back(rel);
  }
  std::sort(files.begin(), files.end());
  int runs = 0, unclean = 0, silent = 0, unread = 0;
  double slowest = 0, total = 0;
  for (const std::string& file : files) {
    for (const Damage& d : Damages()) {
      if (d.text_only && !IsText(file)) continue;
      const Outcome o = runner_.Run(file, &d);
      // A file whose absence leaves no trace is not read in these 400 ticks (a map of a dialog,
      // say): its other damages cannot show either.
      const bool skip_rest = d.name == "missing" && Clean(o) && !o.trace;
      ++runs;
      total += o.seconds;
      slowest = std::max(slowest, o.seconds);
      if (!Clean(o)) {
        ++unclean;
        ADD_FAILURE() << Describe(o);
      } else if (skip_rest) {
        ++unread;
        break;
      } else if (!o.trace) {
        ++silent;
        std::printf("%s\n", Describe(o).c_str());
      }
    }
  }
  std::printf("%d files (%d not read in the run), %d runs: %d unclean, %d without a log line; "
              "slowest %.2f s, total %.0f s\n",
              static_cast<int>(files.size()), unread, runs, unclean, silent, slowest, total);
}

}  // namespace
}  // namespace qv
