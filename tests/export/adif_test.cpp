// The ADIF export's bytes, its band and mode names, and the replacing write.

#include "export/Adif.h"
#include "support/TempDir.h"
#include "support/faults/FaultyFiles.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

const DateTime kLocal{2026, 12, 7, 9, 5, 0};

LogRecord contact(std::initializer_list<std::pair<int, const char*>> fields) {
    LogRecord r;
    r[0] = "zqx";
    r[23] = "|";
    for (auto [i, v] : fields)
        r[static_cast<size_t>(i)] = v;
    return r;
}

LogRecord fullContact() {
    return contact({{1, "20261207"},
                    {2, "G4ABC"},
                    {3, "143000"},
                    {4, "20"},
                    {5, "BPSK"},
                    {6, "40"},
                    {7, "144500"},
                    {8, "579"},
                    {9, "599"},
                    {10, "Bob"},
                    {11, "Leed"},
                    {15, "IO93"},
                    {22, "20261207144500"}});
}

LogTable logOf(std::initializer_list<LogRecord> contacts) {
    LogTable t;
    t.rows.push_back(contact({{1, "Date"}, {2, "Call"}, {4, "Band"}, {5, "Mode"}}));
    for (const auto& c : contacts)
        t.rows.push_back(c);
    return t;
}

TEST(AdifExport, HeaderOnlyLogGivesExactlyTheThreeHeaderLines) {
    EXPECT_EQ(adifFile(logOf({}), kLocal, "14:30:15"),
              "Tavrel ADIF Log Export\r\n12-07-2026   14:30:15\r\n<EOH>\r\n");
}

TEST(AdifExport, ClockNotYetSetLeavesTheThreeBlanksAlone) {
    EXPECT_EQ(adifFile(logOf({}), DateTime{2027, 1, 2}, ""),
              "Tavrel ADIF Log Export\r\n01-02-2027   \r\n<EOH>\r\n");
}

// Checked by hand, piece by piece.
TEST(AdifExport, FullContactGivesTheExampleLineWithAdifBandAndMode) {
    const std::string expected =
        "Tavrel ADIF Log Export\r\n12-07-2026   14:30:15\r\n<EOH>\r\n"
        "<QSO_DATE:8>20261207<CALL:5>G4ABC<TIME_ON:6>143000<BAND:3>20m"
        "<MODE:3>PSK<SUBMODE:5>PSK31<TX_PWR:2>40<TIME_OFF:6>144500"
        "<RST_SENT:3>579<RST_RCVD:3>599<NAME:3>Bob<QTH:4>Leed<GRIDSQUARE:4>IO93<EOR>\r\n";
    EXPECT_EQ(adifFile(logOf({fullContact()}), kLocal, "14:30:15"), expected);
}

TEST(AdifExport, EmptyFieldsAndFieldsPastTheLocatorAreLeftOut) {
    LogRecord c = contact({{1, "20261207"},
                           {2, "DL1XYZ"},
                           {3, "0705"},
                           {4, "40"},
                           {5, "BPSK"},
                           {7, "0710"},
                           {16, "extra"},
                           {20, "x"},
                           {22, "201207"}});
    EXPECT_EQ(adifContactLine(c), "<QSO_DATE:8>20261207<CALL:6>DL1XYZ<TIME_ON:4>0705<BAND:3>40m"
                                  "<MODE:3>PSK<SUBMODE:5>PSK31<TIME_OFF:4>0710<EOR>");
    c[13] = "Y";
    c[14] = "N";
    c[12] = "tnx";
    EXPECT_EQ(adifContactLine(c), "<QSO_DATE:8>20261207<CALL:6>DL1XYZ<TIME_ON:4>0705<BAND:3>40m"
                                  "<MODE:3>PSK<SUBMODE:5>PSK31<TIME_OFF:4>0710<COMMENT:3>tnx"
                                  "<QSL_SENT:1>Y<QSL_RCVD:1>N<EOR>");
}

TEST(AdifExport, TextIsFoldedToAsciiAndLengthsCountTheFoldedText) {
    // Windows-1252 in the log; ADIF holds ASCII only. Slashes and blanks stay as stored.
    const LogRecord c = contact({{2, "HB9ZZ"}, {10, "M\xFCller"}, {11, "Z\xFCrich/CH"}, {12, " a  b "}});
    EXPECT_EQ(adifContactLine(c), "<CALL:5>HB9ZZ<NAME:6>Muller<QTH:9>Zurich/CH<COMMENT:6> a  b <EOR>");
    const struct {
        const char* stored;
        const char* ascii;
    } folds[] = {{"Jos\xE9", "Jose"},
                 {"\xD8ystein", "Oystein"},
                 {"Stra\xDF"
                  "e",
                  "Strasse"},
                 {"\xC6r\xF8", "AEro"},
                 {"\x8A\x9A\x9F", "SsY"},
                 {"\x80 5 \x93ok\x94", "EUR 5 \"ok\""},
                 {"a\tb\x7F"
                  "c",
                  "a b c"},
                 {"\xBD \xB0", "1/2 deg"},
                 {"\x81\xAD", ""}};
    for (const auto& f : folds)
        EXPECT_EQ(adifAscii(f.stored), f.ascii) << f.stored;
    for (int b = 0; b < 256; ++b)
        for (char ch : adifAscii(std::string(1, static_cast<char>(b))))
            EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << "byte " << b;
}

