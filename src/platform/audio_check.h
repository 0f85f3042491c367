#pragma once
// What every sound back end checks before it hands a file to its decoder: decoders trust their
// headers (a wave with no channels divides by zero, a folder reads as an endless file), so a
// file is refused unless it is a readable regular file whose header makes sense for its
// extension.
#include <string>
#include <string_view>

namespace qv::platform {

// Files beyond this size are refused: samples are decoded whole into memory.
constexpr long long kMaxAudioFileBytes = 256LL << 20;

// Why the file at `host_path` cannot be played, or empty when it looks playable. Extensions
// without a known header are only checked as files.
std::string AudioFileProblem(std::string_view host_path);

}  // namespace qv::platform
