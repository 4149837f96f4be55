#include "core/Clock.h"

#include <ctime>

namespace tavrel {

namespace {
DateTime fromTm(const std::tm& t) {
    return {t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec};
}
} // namespace

Clock Clock::system() {
    Clock c;
    c.local = [] {
        std::time_t now = std::time(nullptr);
        std::tm t{};
        localtime_r(&now, &t);
        return fromTm(t);
    };
    c.utc = [] {
        std::time_t now = std::time(nullptr);
        std::tm t{};
        gmtime_r(&now, &t);
        return fromTm(t);
    };
    return c;
}

Clock Clock::fixed(DateTime localTime, DateTime utcTime) {
    Clock c;
    c.local = [localTime] { return localTime; };
    c.utc = [utcTime] { return utcTime; };
    return c;
}

std::string twoDigits(int v) {
    std::string s = std::to_string(v);
    return s.size() < 2 ? "0" + s : s;
}

std::string monthDayYear(const DateTime& d) {
    std::string year = std::to_string(d.year);
    while (year.size() < 4)
        year.insert(0, "0");
    return twoDigits(d.month) + "-" + twoDigits(d.day) + "-" + year;
}

} // namespace tavrel
