#pragma once
// The pointer as a window's own mouse events report it, mapped onto the 800 x 600 frame. Any
// back end that shows the frame in a window of another size (fullscreen, a resized window, a
// page's canvas) maps through here, so the game sees the same coordinates whatever the window.
namespace qv::platform {

// Where the frame lies in a window: scaled by num / den to fit, centred, bars on two sides.
// Integer arithmetic throughout, so a frame position sent out and read back comes home exact.
struct FrameFit {
  int num = 1, den = 1;  // window pixels per frame pixel, as a fraction
  int left = 0, top = 0;  // the frame's top-left corner in the window
};

FrameFit FitFrame(int window_w, int window_h);

// A window pixel to the frame pixel shown there; positions on the bars or outside the window
// land outside 0..799 x 0..599.
void WindowToFrame(const FrameFit& fit, int wx, int wy, int& fx, int& fy);
// A frame pixel to a window pixel that WindowToFrame maps back onto it (when the frame is
// shown at least at its own size).
void FrameToWindow(const FrameFit& fit, int fx, int fy, int& wx, int& wy);

// Follows the pointer from the window's events. Nothing is asked of the system: a global
// position is stale under synthetic input on X11 and does not exist on Wayland or in a page.
class PointerTracker {
 public:
  // A motion or button event at a window position (outside the window while a held button
  // captures the mouse).
  void Moved(int wx, int wy, int window_w, int window_h);
  // The pointer left the window without a button held: the window's last position lies on
  // its edge, so it is pushed just past the nearest one and every hit test fails.
  void Left();
  // The program put the pointer at this frame position.
  void Warped(int fx, int fy);

  int X() const { return x_; }
  int Y() const { return y_; }

 private:
  // Unknown until the first event: outside, so no button is hovered by chance.
  int x_ = -1, y_ = -1;
};

}  // namespace qv::platform
