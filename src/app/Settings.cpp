#include "app/Settings.h"

#include "app/MainState.h"

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <unistd.h>

namespace tavrel {

int settingsChanged = 0;

SettingsList defaultSettings() {
    SettingsList s{};
    s[27] = "2";
    s[38] = "1";
    s[40] = "Yes";
    s[41] = "0";
    s[50] = "20";
    s[60] = "1";
    s[61] = "300";
    s[62] = "3000";
    return s;
}

namespace {

bool isLineEnd(char c) { return c == '\r' || c == '\n'; }

// Consumes a closing comma or line end (CR LF counts as one) at pos.
void skipTerminator(std::string_view t, size_t& pos) {
    if (pos >= t.size()) return;
    if (t[pos] == ',' || t[pos] == '\n') {
        ++pos;
    } else if (t[pos] == '\r') {
        ++pos;
        if (pos < t.size() && t[pos] == '\n') ++pos;
    }
}

} // namespace

SettingsList parseSettings(std::string_view t) {
    SettingsList list = defaultSettings();
    size_t pos = 0;
    for (int i = 0; i < kSettingsCount; ++i) {
        if (pos >= t.size()) break; // a short file: the rest keep their defaults
        while (pos < t.size() && (t[pos] == ' ' || t[pos] == '\t')) ++pos;
        std::string item;
        if (pos < t.size() && t[pos] == '"') {
            size_t close = t.find('"', pos + 1);
            if (close == std::string_view::npos) close = t.size();
            item.assign(t.substr(pos + 1, close - pos - 1));
            pos = close + 1;
            while (pos < t.size() && t[pos] != ',' && !isLineEnd(t[pos])) ++pos;
        } else {
            size_t end = pos;
            while (end < t.size() && t[end] != ',' && !isLineEnd(t[end])) ++end;
            item.assign(t.substr(pos, end - pos));
            while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.pop_back();
            pos = end;
        }
        skipTerminator(t, pos);
        list[i] = std::move(item);
    }
    return list;
}

std::string formatSettings(const SettingsList& list) {
    std::string out;
    out.reserve(1024);
    for (const std::string& item : list) {
        out += '"';
        for (char c : item) out += (c == '"') ? '\'' : c;
        out += "\"\r\n";
    }
    return out;
}

SettingsList readSettings(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    if (!in) return defaultSettings();
    std::string text((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    return parseSettings(text);
}

namespace {
std::string notSaved(const std::filesystem::path& file, const std::string& reason) {
    return "The settings could not be saved to " + file.string() + ": " + reason + ".";
}
} // namespace

std::optional<std::string> writeSettings(const std::filesystem::path& file, const SettingsList& list) {
    const std::string text = formatSettings(list);
    std::filesystem::path tmp = file;
    tmp += ".tmp";
    FILE* f = std::fopen(tmp.c_str(), "wb");
    if (!f) return notSaved(file, std::strerror(errno));
    int err = 0;
    const auto step = [&err](bool ok) {
        if (!ok && err == 0) err = errno != 0 ? errno : EIO;
    };
    errno = 0;
    step(std::fwrite(text.data(), 1, text.size(), f) == text.size());
    step(std::fflush(f) == 0);
    step(fsync(fileno(f)) == 0);
    step(std::fclose(f) == 0);
    std::error_code ec;
    if (err == 0) std::filesystem::rename(tmp, file, ec);
    if (err != 0 || ec) {
        std::error_code ignore;
        std::filesystem::remove(tmp, ignore);
        return notSaved(file, err != 0 ? std::strerror(err) : ec.message());
    }
    return std::nullopt;
}

std::optional<std::string> writeDefaultSettings(const std::filesystem::path& file) {
    return writeSettings(file, defaultSettings());
}

std::optional<std::string> saveSettings(MainState& state) {
    state.settings[50] = state.currentBand;
    auto failure = writeSettings(state.file("tavrel.ini"), state.settings);
    if (!failure) settingsChanged = 1;
    return failure;
}

} // namespace tavrel
