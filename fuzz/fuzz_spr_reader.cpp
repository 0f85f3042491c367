// The definition reader on arbitrary bytes, followed by an instance of the result going through
// Update, the move pass and the draw pass. Two small images beside the definition let part
// lines reach the tile cutter and the atlas.
#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <string_view>

#include "context.h"
#include "fuzz_support.h"
#include "sprites/draw_list.h"
#include "sprites/multisprite.h"
#include "sprites/prototype.h"

namespace {

// The definition's game path: absolute, so the fuzzer never changes the working directory
// (libFuzzer reads its corpus folders by relative paths).
std::string Prepare() {
  char tmpl[] = "/tmp/qv_fuzz_spr_XXXXXX";
  if (!mkdtemp(tmpl)) std::abort();
  const std::string dir = std::string(tmpl) + "/fz";
  std::filesystem::create_directory(dir);
  qv::fuzz::WriteBytes(dir + "/a.tga", qv::fuzz::TgaBytes(12, 10));
  qv::fuzz::WriteBytes(dir + "/strip.tga", qv::fuzz::TgaBytes(32, 8));
  std::string game = dir + "/f.spr";
  for (char& c : game) c = c == '/' ? '\\' : c;
  return game;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string path = Prepare();
  qv::Context ctx;
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  qv::LoadPrototypeFromBytes(ctx, path, bytes);
  qv::TMultiSprite* m = qv::CreateMultiSprite(ctx, path);
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
