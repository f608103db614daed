#include "engine/mime/LocalClock.h"

#include <ctime>

namespace engine {

namespace {

LocalDateTime SystemLocalDateTime() {
    // The program has one thread, so the shared result of localtime is safe here.
    const std::time_t now = std::time(nullptr);
    const std::tm* local = std::localtime(&now);
    LocalDateTime result;
    if (local) {
        result.nYear = local->tm_year + 1900;
        result.nMonth = local->tm_mon + 1;
        result.nDay = local->tm_mday;
        result.nHour = local->tm_hour;
        result.nMinute = local->tm_min;
        result.nSecond = local->tm_sec;
    }
    return result;
}

LocalClockFunction g_clock = nullptr;

}  // namespace

LocalDateTime CurrentLocalDateTime() {
    return g_clock ? g_clock() : SystemLocalDateTime();
}

LocalClockFunction SetLocalClock(LocalClockFunction clock) {
    const LocalClockFunction previous = g_clock;
    g_clock = clock;
    return previous;
}

}  // namespace engine
