#include "base/message.h"

#include <cstdio>

#include "base/log.h"
#include "base/world.h"
#include "platform/window.h"

namespace qv {
namespace {

void Show(BaseWorld& ctx, platform::MessageKind kind, std::string_view caption,
          std::string_view text) {
  if (ctx.platform.messages) {
    ctx.platform.messages->Show(kind, caption, text);
    return;
  }
  std::fprintf(stderr, "Error: %.*s\n", static_cast<int>(text.size()), text.data());
}

}  // namespace

void ReportError(BaseWorld& ctx, std::string_view text) {
  Show(ctx, platform::MessageKind::Error, "Error", text);
}

void ReportError(BaseWorld& ctx, std::string_view text, std::string_view log_line) {
  WriteLog(ctx, log_line);
  ReportError(ctx, text);
}

void ReportLogFailure(BaseWorld& ctx) {
  if (const Expected<void> logged = TakeLogFailure(ctx); !logged) {
    ReportError(ctx, logged.error().message);
  }
}

void ShowInfoBox(BaseWorld& ctx, std::string_view caption, std::string_view text) {
  Show(ctx, platform::MessageKind::Information, caption, text);
}

void HarnessMessage(std::string_view text) {
  // Text that ends its own last line gets no second break.
  const char* end = !text.empty() && text.back() == '\n' ? "" : "\n";
  std::fprintf(stderr, "%.*s%s", static_cast<int>(text.size()), text.data(), end);
}

}  // namespace qv
