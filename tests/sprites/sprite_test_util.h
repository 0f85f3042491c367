#pragma once
// Shared helpers of the sprite tests: a scratch game folder, a recording render device and
// writers for the image files the tests feed the loader.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "context.h"
#include "platform/files.h"
#include "platform/render_device.h"

namespace qv::test {

// Runs the test inside a fresh temporary directory (the game folder) and returns on exit.
class ScratchDir {
 public:
  ScratchDir() {
    old_ = std::filesystem::current_path();
    char tmpl[] = "/tmp/qv_sprites_XXXXXX";
    dir_ = mkdtemp(tmpl);
    std::filesystem::current_path(dir_);
  }
  ~ScratchDir() {
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  ScratchDir(const ScratchDir&) = delete;
  ScratchDir& operator=(const ScratchDir&) = delete;

 private:
  std::filesystem::path old_, dir_;
};

// Writes a file at a game path, creating its folders.
inline void WriteFile(const std::string& game_path, const std::string& bytes) {
  const std::filesystem::path host = platform::HostPath(game_path);
  if (host.has_parent_path()) std::filesystem::create_directories(host.parent_path());
  std::ofstream(host, std::ios::binary)
      .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
}

inline std::string ReadFile(const std::string& host_path) {
  std::ifstream in(host_path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// A simple ARGB picture for building test images.
struct Picture {
  int w = 0, h = 0;
  std::vector<std::uint32_t> px;
  Picture(int width, int height, std::uint32_t fill = 0xFF000000u)
      : w(width), h(height), px(static_cast<std::size_t>(width) * height, fill) {}
  std::uint32_t& at(int x, int y) { return px[static_cast<std::size_t>(y) * w + x]; }
  std::uint32_t at(int x, int y) const { return px[static_cast<std::size_t>(y) * w + x]; }
  void Fill(int x0, int y0, int x1, int y1, std::uint32_t c) {
    for (int y = y0; y < y1; ++y)
      for (int x = x0; x < x1; ++x) at(x, y) = c;
  }
};

// Uncompressed TGA: 32-bit with alpha, 24-bit, or 8-bit grey (blue channel); bottom-up unless
// top_down.
std::string TgaBytes(const Picture& p, int bpp, bool top_down = false, bool rle = false,
                     bool right_to_left = false);
// BMP, bottom-up: 24-bit, or 32-bit in B, G, R, A byte order.
std::string BmpBytes(const Picture& p, int bpp);
std::string PngBytes(const Picture& p, bool alpha);
std::string JpegBytes(const Picture& p, int quality);

// Records every call; textures keep their uploaded pixels.
class FakeDevice : public platform::RenderDevice {
 public:
  int CreateTexture(platform::TextureFormat format) override {
    if (fail_create) return -1;
    log.push_back("create");
    textures.emplace_back();
    formats.push_back(format);
    return static_cast<int>(textures.size()) - 1;
  }
  bool UploadTexture(int id, const void* pixels) override {
    if (id < 0 || id >= static_cast<int>(textures.size())) return false;
    ++uploads;
    auto& t = textures[id];
    if (formats[id] == platform::TextureFormat::ARGB4444) {
      const auto* p = static_cast<const std::uint16_t*>(pixels);
      t.assign(p, p + 65536);
    } else {
      const auto* p = static_cast<const std::uint32_t*>(pixels);
      t.assign(p, p + 65536);
    }
    return true;
  }
  void ReleaseTexture(int id) override { log.push_back("release " + std::to_string(id)); }
  bool BeginScene() override { return true; }
  void Clear(std::uint32_t) override {}
  void SetRotation(float angle, float cx, float cy) override {
    log.push_back("rotation " + std::to_string(angle) + " " + std::to_string(cx) + " " +
                  std::to_string(cy));
  }
  void SetBlend(platform::Blend blend) override {
    log.push_back(blend == platform::Blend::Alpha ? "blend alpha" : "blend add");
  }
  bool BindTexture(int id) override {
    log.push_back("bind " + std::to_string(id));
    return id < static_cast<int>(textures.size()) && !fail_bind;
  }
  void SetFilter(platform::Filter f) override {
    log.push_back(f == platform::Filter::Point ? "filter point" : "filter linear");
  }
  bool DrawQuad(const platform::DeviceQuad& q) override {
    quads.push_back(q);
    log.push_back("draw");
    return true;
  }
  void EndScene() override {}
  bool Present() override { return true; }
  bool ReadPixels(std::uint32_t*) override { return false; }
  std::string Describe() const override { return "fake"; }

  std::vector<std::vector<std::uint32_t>> textures;
  std::vector<platform::TextureFormat> formats;
  std::vector<std::string> log;
  std::vector<platform::DeviceQuad> quads;
  int uploads = 0;
  bool fail_create = false;
  bool fail_bind = false;
};

}  // namespace qv::test
