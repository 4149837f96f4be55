#include "core/Numeric.h"

#include <cfenv>
#include <cmath>
#include <limits>

namespace tavrel {

namespace {
// The number at the start of t; `any` tells whether there was one.
double leadingNumber(std::string_view t, bool& any) {
    size_t i = 0;
    while (i < t.size() && (t[i] == ' ' || t[i] == '\t'))
        ++i;
    double sign = 1.0;
    if (i < t.size() && (t[i] == '+' || t[i] == '-')) {
        if (t[i] == '-') sign = -1.0;
        ++i;
    }
    double value = 0.0;
    any = false;
    while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
        value = value * 10.0 + (t[i] - '0');
        any = true;
        ++i;
    }
    if (i < t.size() && t[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < t.size() && t[i] >= '0' && t[i] <= '9') {
            value += (t[i] - '0') * scale;
            scale *= 0.1;
            any = true;
            ++i;
        }
    }
    return any ? sign * value : 0.0;
}
} // namespace

double numberValue(std::string_view t) {
    bool any = false;
    return leadingNumber(t, any);
}

bool holdsNumber(std::string_view t) {
    bool any = false;
    leadingNumber(t, any);
    return any;
}

namespace {
template <typename T> T wholeNumber(std::string_view text) {
    const double v = std::nearbyint(numberValue(text)); // default rounding: half to even
    const T lo = std::numeric_limits<T>::min(), hi = std::numeric_limits<T>::max();
    if (v <= lo) return lo; // no-mutate: the limit either way
    if (v >= hi) return hi; // no-mutate: the limit either way
    return static_cast<T>(v);
}
} // namespace

int16_t wholeNumber16(std::string_view text) {
    return wholeNumber<int16_t>(text);
}
int32_t wholeNumber32(std::string_view text) {
    return wholeNumber<int32_t>(text);
}

} // namespace tavrel
