#include "harness/script.h"

#include <algorithm>
#include <charconv>
#include <cstdio>
#include <cstring>
#include <sstream>

#include "base/text.h"
#include "platform/virtual_key.h"
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
  else if (s == "middle")
    out = platform::kMouseMiddle;
  else if (s == "other")
    out = 3;
  else
    return false;
  return true;
}

// The key press that types c, or false.
bool KeyForChar(char c, int& key, int& shift) {
  shift = 0;
  if (c >= 'a' && c <= 'z')
    key = platform::VirtualKey::A + (c - 'a');
  else if (c >= 'A' && c <= 'Z')
    key = platform::VirtualKey::A + (c - 'A'), shift = platform::kShiftShift;
  else if (c >= '0' && c <= '9')
    key = c;
  else if (c == ' ')
    key = platform::VirtualKey::Space;
  else if (c == '-')
    key = platform::VirtualKey::Minus;
  else if (c == '.')
    key = platform::VirtualKey::Delete;  // the name input types '.' for it too
  else
    return false;
  return true;
}

// "YYYY-MM-DD" "hh:mm:ss".
bool ParseDate(const std::string& day, const std::string& time, platform::DateTime& out) {
  int v[6] = {};
  if (std::sscanf(day.c_str(), "%4d-%2d-%2d", &v[0], &v[1], &v[2]) != 3 ||
      std::sscanf(time.c_str(), "%2d:%2d:%2d", &v[3], &v[4], &v[5]) != 3 ||
      day.size() != 10 || time.size() != 8) {
    return false;
  }
  if (v[1] < 1 || v[1] > 12 || v[2] < 1 || v[2] > 31 || v[3] > 23 || v[4] > 59 || v[5] > 60 ||
      v[3] < 0 || v[4] < 0 || v[5] < 0) {
    return false;
  }
  out = platform::DateTime{v[0], v[1], v[2], v[3], v[4], v[5]};
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
  } else if (verb == "key" && n >= 3 && n <= 6) {
    c.kind = Kind::Key;
    if (!Number(w[2], c.key) || c.key < 0 || c.key > 255) return false;
    for (std::size_t i = 3; i < n; ++i) {
      const int bit = w[i] == "shift" ? platform::kShiftShift
                      : w[i] == "alt" ? platform::kShiftAlt
                      : w[i] == "ctrl" ? platform::kShiftCtrl
                                       : 0;
      if (bit == 0 || (c.shift & bit)) return false;
      c.shift |= bit;
    }
  } else if ((verb == "clock" || verb == "seed") && n == 3) {
    c.kind = verb == "clock" ? Kind::Clock : Kind::Seed;
    if (!Number(w[2], c.value)) return false;
  } else if (verb == "date" && n == 4) {
    c.kind = Kind::Date;
    if (!ParseDate(w[2], w[3], c.date)) return false;
  } else if (verb == "file" && n == 4) {
    // Only the player's own files, by plain name: a recording never writes elsewhere.
    c.kind = Kind::File;
    c.path = w[2];
    if (!IsRecordedFile(c.path)) return false;
    if (w[3] == "absent") {
      c.absent = true;
    } else if (w[3].rfind("b64:", 0) != 0 ||
               !DecodeBase64(std::string_view(w[3]).substr(4), c.data)) {
      return false;
    } else if (!out.empty() && out.back().kind == Kind::File && out.back().path == c.path &&
               out.back().tick == tick && !out.back().absent) {
      // A file longer than one line goes on over the lines that follow.
      out.back().data += c.data;
      return true;
    }
  } else if (verb == "fullscreen" && n == 2) {
    c.kind = Kind::Fullscreen;
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

bool IsCapturePath(std::string_view path) {
  if (path.empty() || path.front() == '/' || path.front() == '\\') return false;
  std::size_t start = 0;
  for (;;) {
    const std::size_t end = path.find_first_of("/\\", start);
    if (path.substr(start, end == std::string_view::npos ? end : end - start) == "..") return false;
    if (end == std::string_view::npos) return true;
    start = end + 1;
  }
}

Expected<Script> ParseScript(std::string_view text, std::string_view file_name,
                             ScriptOrigin origin) {
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
    if (w[1] == "state" || w[1] == "screenshot") {
      // Replaying a recording must not write files where its author chose.
      if (origin == ScriptOrigin::Recording) {
        return fail("a recording holds no captures (give them with --script)");
      }
      if (w.size() == 3 && !IsCapturePath(w[2])) {
        return fail("a capture is written inside the game folder (a relative path without \"..\")");
      }
    }
    if (!ParseLine(line, tick, w, script.commands)) return fail("cannot parse the command");
  }
  std::stable_sort(script.commands.begin(), script.commands.end(),
                   [](const ScriptCommand& a, const ScriptCommand& b) { return a.tick < b.tick; });
  return script;
}

