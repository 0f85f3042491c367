#pragma once
// The sprite engine's entry points for the shell's frame and device hooks, and its section of
// the harness's state dump.
#include <cstdint>

namespace qv {

struct SpriteWorld;
class JsonWriter;
namespace platform {
class RenderDevice;
}

void SpritesMoveHook(SpriteWorld& ctx, int move_count);
void SpritesCollectHook(SpriteWorld& ctx);
bool SpritesTextureLostHook(const SpriteWorld& ctx);
void SpritesRenderHook(SpriteWorld& ctx, platform::RenderDevice& device);
void SpritesClearListHook(SpriteWorld& ctx);
std::uint64_t SpritesPictureHook(const SpriteWorld& ctx);
bool SpritesRestoreHook(SpriteWorld& ctx);
void SpritesReleaseHook(SpriteWorld& ctx);

// "objects": every live multisprite in slot order.
void WriteObjectsSection(const SpriteWorld& ctx, JsonWriter& out);

}  // namespace qv
