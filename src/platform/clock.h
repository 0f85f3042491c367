#pragma once
// The system tick count and the local date and time, real or virtual, and the schedule of the
// 10 ms frame timer.
#include <cstdint>

namespace qv::platform {

struct DateTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
};

class Clock {
 public:
  virtual ~Clock() = default;
  // Milliseconds, unsigned 32-bit; wraps like the system tick count.
  virtual std::uint32_t TickCount() = 0;
  virtual DateTime Now() = 0;
};

// The frame timer's schedule: one tick every interval; a timer that finds itself more than ten
// intervals behind starts again from now instead of catching up.
class TickSchedule {
 public:
  static constexpr std::uint32_t kInterval = 10;

  void Restart(std::uint32_t now) { next_ = now + kInterval; }
  // Milliseconds until the next tick is due; 0 when it is due now.
  std::uint32_t Wait(std::uint32_t now) const {
    const auto ahead = static_cast<std::int32_t>(next_ - now);
    return ahead > 0 ? static_cast<std::uint32_t>(ahead) : 0u;
  }
  // Call when a due tick is handed out.
  void Fired(std::uint32_t now) {
    next_ += kInterval;
    if (static_cast<std::int32_t>(now - next_) > static_cast<std::int32_t>(10 * kInterval)) {
      next_ = now;
    }
  }
  std::uint32_t Next() const { return next_; }

 private:
  std::uint32_t next_ = kInterval;
};

// The virtual clock of headless runs: starts at 0 and moves only when told.
class VirtualClock final : public Clock {
 public:
  std::uint32_t TickCount() override { return ms_; }
  // A fixed date; the time of day follows the virtual milliseconds, so logs are reproducible.
  DateTime Now() override;
  void Advance(std::uint32_t ms) { ms_ += ms; }
  // A replay puts the clock where the recorded session's was.
  void Set(std::uint32_t ms) { ms_ = ms; }
  // From now on Now() answers this date until the next SetDate.
  void SetDate(const DateTime& date) {
    date_ = date;
    date_set_ = true;
  }

 private:
  std::uint32_t ms_ = 0;
  DateTime date_;
  bool date_set_ = false;
};

inline bool operator==(const DateTime& a, const DateTime& b) {
  return a.year == b.year && a.month == b.month && a.day == b.day && a.hour == b.hour &&
         a.minute == b.minute && a.second == b.second;
}

// A clock that holds still between timer ticks: the recorder reads the time once per tick
// (Latch), and everything the tick does sees that value, as a replay's virtual clock will.
// Counts from 0 at construction, as the virtual clock does.
class LatchedClock final : public Clock {
 public:
  explicit LatchedClock(Clock& source)
      : source_(source), origin_(source.TickCount()), now_(source.Now()) {}
  std::uint32_t TickCount() override { return value_; }
  DateTime Now() override { return now_; }
  std::uint32_t SourceTickCount() { return source_.TickCount(); }
  void Latch() {
    value_ = source_.TickCount() - origin_;
    now_ = source_.Now();
  }

 private:
  Clock& source_;
  std::uint32_t origin_;
  std::uint32_t value_ = 0;
  DateTime now_;
};

}  // namespace qv::platform
