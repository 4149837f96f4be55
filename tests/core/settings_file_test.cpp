#include "core/FieldReader.h"
#include "core/FileStore.h"
#include "core/Settings.h"
#include "support/TempDir.h"
#include "support/faults/FaultyFiles.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <map>
#include <vector>

using namespace tavrel;

TEST(SettingsFile, DefaultFileIsByteExact) {
    TempDir dir;
    ASSERT_EQ(writeDefaultSettings(dir.file("tavrel.ini")), std::nullopt);
    const std::map<int, std::string> byLine = {{28, "2"},  {39, "1"}, {41, "Yes"}, {42, "0"},
                                               {51, "20"}, {61, "1"}, {62, "300"}, {63, "3000"}};
    std::string expected;
    for (int line = 1; line <= 101; ++line)
        expected += "\"" + (byLine.contains(line) ? byLine.at(line) : "") + "\"\r\n";
    EXPECT_EQ(readFile(dir.file("tavrel.ini")), expected);
}

// Commas, blanks, line ends and every byte come back; a double quote comes back as an apostrophe,
// so it cannot swallow the items after it. The reader's own rules are in FieldRulesOfTheThreeFiles.
TEST(SettingsFile, WrittenListReadsBack) {
    SettingsList list = defaultSettings();
    list[0] = "G4\"ABC";
    list[2] = "\"quoted\", name";
    list[3] = "Bath, England";
    list[4] = "  padded  ";
    list[30] = "line one\r\nline two\r\n\r\nlast";
    list[31] = "lf only\nend";
    list[80] = "\xD8\x80\xFF caf\xE9";
    SettingsList want = list;
    want[0] = "G4'ABC";
    want[2] = "'quoted', name";
    EXPECT_EQ(parseSettings(formatSettings(list)), want);
    // Items the text does not reach keep their defaults.
    want = defaultSettings();
    want[0] = "call", want[1] = "a,b";
    EXPECT_EQ(parseSettings(" \"call\" junk\r\n\"a,b\""), want);
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
        for (std::string f; reader.next(f);)
            out.push_back(f);
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

TEST(SettingsFile, DamageIsFoundInTheItemCountAndInMovedItems) {
    const std::string whole = formatSettings(defaultSettings());
    std::string junkAfterQuote = whole;
    junkAfterQuote.insert(2, " x,y"); // line 1: text after the closing quote, then a comma
    std::string moved;                // a quoted item over three lines, then an unquoted comma on line 49
    for (int i = 0; i < 101; ++i)
        moved += i == 30 ? "\"a\r\nb\rc\nd\"\r\n" : i == 45 ? "x, y\r\n" : "\"\"\r\n";
    const std::pair<std::string, const char*> cases[] = {
        {whole, nullptr},
        {whole + "\r\n\r\n  \r\n", nullptr},          // blank lines at the end
        {whole.substr(0, whole.size() - 2), nullptr}, // last line end missing
        {whole.substr(0, 30 * 4), "it holds 30 items instead of 101"},
        {"", "it holds 0 items instead of 101"},
        {whole + "\"extra\"\r\n", "it holds 102 items instead of 101"},
        {moved,
         "line 49 holds a comma outside quotes, which moves every later item (102 items instead of 101)"},
        {junkAfterQuote, "line 1 holds a comma outside quotes"},
    };
    for (const auto& [text, found] : cases) {
        const auto damage = settingsDamage(text);
        if (!found) {
            EXPECT_EQ(damage, std::nullopt) << text.size();
        } else {
            ASSERT_TRUE(damage.has_value()) << found;
            EXPECT_TRUE(damage->starts_with(found)) << *damage;
        }
    }
}

// Only a file that is not there reads as the defaults; one that cannot be read says why.
TEST(SettingsFile, LoadTellsAMissingFileFromAnUnreadableOne) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder.ini"));
    std::filesystem::create_symlink("/proc/self/mem", dir.file("ioerror.ini")); // reads fail with EIO
    for (const auto& [name, error] : {std::pair{"missing.ini", ""},
                                      {"folder.ini", "Is a directory"},
                                      {"ioerror.ini", "Input/output error"}}) {
        const SettingsRead read = loadSettings(dir.file(name));
        EXPECT_EQ(read.list, defaultSettings()) << name;
        EXPECT_EQ(read.missing, !*error) << name;
        EXPECT_EQ(read.damage, std::nullopt) << name;
        const std::string told =
            "The settings file " + dir.file(name).string() + " cannot be read: " + error + ".";
        EXPECT_EQ(read.error, *error ? std::optional(told) : std::nullopt);
    }
}

// Flushed before the rename, the folder synced after it, the file's mode kept: a power cut leaves
// the old file or the new one, and a file the operator made private stays private. A write that
// fails says which file and why, and leaves the old file whole.
TEST(SettingsFile, ReplaceIsDurableKeepsThePermissionsAndFailsSafely) {
    faults::Scope faults;
    TempDir dir;
    const auto file = dir.file("tavrel.ini");
    ASSERT_EQ(writeDefaultSettings(file), std::nullopt);
    using std::filesystem::perms;
    const perms mode = perms::owner_read | perms::owner_write | perms::group_read;
    std::filesystem::permissions(file, mode);
    faults::reset();
    SettingsList changed = defaultSettings();
    changed[0] = "NEWCALL";
    ASSERT_EQ(writeSettings(file, changed), std::nullopt);
    EXPECT_TRUE(faults::replacedDurably(file));
    EXPECT_EQ(std::filesystem::status(file).permissions(), mode);

    const std::string before = readFile(file);
    faults::failWritesAfter("tavrel.ini.tmp", 10);
    EXPECT_EQ(writeSettings(file, defaultSettings()),
              "The settings could not be saved to " + file.string() + ": No space left on device.");
    EXPECT_EQ(readFile(file), before);
}

// Files read in blocks: one that ends on a block boundary comes back whole, not empty.
TEST(FileStore, WholeFileComesBackWhateverItsSize) {
    TempDir dir;
    for (const size_t size : {0, 1, 65535, 65536, 65537, 131072}) {
        const std::string bytes(size, 'x');
        writeFile(dir.file("f"), bytes);
        const FileRead read = readWholeFile(dir.file("f"));
        EXPECT_EQ(read.error, 0) << size;
        EXPECT_TRUE(read.bytes == bytes) << size;
    }
    // Started with standard input closed, the program's first file is descriptor 0.
    const int savedInput = ::dup(0);
    ::close(0);
    const FileRead first = readWholeFile(dir.file("f"));
    ::dup2(savedInput, 0);
    ::close(savedInput);
    EXPECT_EQ(first.error, 0);
    EXPECT_EQ(first.bytes.size(), 131072u);
}
