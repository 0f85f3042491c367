// The real game window on a private X display: xdotool moves, clicks and types as a person
// (or a remote desktop, a screen reader's pointer tool) would, and the game's state dumps, which
// its script writes every few ticks, show what it made of that. Waits poll the dump for a
// condition with a time limit, never for a fixed time.
#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <regex>
#include <string>
#include <thread>
#include <vector>

#include "common/dump_number.h"
#include "common/sanitized.h"
#include "common/temp_dir.h"
#include "window/x_session.h"

namespace qv {
namespace {

namespace fs = std::filesystem;
using test::Number;
using Clock = std::chrono::steady_clock;

// A safety stop: a case that goes wrong ends the game by itself.
constexpr int kTicks = 9000;
// A dump every this many ticks (50 ms).
constexpr int kDumpEvery = 5;
const std::chrono::seconds kPatience(test::kSanitizedBuild ? 60 : 20);

// "Ann" with every explanation off and nothing to continue: a game type starts at once.
constexpr const char* kAnn = "Ann, -1, -1, -1, 0, 0, 0, 0, 0, 0, -1, -1, -1, 0, 0, 0\r\n";

// Button centres of the main menu and the game-type page (the same rectangles).
constexpr int kButtonX = 400;
constexpr int kFirstButtonY = 176;  // start game; arcade
constexpr int kOptionsY = 236;      // options; challenge
constexpr int kFullscreenY = 296;   // the options page's fullscreen row
constexpr int kHelpY = 356;

double Real(const std::string& json, const std::string& section, const std::string& key) {
  const auto at = json.find("\"" + section + "\":{");
  if (at == std::string::npos) return -9999;
  std::smatch m;
  const std::string rest = json.substr(at);
  if (!std::regex_search(rest, m, std::regex("\"" + key + "\":(-?[0-9.eE+-]+)"))) return -9999;
  return std::stod(m[1].str());
}

// A number of the dump's top level (the clocks).
long long Top(const std::string& json, const std::string& key) {
  std::smatch m;
  if (!std::regex_search(json, m, std::regex("\"" + key + "\":(-?[0-9]+)"))) return -9999;
  return std::stoll(m[1].str());
}

long long Shell(const std::string& dump, const std::string& key) {
  return Number(dump, "shell", key);
}

class RealWindow : public ::testing::Test {
 protected:
  void SetUp() override {
    pack_ = fs::path(QUORVEX_BINARY_DIR) / "pack";
    if (!fs::exists(pack_ / "loading.msl")) GTEST_SKIP() << "no content pack built";
    for (const char* program : {"Xvfb", "xdotool", "evilwm"}) {
      if (test::HaveProgram(program)) continue;
      // CI installs them with the test command: missing there is a fault, not a skip.
      if (std::getenv("CI") && *std::getenv("CI")) FAIL() << program << " is not installed";
      GTEST_SKIP() << program << " is not installed (scripts/install-deps.sh --test)";
    }
    game_ = dir_.path() / "game";
    fs::create_directories(game_);
  }

  void Put(const std::string& name, const std::string& text) { test::WriteText(game_ / name, text); }
  std::string Get(const std::string& name) { return test::ReadText(game_ / name); }

