#include "logbook/LogFile.h"

#include "support/LogRows.h"
#include "support/TempDir.h"
#include "support/faults/FaultyFiles.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

const std::string kHeader(kLogHeaderLine);
const std::string kContact =
    "zqx,20240315,K1AA,101500,20,BPSK,40,102000,579,599,Hans,Berlin,nice qso,,,JO62QM,,,,,,,,|:\r\n";

TEST(LogFileWriting, NewLogIsTheHeaderLineAndAContactIsOneLineWithCommasAsSlashes) {
    TempDir dir;
    const auto path = dir.file("zizoro.tan");
    writeFile(path, "old contents that must go\r\n");
    ASSERT_FALSE(newlog(path));
    EXPECT_EQ(readFile(path), kHeader);
    LogRecord r = sampleContact("K1AA");
    r[12] = "rig, antenna,,wx";
    r[23] = "anything";
    ASSERT_FALSE(appendContact(path, r));
    EXPECT_EQ(r[12], "rig/ antenna//wx") << "the caller's row holds what was stored";
    EXPECT_EQ(readFile(path), kHeader + "zqx,20240315,K1AA,101500,20,BPSK,40,102000,579,599,Hans,Berlin,"
                                        "rig/ antenna//wx,,,JO62QM,,,,,,,,|:\r\n");
    const LogLoad load = getlog(path);
    ASSERT_TRUE(load.ok());
    ASSERT_EQ(load.table.logLast(), 1);
    EXPECT_EQ(load.table.rows[0], logHeaderRecord());
}

// Every control character becomes a blank; a double quote only where it would open the field.
TEST(LogFileWriting, SanitisingMakesAnyValueOneField) {
    for (int b = 0; b < 0x20; ++b)
        EXPECT_EQ(sanitiseField(std::string("a") + static_cast<char>(b) + "b"), "a b") << "byte " << b;
    const std::pair<const char*, const char*> cases[] = {{"a\x7F", "a "},
                                                         {"M\xFCller \xD8", "M\xFCller \xD8"},
                                                         {"\"quoted\"", "'quoted\""},
                                                         {"   \"after", "   'after"},
                                                         {"\t\"after a tab", " 'after a tab"},
                                                         {"in \"the\" middle", "in \"the\" middle"},
                                                         {"", ""},
                                                         {"   ", "   "}};
    for (const auto& [in, out] : cases)
        EXPECT_EQ(sanitiseField(in), out) << in;
}

TEST(LogFileLoading, FollowsTheFieldRules) {
    const std::string tail = ",1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,|:\r\n";
    const std::string lf = "zqx,20240101,W1AW,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,|:\n";
    // The text, the rows it loads as, and one field of them.
    const std::tuple<std::string, int, int, int, std::string> cases[] = {
        {kHeader + "zqx,   20240101,  W1AW" + tail, 2, 1, 2, "W1AW"}, // leading blanks dropped
        {kHeader + "zqx,20240101,W1AW  " + tail, 2, 1, 2, "W1AW  "},  // trailing ones kept
        {kHeader + "zqx,20240101,\"W1,AW\"" + tail, 2, 1, 2, "W1,AW"},
        {kHeader + "zqx,20240101,\"W1\"AW" + tail, 2, 1, 2, "W1"}, // text after the closing quote dropped
        {kHeader + "zqx,20240101,\"W1\r\nAW\"" + tail, 2, 1, 2, "W1\r\nAW"},
        {kHeader + "zqx,1,2,3,4,5,6,7,8,9,10,11,12,13,14,15,16,17,18,19,20,21,22,junk\r\n", 2, 1, 23, "|"},
        {kHeader + kContact, 2, 1, 22, "20240315102000"}, // date and end time
        {kHeader + "zqx,D,2,3,4,5,6,E,8,9,10,11,12,13,14,15,16,17,18,19,20,21,xx,|:\r\n", 2, 1, 22, "DE"},
        {kHeader + lf + lf, 3, 2, 2, "W1AW"},
        {"zqx,a,b,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,v,|:\rzqx,A,B,c,d,e,f,g,h,i,j,k,l,m,n,o,p,q,r,s,t,u,"
         "v,|:\r",
         2, 1, 2, "B"},
        {kHeader + kContact.substr(0, kContact.size() - 2), 2, 1, 15, "JO62QM"}, // no line end at the end
        {kHeader + kContact + "   ", 2, 1, 2, "K1AA"},
        // Records are found by counting fields, not lines.
        {"zqx,1,2,3,4,5,6,7,8,9,10,11\r\n12,13,14,15,16,17,18,19,20,21,22,|:,zqx,a,b,c,d,e,f,g,h,i,j,k,l\r\n"
         "m,n,o,p,q,r,s,t,u,v,|:\r\n",
         2, 1, 13, "m"},
    };
    for (const auto& [text, rows, row, field, value] : cases) {
        SCOPED_TRACE(text);
        const LogLoad load = parseLog(text);
        ASSERT_TRUE(load.ok()) << load.error->message;
        ASSERT_EQ(load.table.logCount(), rows);
        EXPECT_EQ(load.table.rows[static_cast<size_t>(row)][static_cast<size_t>(field)], value);
    }
}

