#pragma once
// Clock tests run in one fixed time zone with summer time, whatever the machine is set to.
#include <cstdint>
#include <string>

// Sets TZ for its lifetime and puts back what was there (or nothing) afterwards.
class TScopedTimeZone {
  public:
    explicit TScopedTimeZone(const char* zone = "CET-1CEST,M3.5.0,M10.5.0/3");
    ~TScopedTimeZone();
    TScopedTimeZone(const TScopedTimeZone&) = delete;
    TScopedTimeZone& operator=(const TScopedTimeZone&) = delete;

  private:
    bool HadZone = false;
    std::string SavedZone;
};

// Seconds since 1970 of a local date and time, summer time as the zone says.
int64_t LocalTime(int year, int month, int day, int h, int m, int s);
