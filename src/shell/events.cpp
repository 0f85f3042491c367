#include "shell/events.h"

#include <exception>

#include "base/message.h"
#include "context.h"
#include "platform/window.h"
#include "shell/main_form.h"

namespace qv {

void DispatchWindowEvent(Context& ctx, const platform::WindowEvent& event) {
  using Type = platform::WindowEvent::Type;
  ShellState& s = ctx.shell;
  try {
    switch (event.type) {
      case Type::MouseDown:
        FormMouseDown(ctx, event.button);
        break;
      case Type::MouseUp:
        FormMouseUp(ctx, event.button);
        break;
      case Type::MouseMove:
        FormMouseMove(ctx);
        break;
      case Type::KeyDown:
        FormKeyDown(ctx, event.key, event.shift);
        break;
      case Type::Activate:
        s.device.picture_shown = false;
        AppActivate(ctx);
        break;
      case Type::Deactivate:
        AppDeactivate(ctx);
        break;
      case Type::Minimize:
        // No frames are stepped or drawn while minimised.
        s.device.window_active = false;
        AppMinimize(ctx);
        break;
      case Type::Restore:
        // A restored window gets its device anew, then the application hears of it.
        s.device.window_active = true;
        s.device.picture_shown = false;
        if (s.device.device_ready && s.device.windowed) ChangeDisplay(ctx);
        AppRestore(ctx);
        break;
      case Type::Close:
        CloseMainWindow(ctx);
        break;
      case Type::DeviceReset:
        DeviceReset(ctx);
        break;
      case Type::Exposed:
        s.device.picture_shown = false;
        break;
      case Type::KeyUp:
      case Type::PadButtonDown:
      case Type::PadButtonUp:
      case Type::PadAxisMotion:
      case Type::PadRemoved:
        // The input path turns these into pointer and key events; the handlers never see them.
        break;
    }
  } catch (const std::exception& e) {
    // Nothing of ours throws; whatever a library does ends this handler only.
    ReportError(ctx, e.what());
  }
  ReportLogFailure(ctx);
}

}  // namespace qv
