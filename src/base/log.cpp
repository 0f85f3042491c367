#include "base/log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>

#include "base/io_error.h"
#include "base/world.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace qv {
namespace {

constexpr std::size_t kMaxEntry = 255;

platform::DateTime LocalNow(BaseWorld& ctx) {
  if (ctx.platform.clock) return ctx.platform.clock->Now();
  const std::time_t now = std::time(nullptr);
  std::tm tm{};
  localtime_r(&now, &tm);
  return platform::DateTime{tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday,
                            tm.tm_hour,        tm.tm_min,     tm.tm_sec};
}

}  // namespace

std::string FormatLogEntry(BaseWorld& ctx, std::string_view message) {
  const platform::DateTime t = LocalNow(ctx);
  char stamp[64];
  std::snprintf(stamp, sizeof stamp, "%02d.%02d.%04d %02d:%02d:%02d : ", t.day, t.month, t.year,
                t.hour, t.minute, t.second);
  std::string entry = stamp;
  entry.append(message);
  entry.append("\r\n");
  if (entry.size() > kMaxEntry) entry.resize(kMaxEntry);
  return entry;
}

void WriteLog(BaseWorld& ctx, std::string_view message) {
  if (!ctx.options.log_enabled) return;
  const std::string entry = FormatLogEntry(ctx, message);
  if (!platform::AppendToFile("log.txt", entry)) {
    const int err = errno;
    throw IoError(std::string("Cannot write to the log file \"log.txt\": ") +
                  (err ? std::strerror(err) : "I/O error"));
  }
}

}  // namespace qv