TEST(LogFileLoading, DamagedLogStopsNamingTheLineAndLeavesTheFileAlone) {
    const std::string longLine = kContact.substr(0, kContact.size() - 4) + "extra,|:\r\n"; // 25 fields
    const std::string shortLine = kContact.substr(0, kContact.find(",,,,,,,,|")) + ",,,,,,,|:\r\n"; // 23
    const std::string quoted = "zqx,20240101,\"W1\r\nAW\"" + kContact.substr(kContact.find(",101500"));
    const std::string cut = "zqx,20240101,W1AW,101500\r\n";
    using K = LogError::Kind;
    const std::tuple<std::string, K, int, std::string> cases[] = {
        {kHeader + kContact + longLine + kContact, K::BadMarker, 3, "line 3 holds 25 fields"},
        {kHeader + shortLine + kContact + kContact, K::BadMarker, 2, "line 2 holds 23 fields"},
        {kHeader + kContact + "\r\n" + kContact, K::BadMarker, 3, "line 3 is empty"},
        {"abc," + kHeader.substr(4), K::BadMarker, 1, "\"abc\""},
        {std::string(25, 'x') + kHeader.substr(3), K::BadMarker, 1,
         "\"" + std::string(24, 'x') + "...\" instead"},
        {kHeader + quoted + cut, K::EndsInsideRecord, 4, "ends inside the record that begins on line 4"},
        {kHeader + "zqx,\"a\rb\nc\"" + kContact.substr(12) + cut, K::EndsInsideRecord, 5, "line 5"},
        {kHeader + kContact.substr(0, 30), K::EndsInsideRecord, 2, "line 2"},
    };
    for (const auto& [text, kind, line, says] : cases) {
        SCOPED_TRACE(text);
        TempDir dir;
        const auto path = dir.file("zizoro.tan");
        writeFile(path, text);
        const LogLoad load = getlog(path);
        ASSERT_FALSE(load.ok());
        EXPECT_EQ(std::pair(load.error->kind, load.error->line), std::pair(kind, line));
        EXPECT_NE(load.error->message.find(says), std::string::npos) << load.error->message;
        EXPECT_TRUE(load.error->message.starts_with("The log file " + path.string() + " is damaged: "));
        EXPECT_TRUE(load.table.rows.empty()) << "no part of a damaged log is used";
        EXPECT_EQ(readFile(path), text);
    }
}

