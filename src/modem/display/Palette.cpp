#include "modem/display/Palette.h"

#include <fstream>
#include <sstream>
#include <vector>

namespace tavrel {

namespace {

struct Stop {
    int level, r, g, b;
};

Palette blend(const std::vector<Stop>& stops) {
    Palette p{};
    std::size_t k = 0;
    for (int level = 0; level < 256; ++level) {
        while (k + 1 < stops.size() && stops[k + 1].level <= level)
            ++k;
        const Stop& a = stops[k];
        const Stop& b = k + 1 < stops.size() ? stops[k + 1] : stops[k];
        double f = 0.0;
        if (level > a.level && b.level > a.level) f = double(level - a.level) / double(b.level - a.level);
        const auto mix = [f](int x, int y) { return static_cast<uint32_t>(x + (y - x) * f + 0.5); };
        p[level] = (mix(a.r, b.r) << 16) | (mix(a.g, b.g) << 8) | mix(a.b, b.b);
    }
    return p;
}

// Reads one whole number 0..255 from s at pos, skipping separators before it.
bool readValue(std::string_view s, std::size_t& pos, int& value) {
    while (pos < s.size() && (s[pos] == ' ' || s[pos] == '\t' || s[pos] == ','))
        ++pos;
    if (pos >= s.size() || s[pos] < '0' || s[pos] > '9') return false;
    int v = 0;
    while (pos < s.size() && s[pos] >= '0' && s[pos] <= '9') {
        v = v * 10 + (s[pos] - '0');
        if (v > 255) return false;
        ++pos;
    }
    // A number runs up to a separator or the end of the line.
    if (pos < s.size() && s[pos] != ' ' && s[pos] != '\t' && s[pos] != ',') return false;
    value = v;
    return true;
}

} // namespace

Palette builtInPalette() {
    return blend({{0, 0, 0, 0},
                  {40, 0, 0, 96},
                  {96, 0, 96, 200},
                  {150, 0, 200, 200},
                  {200, 240, 240, 0},
                  {255, 255, 255, 255}});
}

std::optional<Palette> parsePalette(std::string_view text, std::string* error) {
    std::vector<Stop> stops;
    int lineNo = 0;
    const auto fail = [&](const char* why) -> std::optional<Palette> {
        if (error) *error = "line " + std::to_string(lineNo) + ": " + why;
        return std::nullopt;
    };
    std::size_t start = 0;
    while (start <= text.size()) {
        std::size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        start = end + 1;
        ++lineNo;
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        const std::size_t first = line.find_first_not_of(" \t");
        if (first == std::string_view::npos || line[first] == '#' || line[first] == ';') {
            if (end == text.size()) break;
            continue;
        }
        Stop s{};
        std::size_t pos = 0;
        if (!readValue(line, pos, s.level) || !readValue(line, pos, s.r) || !readValue(line, pos, s.g) ||
            !readValue(line, pos, s.b))
            return fail("expected four numbers 0..255: level red green blue");
        if (line.find_first_not_of(" \t,", pos) != std::string_view::npos)
            return fail("more than four numbers");
        if (!stops.empty() && s.level <= stops.back().level)
            return fail("levels must rise from line to line");
        stops.push_back(s);
        if (end == text.size()) break;
    }
    if (stops.size() < 2) {
        if (error) *error = "fewer than two colours";
        return std::nullopt;
    }
    return blend(stops);
}

PaletteLoad loadPaletteFile(const std::filesystem::path& path) {
    PaletteLoad result{builtInPalette(), false, {}};
    std::ifstream in(path, std::ios::binary);
    if (!in) {
        result.problem = path.filename().string() + " not found: built-in colours";
        return result;
    }
    std::ostringstream text;
    text << in.rdbuf();
    std::string error;
    if (auto p = parsePalette(text.str(), &error)) {
        result.colours = *p;
        result.fromFile = true;
    } else {
        result.problem = path.filename().string() + " damaged (" + error + "): built-in colours";
    }
    return result;
}

} // namespace tavrel
