#include "harness/script.h"

#include <algorithm>
#include <charconv>
#include <sstream>

#include "base/text.h"
#include "platform/window.h"

namespace qv {
namespace {

using Kind = ScriptCommand::Kind;

std::vector<std::string> Words(std::string_view line) {
  std::vector<std::string> words;
  std::istringstream in{std::string(line)};
  std::string w;
  while (in >> w) words.push_back(w);
  return words;
}

template <typename T>
bool Number(const std::string& s, T& out) {
  const char* end = s.data() + s.size();
  auto [ptr, ec] = std::from_chars(s.data(), end, out);
  return ec == std::errc() && ptr == end;
}

bool Button(const std::string& s, int& out) {
  if (s == "left")
    out = platform::kMouseLeft;
  else if (s == "right")
    out = platform::kMouseRight;
  else
    return false;
  return true;
}

// The key press that types c, or false.
bool KeyForChar(char c, int& key, int& shift) {
  shift = 0;
  if (c >= 'a' && c <= 'z')
    key = c - 'a' + 65;
  else if (c >= 'A' && c <= 'Z')
    key = c - 'A' + 65, shift = platform::kShiftShift;
  else if (c >= '0' && c <= '9')
    key = c;
  else if (c == ' ')
    key = 32;
  else if (c == '-')
    key = 189;
  else if (c == '.')
    key = 46;
  else
    return false;
  return true;
}

// Parses one line (without comment) into commands; false when malformed.
bool ParseLine(std::string_view line, std::uint64_t tick, const std::vector<std::string>& w,
               std::vector<ScriptCommand>& out) {
  ScriptCommand c;
  c.tick = tick;
  const std::string& verb = w[1];
  const std::size_t n = w.size();
  if (verb == "move" && n == 4) {
    c.kind = Kind::Move;
    if (!Number(w[2], c.x) || !Number(w[3], c.y)) return false;
  } else if ((verb == "down" || verb == "up") && n == 3) {
    c.kind = verb == "down" ? Kind::Down : Kind::Up;
    if (!Button(w[2], c.button)) return false;
  } else if (verb == "click" && n == 5) {
    if (!Button(w[2], c.button) || !Number(w[3], c.x) || !Number(w[4], c.y)) return false;
    c.kind = Kind::Move;
    out.push_back(c);
    c.kind = Kind::Down;
    out.push_back(c);
    c.kind = Kind::Up;
    c.tick = tick + 1;
  } else if (verb == "key" && (n == 3 || n == 4)) {
    c.kind = Kind::Key;
    if (!Number(w[2], c.key) || c.key < 0 || c.key > 255) return false;
    if (n == 4) {
      if (w[3] != "shift") return false;
      c.shift = platform::kShiftShift;
    }
  } else if (verb == "text" && n >= 3) {
    // Everything after "text " is typed, inner blanks included.
    const std::size_t at = line.find("text") + 5;
    const std::string_view typed = line.substr(at);
    for (char ch : typed) {
      c.kind = Kind::Key;
      if (!KeyForChar(ch, c.key, c.shift)) return false;
      out.push_back(c);
    }
    return true;
  } else if (n == 2 && (verb == "activate" || verb == "deactivate" || verb == "minimize" ||
                        verb == "restore" || verb == "quit")) {
    c.kind = verb == "activate"     ? Kind::Activate
             : verb == "deactivate" ? Kind::Deactivate
             : verb == "minimize"   ? Kind::Minimize
             : verb == "restore"    ? Kind::Restore
                                    : Kind::Quit;
  } else if ((verb == "screenshot" || verb == "state") && n == 3) {
    c.kind = verb == "screenshot" ? Kind::Screenshot : Kind::State;
    c.path = w[2];
  } else {
    return false;
  }
  out.push_back(c);
  return true;
}

}  // namespace

Expected<Script> ParseScript(std::string_view text, std::string_view file_name) {
  Script script;
  std::uint64_t last_tick = 0;
  const std::vector<std::string> lines = SplitLines(text);
  for (std::size_t i = 0; i < lines.size(); ++i) {
    std::string_view line = lines[i];
    const std::size_t hash = line.find('#');
    if (hash != std::string_view::npos) line = line.substr(0, hash);
    line = TrimText(line);
    if (line.empty()) continue;
    const std::vector<std::string> w = Words(line);
    std::uint64_t tick = 0;
    const auto fail = [&](const char* why) {
      return Fail(std::string(file_name) + ":" + std::to_string(i + 1) + ": " + why + ": " +
                  std::string(line));
    };
    if (w.size() < 2 || !Number(w[0], tick)) return fail("expected TICK COMMAND");
    if (tick < last_tick) return fail("ticks must not decrease");
    last_tick = tick;
    if (!ParseLine(line, tick, w, script.commands)) return fail("cannot parse the command");
  }
  std::stable_sort(script.commands.begin(), script.commands.end(),
                   [](const ScriptCommand& a, const ScriptCommand& b) { return a.tick < b.tick; });
  return script;
}

}  // namespace qv
