// Every text the QSO buttons put on the air, byte for byte.

#include "modem/QsoTexts.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

QsoValues filled() {
    QsoValues v;
    v.M = "G4ABC";
    v.H = "DL1XYZ";
    v.R = "599";
    v.N = "Bob";
    v.Q = "Bath";
    v.A = "Somerset";
    v.L = "IO81";
    v.C = "Debian PC";
    v.G = "IC-735";
    v.P = "50";
    v.T = "dipole";
    v.U = "14:30:15";
    v.D = "12-07-2026";
    return v;
}

TEST(QsoTexts, BuiltInTextsForAFilledInStation) {
    const QsoValues v = filled();
    EXPECT_EQ(cqText(v, ""),
              "\r\n\r\nCQ CQ CQ CQ de  G4ABC   G4ABC   G4ABC\r\nCQ CQ CQ CQ de  G4ABC   G4ABC   G4ABC\r\n"
              "pse k \r\n\r\n");
    EXPECT_EQ(answerText(v), "\r\nDL1XYZ   DL1XYZ   de   G4ABC   G4ABC   G4ABC   \r\nkkk\r\n");
    EXPECT_EQ(toverText(v), "\r\nDL1XYZ   de   G4ABC   G4ABC\r\n");
    EXPECT_EQ(reportText(v), "Your report is    599   599   599\r\n");
    EXPECT_EQ(qthText(v, ""), "Name is Bob   Bob   Bob\r\nQTH is  Bath   Bath   Bath   \r\nSomerset\r\n"
                              "Locator  IO81   IO81   IO81\r\n");
    EXPECT_EQ(stationText(v, ""), "Equipment here :-\r\nComputer    Debian PC\r\n"
                                  "Software     Tavrel. 6.1 by  Brannock  (Velmar)\r\n"
                                  "Rig              IC-735 running about 50 W into a dipole\r\n");
    EXPECT_EQ(signOffText(v, ""), "Thank you very much for the QSO and hope to see you again soon\r\n"
                                  "73 and good DX  de   G4ABC\r\n12-07-2026");
    EXPECT_EQ(signOffTail(v), "   14:30:15 Z\r\n73   ====\r\n\r\n");
    EXPECT_EQ(btuLine(v.M, v.H, v.S), "BTU   DL1XYZ   de   G4ABC   G4ABC   kkk\r\n");
}

TEST(QsoTexts, EmptyValuesContributeNothing) {
    QsoValues v;
    EXPECT_EQ(toverText(v), "\r\n   de      \r\n");
    EXPECT_EQ(answerText(v), "\r\n      de            \r\nkkk\r\n");
    EXPECT_EQ(reportText(v), "Your report is          \r\n");
    EXPECT_EQ(btuLine("G4ABC", "", "   "), "BTU      de   G4ABC   G4ABC   kkk\r\n");
    EXPECT_EQ(storedLine(""), "\r\n");
    EXPECT_EQ(userMacroText(""), "\r\n\r\n");
    EXPECT_EQ(signOffText(v, ""), "Thank you very much for the QSO and hope to see you again soon\r\n"
                                  "73 and good DX  de   \r\n");
}

TEST(QsoTexts, StoredTextsReplaceOrExtendTheBuiltInOnes) {
    const QsoValues v = filled();
    // CQ, QTH and Station: the stored text as it stands, no line end added.
    EXPECT_EQ(cqText(v, "CQ test"), "CQ test");
    EXPECT_EQ(qthText(v, "My QTH\r\nline 2"), "My QTH\r\nline 2");
    EXPECT_EQ(stationText(v, "Rig: homebrew"), "Rig: homebrew");
    // QSL and weather always get CR LF; the sign-off ends with the date.
    EXPECT_EQ(storedLine("QSL via bureau"), "QSL via bureau\r\n");
    EXPECT_EQ(signOffText(v, "73 Bob"), "73 Bob\r\n12-07-2026");
    EXPECT_EQ(userMacroText("line 1\r\nline 2"), "\r\nline 1\r\nline 2\r\n");
}

} // namespace
