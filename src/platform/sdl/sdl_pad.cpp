#include "platform/sdl/sdl_pad.h"

#include <SDL.h>

#include <algorithm>

#include "platform/window.h"

namespace qv::platform::sdl {

int PadButtonFromSdl(std::uint8_t b) {
  switch (b) {
    case SDL_CONTROLLER_BUTTON_A:
      return kPadA;
    case SDL_CONTROLLER_BUTTON_B:
      return kPadB;
    case SDL_CONTROLLER_BUTTON_START:
      return kPadStart;
    case SDL_CONTROLLER_BUTTON_BACK:
      return kPadBack;
    case SDL_CONTROLLER_BUTTON_DPAD_UP:
      return kPadUp;
    case SDL_CONTROLLER_BUTTON_DPAD_DOWN:
      return kPadDown;
    case SDL_CONTROLLER_BUTTON_DPAD_LEFT:
      return kPadLeft;
    case SDL_CONTROLLER_BUTTON_DPAD_RIGHT:
      return kPadRight;
    default:
      return -1;
  }
}

int PadAxisFromSdl(std::uint8_t a) {
  switch (a) {
    case SDL_CONTROLLER_AXIS_LEFTX:
      return kPadLeftX;
    case SDL_CONTROLLER_AXIS_LEFTY:
      return kPadLeftY;
    default:
      return -1;
  }
}

// Owns one open controller; never copied, so it is closed exactly once.
struct Controllers::Open {
  Open(SDL_GameController* p, SDL_JoystickID i) : pad(p), id(i) {}
  ~Open() { SDL_GameControllerClose(pad); }
  Open(const Open&) = delete;
  Open& operator=(const Open&) = delete;
  SDL_GameController* pad;
  SDL_JoystickID id;
};

Controllers::Controllers() = default;
Controllers::~Controllers() = default;

void Controllers::Added(int device_index) {
  if (!SDL_IsGameController(device_index)) return;
  const SDL_JoystickID id = SDL_JoystickGetDeviceInstanceID(device_index);
  for (const auto& o : open_) {
    if (o->id == id) return;
  }
  SDL_GameController* pad = SDL_GameControllerOpen(device_index);
  if (!pad) return;
  open_.push_back(std::make_unique<Open>(pad, id));
}

bool Controllers::Removed(std::int32_t instance_id) {
  const auto it = std::find_if(open_.begin(), open_.end(),
                               [instance_id](const auto& o) { return o->id == instance_id; });
  if (it == open_.end()) return false;
  open_.erase(it);
  return true;
}

}  // namespace qv::platform::sdl
