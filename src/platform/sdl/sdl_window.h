#pragma once
// The SDL back end: the main window with its renderer, the system clock and message boxes.
#include <memory>

#include "platform/clock.h"
#include "platform/pointer_map.h"
#include "platform/sdl/sdl_handles.h"
#include "platform/sdl/sdl_pad.h"
#include "platform/sdl/sdl_render_device.h"
#include "platform/window.h"

namespace qv::platform::sdl {

class SdlWindow final : public Window {
 public:
  // SDL's video system must be up. Null when the window cannot be made.
  // vsync: present in step with the display where the driver can (no tearing, no frames the
  // display never shows); the logic's timer ticks are not tied to it.
  static std::unique_ptr<SdlWindow> Create(bool vsync = true);

  void SetCaption(std::string_view caption) override;
  DeviceError CreateDevice(bool windowed, bool& fell_back) override;
  void DestroyDevice() override {
    device_.reset();
    renderer_ = nullptr;
  }
  RenderDevice* Device() override { return device_.get(); }
  bool Windowed() const override { return windowed_; }
  int DisplayRate() const override;
  bool PollEvent(WindowEvent& event) override;
  bool WaitEvent(std::uint32_t ms) override;
  bool IsActiveWindow() override;
  void GetPointer(int& x, int& y) override;
  void SetSystemPointerVisible(bool visible) override;
  void SetPointer(int x, int y) override;
  void SetFocus(bool) override {}
  void SavePlacement() override;
  void RestorePlacement() override;
  void CenterOnDesktop() override;
  void Restore() override { SDL_RestoreWindow(window_.get()); }
  void Show() override { SDL_ShowWindow(window_.get()); }

  SDL_Window* NativeWindow() const { return window_.get(); }

 private:
  explicit SdlWindow(WindowPtr window) : window_(std::move(window)) {}
  bool Translate(const SDL_Event& in, WindowEvent& out);

  // After a mouse event: the window's mouse state becomes the pointer's frame position.
  void PointerFromMouseState();

  WindowPtr window_;
  Controllers controllers_;
  std::unique_ptr<RenderDevice> device_;
  SDL_Renderer* renderer_ = nullptr;  // the device's
  bool windowed_ = true;
  bool vsync_ = true;
  int saved_x_ = 0, saved_y_ = 0;
  PointerTracker pointer_;  // as the window's events report it
};

class SdlClock final : public Clock {
 public:
  std::uint32_t TickCount() override { return SDL_GetTicks(); }
  DateTime Now() override;
};

class SdlMessageBoxes final : public MessageBoxes {
 public:
  explicit SdlMessageBoxes(SDL_Window* parent) : parent_(parent) {}
  void Show(MessageKind kind, std::string_view caption, std::string_view text) override;

 private:
  SDL_Window* parent_;
};

}  // namespace qv::platform::sdl
