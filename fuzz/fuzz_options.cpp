// The options reader on arbitrary bytes, then the writer of single keys on the same bytes as the
// file it rewrites: the rewritten file must hold the key's new line.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "platform/files.h"
#include "shell/options_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string file = qv::fuzz::ScratchFolder("options") + "/options.txt";
  qv::Context ctx;
  qv::fuzz::Silence(ctx);
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  (void)qv::ApplyOptionsText(ctx, bytes);
  (void)qv::ListOptions(ctx.options);

  qv::fuzz::WriteBytes(file, bytes);
  // The scratch folder is always writable.
  if (!qv::WriteOption(file, "music_volume", "42")) std::abort();
  const std::optional<std::string> written = qv::platform::ReadWholeFile(file);
  if (!written || written->find("music_volume=42\r\n") == std::string::npos) std::abort();
  return 0;
}
