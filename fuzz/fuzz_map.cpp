// The map reader on arbitrary bytes, then a move and draw pass over what it made and the
// unloading of its tag. Inputs may name "/tmp/qv_fuzz_scene/a.spr" to place real sprites.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "fuzz_support.h"
#include "scene/map.h"
#include "scene/registry.h"
#include "sprites/draw_list.h"
#include "sprites/multisprite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool prepared = (qv::fuzz::PrepareSceneFolder(), true);
  (void)prepared;
  qv::Context ctx;
  qv::fuzz::Silence(ctx);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  const int made = qv::LoadLocationMapText(ctx, "maps\\fuzz.map", bytes);
  if (made < 0) std::abort();
  qv::SpriteEngineMove(ctx, 16);
  qv::SpriteEngineDraw(ctx);
  // Every object the map made carries its tag.
  if (qv::unload_by_tag(ctx, "maps\\fuzz") != made) std::abort();
  return 0;
}
