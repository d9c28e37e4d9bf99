#include "tests/support/TimeZone.h"

#include <cstdlib>
#include <ctime>

TScopedTimeZone::TScopedTimeZone(const char* zone) {
    const char* old = std::getenv("TZ");
    HadZone = old != nullptr;
    if (old) SavedZone = old;
    setenv("TZ", zone, 1);
    tzset();
}

TScopedTimeZone::~TScopedTimeZone() {
    if (HadZone)
        setenv("TZ", SavedZone.c_str(), 1);
    else
        unsetenv("TZ");
    tzset();
}

int64_t LocalTime(int year, int month, int day, int h, int m, int s) {
    std::tm t{};
    t.tm_year = year - 1900;
    t.tm_mon = month - 1;
    t.tm_mday = day;
    t.tm_hour = h;
    t.tm_min = m;
    t.tm_sec = s;
    t.tm_isdst = -1;
    return int64_t(mktime(&t));
}
