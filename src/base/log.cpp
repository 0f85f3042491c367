#include "base/log.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <utility>

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

Expected<void> WriteLog(BaseWorld& ctx, std::string_view message) {
  if (!ctx.options.log_enabled) return {};
  const std::string entry = FormatLogEntry(ctx, message);
  errno = 0;
  if (platform::AppendToFile("log.txt", entry)) return {};
  const int err = errno;
  Error failure{std::string("Cannot write to the log file \"log.txt\": ") +
                    (err ? std::strerror(err) : "I/O error"),
                {},
                0};
  std::optional<Error>& kept = ctx.log.unreported;
  if (!kept) kept = failure;
  return Fail(std::move(failure));
}

Expected<void> TakeLogFailure(BaseWorld& ctx) {
  std::optional<Error>& kept = ctx.log.unreported;
  if (!kept) return {};
  Error failure = std::move(*kept);
  kept.reset();
  return Fail(std::move(failure));
}

}  // namespace qv
