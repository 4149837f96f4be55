#pragma once
// Call signs in received text, for the signal browser. Text is Windows-1252 bytes; calls come
// back in upper case.

#include <string>
#include <string_view>

namespace tavrel {

// A call sign: a prefix of 1 to 3 letters and digits holding a letter, a digit and 1 to 4 letters
// ("G4XYZ", "DL1ABC", "2E0ABC", "3DA0RU"), with any slashed parts of 1 to 4 letters and digits
// before or after it ("EA8/DL1ABC", "DL1ABC/P", "F/G4XYZ/MM"). Upper case expected.
bool isCallSign(std::string_view word);

// The call a station signs with in `text`: the newest call sign that follows "de" or comes before
// "k", "kn", "pse k" or "pse kn" (any case). Empty when there is none.
std::string pickCall(std::string_view text);

// Whether `word` stands in `text` as a word of its own (any case): "G4ABC" is in "G4ABC/P de" and in
// "EA8/G4ABC", not in "G4ABCD". An empty word is nowhere.
bool hasWord(std::string_view text, std::string_view word);

} // namespace tavrel
