// The definition reader on arbitrary bytes, followed by an instance of the result going through
// Update, the move pass and the draw pass. Two small images beside the definition let part
// lines reach the tile cutter and the atlas.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "shell/context.h"
#include "sprites/draw_list.h"
#include "sprites/multisprite.h"
#include "sprites/prototype.h"

namespace {

void WriteTga(const char* path, int w, int h) {
  std::string s(18, '\0');
  s[2] = 2;
  s[12] = static_cast<char>(w);
  s[14] = static_cast<char>(h);
  s[16] = 32;
  s[17] = 8;
  for (int i = 0; i < w * h; ++i) {
    const char a = static_cast<char>(i % 3 == 0 ? 0 : 200);
    s += std::string{static_cast<char>(i), static_cast<char>(i * 3), 'z', a};
  }
  std::ofstream(path, std::ios::binary) << s;
}

bool Prepare() {
  char tmpl[] = "/tmp/qv_fuzz_spr_XXXXXX";
  if (!mkdtemp(tmpl)) std::abort();
  std::filesystem::current_path(tmpl);
  std::filesystem::create_directory("fz");
  WriteTga("fz/a.tga", 12, 10);
  WriteTga("fz/strip.tga", 32, 8);
  return true;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const bool ready = Prepare();
  (void)ready;
  qv::Context ctx;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  qv::LoadPrototypeFromBytes(ctx, "fz\\f.spr", bytes);
  qv::TMultiSprite* m = qv::CreateMultiSprite(ctx, "fz\\f.spr");
  for (int step = 0; step < 3; ++step) {
    m->Update();
    m->SelectPart(step, step - 1);
    qv::SpriteEngineMove(ctx, 16);
    qv::SpriteEngineDraw(ctx);
    (void)m->ContainsPoint(ctx, 20, 20);
  }
  qv::DestroyMultiSprite(ctx, m);
  return 0;
}