namespace {
constexpr char kBase64[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
}  // namespace

bool IsRecordedFile(std::string_view name) {
  return name == "options.txt" || name == "players.txt" || name == "records.txt";
}

std::string EncodeBase64(std::string_view bytes) {
  std::string out;
  out.reserve((bytes.size() + 2) / 3 * 4);
  for (std::size_t i = 0; i < bytes.size(); i += 3) {
    const std::size_t n = std::min<std::size_t>(3, bytes.size() - i);
    std::uint32_t v = 0;
    for (std::size_t k = 0; k < 3; ++k) {
      v = (v << 8) | (k < n ? static_cast<unsigned char>(bytes[i + k]) : 0u);
    }
    for (std::size_t k = 0; k < 4; ++k) {
      out += k <= n ? kBase64[(v >> (18 - 6 * k)) & 63u] : '=';
    }
  }
  return out;
}

bool DecodeBase64(std::string_view text, std::string& out) {
  out.clear();
  if (text.size() % 4 != 0) return false;
  for (std::size_t i = 0; i < text.size(); i += 4) {
    std::uint32_t v = 0;
    int pad = 0;
    for (std::size_t k = 0; k < 4; ++k) {
      const char ch = text[i + k];
      std::uint32_t d = 0;
      if (ch == '=') {
        // Padding only at the very end, at most two.
        if (i + 4 != text.size() || k < 2) return false;
        ++pad;
      } else {
        if (pad) return false;
        const char* at = std::strchr(kBase64, ch);
        if (!at || ch == '\0') return false;
        d = static_cast<std::uint32_t>(at - kBase64);
      }
      v = (v << 6) | d;
    }
    out += static_cast<char>((v >> 16) & 255u);
    if (pad < 2) out += static_cast<char>((v >> 8) & 255u);
    if (pad < 1) out += static_cast<char>(v & 255u);
  }
  return true;
}

std::string FileLine(std::uint64_t tick, std::string_view name, const std::string* contents) {
  const std::string head = std::to_string(tick) + " file " + std::string(name) + " ";
  if (!contents) return head + "absent\n";
  // Script lines are cut after 255 characters: 192 base64 characters (144 bytes) a line.
  constexpr std::size_t kChunk = 192;
  const std::string encoded = EncodeBase64(*contents);
  std::string lines;
  std::size_t at = 0;
  do {
    lines += head + "b64:" + encoded.substr(at, kChunk) + "\n";
    at += kChunk;
  } while (at < encoded.size());
  return lines;
}

std::size_t FormatScriptLine(const ScriptCommand& c, char* out, std::size_t size) {
  const unsigned long long t = c.tick;
  const char* button = c.button == platform::kMouseLeft    ? "left"
                       : c.button == platform::kMouseRight  ? "right"
                       : c.button == platform::kMouseMiddle ? "middle"
                                                            : "other";
  int n = 0;
  switch (c.kind) {
    case Kind::Move:
      n = std::snprintf(out, size, "%llu move %d %d\n", t, c.x, c.y);
      break;
    case Kind::Down:
    case Kind::Up:
      n = std::snprintf(out, size, "%llu %s %s\n", t, c.kind == Kind::Down ? "down" : "up",
                        button);
      break;
    case Kind::Key:
      n = std::snprintf(out, size, "%llu key %d%s%s%s\n", t, c.key,
                        (c.shift & platform::kShiftShift) ? " shift" : "",
                        (c.shift & platform::kShiftAlt) ? " alt" : "",
                        (c.shift & platform::kShiftCtrl) ? " ctrl" : "");
      break;
    case Kind::Activate:
      n = std::snprintf(out, size, "%llu activate\n", t);
      break;
    case Kind::Deactivate:
      n = std::snprintf(out, size, "%llu deactivate\n", t);
      break;
    case Kind::Minimize:
      n = std::snprintf(out, size, "%llu minimize\n", t);
      break;
    case Kind::Restore:
      n = std::snprintf(out, size, "%llu restore\n", t);
      break;
    case Kind::Quit:
      n = std::snprintf(out, size, "%llu quit\n", t);
      break;
    case Kind::Screenshot:
    case Kind::State:
      n = std::snprintf(out, size, "%llu %s %s\n", t,
                        c.kind == Kind::State ? "state" : "screenshot", c.path.c_str());
      break;
    case Kind::Clock:
      n = std::snprintf(out, size, "%llu clock %u\n", t, static_cast<unsigned>(c.value));
      break;
    case Kind::Seed:
      n = std::snprintf(out, size, "%llu seed %u\n", t, static_cast<unsigned>(c.value));
      break;
    case Kind::Date:
      n = std::snprintf(out, size, "%llu date %04d-%02d-%02d %02d:%02d:%02d\n", t, c.date.year,
                        c.date.month, c.date.day, c.date.hour, c.date.minute, c.date.second);
      break;
    case Kind::Fullscreen:
      n = std::snprintf(out, size, "%llu fullscreen\n", t);
      break;
    case Kind::File:
      n = 0;
      break;
  }
  return n > 0 && static_cast<std::size_t>(n) < size ? static_cast<std::size_t>(n) : 0;
}

}  // namespace qv
