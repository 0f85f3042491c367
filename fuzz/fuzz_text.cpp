// The text layout reader on arbitrary bytes: the input's first line is the parameter list, the
// rest the layout file. Inputs may name the font "/tmp/qv_fuzz_scene/font.spr" to lay out real
// glyphs. Measuring and laying out single lines with that font follow.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "scene/registry.h"
#include "scene/text.h"
#include "sprites/draw_list.h"
#include "sprites/multisprite.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool prepared = (qv::fuzz::PrepareSceneFolder(), true);
  (void)prepared;
  qv::Context ctx;
  qv::fuzz::Silence(ctx);
  std::string_view bytes(reinterpret_cast<const char*>(data), size);
  std::string_view params;
  if (const std::size_t end = bytes.find('\n'); end != std::string_view::npos) {
    params = bytes.substr(0, end);
    bytes.remove_prefix(end + 1);
  }
  qv::ShowTextLayout(ctx, "text\\fuzz.txt", bytes, "fuzz_text", params);
  const std::string_view line = bytes.substr(0, 64);
  const std::string font = std::string(qv::fuzz::kSceneFolder) + "/font.spr";
  (void)qv::MeasureText(ctx, line, font, 1.5);
  (void)qv::create_txt(ctx, line, -1, font, static_cast<int>(size % 4), "fuzz_line", -1, 0.5,
                       10, 400);
  qv::SpriteEngineMove(ctx, 16);
  qv::SpriteEngineDraw(ctx);
  qv::unload_by_tag(ctx, "fuzz_text");
  qv::unload_by_tag(ctx, "fuzz_line");
  return 0;
}
