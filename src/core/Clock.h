#pragma once
// The computer's local and UTC date and time, replaceable in tests.

#include <functional>
#include <string>

namespace tavrel {

struct DateTime {
    int year = 0, month = 0, day = 0, hour = 0, minute = 0, second = 0;
};

struct Clock {
    std::function<DateTime()> local;
    std::function<DateTime()> utc;
    static Clock system();
    static Clock fixed(DateTime localTime, DateTime utcTime);
};

std::string twoDigits(int v);
// mm-dd-yyyy, the form the program takes today's date in.
std::string monthDayYear(const DateTime& d);

} // namespace tavrel
