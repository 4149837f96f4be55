#include "logbook/LogEntry.h"
#include "logbook/LogText.h"

#include <gtest/gtest.h>

namespace tavrel {
namespace {

using Cases = std::vector<std::pair<std::string, std::string>>;

void expectEach(std::string (*rule)(std::string_view), const Cases& cases) {
    for (const auto& [in, out] : cases)
        EXPECT_EQ(rule(in), out) << '"' << in << '"';
}

TEST(LogEntryText, CallsTimesNamesAndPowerAsStored) {
    // Upper case, with the slashed zero (typed or upper-cased from ø) as a digit.
    expectEach(callForLog,
               {{"q1\xD8xy", "Q10XY"}, {"q1\xF8xy", "Q10XY"}, {"dl/ok1abc/p", "DL/OK1ABC/P"}, {"", ""}});
    // The first two characters, two from the fourth on, the last two.
    expectEach(timeForLog,
               {{"12:34:56", "123456"}, {"9:05", "9:505"}, {"12:34", "123434"}, {"7", "77"}, {"", ""}});
    // Words begin after blanks and control characters only.
    // clang-format off
    expectEach(properCase, {{"mary-ann o'neil", "Mary-ann O'neil"}, {"NEW YORK", "New York"},
                            {"  two  blanks", "  Two  Blanks"}, {"a\tb\nc\vd\fe\rf", "A\tB\nC\vD\fE\rF"},
                            {std::string("nul\0sep", 7), std::string("Nul\0Sep", 7)},
                            {"m\334NCHEN \351lodie", "M\374nchen \311lodie"},
                            {"\232\341rka \234\236\377 \214\216\237", "\212\341rka \214\236\377 \214\236\377"},
                            {"stra\337e \367x \327X \336\336", "Stra\337e \367x \327x \336\376"}, // ß ÷ × have no other case
                            {"3rd st.john", "3rd St.john"}});
    // The number in the power setting, else 40.
    expectEach(powerForLog, {{"100", "100"}, {" 25 W", "25"}, {"2.50", "2.5"}, {"0.5", "0.5"}, {"050", "50"},
                             {"", "40"}, {"QRP", "40"}, {"0", "40"}, {"0.0", "40"}, {"-5", "40"}, {"W100", "40"}});
    // clang-format on
}

TEST(LogEntryText, RecordHoldsThePanelInItsFields) {
    EntryTexts panel{"q1\xD8xy", "10:15:00", "10:20:30", "40",   "579",
                     "599",      "mary-ann", "NEW YORK", "nice", "fn30aq"};
    LogRecord want{"zqx",    "20240315", "Q10XY", "101500",   "40",       "BPSK", "25",
                   "102030", "579",      "599",   "Mary-ann", "New York", "nice"};
    want[15] = "FN30AQ";
    want[23] = "|";
    EXPECT_EQ(buildRecord(panel, "20240315", " 25 W"), want);
}

} // namespace
} // namespace tavrel
