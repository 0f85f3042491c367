#pragma once
// The frames-per-second text of fps_show: "%7.02f fps (%dx%dx%d)" in yellow at the top-left,
// drawn with a tiny built-in bitmap font.
namespace qv {

struct Context;

void CreateFpsFont(Context& ctx);
void ReleaseFpsFont(Context& ctx);
// Counts a frame; the rate is measured over periods of at least one second.
void UpdateFpsCounter(Context& ctx);
void DrawFpsText(Context& ctx);

}  // namespace qv
