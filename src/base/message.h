#pragma once
#include <string_view>

namespace qv {

struct BaseWorld;

// An error message box (caption, text). Headless runs print "Error: <text>" and never wait.
void ShowErrorBox(BaseWorld& ctx, std::string_view caption, std::string_view text);
// The same with an information icon.
void ShowInfoBox(BaseWorld& ctx, std::string_view caption, std::string_view text);

}  // namespace qv
