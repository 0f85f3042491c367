#pragma once
// What the reader entry points share: a Context whose error boxes go nowhere (a box per input
// would flood the fuzzer's output) and a scratch folder under a lower-case absolute path, since
// game paths are lower-cased before use.
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

#include "context.h"
#include "platform/window.h"

namespace qv::fuzz {

class SilentBoxes final : public platform::MessageBoxes {
 public:
  void Show(platform::MessageKind, std::string_view, std::string_view) override {}
};

inline void Silence(Context& ctx) {
  static SilentBoxes boxes;
  ctx.platform.messages = &boxes;
}

// "/tmp/qv_fuzz_<what>_<pid>", created once per process.
inline std::string ScratchFolder(std::string_view what) {
  std::string dir = "/tmp/qv_fuzz_" + std::string(what) + "_" + std::to_string(getpid());
  std::error_code ec;
  std::filesystem::create_directories(dir, ec);
  if (ec) std::abort();
  return dir;
}

inline void WriteBytes(const std::string& path, std::string_view bytes) {
  std::ofstream(path, std::ios::binary | std::ios::trunc)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

// A 32-bit uncompressed TGA of w x h with a little pattern, for sprites the inputs may name.
inline std::string TgaBytes(int w, int h) {
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
  return s;
}

// Sprites that hand-made inputs name by absolute path: "/tmp/qv_fuzz_scene/font.spr" (a font of
// 16 glyphs from code 65 with its ".pos") and "/tmp/qv_fuzz_scene/a.spr". Several fuzzers may
// share the folder, so each file is written beside and renamed into place.
constexpr const char* kSceneFolder = "/tmp/qv_fuzz_scene";

inline void PlaceFile(const std::string& path, std::string_view bytes) {
  const std::string temp = path + "." + std::to_string(getpid());
  WriteBytes(temp, bytes);
  std::filesystem::rename(temp, path);
}

inline void PrepareSceneFolder() {
  std::filesystem::create_directories(kSceneFolder);
  const std::string dir = kSceneFolder;
  PlaceFile(dir + "/font.tga", TgaBytes(16, 16));
  PlaceFile(dir + "/a.tga", TgaBytes(12, 10));
  PlaceFile(dir + "/font.spr", "z=100\r\n1\r\nfont.tga,frame_width=4,frame_height=4,texture_size=16\r\n");
  PlaceFile(dir + "/font.pos", "1.5\r\n#65\r\n3\r\n4\r\n2\r\n4\r\n4\r\n3\r\n4\r\n4\r\n1\r\n");
  PlaceFile(dir + "/a.spr", "z=5\r\n2\r\na.tga,frame_width=4,texture_size=16\r\na.tga,angle=30\r\n");
}

inline std::string GamePath(std::string host) {
  for (char& c : host) c = c == '/' ? '\\' : c;
  return host;
}

}  // namespace qv::fuzz