// Each is an error naming the file and the reason, never an exception, and the name is left as it was.
TEST(LogFileLoading, MissingUnreadableOrBlankFile) {
    TempDir dir;
    std::filesystem::create_directory(dir.file("folder.tan"));
    std::filesystem::create_symlink("/proc/self/mem", dir.file("ioerror.tan")); // reads fail with EIO
    for (const auto& [name, reason] : {std::pair{"zizoro.tan", "cannot be opened: No such file or directory"},
                                       {"folder.tan", "cannot be read: Is a directory"},
                                       {"ioerror.tan", "cannot be read: Input/output error"}}) {
        const LogLoad load = getlog(dir.file(name));
        ASSERT_FALSE(load.ok()) << name;
        EXPECT_EQ(load.error->kind, LogError::Kind::Io);
        EXPECT_EQ(load.error->line, 0);
        EXPECT_EQ(load.error->message, "The log file " + dir.file(name).string() + " " + reason +
                                           ". The file has been left unchanged.");
    }
    EXPECT_FALSE(std::filesystem::exists(dir.file("zizoro.tan")));
    // A file without any record gets the header written.
    for (const char* blank : {"", "   ", "\r\n\r\n", "\n"}) {
        writeFile(dir.file("blank.tan"), blank);
        const LogLoad load = getlog(dir.file("blank.tan"));
        ASSERT_TRUE(load.ok());
        EXPECT_EQ(load.table.logCount(), 1);
        EXPECT_EQ(readFile(dir.file("blank.tan")), kHeader);
    }
}

// A record written in part would make every later load stop at it: the file is cut back.
TEST(LogFileAppending, FailedAppendLeavesTheLogAsItWas) {
    // Bytes taken before the disk is full, whether the flush and the cut back fail, what is told.
    const std::tuple<std::size_t, bool, bool, const char*> cases[] = {
        {0, false, false, "No space left on device. The log is as it was."},
        {40, false, false, "No space left on device. The log is as it was."},
        {100000, true, false, "Input/output error. The log is as it was."},
        {40, false, true,
         "No space left on device. The part of the record already written could not be removed "
         "(Input/output error): delete the incomplete last line in a text editor"},
    };
    for (const auto& [writesTaken, flushFails, cutBackFails, told] : cases) {
        SCOPED_TRACE(told);
        faults::Scope faults;
        TempDir dir;
        const auto path = dir.file("zizoro.tan");
        writeFile(path, kHeader + kContact);
        faults::failWritesAfter("zizoro.tan", writesTaken);
        if (flushFails) faults::failSyncs("zizoro.tan");
        if (cutBackFails) faults::failTruncates("zizoro.tan");
        LogRecord r = sampleContact("K2BB");
        const auto error = appendContact(path, r);
        faults::reset();
        ASSERT_TRUE(error.has_value());
        EXPECT_EQ(error->kind, LogError::Kind::Io);
        EXPECT_NE(error->message.find("The log file " + path.string() + " cannot be written: " + told),
                  std::string::npos)
            << error->message;
        EXPECT_TRUE(cutBackFails || readFile(path) == kHeader + kContact);
    }
}

// The header goes before the first contact of a vanished or emptied file, a last line without its
// line end gets one, and no count stops at sixteen bits.
TEST(LogFileAppending, ContactAlwaysLandsOnItsOwnLineAfterAHeader) {
    std::string big = kHeader;
    for (int i = 1; i <= 40000; ++i)
        big += formatRecord(sampleContact("N" + std::to_string(i)));
    const std::pair<std::string, std::string> cases[] = {
        {"", kHeader},
        {"gone", kHeader},
        {"   \r\n", kHeader},
        {big, big},
        {kHeader + kContact.substr(0, kContact.size() - 2), kHeader + kContact}};
    for (const auto& [before, kept] : cases) {
        TempDir dir;
        const auto path = dir.file("zizoro.tan");
        if (before != "gone") writeFile(path, before);
        LogRecord r = sampleContact("VK2XX");
        ASSERT_FALSE(appendContact(path, r));
        EXPECT_TRUE(readFile(path) == kept + formatRecord(r));
    }
    const LogLoad load = parseLog(big + kContact);
    ASSERT_EQ(load.table.logLast(), 40001);
    EXPECT_EQ(load.table.rows[32768][2], "N32768");
    EXPECT_EQ(load.table.rows.back()[2], "K1AA");
}

} // namespace
} // namespace tavrel
