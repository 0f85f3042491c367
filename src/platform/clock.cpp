#include "platform/clock.h"

namespace qv::platform {

DateTime VirtualClock::Now() {
  if (date_set_) return date_;
  DateTime t;
  std::uint32_t s = ms_ / 1000;
  t.second = static_cast<int>(s % 60);
  s /= 60;
  t.minute = static_cast<int>(s % 60);
  s /= 60;
  t.hour = static_cast<int>(s % 24);
  t.day += static_cast<int>(s / 24 % 28);  // the tick count wraps after 49 days anyway
  t.month += static_cast<int>(s / 24 / 28 % 2);
  return t;
}

}  // namespace qv::platform
