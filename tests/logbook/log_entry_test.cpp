#include "logbook/LogEntry.h"
#include "logbook/LogText.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

TEST(LogEntryCall, IsUpperCaseWithSlashedZeroAsDigit) {
    const std::pair<std::string, std::string> cases[] = {
        {"q1\xD8xy", "Q10XY"}, // Ø typed
        {"q1\xF8xy", "Q10XY"}, // ø, which upper-cases to Ø
        {"dl/ok1abc/p", "DL/OK1ABC/P"}, {"\xD8\xD8", "00"}, {"", ""},
    };
    for (const auto& [typed, stored] : cases)
        EXPECT_EQ(callForLog(typed), stored) << typed;
}

TEST(LogEntryTime, TakesFirstTwoTwoFromTheFourthAndLastTwo) {
    const std::pair<std::string, std::string> cases[] = {
        {"12:34:56", "123456"}, {"9:05", "9:505"}, {"12:34", "123434"}, {"7", "77"}, {"", ""},
    };
    for (const auto& [shown, stored] : cases)
        EXPECT_EQ(timeForLog(shown), stored) << shown;
}

TEST(LogEntryProperCase, CapitalisesWordsSeparatedOnlyByBlanksAndControls) {
    const std::pair<std::string, std::string> cases[] = {
        {"mary-ann o'neil", "Mary-ann O'neil"},
        {"NEW YORK", "New York"},
        {"  two  blanks", "  Two  Blanks"},
        {"san\tjos\xE9", "San\tJos\xE9"},
        {"a\nb\vc\fd\re", "A\nB\vC\fD\rE"},
        {std::string("nul\0sep", 7), std::string("Nul\0Sep", 7)},
        {"m\xDCNCHEN", "M\xFCnchen"},   // MÜNCHEN -> München
        {"\xE9lodie", "\xC9lodie"},     // élodie -> Élodie
        {"\x9A\xE1rka", "\x8A\xE1rka"}, // šárka -> Šárka
        {"stra\xDF"
         "e",
         "Stra\xDF"
         "e"}, // ß has no capital and stays
        {"3rd street", "3rd Street"},
        {"st.john", "St.john"},
        {"", ""},
    };
    for (const auto& [typed, stored] : cases)
        EXPECT_EQ(properCase(typed), stored) << typed;
}

TEST(LogEntryRecord, HoldsThePanelInItsFields) {
    EntryTexts panel;
    panel.hiscall = "q1\xD8xy";
    panel.start = "10:15:00";
    panel.endt = "10:20:30";
    panel.band = "40";
    panel.hisrst = "579";
    panel.myrst = "599";
    panel.hisname = "mary-ann";
    panel.qtht = "NEW YORK";
    panel.notes = "nice, strong";
    panel.locator = "fn30aq";
    const LogRecord r = buildRecord(panel, "20240315");
    const LogRecord want = {"zqx",
                            "20240315",
                            "Q10XY",
                            "101500",
                            "40",
                            "BPSK",
                            "40",
                            "102030",
                            "579",
                            "599",
                            "Mary-ann",
                            "New York",
                            "nice, strong",
                            "",
                            "",
                            "FN30AQ",
                            "",
                            "",
                            "",
                            "",
                            "",
                            "",
                            "",
                            "|"};
    EXPECT_EQ(r, want);
}

TEST(LogEntryRecord, LoggedCqHasEmptyStartAndReports) {
    EntryTexts panel;
    panel.hiscall = "CQ";
    panel.endt = "18:00:05";
    panel.band = "20";
    const LogRecord r = buildRecord(panel, "20240316");
    EXPECT_EQ(r[2], "CQ");
    EXPECT_EQ(r[3], "");
    EXPECT_EQ(r[7], "180005");
    EXPECT_EQ(r[8], "");
    EXPECT_EQ(r[9], "");
}

TEST(LogEntryRecord, PowerIsTheNumberInThePowerSettingElse40) {
    const struct {
        const char* item;
        const char* logged;
    } cases[] = {{"100", "100"}, {" 25 W", "25"}, {"2.50", "2.5"}, {"0.5", "0.5"}, {"050", "50"},
                 {"", "40"},     {"QRP", "40"},   {"0", "40"},     {"-5", "40"},   {"W100", "40"}};
    for (const auto& c : cases)
        EXPECT_EQ(powerForLog(c.item), c.logged) << '"' << c.item << '"';
    EXPECT_EQ(buildRecord(EntryTexts{}, "20240316", " 25 W")[6], "25");
}

} // namespace
} // namespace tavrel
