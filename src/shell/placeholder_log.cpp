// Temporary until the shell lands: the real log and message box replace this file.
#include <cstdio>
#include <string>

#include "platform/files.h"
#include "shell/context.h"
#include "shell/log.h"
#include "shell/message.h"

namespace qv {

void WriteLog(Context& ctx, std::string_view message) {
  if (!ctx.shell.options.log_enabled) return;
  std::string entry = "00.00.0000 00:00:00 : " + std::string(message) + "\r\n";
  if (entry.size() > 255) entry.resize(255);
  platform::AppendToFile("log.txt", entry);
}

void ShowErrorBox(Context&, std::string_view, std::string_view text) {
  std::fprintf(stderr, "Error: %.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace qv
