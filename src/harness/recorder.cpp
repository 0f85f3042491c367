#include "harness/recorder.h"

#include <cerrno>
#include <cstring>

namespace qv {

using Kind = ScriptCommand::Kind;

Expected<std::unique_ptr<Recorder>> Recorder::Open(const std::string& path) {
  std::FILE* file = std::fopen(path.c_str(), "wb");
  if (!file) return Fail("cannot write the recording '" + path + "': " + std::strerror(errno));
  std::fputs("# quorvex session recording: replay with quorvex --replay FILE\n", file);
  return std::unique_ptr<Recorder>(new Recorder(file));
}

Recorder::~Recorder() {
  std::fclose(file_);
}

void Recorder::Line(const ScriptCommand& command) {
  char buffer[96];
  const std::size_t n = FormatScriptLine(command, buffer, sizeof buffer);
  if (n == 0 || std::fwrite(buffer, 1, n, file_) != n) failed_ = true;
  dirty_ = true;
}

void Recorder::Start(const platform::DateTime& now) {
  ScriptCommand c;
  c.tick = 0;
  c.kind = Kind::Date;
  c.date = now;
  Line(c);
  last_date_ = now;
}

void Recorder::StartFile(std::string_view name, const std::string* contents) {
  const std::string line = FileLine(0, name, contents);
  if (std::fwrite(line.data(), 1, line.size(), file_) != line.size()) failed_ = true;
  dirty_ = true;
}

void Recorder::Clock(std::uint32_t ms, const platform::DateTime& now) {
  ScriptCommand c;
  c.tick = tick_;
  if (ms != last_ms_ + 10u) {
    c.kind = Kind::Clock;
    c.value = ms;
    Line(c);
  }
  last_ms_ = ms;
  if (!(now == last_date_)) {
    c.kind = Kind::Date;
    c.date = now;
    Line(c);
    last_date_ = now;
  }
}

void Recorder::Seed(std::uint32_t seed) {
  ScriptCommand c;
  c.tick = tick_;
  c.kind = Kind::Seed;
  c.value = seed;
  Line(c);
}

void Recorder::Input(const ScriptCommand& command) {
  ScriptCommand c = command;
  c.tick = tick_;
  if (c.kind == Kind::Quit) quit_written_ = true;
  Line(c);
}

void Recorder::Flush() {
  if (!dirty_) return;
  if (std::fflush(file_) != 0) failed_ = true;
  dirty_ = false;
}

void Recorder::End(bool quit_written) {
  if (!quit_written && !quit_written_) {
    ScriptCommand c;
    c.tick = tick_;
    c.kind = Kind::Quit;
    Line(c);
  }
  Flush();
}

}  // namespace qv
