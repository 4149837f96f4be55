// The ADIF export's bytes, its band and mode names, and the replacing write.

#include "export/Adif.h"
#include "support/LogRows.h"
#include "support/TempDir.h"
#include "support/faults/FaultyFiles.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

// The header, then one line per contact; logged CQ calls are left out, and a contact without a
// start time began at its end.
TEST(AdifExport, FileIsTheHeaderThenOneLinePerContact) {
    LogTable log;
    log.rows = {logRow("zqx,Date,Call,,Band,Mode"),
                logRow("zqx,20261207,G4ABC,143000,20,BPSK,40,144500,579,599,Bob,Leed,tnx,Y,N,IO93,extra"),
                logRow("zqx,20261207,CQ,,20,,,143000"), logRow("zqx,,DL1XYZ,,21,QPSK,,0710")};
    EXPECT_EQ(
        adifFile(log, DateTime{2026, 12, 7, 9, 5, 0}, "14:30:15"),
        "Tavrel ADIF Log Export\r\n12-07-2026   14:30:15\r\n<EOH>\r\n"
        "<QSO_DATE:8>20261207<CALL:5>G4ABC<TIME_ON:6>143000<BAND:3>20m<MODE:3>PSK<SUBMODE:5>PSK31"
        "<TX_PWR:2>40<TIME_OFF:6>144500<RST_SENT:3>579<RST_RCVD:3>599<NAME:3>Bob<QTH:4>Leed<COMMENT:3>tnx"
        "<QSL_SENT:1>Y<QSL_RCVD:1>N<GRIDSQUARE:4>IO93<EOR>\r\n"
        "<CALL:6>DL1XYZ<TIME_ON:4>0710<BAND:2>21<MODE:4>QPSK<TIME_OFF:4>0710<EOR>\r\n");
    log.rows.resize(1); // the clock not yet set leaves the three blanks alone
    EXPECT_EQ(adifFile(log, DateTime{2027, 1, 2}, ""),
              "Tavrel ADIF Log Export\r\n01-02-2027   \r\n<EOH>\r\n");
}

// ADIF holds ASCII only; lengths count the folded text. Bands ADIF has no name for are kept.
TEST(AdifExport, TextIsFoldedToAsciiAndBandsGetTheirMetres) {
    EXPECT_EQ(adifContactLine(logRow(",,,,,,,,,,M\xFCller,Z\xFCrich/CH, a  b ")),
              "<NAME:6>Muller<QTH:9>Zurich/CH<COMMENT:6> a  b <EOR>");
    const std::pair<const char*, const char*> folds[] = {
        {"Jos\xE9", "Jose"},        {"\xD8ystein", "Oystein"}, {"Stra\337e", "Strasse"},
        {"\xC6r\xF8\xFF", "AEroy"}, {"\x8A\x9A\x9F", "SsY"},   {"\x80 5 \x93ok\x94", "EUR 5 \"ok\""},
        {"a\tb\177c", "a b c"},     {"\xBD \xB0", "1/2 deg"},  {"\x81\xAD", ""}};
    for (const auto& [stored, ascii] : folds)
        EXPECT_EQ(adifAscii(stored), ascii) << stored;
    for (int b = 0; b < 256; ++b)
        for (char ch : adifAscii(std::string(1, static_cast<char>(b))))
            EXPECT_TRUE(ch >= 0x20 && ch < 0x7F) << b;
    const std::pair<const char*, const char*> bands[] = {
        {"2190", "2190m"}, {"630", "630m"}, {"160", "160m"}, {"40", "40m"}, {"10", "10m"},  {"2", "2m"},
        {"1.25", "1.25m"}, {"20m", "20m"},  {"21", "21"},    {"7", "7"},    {" 20", " 20"}, {"70cm", "70cm"}};
    for (const auto& [stored, band] : bands)
        EXPECT_EQ(adifBand(stored), band) << stored;
}

TEST(AdifWrite, ReplacesAnEarlierExportWholeAndDurablyOrSaysWhy) {
    faults::Scope faults;
    TempDir dir;
    const auto path = dir.file("zizoro.adi"), temp = dir.file("zizoro.adi.tmp");
    writeFile(path, std::string(5000, 'x'));
    EXPECT_EQ(writeAdif(path, "short\r\n"), std::nullopt);
    EXPECT_TRUE(faults::replacedDurably(path));
    EXPECT_EQ(readFile(path), "short\r\n");
    // The disk full half-way, or the flush failing: the earlier export stays as it was.
    const std::string where = "The ADIF export " + path.string();
    faults::failWritesAfter("zizoro.adi.tmp", 3);
    EXPECT_EQ(writeAdif(path, "a longer export"), where + " could not be written: No space left on device.");
    faults::reset();
    faults::failSyncs("zizoro.adi.tmp");
    EXPECT_EQ(writeAdif(path, "a longer export"), where + " could not be written: Input/output error.");
    EXPECT_FALSE(std::filesystem::exists(temp));
    EXPECT_EQ(readFile(path), "short\r\n");
    std::filesystem::create_directory(temp);
    EXPECT_EQ(writeAdif(path, "x"), where + " could not be created: Is a directory.");
    std::filesystem::remove(temp);
    faults::failSyncs(dir.path.filename().string()); // the folder
    EXPECT_EQ(writeAdif(path, "x"),
              where + " was written, but could not be made safe on the disk: Input/output error.");
    faults::reset();
    std::filesystem::remove(path);
    std::filesystem::create_directory(path); // a folder cannot be replaced
    EXPECT_EQ(writeAdif(path, "x"),
              "The earlier " + where.substr(4) + " could not be replaced: Is a directory.");
}

} // namespace
