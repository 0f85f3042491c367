// The program entry: the command line, the game folder, the platform back end (SDL window or
// headless), FormCreate and the message loop, with the recording and the replay around it.
#include <SDL.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>

#include "app/subsystem_hooks.h"
#include "base/message.h"
#include "context.h"
#include "harness/command_line.h"
#include "harness/event_log.h"
#include "harness/game_folder.h"
#include "harness/recorder.h"
#include "harness/runner.h"
#include "harness/script.h"
#include "harness/script_file.h"
#include "platform/clock.h"
#include "platform/files.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/recording_audio.h"
#include "platform/sdl/sdl_audio.h"
#include "platform/sdl/sdl_window.h"
#include "shell/main_form.h"

#ifndef QUORVEX_VERSION
#define QUORVEX_VERSION "0.0.0"
#endif
// From the installed binary's folder to the installed content pack.
#ifndef QUORVEX_PACK_RELATIVE
#define QUORVEX_PACK_RELATIVE ""
#endif

namespace {

namespace fs = std::filesystem;

// The desktop file's name: the window class and application id match it, so the desktop
// groups the window under the installed launcher and its icon.
constexpr const char* kAppId = "org.quorvex.quorvex";
#ifdef __EMSCRIPTEN__
constexpr const char* kWebGameFolder = "/quorvex";
#endif

// Reads and parses a script or recording; prints the reason and gives nothing on failure.
std::optional<qv::Script> LoadScript(const std::string& path, qv::ScriptOrigin origin) {
  qv::Expected<qv::Script> parsed = qv::LoadScriptFile(path, origin);
  if (!parsed) {
    qv::HarnessMessage("quorvex: " + qv::Describe(parsed.error()));
    return std::nullopt;
  }
  return std::move(*parsed);
}

// The replay's input first, then the captures of --script, each tick's commands in that order.
qv::Script Merge(qv::Script replay, const qv::Script& captures) {
  replay.commands.insert(replay.commands.end(), captures.commands.begin(),
                         captures.commands.end());
  std::stable_sort(
      replay.commands.begin(), replay.commands.end(),
      [](const qv::ScriptCommand& a, const qv::ScriptCommand& b) { return a.tick < b.tick; });
  return replay;
}

#ifndef __EMSCRIPTEN__
std::string ExecutablePath() {
  std::error_code ec;
  const fs::path self = fs::read_symlink("/proc/self/exe", ec);
  return ec ? std::string() : self.string();
}
#endif

// The run around FormCreate and the message loop: the recorder and its latched clock, the
// replay's seeds and start date.
int RunSession(qv::Context& ctx, qv::LoopOptions& loop, qv::platform::Clock& clock,
               qv::platform::VirtualClock* virtual_clock, const qv::CommandLine& cl,
               const std::optional<qv::Script>& script) {
  if (!cl.replay.empty() && script) {
    for (const qv::ScriptCommand& c : script->commands) {
      if (c.kind == qv::ScriptCommand::Kind::Seed) ctx.shell.run.seeds.push_back(c.value);
    }
    // The date the recorded session started with is its first line.
    if (virtual_clock && !script->commands.empty() &&
        script->commands.front().kind == qv::ScriptCommand::Kind::Date) {
      virtual_clock->SetDate(script->commands.front().date);
    }
  }
  std::unique_ptr<qv::Recorder> recorder;
  std::optional<qv::platform::LatchedClock> latched;
  if (!cl.record.empty()) {
    qv::Expected<std::unique_ptr<qv::Recorder>> opened = qv::Recorder::Open(cl.record);
    if (!opened) {
      qv::HarnessMessage("quorvex: " + opened.error().message);
      return 1;
    }
    recorder = std::move(*opened);
    latched.emplace(clock);
    ctx.platform.clock = &*latched;
    recorder->Start(latched->Now());
    for (const char* name : {"options.txt", "players.txt", "records.txt"}) {
      const std::optional<std::string> held = qv::platform::ReadWholeFile(name);
      recorder->StartFile(name, held ? &*held : nullptr);
    }
    ctx.shell.run.seed_observer = [r = recorder.get()](std::uint32_t seed) { r->Seed(seed); };
    loop.recorder = recorder.get();
    loop.latched_clock = &*latched;
  }
  std::unique_ptr<qv::EventLog> events;
  if (!cl.events.empty()) {
    qv::Expected<std::unique_ptr<qv::EventLog>> opened = qv::EventLog::Open(cl.events);
    if (!opened) {
      qv::HarnessMessage("quorvex: " + opened.error().message);
      return 1;
    }
    events = std::move(*opened);
    ctx.game.run.events = [log = events.get()](const qv::GameEvent& e) { log->Write(e); };
    loop.events = events.get();
  }
  int status = 1;
  if (qv::FormCreate(ctx)) status = qv::RunMainLoop(ctx, loop);
  if (events && events->Failed()) {
    qv::HarnessMessage("quorvex: the events file '" + cl.events + "' could not be written whole");
  }
  ctx.game.run.events = nullptr;
  loop.events = nullptr;
  if (recorder && recorder->Failed()) {
    qv::HarnessMessage("quorvex: the recording '" + cl.record + "' could not be written whole");
  }
  ctx.shell.run.seed_observer = nullptr;
  ctx.platform.clock = &clock;
  return status;
}

int Run(const qv::CommandLine& cl) {
  std::optional<qv::Script> script, replay;
  if (!cl.script.empty() && !(script = LoadScript(cl.script, qv::ScriptOrigin::Script))) return 2;
  if (!cl.replay.empty()) {
    if (!(replay = LoadScript(cl.replay, qv::ScriptOrigin::Recording))) return 2;
    script = script ? Merge(std::move(*replay), *script) : std::move(*replay);
  }
  // Recordings are written where the player started the program, not in the game folder.
  const std::string record_path = cl.record.empty() ? std::string() : fs::absolute(cl.record).string();
  qv::CommandLine run_line = cl;
  run_line.record = record_path;
  // Like the recording, the events file is named from where the program was started.
  if (!cl.events.empty()) run_line.events = fs::absolute(cl.events).string();

#ifdef __EMSCRIPTEN__
  // The page serves the pack as the fixed game folder; the page's script restores the saves
  // into it before main and mirrors each save written there into IndexedDB.
  const qv::Expected<qv::GameFolderPlan> plan =
      qv::GameFolderPlan{cl.dir.empty() ? std::string(kWebGameFolder) : cl.dir, cl.pack};
#else
  const qv::Expected<qv::GameFolderPlan> plan =
      qv::PlanGameFolder(cl.dir, cl.pack,
                         qv::FindInstalledPack(ExecutablePath(), QUORVEX_PACK_RELATIVE),
                         std::getenv("XDG_DATA_HOME"), std::getenv("HOME"), !cl.replay.empty());
#endif
  if (!plan) {
    qv::HarnessMessage("quorvex: " + qv::Describe(plan.error()));
    return 1;
  }
  if (!cl.replay.empty()) {
    if (const qv::Expected<void> restored = qv::RestoreSessionFiles(plan->dir, *script);
        !restored) {
      qv::HarnessMessage("quorvex: " + qv::Describe(restored.error()));
      return 1;
    }
  }
  if (!plan->pack.empty()) {
    if (const qv::Expected<void> laid = qv::LayPack(plan->pack, plan->dir); !laid) {
      qv::HarnessMessage("quorvex: " + qv::Describe(laid.error()));
      return 1;
    }
  }
  std::error_code ec;
  fs::current_path(plan->dir, ec);
  if (ec) {
    qv::HarnessMessage("quorvex: cannot enter the game folder '" + plan->dir +
                       "': " + ec.message());
    return 1;
  }

  auto ctx = std::make_unique<qv::Context>();
  qv::InstallSubsystemHooks(*ctx);
  ctx->shell.run.headless = cl.headless;
  ctx->shell.run.render_all = cl.render_all;
  ctx->shell.run.has_seed = cl.has_seed;
  ctx->shell.run.seed = cl.seed;
  ctx->shell.run.autoplay = cl.autoplay;
  ctx->shell.run.autoplay_skill = cl.autoplay_skill;
  ctx->shell.run.fullscreen = cl.fullscreen;

  qv::LoopOptions loop;
  loop.ticks = cl.ticks;
  loop.script = script ? &*script : nullptr;

  if (cl.headless) {
    qv::platform::VirtualClock clock;
    qv::platform::HeadlessWindow window;
    qv::platform::StderrMessageBoxes boxes;
    // No sound card: a silent device that records what was played.
    qv::platform::RecordingAudioDevice audio([&clock] { return clock.TickCount(); });
    ctx->platform.audio = cl.no_sound ? nullptr : &audio;
    ctx->platform.clock = &clock;
    ctx->platform.window = &window;
    ctx->platform.messages = &boxes;
    loop.virtual_clock = &clock;
    return RunSession(*ctx, loop, clock, &clock, run_line, script);
  }

  // The window class (X11) and application id (Wayland) name the desktop file; a value the
  // user set wins.
  setenv("SDL_VIDEO_X11_WMCLASS", kAppId, 0);
  setenv("SDL_VIDEO_WAYLAND_WMCLASS", kAppId, 0);
  SDL_SetHint("SDL_APP_ID", kAppId);
  SDL_SetHint(SDL_HINT_APP_NAME, "Quorvex");
  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    qv::HarnessMessage(
        std::string("Error: Could not create DirectDraw!\nThis game will now exit.\n(") +
        SDL_GetError() + ")");
    return 1;
  }
  // A missing controller subsystem only costs the controller.
  if (SDL_InitSubSystem(SDL_INIT_GAMECONTROLLER) != 0) {
    qv::HarnessMessage(std::string("quorvex: no game controller support: ") + SDL_GetError());
  }
  int status = 1;
  {
    std::unique_ptr<qv::platform::sdl::SdlWindow> window = qv::platform::sdl::SdlWindow::Create(!cl.no_vsync);
    if (!window) {
      qv::HarnessMessage(
          std::string("Error: Generic initialization error.\nEnable debug output for "
                      "detailed information.\nThis game will now exit.\n(") +
          SDL_GetError() + ")");
    } else {
      qv::platform::sdl::SdlClock machine_clock;
      qv::platform::VirtualClock virtual_clock;
      qv::platform::Clock& clock =
          cl.virtual_clock ? static_cast<qv::platform::Clock&>(virtual_clock) : machine_clock;
      qv::platform::sdl::SdlMessageBoxes boxes(window->NativeWindow());
      std::unique_ptr<qv::platform::AudioDevice> audio =
          cl.no_sound ? nullptr : qv::platform::CreateSdlAudioDevice();
      ctx->platform.audio = audio.get();
      ctx->platform.clock = &clock;
      ctx->platform.window = window.get();
      ctx->platform.messages = &boxes;
      if (cl.virtual_clock) loop.virtual_clock = &virtual_clock;
      status = RunSession(*ctx, loop, clock, loop.virtual_clock, run_line, script);
      ctx->platform = {};
    }
  }
  SDL_Quit();
  return status;
}

}  // namespace

int main(int argc, char** argv) {
  const qv::Expected<qv::CommandLine> parsed =
      qv::ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  if (!parsed) {
    qv::HarnessMessage("quorvex: " + qv::Describe(parsed.error()) + "\n" + qv::UsageText());
    return 2;
  }
  const qv::CommandLine& cl = *parsed;
  if (cl.help) {
    std::fputs(qv::UsageText().c_str(), stdout);
    return 0;
  }
  if (cl.version) {
    std::printf("quorvex %s\n", QUORVEX_VERSION);
    return 0;
  }
  return Run(cl);
}
