#include "browser/CallPick.h"

#include <algorithm>
#include <vector>

namespace tavrel {
namespace {

bool isLetter(char c) {
    return c >= 'A' && c <= 'Z';
}
bool isDigit(char c) {
    return c >= '0' && c <= '9';
}
bool isAlnum(char c) {
    return isLetter(c) || isDigit(c);
}
char upper(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

bool isBaseCall(std::string_view w) {
    // The suffix runs back from the end to the last digit; the prefix is what is before that digit.
    std::size_t d = w.size();
    while (d > 0 && isLetter(w[d - 1]))
        --d;
    const std::size_t suffix = w.size() - d;
    if (suffix < 1 || suffix > 4 || d < 2 || !isDigit(w[d - 1])) return false;
    const std::string_view prefix = w.substr(0, d - 1);
    return prefix.size() <= 3 && std::all_of(prefix.begin(), prefix.end(), isAlnum) &&
           std::any_of(prefix.begin(), prefix.end(), isLetter);
}

// Words of letters, digits and slashes, in upper case.
std::vector<std::string> words(std::string_view text) {
    std::vector<std::string> out;
    std::string w;
    for (char raw : text) {
        const char c = upper(raw);
        if (isAlnum(c) || c == '/') {
            w += c;
        } else if (!w.empty()) {
            out.push_back(std::move(w));
            w.clear();
        }
    }
    if (!w.empty()) out.push_back(std::move(w));
    return out;
}

} // namespace

bool isCallSign(std::string_view word) {
    int bases = 0;
    std::size_t from = 0;
    while (from <= word.size()) {
        const std::size_t slash = std::min(word.find('/', from), word.size());
        const std::string_view part = word.substr(from, slash - from);
        if (part.empty() || !std::all_of(part.begin(), part.end(), isAlnum)) return false;
        if (isBaseCall(part)) {
            ++bases;
        } else if (part.size() > 4) {
            return false;
        }
        from = slash + 1;
    }
    return bases == 1;
}

std::string pickCall(std::string_view text) {
    const std::vector<std::string> w = words(text);
    std::string found;
    for (std::size_t i = 0; i < w.size(); ++i) {
        if (w[i] == "DE" && i + 1 < w.size() && isCallSign(w[i + 1])) found = w[i + 1];
        if ((w[i] == "K" || w[i] == "KN") && i > 0) {
            const std::size_t j = w[i - 1] == "PSE" ? i - 1 : i;
            if (j > 0 && isCallSign(w[j - 1])) found = w[j - 1];
        }
    }
    return found;
}

bool hasWord(std::string_view text, std::string_view word) {
    if (word.empty() || word.size() > text.size()) return false;
    for (std::size_t at = 0; at + word.size() <= text.size(); ++at) {
        if (at > 0 && isAlnum(upper(text[at - 1]))) continue;
        const std::size_t end = at + word.size();
        if (end < text.size() && isAlnum(upper(text[end]))) continue;
        bool same = true;
        for (std::size_t k = 0; k < word.size() && same; ++k)
            same = upper(text[at + k]) == upper(word[k]);
        if (same) return true;
    }
    return false;
}

} // namespace tavrel
