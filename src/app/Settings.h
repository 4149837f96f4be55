#pragma once
// The settings list and its file tavrel.ini: 101 text items, known by position only.
// Text is Windows-1252 bytes, as the file holds it.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

struct MainState;

inline constexpr int kSettingsCount = 101;
using SettingsList = std::array<std::string, kSettingsCount>;

// 1 after a settings writer has rewritten tavrel.ini until the main window has re-applied it.
extern int settingsChanged;

// The list a newly made file holds.
SettingsList defaultSettings();

// Parses the file's text: quoted or unquoted items, a comma or a line end (CR, LF or CR LF)
// closes an item. Items the text does not reach keep their defaults.
SettingsList parseSettings(std::string_view text);

// One quoted line per item, CR LF after each. A double quote inside an item is written as an
// apostrophe, so no item can swallow the items after it; line ends inside an item stay inside
// its quotes and read back unchanged.
std::string formatSettings(const SettingsList& list);

// Why a settings text does not hold exactly one item a line for all 101 items: too few or too
// many items, or a comma outside quotes that moves every later item. Blank lines at the end are
// harmless. Nothing when the text is whole.
std::optional<std::string> settingsDamage(std::string_view text);

struct SettingsRead {
    SettingsList list;                 // the defaults unless the file was read
    bool missing = false;              // there is no such file
    std::optional<std::string> error;  // the file is there but cannot be read: it must be left alone
    std::optional<std::string> damage; // read, with defaults filled in where items are missing
};

// Reads the whole file; never throws. Messages are for the operator and name the file.
SettingsRead loadSettings(const std::filesystem::path& file);

// The list alone: the defaults for a missing or unreadable file.
SettingsList readSettings(const std::filesystem::path& file);

// Replaces the file with the whole list, durably and keeping its permissions (see FileStore.h),
// so a full disk or a crash never leaves a half-written settings file. On failure returns the
// operator's message, naming the file and the reason; nothing when the file was written.
std::optional<std::string> writeSettings(const std::filesystem::path& file, const SettingsList& list);

std::optional<std::string> writeDefaultSettings(const std::filesystem::path& file);

// The main window's save, shared by the band buttons, the audio presets and the macro editor:
// item 50 = currentBand, the whole list written to tavrel.ini, then settingsChanged = 1 so the next
// status event re-applies the file. A failed write leaves settingsChanged alone, so no re-apply
// reads the old file over the list in memory, and returns the message as writeSettings does.
std::optional<std::string> saveSettings(MainState& state);

} // namespace tavrel
