#include "core/FieldReader.h"
#include "core/Settings.h"
#include "support/faults/FaultyFiles.h"

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

// The settings, the log and the prefix table share one reader; these are the rules that differ.
TEST(SettingsFile, FieldRulesOfTheThreeFiles) {
    using Fields = std::vector<std::string>;
    struct Case {
        const char* text;
        Fields settings, log, prefixTable;
    };
    const Case cases[] = {
        {"\ta", {"a"}, {"\ta"}, {"a"}},
        {"a \t,b", {"a", "b"}, {"a \t", "b"}, {"a \t", "b"}},
        {"x,\"ab", {"x", "ab"}, {"x", "ab"}, {"x"}},
        {"a,", {"a"}, {"a", ""}, {"a", ""}},
        {"a\r\n  ", {"a", ""}, {"a"}, {"a", ""}},
        {" \"p,q\" junk,r\rs", {"p,q", "r", "s"}, {"p,q", "r", "s"}, {"p,q", "r", "s"}},
    };
    const auto read = [](const char* text, FieldRules rules) {
        FieldReader reader(text, rules);
        Fields out;
        for (std::string f; reader.next(f);) out.push_back(f);
        return out;
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        EXPECT_EQ(read(c.text, kSettingsFieldRules), c.settings);
        EXPECT_EQ(read(c.text, kLogFieldRules), c.log);
        EXPECT_EQ(read(c.text, kPrefixFieldRules), c.prefixTable);
    }
    // Line ends inside quotes count towards the line a field starts on; CR LF is one.
    FieldReader reader("\"a\r\nb\rc\",d\r\ne", kLogFieldRules);
    std::string f;
    for (const int line : {1, 3, 4}) {
        ASSERT_TRUE(reader.next(f));
        EXPECT_EQ(reader.fieldLine(), line) << f;
    }
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

TEST(SettingsFile, DamageIsFoundInTheItemCountAndInMovedItems) {
    const std::string whole = formatSettings(defaultSettings());
    std::string shifted = whole;
    shifted.replace(3 * 4, 2, "Bath, England"); // line 4, unquoted
    std::string junkAfterQuote = whole;
    junkAfterQuote.insert(2, " x,y"); // line 1: text after the closing quote, then a comma
    const struct {
        std::string text;
        const char* found; // nothing: whole
    } cases[] = {
        {whole, nullptr},
        {whole + "\r\n\r\n  \r\n", nullptr},          // blank lines at the end
        {whole.substr(0, whole.size() - 2), nullptr}, // last line end missing
        {formatSettings(defaultSettings()).substr(0, 30 * 4), "it holds 30 items instead of 101"},
        {"", "it holds 0 items instead of 101"},
        {whole + "\"extra\"\r\n", "it holds 102 items instead of 101"},
        {shifted,
         "line 4 holds a comma outside quotes, which moves every later item (102 items instead of 101)"},
        {junkAfterQuote, "line 1 holds a comma outside quotes"},
    };
    for (const auto& c : cases) {
        const auto damage = settingsDamage(c.text);
        if (!c.found) {
            EXPECT_EQ(damage, std::nullopt) << c.text.size();
        } else {
            ASSERT_TRUE(damage.has_value()) << c.found;
            EXPECT_NE(damage->find(c.found), std::string::npos) << *damage;
        }
    }
}

// Only a file that is not there reads as the defaults; one that cannot be read says why.
TEST(SettingsFile, LoadTellsAMissingFileFromAnUnreadableOne) {
    TempDir dir;
    std::filesystem::create_directory(dir.path / "folder.ini");
    std::filesystem::create_symlink("loop.ini", dir.path / "loop.ini");
    std::filesystem::create_symlink("/proc/self/mem", dir.path / "ioerror.ini"); // reads fail with EIO
    const struct {
        const char* name;
        const char* error; // nothing: missing
    } cases[] = {
        {"missing.ini", nullptr},
        {"folder.ini", "Is a directory"},
        {"loop.ini", "Too many levels of symbolic links"},
        {"ioerror.ini", "Input/output error"},
    };
    for (const auto& c : cases) {
        const auto file = dir.path / c.name;
        const SettingsRead read = loadSettings(file);
        EXPECT_EQ(read.list, defaultSettings()) << c.name;
        EXPECT_EQ(read.missing, c.error == nullptr) << c.name;
        EXPECT_EQ(read.damage, std::nullopt) << c.name;
        if (c.error) {
            ASSERT_TRUE(read.error.has_value()) << c.name;
            EXPECT_EQ(*read.error,
                      "The settings file " + file.string() + " cannot be read: " + c.error + ".");
        } else {
            EXPECT_EQ(read.error, std::nullopt);
        }
    }
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

// Flushed before the rename, the folder synced after it, the file's mode kept: a power cut
// leaves the old file or the new one, and a file the operator made private stays private.
TEST(SettingsFile, ReplaceIsDurableAndKeepsThePermissions) {
    faults::Scope faults;
    TempDir dir;
    const auto file = dir.path / "tavrel.ini";
    ASSERT_EQ(writeDefaultSettings(file), std::nullopt);
    using std::filesystem::perms;
    std::filesystem::permissions(file, perms::owner_read | perms::owner_write | perms::group_read);
    faults::reset();
    ASSERT_EQ(writeSettings(file, defaultSettings()), std::nullopt);
    EXPECT_TRUE(faults::replacedDurably(file));
    EXPECT_EQ(std::filesystem::status(file).permissions(), perms::owner_read | perms::owner_write | perms::group_read);
}
