// The program entry: the command line of the run harness, the game folder, the platform back
// end (SDL window or headless), FormCreate and the message loop.
#include <SDL.h>

#include <cstdio>
#include <filesystem>
#include <memory>

#include "app/subsystem_hooks.h"
#include "context.h"
#include "harness/command_line.h"
#include "harness/game_folder.h"
#include "harness/runner.h"
#include "harness/script.h"
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

namespace {

int Run(const qv::CommandLine& cl) {
  namespace fs = std::filesystem;
  std::optional<std::string> script_text;
  if (!cl.script.empty()) {
    script_text = qv::platform::ReadWholeFile(cl.script);
    if (!script_text) {
      std::fprintf(stderr, "quorvex: cannot read the script '%s'\n", cl.script.c_str());
      return 2;
    }
  }
  std::optional<qv::Script> script;
  if (script_text) {
    qv::Expected<qv::Script> parsed = qv::ParseScript(*script_text, cl.script);
    if (!parsed) {
      std::fprintf(stderr, "quorvex: %s\n", qv::Describe(parsed.error()).c_str());
      return 2;
    }
    script = std::move(*parsed);
  }
  const std::string dir = cl.dir.empty() ? "." : cl.dir;
  if (!cl.pack.empty()) {
    if (const qv::Expected<void> laid = qv::LayPack(cl.pack, dir); !laid) {
      std::fprintf(stderr, "quorvex: %s\n", qv::Describe(laid.error()).c_str());
      return 1;
    }
  }
  std::error_code ec;
  fs::current_path(dir, ec);
  if (ec) {
    std::fprintf(stderr, "quorvex: cannot enter the game folder '%s': %s\n", dir.c_str(),
                 ec.message().c_str());
    return 1;
  }

  auto ctx = std::make_unique<qv::Context>();
  qv::InstallSubsystemHooks(*ctx);
  ctx->shell.run.headless = cl.headless;
  ctx->shell.run.render_all = cl.render_all;
  ctx->shell.run.has_seed = cl.has_seed;
  ctx->shell.run.seed = cl.seed;
  ctx->shell.run.autoplay = cl.autoplay;

  qv::LoopOptions loop;
  loop.ticks = cl.ticks;
  loop.script = script ? &*script : nullptr;

  if (cl.headless) {
    qv::platform::VirtualClock clock;
    qv::platform::HeadlessWindow window;
    qv::platform::StderrMessageBoxes boxes;
    // No sound card: a silent device that records what was played.
    qv::platform::RecordingAudioDevice audio([&clock] { return clock.TickCount(); });
    ctx->platform.audio = &audio;
    ctx->platform.clock = &clock;
    ctx->platform.window = &window;
    ctx->platform.messages = &boxes;
    loop.virtual_clock = &clock;
    if (!qv::FormCreate(*ctx)) return 1;
    return qv::RunMainLoop(*ctx, loop);
  }

  if (SDL_Init(SDL_INIT_VIDEO | SDL_INIT_TIMER) != 0) {
    std::fprintf(stderr, "Error: Could not create DirectDraw!\nThis game will now exit.\n(%s)\n",
                 SDL_GetError());
    return 1;
  }
  int status = 1;
  {
    std::unique_ptr<qv::platform::sdl::SdlWindow> window = qv::platform::sdl::SdlWindow::Create();
    if (!window) {
      std::fprintf(stderr,
                   "Error: Generic initialization error.\nEnable debug output for detailed "
                   "information.\nThis game will now exit.\n(%s)\n",
                   SDL_GetError());
    } else {
      qv::platform::sdl::SdlClock clock;
      qv::platform::sdl::SdlMessageBoxes boxes(window->sdl_window());
      std::unique_ptr<qv::platform::AudioDevice> audio = qv::platform::CreateSdlAudioDevice();
      ctx->platform.audio = audio.get();
      ctx->platform.clock = &clock;
      ctx->platform.window = window.get();
      ctx->platform.messages = &boxes;
      if (qv::FormCreate(*ctx)) status = qv::RunMainLoop(*ctx, loop);
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
    std::fprintf(stderr, "quorvex: %s\n%s", qv::Describe(parsed.error()).c_str(),
                 qv::UsageText().c_str());
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
