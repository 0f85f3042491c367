#include "platform/sdl/sdl_window.h"

#ifdef __EMSCRIPTEN__
#include <emscripten.h>
#endif

#include <cstdio>
#include <ctime>
#include <string>

#include "platform/render_device.h"
#include "platform/sdl/keys.h"
#include "platform/sdl/sdl_soft_device.h"

namespace qv::platform::sdl {

std::unique_ptr<SdlWindow> SdlWindow::Create(bool vsync) {
  WindowPtr window(SDL_CreateWindow("Quorvex", SDL_WINDOWPOS_CENTERED, SDL_WINDOWPOS_CENTERED,
                                    kScreenWidth, kScreenHeight, 0));
  if (!window) return nullptr;
  SDL_SetWindowMinimumSize(window.get(), 100, 100);
  std::unique_ptr<SdlWindow> made(new SdlWindow(std::move(window)));
  made->vsync_ = vsync;
  return made;
}

void SdlWindow::SetCaption(std::string_view caption) {
  SDL_SetWindowTitle(window_.get(), std::string(caption).c_str());
}

DeviceError SdlWindow::CreateDevice(bool windowed, bool& fell_back) {
  fell_back = false;
  DestroyDevice();
  windowed_ = windowed;
#ifdef __EMSCRIPTEN__
  // The page goes fullscreen as a whole, so its own letterbox keeps the frame's shape; SDL's
  // request would stretch the canvas and wait for the player's next click. The request comes
  // within moments of the click on the game's switch, which browsers accept as its gesture.
  EM_ASM({ if (Module['quorvexFullscreen']) Module['quorvexFullscreen']($0 !== 0); },
         windowed ? 0 : 1);
#else
  if (SDL_SetWindowFullscreen(
          window_.get(), windowed ? 0u : static_cast<Uint32>(SDL_WINDOW_FULLSCREEN_DESKTOP)) != 0) {
    return DeviceError::BadDisplayMode;
  }
#endif
  if (windowed) SDL_SetWindowSize(window_.get(), kScreenWidth, kScreenHeight);
  const Uint32 sync = vsync_ ? static_cast<Uint32>(SDL_RENDERER_PRESENTVSYNC) : 0u;
  RendererPtr renderer(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_ACCELERATED | sync));
  if (!renderer) {
    renderer.reset(SDL_CreateRenderer(window_.get(), -1, SDL_RENDERER_SOFTWARE | sync));
    if (!renderer) return DeviceError::DeviceCreation;
    fell_back = true;
  }
  // Any desktop size: the 800 x 600 frame is scaled and letterboxed.
  SDL_RenderSetLogicalSize(renderer.get(), kScreenWidth, kScreenHeight);
  renderer_ = renderer.get();
  SDL_RendererInfo info{};
  if (SDL_GetRendererInfo(renderer_, &info) == 0 && info.name &&
      std::string(info.name) == "software") {
    device_ = std::make_unique<SdlSoftDevice>(std::move(renderer));
  } else {
    device_ = std::make_unique<SdlRenderDevice>(std::move(renderer), nullptr);
  }
  return DeviceError::None;
}

int SdlWindow::DisplayRate() const {
  if (!vsync_) return 0;  // asked to present every frame at once
  SDL_DisplayMode mode{};
  const int display = SDL_GetWindowDisplayIndex(window_.get());
  // A display that names no rate (a virtual X server, some remote sessions) is taken as 60 Hz,
  // what nearly every display shows.
  if (display < 0 || SDL_GetCurrentDisplayMode(display, &mode) != 0 || mode.refresh_rate <= 0)
    return 60;
  return mode.refresh_rate;
}

