#include "modem/QsoTexts.h"
#include "modem/ReceiveText.h"
#include "modem/StatusText.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

void feed(ReceiveWindows& w, const std::string& text) {
    for (char c : text) appendReceived(w, c);
}

TEST(ReceiveText, LongLineMovesOnAt81WithoutALineBreak) {
    ReceiveWindows w;
    const std::string text85(85, 'x');
    for (int i = 0; i < 80; ++i) appendReceived(w, 'x');
    EXPECT_EQ(w.line.size(), 80u);
    EXPECT_TRUE(w.history.empty());
    const ReceiveChange c = appendReceived(w, 'x');
    EXPECT_EQ(w.history, std::string(81, 'x'));
    EXPECT_EQ(c.moved, std::string(81, 'x'));
    EXPECT_TRUE(w.line.empty());
    feed(w, "abcd");
    EXPECT_EQ(w.line, "abcd");
    EXPECT_EQ(w.history, std::string(81, 'x'));
}

TEST(ReceiveText, SendersCrLfEndsTheLineThenAddsAnEmptyLine) {
    ReceiveWindows w;
    feed(w, "AB\r\n");
    EXPECT_EQ(w.history, "AB\r\n\r\n");
    EXPECT_TRUE(w.line.empty());
    feed(w, "C\nD");
    EXPECT_EQ(w.history, "AB\r\n\r\nC\r\n");
    EXPECT_EQ(w.line, "D");
}

TEST(ReceiveText, BackspaceDeletesNothing) {
    ReceiveWindows w;
    feed(w, "AB");
    const ReceiveChange c = appendReceived(w, '\b');
    EXPECT_EQ(w.line, "AB");
    EXPECT_FALSE(c.lineChanged);
    EXPECT_TRUE(w.history.empty());
}

TEST(ReceiveText, HistoryPast4950IsCutToItsLast4800) {
    ReceiveWindows w;
    w.history = std::string(4948, 'h');
    w.history.back() = 'z';
    feed(w, "Q\r");
    // 4948 + "Q" + CR LF = 4951 > 4950: the last 4800 stay.
    ASSERT_EQ(w.history.size(), 4800u);
    EXPECT_EQ(w.history.substr(4800 - 4), "zQ\r\n");
    ReceiveWindows exact;
    exact.history = std::string(4947, 'h');
    feed(exact, "Q\r");
    EXPECT_EQ(exact.history.size(), 4950u); // not past the limit: nothing cut
}

TEST(ReceiveText, SlashedZeroOnlyReplacesTheDigitZero) {
    EXPECT_EQ(substituteReceived('0', 1), static_cast<char>(216));
    EXPECT_EQ(substituteReceived('0', 0), '0');
    for (int c = 1; c < 256; ++c)
        if (c != '0') {
            EXPECT_EQ(substituteReceived(static_cast<char>(c), 1), static_cast<char>(c));
        }
}

TEST(ReceiveText, ClearLeavesElevenLineEnds) {
    ReceiveWindows w;
    feed(w, "hello\r");
    w.line = "keep";
    clearHistory(w);
    EXPECT_EQ(w.history, "\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n\r\n");
    EXPECT_EQ(w.line, "keep");
}

TEST(StatusText, AbsoluteFrequenciesAreGroupedByTheDial) {
    EXPECT_EQ(absoluteFrequency(1500, 7035.0), "7036500");
    EXPECT_EQ(groupFrequency("7036500", 7035.0), "7,036,500");
    EXPECT_EQ(absoluteFrequency(1500, 14070), "14071500");
    EXPECT_EQ(groupFrequency("14071500", 14070), "14,071,500");
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
    EXPECT_GE(signalMaskHeight(101), 0.0);
}

TEST(StatusText, UtcClockFromTheOffsetOrTheSystem) {
    struct Case { DateTime local; const char* offset; const char* expected; };
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

TEST(QsoTexts, BtuClosingLine) {
    EXPECT_EQ(btuLine("G4ABC", "DL1XYZ", "   "), "BTU   DL1XYZ   de   G4ABC   G4ABC   kkk\r\n");
    EXPECT_EQ(btuLine("G4ABC", "", "   "), "BTU      de   G4ABC   G4ABC   kkk\r\n");
}

} // namespace
