#pragma once
#include <cstdint>
#include <string>

namespace qv::platform {

// Writes ARGB8888 pixels as an 8-bit RGB PNG file (host path). False on any failure.
bool WritePng(const std::string& host_path, const std::uint32_t* argb, int width, int height);

}  // namespace qv::platform
