#pragma once
#include <string_view>

namespace qv {

struct Context;

// An error message box (caption, text). Headless runs print "Error: <text>" and never wait.
void ShowErrorBox(Context& ctx, std::string_view caption, std::string_view text);
// The same with an information icon.
void ShowInfoBox(Context& ctx, std::string_view caption, std::string_view text);

}  // namespace qv
