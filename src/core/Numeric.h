#pragma once
// How a text item is taken where a number is needed: the number at its start (blanks skipped,
// optional sign, digits, optional decimal point and fraction); anything after it is ignored,
// and an empty or non-numeric text counts as 0.

#include <cstdint>
#include <string_view>

namespace tavrel {

double numberValue(std::string_view text);

// True when the text begins with a number by that rule, so numberValue did not take it as 0 for
// want of one.
bool holdsNumber(std::string_view text);

// Whole numbers round half to even, then are held to the type's range.
int16_t wholeNumber16(std::string_view text);
int32_t wholeNumber32(std::string_view text);

} // namespace tavrel
