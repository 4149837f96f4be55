#pragma once
// The settings list and its file tavrel.ini: 101 text items, stored by position and known in the
// program by the names of Item.
// Text is Windows-1252 bytes, as the file holds it.

#include <array>
#include <filesystem>
#include <optional>
#include <string>
#include <string_view>

namespace tavrel {

inline constexpr int kSettingsCount = 101;

// Every item of the list by name. This table is the only place item numbers appear: the number is
// the item's line in the file (counting from 0), so never renumber an entry. Items not named here
// are carried along unchanged; 69 and 72 to 100 are free for new settings.
enum class Item : int {
    OwnCall = 0,            // own call sign
    QslText = 1,            // QSL information macro
    OwnName = 2,            // operator's name
    OwnTown = 3,            // town
    OwnArea = 4,            // area
    OwnLocator = 5,         // Maidenhead locator
    OwnComputer = 6,        // computer description
    OwnRig = 8,             // rig description
    OwnPower = 9,           // transmit power, watts as text
    OwnAntenna = 10,        // antenna description
    WeatherText = 11,       // weather macro
    GmtOffset = 12,         // local time minus UTC in whole hours, for the UTC clock
    LastBackup = 13,        // date of the last log backup, yyyymmdd
    CqText = 14,            // CQ macro
    OwnLatitude = 16,       // decimal degrees, south negative
    OwnLongitude = 17,      // decimal degrees, east negative
    QthText = 18,           // QTH macro
    StationText = 19,       // station macro
    EndText = 21,           // end-of-contact macro
    Preset3 = 22,           // audio presets 3 to 5: receive audio frequency in Hz, also the caption
    Preset4 = 23,           //
    Preset5 = 24,           //
    PttPort = 26,           // PTT serial port: a number 0-4 or a device path; empty or 0 = none
    PttLine = 27,           // PTT line: 1 RTS, 2 DTR, 3 both, 4 through the rig (Hamlib)
    Preset1 = 28,           // audio presets 1 and 2, as 3 to 5
    Preset2 = 29,           //
    UserMacro1 = 30,        // user macro texts 1 to 3
    UserMacro2 = 31,        //
    UserMacro3 = 32,        //
    UserCaption1 = 33,      // captions of user macros 1 to 3
    UserCaption2 = 34,      //
    UserCaption3 = 35,      //
    LogCqCalls = 38,        // "1" logs the calls heard after a CQ, "0" does not
    RadioControl = 40,      // "Yes" shows the radio panel and drives the rig
    CatPort = 41,           // CAT serial port: a number 0-4 or a device path; 0 = none
    CatBaud = 42,           // CAT baud rate
    CatDataBits = 43,       // CAT data bits
    CatParity = 44,         // CAT parity letter
    CatStopBits = 45,       // CAT stop bits
    BandPreset40 = 46,      // kHz part of the dial frequency of the 40, 20, 15 and 10 m buttons
    BandPreset20 = 47,      //
    BandPreset15 = 48,      //
    BandPreset10 = 49,      //
    Band = 50,              // last band button: "10", "15", "20" or "40"
    UserMacro4 = 51,        // user macro texts 4 to 6
    UserMacro5 = 52,        //
    UserMacro6 = 53,        //
    UserCaption4 = 54,      // captions of user macros 4 to 6
    UserCaption5 = 55,      //
    UserCaption6 = 56,      //
    DisplayRange = 60,      // "1" Normal 0-3000 Hz, "2" Wide 0-4000 Hz, "3" Custom
    CustomRangeBottom = 61, // custom display range, lower edge in Hz
    CustomRangeTop = 62,    // custom display range, upper edge in Hz
    RadioModel = 63,        // "1" Icom 735, "2" Yaesu FT-900, "3" Kenwood TS-440S, "4" Hamlib
    HamlibModel = 64,       // Hamlib's model number
    HamlibDataMode = 65,    // "1" tunes the Hamlib rig to USB data mode, else plain USB
    InputDevice = 66,       // sound input device's id; empty: the system's default
    OutputDevice = 67,      // sound output device's id; empty: the system's default
    TxDrive = 68,           // transmit drive in percent; empty: the program's default
    DisplayShare = 70,      // percent of the splitter's height the display has
    TextSize = 71,          // point size of the receive and transmit text; empty: the system's
};

// The six user macros and their captions, the five audio presets, in button order.
inline constexpr Item kUserMacroItems[6] = {Item::UserMacro1, Item::UserMacro2, Item::UserMacro3,
                                            Item::UserMacro4, Item::UserMacro5, Item::UserMacro6};
inline constexpr Item kUserCaptionItems[6] = {Item::UserCaption1, Item::UserCaption2, Item::UserCaption3,
                                              Item::UserCaption4, Item::UserCaption5, Item::UserCaption6};
inline constexpr Item kPresetItems[5] = {Item::Preset1, Item::Preset2, Item::Preset3, Item::Preset4,
                                         Item::Preset5};

// The list, read and written by name; the file and the tests of its format see positions.
struct SettingsList : std::array<std::string, kSettingsCount> {
    using std::array<std::string, kSettingsCount>::operator[];
    std::string& operator[](Item i) { return (*this)[static_cast<size_t>(i)]; }
    const std::string& operator[](Item i) const { return (*this)[static_cast<size_t>(i)]; }
};

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

} // namespace tavrel
