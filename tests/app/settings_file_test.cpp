#include "app/Settings.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <unistd.h>

using namespace tavrel;

namespace {

std::string slurp(const std::filesystem::path& p) {
    std::ifstream in(p, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

struct TempDir {
    std::filesystem::path path;
    TempDir() {
        char tmpl[] = "/tmp/tavrel-settings-XXXXXX";
        path = mkdtemp(tmpl);
    }
    ~TempDir() { std::filesystem::remove_all(path); }
};

} // namespace

TEST(SettingsFile, DefaultFileIsByteExact) {
    TempDir dir;
    const auto file = dir.path / "tavrel.ini";
    ASSERT_EQ(writeDefaultSettings(file), std::nullopt);
    std::string expected;
    for (int line = 1; line <= 101; ++line) {
        std::string item;
        switch (line) {
        case 28: item = "2"; break;
        case 39: item = "1"; break;
        case 41: item = "Yes"; break;
        case 42: item = "0"; break;
        case 51: item = "20"; break;
        case 61: item = "1"; break;
        case 62: item = "300"; break;
        case 63: item = "3000"; break;
        }
        expected += "\"" + item + "\"\r\n";
    }
    EXPECT_EQ(slurp(file), expected);
    EXPECT_FALSE(std::filesystem::exists(dir.path / "tavrel.ini.tmp"));
}

TEST(SettingsFile, RoundTripKeepsCommasBlanksAndEveryByte) {
    SettingsList list = defaultSettings();
    list[3] = "Bath, England";
    list[4] = "  padded  ";
    list[9] = "100";
    list[80] = "\xD8\x80\xFF caf\xE9";
    EXPECT_EQ(parseSettings(formatSettings(list)), list);
}

TEST(SettingsFile, DoubleQuoteCannotShiftLaterItems) {
    SettingsList list = defaultSettings();
    list[0] = "G4\"ABC";
    list[2] = "\"quoted\", name";
    const SettingsList back = parseSettings(formatSettings(list));
    EXPECT_EQ(back[0], "G4'ABC");
    EXPECT_EQ(back[2], "'quoted', name");
    for (int i = 3; i < kSettingsCount; ++i) EXPECT_EQ(back[i], list[i]) << "item " << i;
}

TEST(SettingsFile, MultiLineTextReadsBackWithItsLineEnds) {
    SettingsList list = defaultSettings();
    list[30] = "line one\r\nline two\r\n\r\nlast";
    list[31] = "lf only\nend";
    const SettingsList back = parseSettings(formatSettings(list));
    EXPECT_EQ(back, list);
}

TEST(SettingsFile, ReaderRules) {
    // Unquoted items end at a comma and lose trailing blanks; text after a closing quote is
    // skipped; LF, CR and CR LF all end a line; leading blanks are skipped.
    const std::string text = "  \"call\" junk\rname , town\n\"a,b\"\r\n\r\n\"x\"";
    const SettingsList s = parseSettings(text);
    EXPECT_EQ(s[0], "call");
    EXPECT_EQ(s[1], "name");
    EXPECT_EQ(s[2], "town");
    EXPECT_EQ(s[3], "a,b");
    EXPECT_EQ(s[4], ""); // the empty line
    EXPECT_EQ(s[5], "x");
}

TEST(SettingsFile, ShortFileGivesMissingItemsTheirDefaults) {
    std::string text;
    for (int i = 0; i < 30; ++i) text += "\"v" + std::to_string(i) + "\"\r\n";
    const SettingsList s = parseSettings(text);
    EXPECT_EQ(s[29], "v29");
    EXPECT_EQ(s[27], "v27");
    EXPECT_EQ(s[38], "1");
    EXPECT_EQ(s[40], "Yes");
    EXPECT_EQ(s[50], "20");
    EXPECT_EQ(s[62], "3000");
    EXPECT_EQ(s[100], "");
}

TEST(SettingsFile, MissingFileReadsAsDefaults) {
    EXPECT_EQ(readSettings("/nonexistent/tavrel.ini"), defaultSettings());
}

TEST(SettingsFile, FailedWriteSaysWhichFileAndWhyAndLeavesTheOldFileWhole) {
    TempDir dir;
    const auto file = dir.path / "tavrel.ini";
    ASSERT_EQ(writeDefaultSettings(file), std::nullopt);
    const std::string before = slurp(file);
    const auto missing = dir.path / "missing-folder" / "tavrel.ini";
    const auto why = writeSettings(missing, defaultSettings());
    ASSERT_TRUE(why.has_value());
    EXPECT_NE(why->find(missing.string()), std::string::npos) << *why;
    EXPECT_NE(why->find("No such file or directory"), std::string::npos) << *why;
    // A directory in the temporary file's place makes the write fail.
    std::filesystem::create_directory(dir.path / "tavrel.ini.tmp");
    SettingsList changed = defaultSettings();
    changed[0] = "NEWCALL";
    EXPECT_TRUE(writeSettings(file, changed).has_value());
    EXPECT_EQ(slurp(file), before);
}