TEST(AdifExport, LoggedCqCallsAreLeftOutAndAContactWithoutStartBeganAtItsEnd) {
    const LogRecord cq = contact({{1, "20261207"}, {2, "CQ"}, {4, "20"}, {7, "143000"}});
    const LogRecord noStart = contact({{1, "20261207"}, {2, "G4ABC"}, {7, "144500"}});
    EXPECT_EQ(adifFile(logOf({cq, noStart, cq}), kLocal, ""),
              "Tavrel ADIF Log Export\r\n12-07-2026   \r\n<EOH>\r\n"
              "<QSO_DATE:8>20261207<CALL:5>G4ABC<TIME_ON:6>144500<TIME_OFF:6>144500<EOR>\r\n");
}

TEST(AdifExport, BandsAndModesAdifHasNoNameForAreMappedOthersKept) {
    const struct {
        const char* stored;
        const char* band;
    } bands[] = {{"20", "20m"},     {"40", "40m"},     {"15", "15m"},    {"10", "10m"},  {"160", "160m"},
                 {"2190", "2190m"}, {"1.25", "1.25m"}, {"2", "2m"},      {"20m", "20m"}, {"21", "21"},
                 {"7", "7"},        {" 20", " 20"},    {"70cm", "70cm"}, {"abc", "abc"}};
    for (const auto& b : bands)
        EXPECT_EQ(adifBand(b.stored), b.band) << b.stored;

    EXPECT_EQ(adifContactLine(contact({{5, "QPSK"}})), "<MODE:4>QPSK<EOR>");
    EXPECT_EQ(adifContactLine(contact({{5, "bpsk"}})), "<MODE:4>bpsk<EOR>");
    EXPECT_EQ(adifContactLine(contact({{4, "21"}, {5, "BPSK"}})),
              "<BAND:2>21<MODE:3>PSK<SUBMODE:5>PSK31<EOR>");
}

TEST(AdifWrite, ReplacesAnEarlierLongerExportWholeAndDurably) {
    faults::Scope faults;
    TempDir dir;
    const auto path = dir.path / "zizoro.adi";
    writeFile(path, std::string(5000, 'x'));
    EXPECT_EQ(writeAdif(path, "short\r\n"), std::nullopt);
    EXPECT_TRUE(faults::replacedDurably(path));
    EXPECT_EQ(readFile(path), "short\r\n");
    EXPECT_FALSE(std::filesystem::exists(dir.path / "zizoro.adi.tmp"));
}

TEST(AdifWrite, FailureSaysWhichFileAndWhyAndKeepsWhatWasThere) {
    TempDir dir;
    const auto missingFolder = dir.path / "gone" / "zizoro.adi";
    const auto noFolder = writeAdif(missingFolder, "x");
    ASSERT_TRUE(noFolder.has_value());
    EXPECT_NE(noFolder->find(missingFolder.string()), std::string::npos) << *noFolder;
    EXPECT_NE(noFolder->find("No such file or directory"), std::string::npos) << *noFolder;

    // A folder standing where the export goes cannot be replaced.
    const auto blocked = dir.path / "zizoro.adi";
    std::filesystem::create_directory(blocked);
    writeFile(blocked / "keep", "kept");
    const auto notReplaced = writeAdif(blocked, "x");
    ASSERT_TRUE(notReplaced.has_value());
    EXPECT_NE(notReplaced->find("zizoro.adi"), std::string::npos) << *notReplaced;
    EXPECT_EQ(readFile(blocked / "keep"), "kept");
    EXPECT_FALSE(std::filesystem::exists(dir.path / "zizoro.adi.tmp"));

    // The disk full half-way, or the flush failing: the earlier export stays as it was.
    const auto earlier = dir.path / "earlier.adi";
    writeFile(earlier, "earlier");
    faults::failWritesAfter("earlier.adi.tmp", 3);
    const auto full = writeAdif(earlier, "a longer export");
    faults::reset();
    faults::failSyncs("earlier.adi.tmp");
    const auto unflushed = writeAdif(earlier, "a longer export");
    ASSERT_TRUE(full.has_value());
    EXPECT_EQ(*full,
              "The ADIF export " + earlier.string() + " could not be written: No space left on device.");
    ASSERT_TRUE(unflushed.has_value());
    EXPECT_NE(unflushed->find("Input/output error"), std::string::npos) << *unflushed;
    EXPECT_EQ(readFile(earlier), "earlier");
}

} // namespace
