// Changing and removing a stored contact, the search of the log view, and what the log already
// holds of the contact in hand.

#include "logbook/LogEdit.h"
#include "logbook/LogFile.h"
#include "logbook/LogView.h"
#include "logbook/WorkedBefore.h"

#include "support/LogRows.h"
#include "support/TempDir.h"
#include "support/faults/FaultyFiles.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

std::string line(const std::string& call, const std::string& date = "20240315",
                 const std::string& end = "102000") {
    return formatRecord(sampleContact(call, date, end));
}

// A hand-kept log: one line with an odd start time and leading blanks, which must survive
// an edit of another contact byte for byte.
const std::string kLog =
    kLogHeader + line("DL1ABC") +
    "zqx,20240316,  G4XYZ,9:505,40,BPSK,40,110000,579,579,Bob,Leeds,,,,IO93,,,,,,,,|:\r\n" +
    line("F5AB", "20240317");

LogRecord rowOf(std::string_view bytes, int row) {
    const LogLoad load = parseLog(bytes);
    EXPECT_TRUE(load.ok());
    return load.table.rows.at(static_cast<size_t>(row));
}

TEST(LogEdit, RewriteChangesOnlyTheChosenRecord) {
    LogRecord renamed = rowOf(kLog, 1);
    renamed[10] = "hans-peter";
    const struct {
        const char* what;
        std::string bytes;
        int row;
        const LogRecord* after;
        std::string want;
    } cases[] = {
        {"edit the first", kLog, 1, &renamed,
         kLogHeader +
             "zqx,20240315,DL1ABC,101500,20,BPSK,40,102000,579,599,Hans-peter,Berlin,nice qso,,,JO62QM,,,,,,,"
             ",|:\r\n" +
             kLog.substr(kLogHeader.size() + line("DL1ABC").size())},
        {"delete the middle", kLog, 2, nullptr, kLogHeader + line("DL1ABC") + line("F5AB", "20240317")},
        {"delete the last", kLog, 3, nullptr, kLog.substr(0, kLog.size() - line("F5AB", "20240317").size())},
        // Two records on one line, the second one removed: no comma is left dangling.
        {"delete from a shared line",
         kLogHeader + line("K1AA").substr(0, line("K1AA").size() - 2) + "," + line("K2BB"), 2, nullptr,
         kLogHeader + line("K1AA")},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const LogRewrite out = rewriteLog(c.bytes, c.row, rowOf(c.bytes, c.row), c.after);
        ASSERT_FALSE(out.error) << out.error->message;
        EXPECT_EQ(out.bytes, c.want);
        EXPECT_TRUE(parseLog(out.bytes).ok());
    }
}

