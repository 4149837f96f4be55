#pragma once
// Text helpers of the logbook. Every text is Windows-1252 bytes; the case rules know the
// set's letters (a-z, the accented letters 0xE0-0xFE, and the pairs š/Š, œ/Œ, ž/Ž, ÿ/Ÿ).

#include <string>
#include <string_view>

namespace tavrel {

inline constexpr unsigned char kSlashedZero = 0xD8; // Ø, typed for a zero in call signs

char upperCase1252(char c);
char lowerCase1252(char c);
std::string upperCase1252(std::string_view text);

// First letter of each word upper case, the rest lower case. Words are separated only by
// space, NUL, tab, LF, VT, FF and CR, so "mary-ann o'neil" gives "Mary-ann O'neil".
std::string properCase(std::string_view text);

// Upper case with every slashed zero turned into the digit 0: how a call is stored and
// how a typed call is searched for.
std::string callForLog(std::string_view typed);

// Leading and trailing spaces (only spaces) removed.
std::string_view trimSpaces(std::string_view text);

// Pieces taken by character position, never past either end: the first n characters,
// n characters from position `from` (1-based), the last n characters.
std::string_view leftPart(std::string_view text, size_t n);
std::string_view midPart(std::string_view text, size_t from, size_t n);
std::string_view rightPart(std::string_view text, size_t n);

// yyyymmdd shown as yyyy-mm-dd: first four, "-", characters 5 and 6, "-", last two.
std::string dateShown(std::string_view key);
// hhmmss shown as hh:mm: first two, ":", characters 3 and 4.
std::string timeShown(std::string_view key);

} // namespace tavrel
