#pragma once
// The headless back end: a window nobody sees, drawn on the offscreen device, with the pointer
// and focus the script sets, and message boxes printed to standard error.
#include <deque>
#include <memory>

#include "platform/render_device.h"
#include "platform/window.h"

namespace qv::platform {

class HeadlessWindow final : public Window {
 public:
  void SetCaption(std::string_view) override {}
  DeviceError CreateDevice(bool windowed, bool& fell_back) override;
  void DestroyDevice() override { device_.reset(); }
  RenderDevice* Device() override { return device_.get(); }
  bool Windowed() const override { return windowed_; }
  int DisplayRate() const override { return display_rate_; }
  void SetDisplayRate(int rate) { display_rate_ = rate; }
  bool PollEvent(WindowEvent& event) override {
    if (events_.empty()) return false;
    event = events_.front();
    events_.pop_front();
    return true;
  }
  bool WaitEvent(std::uint32_t) override { return false; }
  bool IsActiveWindow() override { return focused_; }
  void GetPointer(int& x, int& y) override {
    x = x_;
    y = y_;
  }
  void SetSystemPointerVisible(bool visible) override { pointer_visible_ = visible; }
  void SetPointer(int x, int y) override {
    x_ = x;
    y_ = y;
  }
  void SetFocus(bool focused) override { focused_ = focused; }
  void SavePlacement() override {}
  void RestorePlacement() override {}
  void CenterOnDesktop() override {}
  void Restore() override {}
  void Show() override {}

  bool PointerVisible() const { return pointer_visible_; }
  // Queues an event as a device would deliver it (tests drive the game controller this way).
  void PushEvent(const WindowEvent& event) { events_.push_back(event); }

 private:
  int display_rate_ = 0;  // none: every frame is drawn
  std::unique_ptr<RenderDevice> device_;
  std::deque<WindowEvent> events_;
  bool windowed_ = true;
  bool focused_ = true;
  bool pointer_visible_ = true;
  int x_ = 0, y_ = 0;
};

// "Error: <text>" on standard error; never waits.
class StderrMessageBoxes final : public MessageBoxes {
 public:
  void Show(MessageKind kind, std::string_view caption, std::string_view text) override;
};

}  // namespace qv::platform