bool SdlWindow::Translate(const SDL_Event& in, WindowEvent& out) {
  using Type = WindowEvent::Type;
  switch (in.type) {
    case SDL_QUIT:
      out.type = Type::Close;
      return true;
    case SDL_MOUSEMOTION:
      PointerFromMouseState();
      out.type = Type::MouseMove;
      return true;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
      PointerFromMouseState();
      out.type = in.type == SDL_MOUSEBUTTONDOWN ? Type::MouseDown : Type::MouseUp;
      out.button = in.button.button == SDL_BUTTON_LEFT     ? kMouseLeft
                   : in.button.button == SDL_BUTTON_RIGHT  ? kMouseRight
                   : in.button.button == SDL_BUTTON_MIDDLE ? kMouseMiddle
                                                           : 3;
      return true;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
      out.type = in.type == SDL_KEYDOWN ? Type::KeyDown : Type::KeyUp;
      out.key = VirtualKeyFromSdl(in.key.keysym.sym);
      out.shift = ShiftStateFromSdl(in.key.keysym.mod);
      out.repeat = in.key.repeat != 0;
      return out.key != 0;
    case SDL_CONTROLLERDEVICEADDED:
      controllers_.Added(in.cdevice.which);
      return false;
    case SDL_CONTROLLERDEVICEREMOVED:
      out.type = Type::PadRemoved;
      return controllers_.Removed(in.cdevice.which);
    case SDL_CONTROLLERBUTTONDOWN:
    case SDL_CONTROLLERBUTTONUP:
      out.type = in.type == SDL_CONTROLLERBUTTONDOWN ? Type::PadButtonDown : Type::PadButtonUp;
      out.button = PadButtonFromSdl(in.cbutton.button);
      return out.button >= 0;
    case SDL_CONTROLLERAXISMOTION:
      out.type = Type::PadAxisMotion;
      out.button = PadAxisFromSdl(in.caxis.axis);
      out.value = in.caxis.value;
      return out.button >= 0;
    case SDL_RENDER_TARGETS_RESET:
    case SDL_RENDER_DEVICE_RESET:
      out.type = Type::DeviceReset;
      return true;
    case SDL_WINDOWEVENT:
      switch (in.window.event) {
        case SDL_WINDOWEVENT_FOCUS_GAINED:
          out.type = Type::Activate;
          return true;
        case SDL_WINDOWEVENT_FOCUS_LOST:
          out.type = Type::Deactivate;
          return true;
        case SDL_WINDOWEVENT_MINIMIZED:
          out.type = Type::Minimize;
          return true;
        case SDL_WINDOWEVENT_RESTORED:
          out.type = Type::Restore;
          return true;
        case SDL_WINDOWEVENT_CLOSE:
          out.type = Type::Close;
          return true;
#ifdef __EMSCRIPTEN__
        // A page whose tab is hidden keeps its focus but nobody sees it: pause as on focus loss.
        case SDL_WINDOWEVENT_HIDDEN:
          out.type = Type::Deactivate;
          return true;
        case SDL_WINDOWEVENT_SHOWN:
          out.type = Type::Activate;
          return true;
#endif
        case SDL_WINDOWEVENT_EXPOSED:
        case SDL_WINDOWEVENT_SIZE_CHANGED:
          out.type = Type::Exposed;
          return true;
        case SDL_WINDOWEVENT_LEAVE:
          pointer_.Left();  // the tick's sample and its recording see it
          return false;
        default:
          return false;
      }
    default:
      return false;
  }
}

bool SdlWindow::PollEvent(WindowEvent& event) {
  SDL_Event e;
  while (SDL_PollEvent(&e)) {
    event = WindowEvent{};
    if (Translate(e, event)) return true;
  }
  return false;
}

bool SdlWindow::WaitEvent(std::uint32_t ms) {
  return SDL_WaitEventTimeout(nullptr, static_cast<int>(ms)) == 1;
}

bool SdlWindow::IsActiveWindow() {
  return (SDL_GetWindowFlags(window_.get()) & SDL_WINDOW_INPUT_FOCUS) != 0;
}

void SdlWindow::GetPointer(int& x, int& y) {
  x = pointer_.X();
  y = pointer_.Y();
}

void SdlWindow::PointerFromMouseState() {
  // The window's own mouse state, in window pixels: the events' positions are already scaled
  // by the renderer (truncated toward zero, so the bar beside the frame would read as inside),
  // and a web back end gets window positions too.
  int wx = 0, wy = 0, w = 0, h = 0;
  SDL_GetMouseState(&wx, &wy);
  SDL_GetWindowSize(window_.get(), &w, &h);
  pointer_.Moved(wx, wy, w, h);
}

void SdlWindow::SetSystemPointerVisible(bool visible) {
  SDL_ShowCursor(visible ? SDL_ENABLE : SDL_DISABLE);
}

void SdlWindow::SetPointer(int x, int y) {
  int w = 0, h = 0, wx = 0, wy = 0;
  SDL_GetWindowSize(window_.get(), &w, &h);
  FrameToWindow(FitFrame(w, h), x, y, wx, wy);
  SDL_WarpMouseInWindow(window_.get(), wx, wy);
  // The warp's own motion event comes later and maps back onto the same frame position.
  pointer_.Warped(x, y);
}

void SdlWindow::SavePlacement() {
  SDL_GetWindowPosition(window_.get(), &saved_x_, &saved_y_);
}

void SdlWindow::RestorePlacement() {
  SDL_SetWindowPosition(window_.get(), saved_x_, saved_y_);
}

void SdlWindow::CenterOnDesktop() {
  SDL_DisplayMode mode{};
  const int display = SDL_GetWindowDisplayIndex(window_.get());
  if (SDL_GetDesktopDisplayMode(display < 0 ? 0 : display, &mode) != 0) return;
  SDL_SetWindowPosition(window_.get(), (mode.w - kScreenWidth) / 2, (mode.h - kScreenHeight) / 2);
}

DateTime SdlClock::Now() {
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

void SdlMessageBoxes::Show(MessageKind kind, std::string_view caption, std::string_view text) {
  // The texts carry Windows line breaks; the box wants plain ones.
  std::string shown;
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    shown += text[i];
  }
  const Uint32 flags =
      kind == MessageKind::Error ? SDL_MESSAGEBOX_ERROR : SDL_MESSAGEBOX_INFORMATION;
  if (SDL_ShowSimpleMessageBox(flags, std::string(caption).c_str(), shown.c_str(), parent_) != 0) {
    std::fprintf(stderr, "Error: %s\n", shown.c_str());
  }
}

}  // namespace qv::platform::sdl
