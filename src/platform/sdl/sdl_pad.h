#pragma once
// SDL's game-controller buttons and axes to the platform's pad numbers, and the controllers
// that are plugged in (opened as they arrive, closed as they leave).
#include <cstdint>
#include <memory>
#include <vector>

namespace qv::platform::sdl {

// kPad* of platform/window.h, or -1 for a button the game does not use.
int PadButtonFromSdl(std::uint8_t sdl_button);
// kPadLeftX / kPadLeftY, or -1.
int PadAxisFromSdl(std::uint8_t sdl_axis);

class Controllers {
 public:
  Controllers();
  ~Controllers();
  Controllers(const Controllers&) = delete;
  Controllers& operator=(const Controllers&) = delete;

  // A device index from SDL_CONTROLLERDEVICEADDED: open it (once).
  void Added(int device_index);
  // An instance id from SDL_CONTROLLERDEVICEREMOVED: close it. True when it was ours.
  bool Removed(std::int32_t instance_id);
  std::size_t count() const { return open_.size(); }

 private:
  struct Open;
  std::vector<std::unique_ptr<Open>> open_;
};

}  // namespace qv::platform::sdl
