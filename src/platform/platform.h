#pragma once
// What the core may ask of the machine. The shell's owner (main or a test) fills this with the
// SDL or the headless back end and hands it to the context; nothing else reaches the platform.
namespace qv::platform {

class RenderDevice;
class AudioDevice;
class Clock;
class Window;
class MessageBoxes;

struct Platform {
  RenderDevice* device = nullptr;  // null while no device exists
  AudioDevice* audio = nullptr;    // null when no sound system could be had
  Clock* clock = nullptr;
  Window* window = nullptr;
  MessageBoxes* messages = nullptr;
};

}  // namespace qv::platform
