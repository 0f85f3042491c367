#pragma once
// The main window: its render device, its events and the system pointer. One SDL
// implementation (platform/sdl) and one headless (platform/headless).
#include <cstdint>
#include <string_view>

namespace qv::platform {

class RenderDevice;

// Why a device could not be made. The shell turns each into the player's message.
enum class DeviceError : std::uint8_t {
  None,
  OutOfMemory,
  NoDisplaySystem,     // the video system could not start
  NoCompatibleDevice,  // no renderer at all
  DeviceCreation,      // the renderer could not be created
  BadDisplayMode,
  Generic,
};

// Mouse button numbers as the shell and the game pass them on.
enum MouseButton : int { kMouseLeft = 0, kMouseRight = 1, kMouseMiddle = 2 };
// Game controller buttons and sticks, as the back end reports them.
enum PadButton : int {
  kPadA = 0,
  kPadB,
  kPadStart,
  kPadBack,
  kPadUp,
  kPadDown,
  kPadLeft,
  kPadRight,
  kPadButtonCount
};
enum PadAxis : int { kPadLeftX = 0, kPadLeftY = 1 };
// Shift state bits of a key press.
enum ShiftBits : int { kShiftShift = 1, kShiftAlt = 2, kShiftCtrl = 4 };

struct WindowEvent {
  enum class Type : std::uint8_t {
    MouseDown,
    MouseUp,
    MouseMove,
    KeyDown,
    KeyUp,  // the key went up; only the input path's keyboard aim cares
    PadButtonDown,
    PadButtonUp,
    PadAxisMotion,  // button: PadAxis; value: -32768..32767
    PadRemoved,     // a controller went away: whatever it held is let go
    Activate,
    Deactivate,
    Minimize,
    Restore,
    Close,
    DeviceReset,  // render targets or the device were lost: device objects must be rebuilt
    Exposed,      // the window was uncovered or resized: what it shows must be drawn again
  };
  Type type = Type::MouseMove;
  int button = 0;  // MouseButton
  int key = 0;     // Windows virtual-key code
  int shift = 0;   // ShiftBits
  int value = 0;   // axis position
  bool repeat = false;  // a key press repeated by holding the key
};

class Window {
 public:
  virtual ~Window() = default;

  virtual void SetCaption(std::string_view caption) = 0;
  // Creates the device, windowed or desktop-fullscreen (800 x 600 logical, letterboxed). When
  // the accelerated renderer fails and the software one works, fell_back is set.
  virtual DeviceError CreateDevice(bool windowed, bool& fell_back) = 0;
  virtual void DestroyDevice() = 0;
  virtual RenderDevice* Device() = 0;
  virtual bool Windowed() const = 0;
  // The frames per second the display can show, to draw no more than that; 0: draw every frame.
  virtual int DisplayRate() const = 0;

  virtual bool PollEvent(WindowEvent& event) = 0;
  // Waits up to ms for an event; true when one is waiting.
  virtual bool WaitEvent(std::uint32_t ms) = 0;
  virtual bool IsActiveWindow() = 0;
  // The pointer in client pixels of the 800 x 600 screen; may lie outside it. It changes only
  // as events are polled (or SetPointer moves it), so a whole timer tick and its recording see
  // one position, and a press sees the position its own event brought.
  virtual void GetPointer(int& x, int& y) = 0;
  virtual void SetSystemPointerVisible(bool visible) = 0;
  // Scripted input: move the system pointer; tell whether the main window has the focus.
  virtual void SetPointer(int x, int y) = 0;
  virtual void SetFocus(bool focused) = 0;

  virtual void SavePlacement() = 0;
  virtual void RestorePlacement() = 0;
  virtual void CenterOnDesktop() = 0;
  virtual void Restore() = 0;  // un-minimise
  virtual void Show() = 0;
};

enum class MessageKind : std::uint8_t { Error, Information };

class MessageBoxes {
 public:
  virtual ~MessageBoxes() = default;
  virtual void Show(MessageKind kind, std::string_view caption, std::string_view text) = 0;
};

}  // namespace qv::platform