  // The X display with a w x h screen, then the game on it (windowed unless the extra
  // arguments say otherwise).
  void Start(int w = 1024, int h = 768, const std::vector<std::string>& extra = {}) {
    std::string error;
    // A case whose display could not start fails at once, not at each wait after.
    lost_ = true;
    ASSERT_TRUE(x_.Start(w, h, dir_.path().string(), error)) << error;
    std::string script;
    for (int t = 0; t < kTicks; t += kDumpEvery) script += std::to_string(t) + " state live.json\n";
    test::WriteText(dir_.path() / "dumps.txt", script);
    const std::string binary = std::string(QUORVEX_BINARY_DIR) + "/src/quorvex";
    // Software all the way, renderer and the window's framebuffer: the pointer and window paths
    // are what is tested, a software OpenGL would take the cores the other tests run on, and
    // the OpenGL driver it loads and unloads leaves blocks the leak checker cannot place.
    std::vector<std::string> argv{binary, "--dir", game_.string(), "--pack", pack_.string(),
                                  "--script", (dir_.path() / "dumps.txt").string(), "--ticks",
                                  std::to_string(kTicks)};
    argv.insert(argv.end(), extra.begin(), extra.end());
    if (extra.empty() || extra[0] != "--fullscreen") argv.push_back("--windowed");
    ASSERT_TRUE(game_process_.Start(argv, {"SDL_AUDIODRIVER=dummy", "SDL_RENDER_DRIVER=software",
                                           "SDL_FRAMEBUFFER_ACCELERATION=0"},
                                    (dir_.path() / "game-output.txt").string()));
    const auto end = Clock::now() + kPatience;
    while (window_.empty()) {
      const std::string found = test::Run("xdotool search --name '^Quorvex$'");
      if (!found.empty()) window_ = found.substr(0, found.find('\n'));
      ASSERT_TRUE(!window_.empty() || Clock::now() < end) << "no game window appeared";
      ASSERT_TRUE(game_process_.running()) << "the game ended: " << Output();
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    lost_ = false;
  }

  std::string Output() { return test::ReadText(dir_.path() / "game-output.txt"); }

  // Polls the latest dump until the condition holds; the dump that met it.
  std::string WaitFor(const std::string& what, const std::function<bool(const std::string&)>& ok) {
    // After one wait failed the case is lost: the rest fail at once instead of waiting too.
    if (lost_) return Get("live.json");
    const auto end = Clock::now() + kPatience;
    std::string dump;
    for (;;) {
      dump = Get("live.json");
      if (!dump.empty() && ok(dump)) return dump;
      if (Clock::now() >= end || !game_process_.running()) break;
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    lost_ = true;
    Shot("timeout");
    const auto shell = dump.find("\"shell\":");
    ADD_FAILURE() << "waited in vain for " << what << "; last dump at tick " << Top(dump, "tick")
                  << " (now " << Top(Get("live.json"), "tick") << "), its shell section: "
                  << (shell == std::string::npos ? dump : dump.substr(shell, 300))
                  << "\nwindow " << window_ << ": " << test::Run("xdotool getwindowgeometry " + window_)
                  << "pointer: " << test::Run("xdotool getmouselocation")
                  << "\ngame output: " << Output();
    return dump;
  }

  // A dump from well after every input sent so far was handled.
  std::string Settled() {
    const long long now = Top(Get("live.json"), "tick");
    return WaitFor("later ticks", [now](const std::string& d) { return Top(d, "tick") >= now + 10; });
  }

  std::string WaitForMenu() {
    return WaitFor("the main menu", [](const std::string& d) {
      return Shell(d, "scene") == 1 && Shell(d, "scene_phase") == 2 &&
             Shell(d, "click_context") == 1;
    });
  }

  std::string WaitForPointer(int x, int y) {
    return WaitFor("the pointer at " + std::to_string(x) + "," + std::to_string(y),
                   [x, y](const std::string& d) {
                     return Shell(d, "mouse_x") == x && Shell(d, "mouse_y") == y;
                   });
  }

  std::string WaitForHover(int button) {
    return WaitFor("hover on button " + std::to_string(button), [button](const std::string& d) {
      return Shell(d, "hover_button") == button;
    });
  }

  // Client position of the game window.
  void MoveTo(int x, int y) {
    test::Run("xdotool mousemove --window " + window_ + " " + std::to_string(x) + " " +
              std::to_string(y));
  }
  void Xdo(const std::string& args) { test::Run("xdotool " + args); }

  // Main menu → start game → arcade, as a person clicks: over the button, then press.
  void EnterArcade() {
    Put("players.txt", kAnn);
    Start();
    WaitForMenu();
    MoveTo(kButtonX, kFirstButtonY);
    WaitForHover(1);
    Xdo("click 1");
    WaitFor("the game-type page", [](const std::string& d) {
      return Shell(d, "click_context") == 2 && Shell(d, "hover_button") == 1;
    });
    Xdo("click 1");
    WaitFor("a game ready to aim", [](const std::string& d) {
      return Shell(d, "scene") == 2 && Shell(d, "scene_phase") == 2 &&
             Shell(d, "click_context") == 0 && Number(d, "game", "end_phase") == 0 &&
             Number(d, "game", "level_frames") > 0;
    });
  }

  // Waits until the game window has this size on the screen.
  void WaitForGeometry(const std::string& size) {
    const auto end = Clock::now() + kPatience;
    std::string geometry;
    while (geometry.find(size) == std::string::npos && Clock::now() < end) {
      geometry = test::Run("xdotool getwindowgeometry " + window_);
      std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    EXPECT_NE(geometry.find(size), std::string::npos) << geometry;
  }

  // The window manager's close key over the game window: it asks the window to close, as its
  // close button does. The game's exit status.
  int CloseWindow() {
    MoveTo(kButtonX, 500);
    Xdo("key ctrl+alt+Escape");
    return game_process_.Wait(static_cast<int>(kPatience.count()) * 1000);
  }

  // QUORVEX_SHOTS=DIR keeps a picture of the screen (ImageMagick's import) at each call.
  void Shot(const std::string& name) {
    const char* dir = std::getenv("QUORVEX_SHOTS");
    if (!dir || !*dir || !test::HaveProgram("import")) return;
    const std::string test_name = ::testing::UnitTest::GetInstance()->current_test_info()->name();
    test::Run("import -window root " + std::string(dir) + "/" + test_name + "-" + name + ".png");
  }

  test::TempDir dir_;
  fs::path pack_;
  fs::path game_;
  test::XSession x_;
  test::Child game_process_;  // after the display: ended before it
  std::string window_;
  bool lost_ = false;
};

TEST_F(RealWindow, PointerFollowsMovesWithoutAClick) {
  Put("players.txt", kAnn);
  Start();
  WaitForMenu();
  MoveTo(kButtonX, kFirstButtonY);
  EXPECT_EQ(Shell(WaitForPointer(kButtonX, kFirstButtonY), "hover_button"), 1);
  MoveTo(kButtonX + 50, kHelpY);
  EXPECT_EQ(Shell(WaitForPointer(kButtonX + 50, kHelpY), "hover_button"), 4);
  Shot("help-hovered");
  // Off the window, onto the desktop: nothing is hovered any more.
  Xdo("mousemove 3 3");
  const std::string away = WaitFor("the pointer off the window", [](const std::string& d) {
    return Shell(d, "mouse_x") == -1000;
  });
  EXPECT_EQ(Shell(away, "hover_button"), -1);
  // Nothing was pressed on the way.
  EXPECT_EQ(Shell(away, "click_context"), 1);
  EXPECT_EQ(Shell(away, "pressed_button"), -1);
}

TEST_F(RealWindow, ClickOnStartGameOpensTheGameTypePage) {
  Put("players.txt", kAnn);
  const fs::path recording = dir_.path() / "session.txt";
  Start(1024, 768, {"--record", recording.string()});
  WaitForMenu();
  MoveTo(kButtonX, kOptionsY);
  WaitForHover(2);
  // Moved and pressed at once, as a tool does: the press acts on the button now under the
  // pointer, not on the one a frame saw before.
  Xdo("mousemove --window " + window_ + " " + std::to_string(kButtonX) + " " +
      std::to_string(kFirstButtonY) + " click 1");
  const std::string page = WaitFor("another page", [](const std::string& d) {
    return Shell(d, "click_context") != 1;
  });
  EXPECT_EQ(Shell(page, "click_context"), 2);
  Shot("game-type-page");
  ASSERT_EQ(CloseWindow(), 0) << Output();

  // The recording replays the press on the same button.
  const std::string session = test::ReadText(recording);
  const auto quit = session.rfind(" quit");
  ASSERT_NE(quit, std::string::npos) << session;
  const auto line = session.rfind('\n', quit);
  const int last = std::stoi(session.substr(line + 1, quit - line - 1)) - 1;
  test::WriteText(dir_.path() / "captures.txt", std::to_string(last) + " state end.json\n");
  const fs::path replay_dir = dir_.path() / "replay";
  const std::string command = std::string(QUORVEX_BINARY_DIR) + "/src/quorvex --replay " +
                              recording.string() + " --script " +
                              (dir_.path() / "captures.txt").string() + " --dir " +
                              replay_dir.string() + " --pack " + pack_.string() + " >/dev/null 2>&1";
  ASSERT_EQ(std::system(command.c_str()), 0);
  EXPECT_EQ(Shell(test::ReadText(replay_dir / "end.json"), "click_context"), 2);
}

TEST_F(RealWindow, TypingANameOnTheFirstRunCreatesThePlayer) {
  Start();
  WaitFor("the first-run name input", [](const std::string& d) {
    return Shell(d, "click_context") == 11 && Number(d, "menu", "input_mode") == 1;
  });
  Xdo("type --delay 30 'Ann Lee'");
  WaitFor("the typed name", [](const std::string& d) {
    return d.find("\"name_buffer\":\"Ann Lee\"") != std::string::npos;
  });
  Shot("name-typed");
  Xdo("key Return");
  WaitForMenu();
  EXPECT_EQ(Get("players.txt").substr(0, 9), "Ann Lee, ");
}

TEST_F(RealWindow, KeyboardAimsAndShootsInAGame) {
  EnterArcade();
  const std::string before = Get("live.json");
  const double angle = Real(before, "game", "aim_angle");
  // Held for a while, as a player holds the key to swing the aim.
  Xdo("keydown Left sleep 0.4 keyup Left");
  const std::string aimed = Settled();
  ASSERT_NE(Real(aimed, "game", "aim_angle"), angle);
  Shot("aimed");
  const double aimed_angle = Real(aimed, "game", "aim_angle");
  const long long count = Number(aimed, "field", "count");
  Xdo("key space");
  // The ball flies, then joins the field (or bursts a group): either shows the shot.
  const std::string shot = WaitFor("the shot", [count](const std::string& d) {
    return Number(d, "game", "shot_in_flight") == 1 || Number(d, "field", "count") != count;
  });
  EXPECT_EQ(Shell(shot, "scene"), 2);
  // The key aimed; the shot did not move the aim back to where the pointer was.
  EXPECT_NEAR(Real(shot, "game", "aim_angle"), aimed_angle, 1e-9);
}

TEST_F(RealWindow, FullscreenScalesTheFrameOntoTheScreen) {
  Put("players.txt", kAnn);
  Start(1024, 768);
  WaitForMenu();
  MoveTo(kButtonX, kOptionsY);
  WaitForHover(2);
  Xdo("click 1");
  WaitFor("the options page", [](const std::string& d) { return Shell(d, "click_context") == 4; });
  MoveTo(kButtonX, kFullscreenY);
  WaitForHover(3);
  Xdo("click 1");
  WaitFor("fullscreen", [](const std::string& d) { return Shell(d, "fullscreen") == 1; });
  WaitForGeometry("1024x768");
  // Screen positions now, the window covers it all.
  Xdo("mousemove 512 384");
  WaitForPointer(400, 300);
  Shot("fullscreen-centre");
  Xdo("mousemove 1023 767");
  WaitForPointer(799, 599);
  Xdo("mousemove 0 0");
  WaitForPointer(0, 0);
  EXPECT_NE(Get("options.txt").find("fullscreen=1"), std::string::npos);
}

TEST_F(RealWindow, WideFullscreenLeavesBarsBesideTheFrame) {
  Put("players.txt", kAnn);
  Start(1280, 720, {"--fullscreen"});
  WaitForMenu();
  WaitForGeometry("1280x720");
  // Scale 1.2: the frame is 960 wide from x 160; bars on either side.
  Xdo("mousemove 640 360");
  WaitForPointer(400, 300);
  Xdo("mousemove 160 0");
  WaitForPointer(0, 0);
  Xdo("mousemove 1119 719");
  WaitForPointer(799, 599);
  Xdo("mousemove 100 360");
  const std::string bar = WaitFor("the pointer on a bar", [](const std::string& d) {
    return Shell(d, "mouse_x") == -1000;
  });
  EXPECT_EQ(Shell(bar, "hover_button"), -1);
  Shot("bar");
  // The switch was for this run: the file keeps its windowed mode.
  EXPECT_NE(Get("options.txt").find("fullscreen=0"), std::string::npos);
}

TEST_F(RealWindow, LosingTheFocusPausesTheGame) {
  EnterArcade();
  const std::string root = test::Run("xdotool search --maxdepth 0 --name ''");
  ASSERT_FALSE(root.empty());
  // The desktop takes the focus, as when the player clicks another program.
  Xdo("windowfocus " + root.substr(0, root.find('\n')));
  const std::string paused = WaitFor("the pause", [](const std::string& d) {
    return Shell(d, "app_active") == 0 && Shell(d, "paused") == 1;
  });
  // The game clock stands while the frame clock runs on.
  const std::string later = WaitFor("time passing in the pause", [&paused](const std::string& d) {
    return Top(d, "frame_clock") >= Top(paused, "frame_clock") + 300;
  });
  EXPECT_EQ(Top(later, "game_clock"), Top(paused, "game_clock"));
  EXPECT_EQ(Shell(later, "paused"), 1);
  Xdo("windowfocus " + window_);
  const std::string back = WaitFor("the game running again", [](const std::string& d) {
    return Shell(d, "app_active") == 1 && Shell(d, "paused") == 0;
  });
  EXPECT_EQ(Shell(back, "scene"), 2);
  const long long lost = Top(back, "frame_clock") - Top(back, "game_clock");
  EXPECT_GE(lost, 300);
}

TEST_F(RealWindow, ClosingTheWindowExitsWithTheSavesWritten) {
  Put("players.txt", kAnn);
  Start();
  WaitForMenu();
  MoveTo(kButtonX, kOptionsY);
  WaitForHover(2);
  Xdo("click 1");
  WaitFor("the options page", [](const std::string& d) { return Shell(d, "click_context") == 4; });
  // The music row's "down" end.
  MoveTo(320, kFirstButtonY);
  WaitForHover(1);
  Xdo("click 1");
  WaitFor("the music a step down", [](const std::string& d) {
    return Number(d, "options", "music_volume") == 8;
  });
  EXPECT_EQ(CloseWindow(), 0) << Output();
  EXPECT_NE(Get("options.txt").find("music_volume=8"), std::string::npos);
  EXPECT_EQ(Get("players.txt"), kAnn);
  // Saves are written whole: no temporary file is left beside them.
  for (const auto& entry : fs::directory_iterator(game_)) {
    const std::string name = entry.path().filename().string();
    EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
  }
}

}  // namespace
}  // namespace qv
