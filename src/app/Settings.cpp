#include "app/Settings.h"

#include "app/FileStore.h"
#include "app/MainState.h"

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

// Reads the items of a settings text one by one by the reading rule, noting how each ended.
class ItemReader {
public:
    explicit ItemReader(std::string_view text) : m_t(text) {}

    bool atEnd() const { return m_pos >= m_t.size(); }
    // Nothing but blanks and line ends is left.
    bool onlyBlankLinesLeft() const {
        return m_t.find_first_not_of(" \t\r\n", m_pos) == std::string_view::npos;
    }
    int line() const { return m_line; } // 1-based line the next item starts on

    // The next item; `byComma` tells whether a comma (not a line end) closed it.
    std::string next(bool& byComma) {
        const std::string_view t = m_t;
        while (m_pos < t.size() && (t[m_pos] == ' ' || t[m_pos] == '\t'))
            ++m_pos;
        std::string item;
        if (m_pos < t.size() && t[m_pos] == '"') {
            size_t close = t.find('"', m_pos + 1);
            if (close == std::string_view::npos) close = t.size();
            item.assign(t.substr(m_pos + 1, close - m_pos - 1));
            countLines(item);
            m_pos = close + 1;
            while (m_pos < t.size() && t[m_pos] != ',' && !isLineEnd(t[m_pos]))
                ++m_pos;
        } else {
            size_t end = m_pos;
            while (end < t.size() && t[end] != ',' && !isLineEnd(t[end])) ++end;
            item.assign(t.substr(m_pos, end - m_pos));
            while (!item.empty() && (item.back() == ' ' || item.back() == '\t')) item.pop_back();
            m_pos = end;
        }
        byComma = m_pos < t.size() && t[m_pos] == ',';
        skipTerminator();
        return item;
    }

private:
    // Consumes a closing comma or line end (CR LF counts as one).
    void skipTerminator() {
        if (m_pos >= m_t.size()) return;
        if (m_t[m_pos] == ',') {
            ++m_pos;
            return;
        }
        ++m_line;
        if (m_t[m_pos] == '\r' && m_pos + 1 < m_t.size() && m_t[m_pos + 1] == '\n') ++m_pos;
        ++m_pos;
    }
    void countLines(std::string_view quoted) {
        for (size_t i = 0; i < quoted.size(); ++i)
            if (quoted[i] == '\n' || (quoted[i] == '\r' && (i + 1 == quoted.size() || quoted[i + 1] != '\n')))
                ++m_line;
    }

    std::string_view m_t;
    size_t m_pos = 0;
    int m_line = 1;
};

} // namespace

SettingsList parseSettings(std::string_view t) {
    SettingsList list = defaultSettings();
    ItemReader reader(t);
    bool byComma = false;
    for (int i = 0; i < kSettingsCount && !reader.atEnd(); ++i) // a short file: the rest keep their defaults
        list[i] = reader.next(byComma);
    return list;
}

std::optional<std::string> settingsDamage(std::string_view t) {
    ItemReader reader(t);
    int count = 0;
    int commaLine = 0;
    bool byComma = false;
    // Blank lines after the last item are harmless; anything else counts.
    while (!reader.atEnd() && !(count >= kSettingsCount && reader.onlyBlankLinesLeft())) {
        const int line = reader.line();
        reader.next(byComma);
        ++count;
        if (byComma && commaLine == 0) commaLine = line;
    }
    const std::string counted = std::to_string(count) + (count == 1 ? " item" : " items");
    if (commaLine > 0)
        return "line " + std::to_string(commaLine) +
               " holds a comma outside quotes, which moves every later item (" + counted + " instead of " +
               std::to_string(kSettingsCount) + ")";
    if (count != kSettingsCount)
        return "it holds " + counted + " instead of " + std::to_string(kSettingsCount);
    return std::nullopt;
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

SettingsRead loadSettings(const std::filesystem::path& file) {
    SettingsRead result{defaultSettings(), false, std::nullopt, std::nullopt};
    const FileRead read = readWholeFile(file);
    if (read.missing()) {
        result.missing = true;
        return result;
    }
    if (read.error != 0) {
        result.error =
            "The settings file " + file.string() + " cannot be read: " + errorText(read.error) + ".";
        return result;
    }
    result.list = parseSettings(read.bytes);
    if (auto damage = settingsDamage(read.bytes))
        result.damage = "The settings file " + file.string() + " is damaged: " + *damage + ".";
    return result;
}

SettingsList readSettings(const std::filesystem::path& file) {
    return loadSettings(file).list;
}

namespace {
std::string notSaved(const std::filesystem::path& file, const std::string& reason) {
    return "The settings could not be saved to " + file.string() + ": " + reason + ".";
}
} // namespace

std::optional<std::string> writeSettings(const std::filesystem::path& file, const SettingsList& list) {
    if (auto failure = replaceFile(file, formatSettings(list))) return notSaved(file, failure->reason());
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
