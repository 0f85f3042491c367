// The list file reader on arbitrary bytes (through a scratch file: the reader takes a name), then
// every listed entry through the resource loader, as the loading screen does. Entries name
// nothing that exists unless an input points at real files; the line parsing is what is tried.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "fuzz_support.h"
#include "loading/loading.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static const std::string file = qv::fuzz::ScratchFolder("list") + "/fuzz.msl";
  qv::Context ctx;
  qv::fuzz::Silence(ctx);
  qv::fuzz::WriteBytes(file, std::string_view(reinterpret_cast<const char*>(data), size));
  if (!qv::ReadList(ctx, file, false)) return 0;
  for (const std::string& entry : ctx.loading.load_list) qv::LoadResourceLine(ctx, entry);
  return 0;
}
