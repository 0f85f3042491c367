// quorvex_packgen: writes the complete content pack (art, fonts, sounds, music, data files).
#include <chrono>
#include <cstdio>
#include <cstring>
#include <exception>
#include <filesystem>
#include <string>

#include "art.h"
#include "pack.h"

int main(int argc, char** argv) {
  std::string out, bold, condensed, mono, icons;
  for (int i = 1; i + 1 < argc; i += 2) {
    const std::string key = argv[i];
    if (key == "--icons")
      icons = argv[i + 1];
    else if (key == "--out")
      out = argv[i + 1];
    else if (key == "--font-bold")
      bold = argv[i + 1];
    else if (key == "--font-condensed")
      condensed = argv[i + 1];
    else if (key == "--font-mono")
      mono = argv[i + 1];
  }
  if (!icons.empty()) {
    // The desktop icons only; they need no fonts.
    try {
      packgen::WriteIcons(icons, "org.quorvex.quorvex");
    } catch (const std::exception& e) {
      std::fprintf(stderr, "quorvex_packgen: %s\n", e.what());
      return 1;
    }
    return 0;
  }
  if (out.empty() || bold.empty() || condensed.empty() || mono.empty()) {
    std::fprintf(stderr,
                 "usage: quorvex_packgen --out DIR --font-bold TTF --font-condensed TTF "
                 "--font-mono TTF\n       quorvex_packgen --icons DIR\n");
    return 2;
  }
  try {
    const auto start = std::chrono::steady_clock::now();
    // Start from an empty folder so nothing of an older pack lingers; refuse to clear a
    // folder that does not look like a pack.
    const std::filesystem::path root(out);
    if (std::filesystem::exists(root) && !std::filesystem::is_empty(root)) {
      if (!std::filesystem::exists(root / "options.txt") ||
          !std::filesystem::exists(root / "main.msl")) {
        std::fprintf(stderr, "quorvex_packgen: %s is not empty and holds no pack\n", out.c_str());
        return 1;
      }
      std::filesystem::remove_all(root);
    }
    packgen::InitFaces(bold, condensed, mono);
    packgen::Pack pack(out);
    packgen::WriteBalls(pack);
    packgen::WriteGameArt(pack);
    packgen::WriteMenuArt(pack);
    packgen::WriteFonts(pack);
    packgen::WriteSounds(pack);
    packgen::WriteMusic(pack);
    packgen::WriteData(pack);  // last: the load list names every sprite written before
    packgen::DoneFaces();
    const double secs =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("content pack written to %s in %.1f s\n", out.c_str(), secs);
  } catch (const std::exception& e) {
    std::fprintf(stderr, "quorvex_packgen: %s\n", e.what());
    return 1;
  }
  return 0;
}
