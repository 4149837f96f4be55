#include "modem/ReceiveText.h"
#include "modem/StatusText.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

ReceiveChange feed(ReceiveWindows& w, const std::string& text) {
    ReceiveChange last;
    for (char c : text)
        last = appendReceived(w, c);
    return last;
}

TEST(ReceiveText, CharactersBuildTheLineAndMoveItToTheHistory) {
    const std::string x80(80, 'x'), x81(81, 'x'), h4947(4947, 'h');
    struct Case {
        std::string history, in, historyAfter, lineAfter;
    };
    const Case cases[] = {
        {"", "AB\r\n", "AB\r\n\r\n", ""}, // the sender's CR LF ends the line, then an empty line
        {"", "AB\r\nC\nD", "AB\r\n\r\nC\r\n", "D"},
        {"", "AB\b", "", "AB"}, // backspace deletes nothing
        {"", x80, "", x80},
        {"", x81, x81, ""}, // a long line moves on at 81 without a line break
        {"", x81 + "abcd", x81, "abcd"},
        {h4947, "Q\r", h4947 + "Q\r\n", ""},                         // 4950: not past the limit
        {h4947 + "z", "Q\r", std::string(4796, 'h') + "zQ\r\n", ""}, // past 4950: the last 4800 stay
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.in.substr(0, 12));
        ReceiveWindows w;
        w.history = c.history;
        feed(w, c.in);
        EXPECT_EQ(w.history, c.historyAfter);
        EXPECT_EQ(w.line, c.lineAfter);
    }
    ReceiveWindows w;
    EXPECT_EQ(feed(w, x81).moved, x81);
    EXPECT_FALSE(feed(w, "AB\b").lineChanged);
}

TEST(ReceiveText, SlashedZeroOnlyReplacesTheDigitZero) {
    EXPECT_EQ(substituteReceived('0', 1), static_cast<char>(216));
    EXPECT_EQ(substituteReceived('0', 0), '0');
    EXPECT_EQ(substituteReceived('O', 1), 'O');
}

TEST(ReceiveText, ClearLeavesElevenLineEnds) {
    ReceiveWindows w;
    feed(w, "hello\rkeep");
    clearHistory(w);
    EXPECT_EQ(w.history, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    EXPECT_EQ(w.line, "keep");
}

TEST(StatusText, AbsoluteFrequenciesAreGroupedByTheDial) {
    EXPECT_EQ(absoluteFrequency(1500, 7035.0), "7036500");
    EXPECT_EQ(absoluteFrequency(1500, 7035.0, true), "7033500"); // audio below the dial
    EXPECT_EQ(groupFrequency("7036500", 7035.0), "7,036,500");
    EXPECT_EQ(groupFrequency(absoluteFrequency(1500, 14070), 14070), "14,071,500");
    EXPECT_EQ(groupFrequency(absoluteFrequency(1200, 28120), 28120), "28,121,200");
    // With radio control off the dial is 0: too short to group, shown as it stands.
    EXPECT_EQ(groupFrequency(absoluteFrequency(1200, 0), 0), "1200");
}

TEST(StatusText, SignalMaskShrinksWithTheLevelAndNeverGoesNegative) {
    EXPECT_DOUBLE_EQ(signalMaskHeight(0), 1335.0);
    EXPECT_DOUBLE_EQ(signalMaskHeight(50), 675.0);
    EXPECT_NEAR(signalMaskHeight(101), 1.8, 1e-9);
    EXPECT_DOUBLE_EQ(signalMaskHeight(102), signalMaskHeight(101));
    EXPECT_DOUBLE_EQ(signalMaskHeight(5000), signalMaskHeight(101));
}

TEST(StatusText, SquelchLampOpensAboveTheThresholdAndImdIsBadFromMinus18) {
    EXPECT_EQ(std::vector<bool>({squelchOpen(41, 40), squelchOpen(40, 40), imdTooHigh(-18), imdTooHigh(-19)}),
              std::vector<bool>({true, false, true, false}));
}

TEST(StatusText, UtcClockFromTheOffsetOrTheSystem) {
    struct Case {
        DateTime local;
        const char* offset;
        const char* expected;
    };
    const DateTime utc{2026, 12, 7, 6, 7, 8};
    const Case cases[] = {{{2026, 12, 7, 1, 30, 15}, "2", "23:30:15"},
                          {{2026, 12, 7, 22, 0, 0}, "-5", "03:00:00"},
                          {{2026, 12, 7, 9, 5, 1}, "0", "09:05:01"},
                          {{2026, 12, 7, 9, 5, 1}, "", "06:07:08"}, // empty: the system's true UTC
                          {{2026, 12, 7, 9, 5, 1}, "  ", "06:07:08"},
                          {{2026, 12, 7, 9, 5, 1}, "CET", "06:07:08"}, // no number either
                          {{2026, 12, 7, 9, 5, 1}, "-", "06:07:08"},
                          {{2026, 12, 7, 9, 5, 1}, " +1 h", "08:05:01"}};
    for (const Case& c : cases)
        EXPECT_EQ(utcClock(Clock::fixed(c.local, utc), c.offset), c.expected) << '"' << c.offset << '"';
}

} // namespace
