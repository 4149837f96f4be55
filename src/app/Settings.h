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

// Reads the whole file; a missing or unreadable file gives the defaults.
SettingsList readSettings(const std::filesystem::path& file);

// Writes the whole list to a temporary file and renames it over `file`, so a full disk or a
// crash never leaves a half-written settings file. On failure returns the operator's message,
// naming the file and the reason; nothing when the file was written.
std::optional<std::string> writeSettings(const std::filesystem::path& file, const SettingsList& list);

std::optional<std::string> writeDefaultSettings(const std::filesystem::path& file);

// The main window's save, shared by the band buttons, the audio presets and the macro editor:
// item 50 = currentBand, the whole list written to tavrel.ini, then settingsChanged = 1 so the next
// status event re-applies the file. A failed write leaves settingsChanged alone, so no re-apply
// reads the old file over the list in memory, and returns the message as writeSettings does.
std::optional<std::string> saveSettings(MainState& state);

} // namespace tavrel
