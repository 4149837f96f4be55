#pragma once
// Windows-1252, the 8-bit character set of every file and of the air. 0x80-0x9F hold
// typographic characters (not the C1 controls of Latin-1).

#include <string>
#include <string_view>

namespace tavrel {

char32_t cp1252ToUnicode(unsigned char byte);

// The Windows-1252 byte for a Unicode character, or -1 when the set has none.
int unicodeToCp1252(char32_t ch);

// The Windows-1252 text for a Unicode character: its byte where the set has it, otherwise its
// closest letter (Ł to L, ő to ö, ğ to g; Cyrillic and Greek letters by transliteration, which may
// take two or more letters: Ж to Zh), and "?" only for a character with none.
std::string closestCp1252(char32_t ch);

} // namespace tavrel
