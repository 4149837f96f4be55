#include "browser/CallPick.h"
#include "browser/SignalList.h"

#include <gtest/gtest.h>

using namespace tavrel;

TEST(CallPick, TheCallAStationSignsWithInRealExchanges) {
    const struct {
        const char* text;
        const char* call;
    } cases[] = {
        {"CQ CQ de DL1ABC DL1ABC pse k", "DL1ABC"},
        {"cq cq cq de dl1abc dl1abc dl1abc pse k\r\n", "DL1ABC"},
        {"G4XYZ de VK2ABC ur rst 599 599 name Bob qth Sydney btu G4XYZ de VK2ABC kn", "VK2ABC"},
        {"CQ CQ 2E0ABC 2E0ABC k", "2E0ABC"},                  // no "de": the call before "k"
        {"CQ de 3DA0RU pse k", "3DA0RU"},                     // prefix with a digit first
        {"tnx fer call de DL1ABC/P DL1ABC/P", "DL1ABC/P"},    // portable
        {"PA/DL1ABC de F/G4XYZ/MM pse kn", "F/G4XYZ/MM"},     // slashed on both sides
        {"VK2ABC de EA8/G4XYZ k", "EA8/G4XYZ"},               // the newest of two
        {"G4XYZ de VK2ABC k ... VK2ABC de G4XYZ k", "G4XYZ"}, // both sides of a contact: who sent last
        {"my name is Chris de ON4CHRIS k", ""},               // a name after the digit is not a call
        {"tnx Gerd de Anna k", ""},                           // names
        {"de HAL9000 k", ""},                                 // ends in a digit
        {"the rig is a TS590S, 100W into a dipole k", ""},    // rig names, powers
        {"G4XYZ DL1ABC VK2ABC", ""},                          // calls, but nobody signs
        {"de", ""},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(pickCall(c.text), c.call) << c.text;
}

TEST(CallPick, AWordStandsOnItsOwnInAnyCase) {
    EXPECT_TRUE(hasWord("cq cq de DL1ABC", "CQ"));
    EXPECT_TRUE(hasWord("G4ABC/P de DL1ABC", "g4abc"));
    EXPECT_TRUE(hasWord("VK2ABC de EA8/G4ABC", "G4ABC"));
    EXPECT_FALSE(hasWord("G4ABCD de DL1ABC", "G4ABC"));
    EXPECT_FALSE(hasWord("XG4ABC", "G4ABC"));
    EXPECT_FALSE(hasWord("CQD", "CQ"));
    EXPECT_FALSE(hasWord("anything", ""));
}

TEST(SignalList, LinesSortedByFrequencyKeepTheLastCharactersAndTheCallSigned) {
    SignalList list;
    list.setOwnCall(" g4abc ");
    list.update({{7, 1500, 80, "CQ CQ de DL1ABC DL1ABC pse k\r\n"}, {3, 900, 40, "G4ABC de VK2ABC"}});
    ASSERT_EQ(list.lines().size(), 2u);
    EXPECT_EQ(list.lines()[0].hz, 900);
    EXPECT_TRUE(list.lines()[0].ours);
    EXPECT_FALSE(list.lines()[0].cq);
    EXPECT_EQ(list.lines()[0].call, "VK2ABC");
    EXPECT_EQ(list.lines()[1].text, "CQ CQ de DL1ABC DL1ABC pse k ");
    EXPECT_TRUE(list.lines()[1].cq);
    EXPECT_EQ(list.lines()[1].call, "DL1ABC");
    EXPECT_TRUE(list.ownCallHeard());

    // The call stays once the text it came in has scrolled away; a station not heard goes.
    list.update({{7, 1502, 85, std::string(100, 'x') + "  "}});
    ASSERT_EQ(list.lines().size(), 1u);
    EXPECT_EQ(list.lines()[0].text.size(), SignalList::kShown);
    EXPECT_EQ(list.lines()[0].call, "DL1ABC");
    EXPECT_FALSE(list.lines()[0].cq);
    EXPECT_FALSE(list.ownCallHeard());
    // A word cut off at the front of what is kept is not taken for a call.
    list.update({{7, 1502, 85, "QQDL1XYZ k " + std::string(SignalList::kKept - 9, 'y')}});
    EXPECT_EQ(list.lines()[0].call, "DL1ABC");
}
