#pragma once
// The mouse cursor sprite that both scenes' buttons light up: made once loading has ended, for
// the rest of the run; before that there is none and every call does nothing.
namespace qv {

struct Context;

inline constexpr const char* kCursorSpritePath = "graphics\\cursors\\mouse_cursor.spr";

void MakeCursorSprite(Context& ctx);
void ShowCursorSprite(Context& ctx, bool visible);
void MoveCursorSprite(Context& ctx, int x, int y);
// Variant 1 over a button, 0 elsewhere.
void SetCursorVariant(Context& ctx, int variant);

}  // namespace qv
