#pragma once
// The mouse cursor sprite that both scenes' buttons light up: made once loading has ended, for
// the rest of the run; before that there is none and every call does nothing.
namespace qv {

struct SceneWorld;

inline constexpr const char* kCursorSpritePath = "graphics\\cursors\\mouse_cursor.spr";

void MakeCursorSprite(SceneWorld& ctx);
void ShowCursorSprite(SceneWorld& ctx, bool visible);
void MoveCursorSprite(SceneWorld& ctx, int x, int y);
// Variant 1 over a button, 0 elsewhere.
void SetCursorVariant(SceneWorld& ctx, int variant);

}  // namespace qv
