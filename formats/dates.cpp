#include "formats/dates.h"

#include <cstdio>

namespace {

struct CivilDate {
  std::int64_t year;
  unsigned month;
  unsigned day;
};

// Days since 1970-01-01 to the proleptic Gregorian calendar date (the
// well-known era arithmetic: 400-year eras of 146097 days).
CivilDate CivilFromDays(std::int64_t days) {
  days += 719468;
  const std::int64_t era = (days >= 0 ? days : days - 146096) / 146097;
  const auto dayOfEra = static_cast<std::uint64_t>(days - era * 146097);
  const std::uint64_t yearOfEra = (dayOfEra - dayOfEra / 1460 + dayOfEra / 36524 - dayOfEra / 146096) / 365;
  const std::uint64_t dayOfYear = dayOfEra - (365 * yearOfEra + yearOfEra / 4 - yearOfEra / 100);
  const std::uint64_t mp = (5 * dayOfYear + 2) / 153;
  const auto day = static_cast<unsigned>(dayOfYear - (153 * mp + 2) / 5 + 1);
  const auto month = static_cast<unsigned>(mp < 10 ? mp + 3 : mp - 9);
  const std::int64_t year = static_cast<std::int64_t>(yearOfEra) + era * 400 + (month <= 2 ? 1 : 0);
  return CivilDate{year, month, day};
}

std::string DateText(std::int64_t secondsSince1970, std::uint32_t fraction, bool withFraction) {
  std::int64_t days = secondsSince1970 / 86400;
  std::int64_t rest = secondsSince1970 % 86400;
  if (rest < 0) {
    rest += 86400;
    --days;
  }
  const CivilDate date = CivilFromDays(days);
  char buffer[64];
  const int hours = static_cast<int>(rest / 3600);
  const int minutes = static_cast<int>(rest / 60 % 60);
  const int seconds = static_cast<int>(rest % 60);
  if (withFraction) {
    (void)std::snprintf(buffer, sizeof(buffer), "%04lld-%02u-%02u %02d:%02d:%02d.%07u UTC",
                        static_cast<long long>(date.year), date.month, date.day, hours, minutes, seconds,
                        fraction);
  } else {
    (void)std::snprintf(buffer, sizeof(buffer), "%04lld-%02u-%02u %02d:%02d:%02d UTC",
                        static_cast<long long>(date.year), date.month, date.day, hours, minutes, seconds);
  }
  return buffer;
}

constexpr std::int64_t kSecondsFrom1601To1970 = 11644473600;
// 10000-01-01 00:00 UTC in FILETIME units: the first value past year 9999.
constexpr std::uint64_t kFileTimeYear10000 = 2650467744000000000ull;

}  // namespace

std::optional<std::string> FileTimeText(std::uint64_t fileTime) {
  if (fileTime >= kFileTimeYear10000) return std::nullopt;
  const auto seconds = static_cast<std::int64_t>(fileTime / 10000000) - kSecondsFrom1601To1970;
  const auto fraction = static_cast<std::uint32_t>(fileTime % 10000000);
  return DateText(seconds, fraction, fraction != 0);
}

std::string UnixTimeText(std::uint32_t seconds) { return DateText(seconds, 0, false); }
