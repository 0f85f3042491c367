#include "base/message.h"

#include <cstdio>

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

void ShowErrorBox(BaseWorld& ctx, std::string_view caption, std::string_view text) {
  Show(ctx, platform::MessageKind::Error, caption, text);
}

void ShowInfoBox(BaseWorld& ctx, std::string_view caption, std::string_view text) {
  Show(ctx, platform::MessageKind::Information, caption, text);
}

}  // namespace qv
