#pragma once
// Hands one window event to its handler, as the window's message handling does. A log write
// that failed in the handler is shown in an error box once the handler is done.
namespace qv {

struct Context;
namespace platform {
struct WindowEvent;
}

void DispatchWindowEvent(Context& ctx, const platform::WindowEvent& event);

}  // namespace qv
