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

#include "context.h"
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

// The definition's game path: absolute, so the fuzzer never changes the working directory
// (libFuzzer reads its corpus folders by relative paths).
std::string Prepare() {
  char tmpl[] = "/tmp/qv_fuzz_spr_XXXXXX";
  if (!mkdtemp(tmpl)) std::abort();
  const std::string dir = std::string(tmpl) + "/fz";
  std::filesystem::create_directory(dir);
  WriteTga((dir + "/a.tga").c_str(), 12, 10);
  WriteTga((dir + "/strip.tga").c_str(), 32, 8);
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
