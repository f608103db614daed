#pragma once

// The current local date and time, behind a seam so that tests can fix it.

namespace engine {

struct LocalDateTime {
    int nYear = 0;
    int nMonth = 0;  // 1 to 12
    int nDay = 0;
    int nHour = 0;
    int nMinute = 0;
    int nSecond = 0;
};

using LocalClockFunction = LocalDateTime (*)();

LocalDateTime CurrentLocalDateTime();

// Replaces the clock (nullptr restores the system clock) and returns the one replaced.
LocalClockFunction SetLocalClock(LocalClockFunction clock);

}  // namespace engine
