#pragma once
// Hands one window event to its handler, as the window's message handling does. Errors thrown
// by a handler (IoError) end that handler and are shown in an error box.
namespace qv {

struct Context;
namespace platform {
struct WindowEvent;
}

void DispatchWindowEvent(Context& ctx, const platform::WindowEvent& event);

}  // namespace qv
