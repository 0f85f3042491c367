#pragma once
// A headless game world on the generated content pack, as the game starts it: virtual clock,
// headless window and audio, every subsystem's hooks, fixed seed. The pack is laid once per
// process into a temporary folder, which becomes the current directory.
#include <memory>

#include "context.h"
#include "platform/clock.h"
#include "platform/headless/headless_window.h"
#include "platform/headless/recording_audio.h"

namespace qv::bench {

struct World {
  platform::VirtualClock clock;
  platform::HeadlessWindow window;
  platform::StderrMessageBoxes boxes;
  platform::RecordingAudioDevice audio{[this] { return clock.TickCount(); }};
  std::unique_ptr<Context> ctx;  // last: it goes first, while its device still exists

  // One 10 ms timer tick without rasterising.
  void Tick();
};

// A world whose window and device exist (the program's start), before its first frame step.
// Exits the process when the pack cannot be laid or the start fails.
std::unique_ptr<World> StartWorld();

}  // namespace qv::bench
