#pragma once
// A fresh game folder per test: the test runs with it as working directory and writes content
// files into it by game path ("graphics\a.spr").
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

#include "platform/png_writer.h"

namespace qv::testing_support {

// A 16 x 16 white RGBA PNG.
inline std::string WhitePng() {
  static const char kBytes[] =
      "\x89\x50\x4e\x47\x0d\x0a\x1a\x0a\x00\x00\x00\x0d\x49\x48\x44\x52\x00\x00\x00\x10\x00\x00"
      "\x00\x10\x08\x06\x00\x00\x00\x1f\xf3\xff\x61\x00\x00\x00\x16\x49\x44\x41\x54\x78\xda\x63"
      "\xf8\x4f\x21\x60\x18\x35\x60\xd4\x80\x51\x03\x86\x8b\x01\x00\x5d\x78\xfc\x2e\xad\x21\xa9"
      "\x5e\x00\x00\x00\x00\x49\x45\x4e\x44\xae\x42\x60\x82";
  return std::string(kBytes, sizeof kBytes - 1);
}

class GameDir {
 public:
  GameDir() {
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    dir_ = std::filesystem::temp_directory_path() / ("qv_" + std::to_string(::getpid()) + "_" +
                                                     info->test_suite_name() + "_" + info->name());
    std::filesystem::remove_all(dir_);
    std::filesystem::create_directories(dir_);
    old_ = std::filesystem::current_path();
    std::filesystem::current_path(dir_);
  }
  ~GameDir() {
    std::filesystem::current_path(old_);
    std::error_code ec;
    std::filesystem::remove_all(dir_, ec);
  }
  GameDir(const GameDir&) = delete;
  GameDir& operator=(const GameDir&) = delete;

  static std::string Host(std::string_view game_path) {
    std::string p(game_path);
    for (char& c : p) {
      if (c == '\\') c = '/';
    }
    return p;
  }
  void Write(std::string_view game_path, std::string_view data) const {
    const std::filesystem::path p = Host(game_path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    std::ofstream(p, std::ios::binary) << data;
  }
  // An opaque picture of one colour with a darker one-pixel frame, so edges show on screenshots.
  void WriteImage(std::string_view game_path, int width, int height, std::uint32_t rgb) const {
    std::vector<std::uint32_t> pixels(static_cast<std::size_t>(width * height));
    const std::uint32_t edge = (rgb >> 1) & 0x7F7F7F;
    for (int y = 0; y < height; ++y) {
      for (int x = 0; x < width; ++x) {
        const bool border = x == 0 || y == 0 || x == width - 1 || y == height - 1;
        pixels[static_cast<std::size_t>(y * width + x)] = 0xFF000000u | (border ? edge : rgb);
      }
    }
    const std::filesystem::path p = Host(game_path);
    if (p.has_parent_path()) std::filesystem::create_directories(p.parent_path());
    platform::WritePng(p.string(), pixels.data(), width, height);
  }
  // A sprite definition: the common line, then "1" and one part line per entry of parts,
  // each its own group; lines end with CR LF. Part images not written before are 16 x 16 white
  // squares.
  void WriteSpr(std::string_view game_path, std::string_view common,
                std::initializer_list<std::string_view> parts) const {
    std::string text = std::string(common) + "\r\n";
    const std::string folder(game_path.substr(0, game_path.rfind('\\') + 1));
    for (std::string_view part : parts) {
      text += "1\r\n" + std::string(part) + "\r\n";
      const std::string image(part.substr(0, part.find(',')));
      if (!std::filesystem::exists(Host(folder + image))) Write(folder + image, WhitePng());
    }
    Write(game_path, text);
  }
  std::string Read(std::string_view game_path) const {
    std::ifstream in(Host(game_path), std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  }
  const std::filesystem::path& path() const { return dir_; }

 private:
  std::filesystem::path dir_, old_;
};

}  // namespace qv::testing_support
