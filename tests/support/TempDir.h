#pragma once
// A fresh folder under /tmp, removed with everything in it when the test ends.

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>
#include <unistd.h>

namespace tavrel {

struct TempDir {
    std::filesystem::path path;
    TempDir() {
        char tmpl[] = "/tmp/tavrel-test-XXXXXX";
        path = ::mkdtemp(tmpl);
    }
    ~TempDir() {
        std::error_code ec;
        std::filesystem::remove_all(path, ec);
    }
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;
    std::filesystem::path file(std::string_view name) const { return path / name; }
};

inline std::string readFile(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

// Line n (1-based) of a CR LF text file, without its line end.
inline std::string fileLine(const std::filesystem::path& file, int n) {
    const std::string text = readFile(file);
    size_t pos = 0;
    for (int i = 1; i < n; ++i) {
        pos = text.find("\r\n", pos);
        if (pos == std::string::npos) return {};
        pos += 2;
    }
    return text.substr(pos, text.find("\r\n", pos) - pos);
}

inline void writeFile(const std::filesystem::path& p, std::string_view bytes) {
    std::ofstream(p, std::ios::binary | std::ios::trunc) << bytes;
}

} // namespace tavrel