TEST(LogEdit, RewriteRefusesWhatItCannotDoSafely) {
    LogRecord badDate = rowOf(kLog, 1);
    badDate[1] = "20240230";
    LogRecord stale = rowOf(kLog, 2);
    stale[10] = "Robert"; // the program holds another text than the file
    const struct {
        const char* what;
        std::string bytes;
        int row;
        LogRecord before;
        const LogRecord* after;
        const char* told;
    } cases[] = {
        {"file changed behind our back", kLog, 2, stale, nullptr, "has changed since Tavrel read it"},
        {"row past the end", kLog, 4, rowOf(kLog, 3), nullptr, "has changed since Tavrel read it"},
        {"the header", kLog, 0, rowOf(kLog, 0), nullptr, "has changed since Tavrel read it"},
        {"damaged file", kLog + "zqx,short|:\r\n", 1, rowOf(kLog, 1), nullptr, "damaged"},
        {"not a calendar date", kLog, 1, rowOf(kLog, 1), &badDate, "calendar date"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const LogRewrite out = rewriteLog(c.bytes, c.row, c.before, c.after);
        ASSERT_TRUE(out.error);
        EXPECT_NE(out.error->message.find(c.told), std::string::npos) << out.error->message;
        EXPECT_TRUE(out.bytes.empty());
    }
}

TEST(LogEdit, EditedFieldsTakeTheStoredFormAndAreJudgedOnlyWhenChanged) {
    const LogRecord before = rowOf(kLog, 2); // start time "9:505" as stored by hand
    LogRecord typed = before;
    typed[2] = " g4\xD8xy ";
    typed[12] = "Kept As Typed";
    LogRecord want = before; // the start time unchanged, so not judged
    want[2] = "G40XY";
    want[12] = "Kept As Typed";
    want[22] = "";
    const LogRecord out = editedContact(before, typed);
    EXPECT_EQ(out, want);
    EXPECT_FALSE(contactProblem(before, out));

    const struct {
        int field;
        const char* value;
        bool good;
    } cases[] = {
        {1, "20240229", true}, {1, "20230229", false}, {1, "2024-03-15", false}, {1, "20241301", false},
        {3, "", true},         {3, "235959", true},    {3, "240000", false},     {7, "", false},
        {7, "1020", false},    {2, "  ", false},
    };
    for (const auto& c : cases) {
        LogRecord t = before;
        t[static_cast<size_t>(c.field)] = c.value;
        EXPECT_EQ(!contactProblem(before, editedContact(before, t)), c.good) << c.field << " " << c.value;
    }
}

TEST(LogEditFile, ChangeKeepsABackupAndReplacesTheLogDurably) {
    faults::Scope faults;
    TempDir dir;
    const auto path = dir.file("zizoro.tan");
    writeFile(path, kLog);
    LogRecord after = rowOf(kLog, 3);
    after[12] = "QSL via bureau";
    ASSERT_FALSE(editContact(path, 3, rowOf(kLog, 3), after));
    EXPECT_EQ(readFile(logBackupPath(path)), kLog);
    EXPECT_TRUE(faults::replacedDurably(path));
    const std::string edited = readFile(path);
    EXPECT_EQ(rowOf(edited, 3), after);
    ASSERT_FALSE(deleteContact(path, 1, rowOf(kLog, 1)));
    EXPECT_EQ(readFile(path), kLogHeader + edited.substr(kLogHeader.size() + line("DL1ABC").size()));
}

// A full disk or a failing flush at any step leaves the log whole and loadable.
TEST(LogEditFile, FailureInTheMiddleLeavesTheLogWhole) {
    // Whose writes fail, the bytes taken before, whether its flush fails, what is told.
    const std::tuple<const char*, std::size_t, bool, const char*> cases[] = {
        {"zizoro.tan.bak.tmp", 0, false, "copy of the log"},
        {"zizoro.tan.tmp", 100, false, "cannot be written: No space left"},
        {"zizoro.tan.tmp", 1 << 20, true, "cannot be written: Input/output error"},
    };
    for (const auto& [file, writesTaken, flushFails, told] : cases) {
        SCOPED_TRACE(told);
        faults::Scope faults;
        TempDir dir;
        const auto path = dir.file("zizoro.tan");
        writeFile(path, kLog);
        faults::failWritesAfter(file, writesTaken);
        if (flushFails) faults::failSyncs(file);
        const auto error = deleteContact(path, 2, rowOf(kLog, 2));
        faults::reset();
        ASSERT_TRUE(error);
        EXPECT_NE(error->message.find(told), std::string::npos) << error->message;
        EXPECT_NE(error->message.find("The log is as it was."), std::string::npos) << error->message;
        EXPECT_EQ(readFile(path), kLog);
        EXPECT_FALSE(std::filesystem::exists(dir.file("zizoro.tan.tmp")));
    }
}

TEST(LogViewSearch, FindsCallNameOrDateFoldingCase) {
    LogRecord r = sampleContact("DL1ABC", "20240315", "102000");
    r[22] = "20240315102000";
    const LogViewRow row = logViewRow(r);
    const std::pair<const char*, bool> cases[] = {
        {"", true},        {"  ", true},       {"dl1", true},    {"hANS", true},
        {"2024-03", true}, {"20240315", true}, {" 0315 ", true}, {"Berlin", false},
        {"579", false},    {"DL1ABCD", false}, {"10:20", false},
    };
    for (const auto& [search, found] : cases)
        EXPECT_EQ(viewRowMatches(row, search), found) << '"' << search << '"';
}

TEST(WorkedBefore, SameCallOnBandAndModeAndExactDuplicates) {
    LogTable log;
    log.rows = {logHeaderRecord(), sampleContact("DL1ABC"), sampleContact("DL1ABCD"),
                sampleContact("DL1ABC", "20240316")};
    log.rows[3][4] = "40";
    // Call, band, mode, the line shown ("" none); exact calls only, never the header.
    const std::tuple<const char*, const char*, const char*, const char*> marks[] = {
        {"DL1ABC", "20", "BPSK", "Worked before on 20 m BPSK"},
        {"DL1ABC", "15", "BPSK", "New on 15 m BPSK"},
        {"DL1ABC", "20", "QPSK", "New on 20 m QPSK"},
        {"DL1AB", "20", "BPSK", ""},
        {"Call", "Band", "Mode", ""},
        {"", "", "", ""}};
    for (const auto& [call, band, mode, text] : marks) {
        LogRecord now = sampleContact(call);
        now[4] = band;
        now[5] = mode;
        const auto mark = workedBandMark(log, now);
        EXPECT_EQ(mark ? mark->text : "", text) << call << band << mode;
        EXPECT_EQ(mark && mark->worked, std::string(text).starts_with("Worked")) << call << band << mode;
    }

    // Call, date, start time, the row it repeats.
    const std::tuple<const char*, const char*, const char*, int> cases[] = {
        {"DL1ABC", "20240315", "101500", 1},
        {"DL1ABC", "20240316", "101500", 3},
        {"DL1ABC", "20240316", "101501", 0},
        {"DL1AB", "20240315", "101500", 0}};
    for (const auto& [call, date, start, row] : cases) {
        LogRecord candidate = sampleContact(call, date);
        candidate[3] = start;
        EXPECT_EQ(findDuplicate(log, candidate), row) << call << " " << date << " " << start;
    }
}

} // namespace
} // namespace tavrel
