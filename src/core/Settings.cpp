#include "core/Settings.h"

#include "core/FieldReader.h"
#include "core/FileStore.h"

namespace tavrel {

SettingsList defaultSettings() {
    SettingsList s{};
    s[Item::PttLine] = "2";
    s[Item::LogCqCalls] = "1";
    s[Item::RadioControl] = "Yes";
    s[Item::CatPort] = "0";
    s[Item::Band] = "20";
    s[Item::DisplayRange] = "1";
    s[Item::CustomRangeBottom] = "300";
    s[Item::CustomRangeTop] = "3000";
    return s;
}

SettingsList parseSettings(std::string_view t) {
    SettingsList list = defaultSettings();
    FieldReader reader(t, kSettingsFieldRules);
    for (std::string& item : list) // a short file: the rest keep their defaults
        if (!reader.next(item)) break;
    return list;
}

std::optional<std::string> settingsDamage(std::string_view t) {
    FieldReader reader(t, kSettingsFieldRules);
    int count = 0;
    int commaLine = 0;
    std::string item;
    // Blank lines after the last item are harmless; anything else counts.
    while (!(count >= kSettingsCount && reader.onlyBlankLinesLeft()) && reader.next(item)) {
        ++count;
        if (reader.endedByComma() && commaLine == 0) commaLine = reader.fieldLine();
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
        for (char c : item)
            out += (c == '"') ? '\'' : c;
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

} // namespace tavrel
