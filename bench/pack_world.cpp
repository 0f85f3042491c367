#include "pack_world.h"

#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>

#include "app/subsystem_hooks.h"
#include "harness/game_folder.h"
#include "shell/frame.h"
#include "shell/main_form.h"

namespace qv::bench {

namespace {

void LayPackOnce() {
  static const bool laid = [] {
    char tmpl[] = "/tmp/qv_bench_XXXXXX";
    if (!mkdtemp(tmpl)) std::exit(1);
    if (const Expected<void> done = LayPack(std::string(QUORVEX_BINARY_DIR) + "/pack", tmpl);
        !done) {
      std::fprintf(stderr, "%s\n", Describe(done.error()).c_str());
      std::exit(1);
    }
    std::filesystem::current_path(tmpl);
    return true;
  }();
  (void)laid;
}

}  // namespace

void World::Tick() {
  clock.Advance(10);
  ctx->shell.loop.rasterize = false;
  TimerTick(*ctx);
}

std::unique_ptr<World> StartWorld() {
  LayPackOnce();
  auto w = std::make_unique<World>();
  w->ctx = std::make_unique<Context>();
  Context& ctx = *w->ctx;
  InstallSubsystemHooks(ctx);
  ctx.shell.run.headless = true;
  ctx.shell.run.has_seed = true;
  ctx.shell.run.seed = 5;
  ctx.platform.audio = &w->audio;
  ctx.platform.clock = &w->clock;
  ctx.platform.window = &w->window;
  ctx.platform.messages = &w->boxes;
  if (!FormCreate(ctx)) std::exit(1);
  return w;
}

}  // namespace qv::bench
