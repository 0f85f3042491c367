#pragma once
// The sprite engine's entry points for the shell's frame and device hooks, and its section of
// the harness's state dump.
namespace qv {

struct Context;
class JsonWriter;
namespace platform {
class RenderDevice;
}

void SpritesMoveHook(Context& ctx, int move_count);
void SpritesCollectHook(Context& ctx);
bool SpritesTextureLostHook(const Context& ctx);
void SpritesRenderHook(Context& ctx, platform::RenderDevice& device);
void SpritesClearListHook(Context& ctx);
bool SpritesRestoreHook(Context& ctx);
void SpritesReleaseHook(Context& ctx);

// "objects": every live multisprite in slot order.
void WriteObjectsSection(const Context& ctx, JsonWriter& out);

}  // namespace qv
