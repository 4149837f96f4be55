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
        {"CQ CQ 2E0ABC 2E0ABC pse k", "2E0ABC"},              // or before "pse k"
        {"CQ de 3DA0RU pse k", "3DA0RU"},                     // prefix with a digit first
        {"G4ABC pse k", "G4ABC"},                             // the first word
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
    for (const auto& [text, word, has] : {std::tuple{"cq cq de DL1ABC", "CQ", true},
                                          {"G4ABC/P de DL1ABC", "g4abc", true},
                                          {"VK2ABC de EA8/G4ABC", "G4ABC", true},
                                          {"G4ABCD de DL1ABC", "G4ABC", false},
                                          {"XG4ABC", "G4ABC", false},
                                          {"CQD", "CQ", false},
                                          {"anything", "", false}})
        EXPECT_EQ(hasWord(text, word), has) << text << " " << word;
}

// Each line as hz, call, "ours"/"cq" and the text shown.
std::string shown(const SignalList& list) {
    std::string s;
    for (const BrowserLine& l : list.lines())
        s += std::to_string(l.hz) + " " + l.call + (l.ours ? " ours" : "") + (l.cq ? " cq" : "") + " [" +
             l.text + "]\n";
    return s;
}

TEST(SignalList, LinesSortedByFrequencyKeepTheLastCharactersAndTheCallSigned) {
    SignalList list;
    list.setOwnCall(" g4abc ");
    list.update({{7, 1500, 80, "CQ CQ de DL1ABC DL1ABC pse k\r\n"}, {3, 900, 40, "G4ABC de VK2ABC"}});
    EXPECT_EQ(shown(list),
              "900 VK2ABC ours [G4ABC de VK2ABC]\n1500 DL1ABC cq [CQ CQ de DL1ABC DL1ABC pse k ]\n");
    EXPECT_TRUE(list.ownCallHeard());
    // The call stays once the text it came in has scrolled away; a station not heard goes.
    list.update({{7, 1502, 85, std::string(100, 'x') + "  "}});
    EXPECT_EQ(shown(list), "1502 DL1ABC [" + std::string(SignalList::kShown - 1, 'x') + " ]\n");
    EXPECT_FALSE(list.ownCallHeard());
    // A word cut off at the front of what is kept is not taken for a call.
    list.update({{7, 1502, 85, "QQDL1XYZ k " + std::string(SignalList::kKept - 9, 'y')}});
    EXPECT_EQ(list.lines()[0].call, "DL1ABC");
}
