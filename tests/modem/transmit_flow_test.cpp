// The transmit side's bookkeeping on its own, one step a line: typing, the hand-over at a status
// event, BTU, the held sign-off and the store after it, Tune, Abort; and PTT on the CAT port.

#include "modem/TransmitFlow.h"

#include <functional>
#include <gtest/gtest.h>
#include <map>

using namespace tavrel;

namespace {

// What happens ("type:<window>", "live:<window>", "btu:<window>", "tx:<state>", "hold", "queued",
// "tune", "abort", or a question), the modem's queue then, and what it gives: the typed queue after
// an action, the answer to a question ("-" for nothing due).
struct Step {
    const char* what;
    int pending;
    std::string gives;
};

struct Flow {
    MainState s{"/nonexistent"};
    TransmitFlow f{s};

    std::string step(const std::string& what, int n) {
        const std::string name = what.substr(0, what.find(':')), arg = what.substr(what.find(':') + 1);
        const auto yes = [](bool b) -> std::string { return b ? "yes" : "no"; };
        const auto text = [](const std::optional<std::string>& t) { return t.value_or("-"); };
        const std::map<std::string, std::function<std::string()>> steps = {
            {"type", [&] { return f.typed(QString::fromUtf8(arg)), s.pendingTx; }},
            {"live", [&] { return f.startLive(arg), s.pendingTx; }},
            {"btu", [&] { return f.btu(arg), s.pendingTx; }},
            {"tx", [&] { return f.txStateChanged(std::stoi(arg)), s.pendingTx; }},
            {"hold", [&] { return f.holdSignOff(), s.pendingTx; }},
            {"queued", [&] { return f.signOffQueued(), s.pendingTx; }},
            {"remaining", [&] { return std::to_string(f.remaining(n)); }},
            {"typed", [&] { return text(f.typedDue(n)); }},
            {"tail", [&] { return text(f.btuTailDue(n)); }},
            {"sending", [&] { return yes(f.sending(n)); }},
            {"colour", [&] { return yes(f.btuColourBackDue()); }},
            {"release", [&] { return yes(f.signOffReleaseDue(n)); }},
            {"store", [&] { return yes(f.storeDue(n)); }},
            {"tune", [&] { return yes(f.toggleTune()); }},
            {"abort", [&] { return yes(f.abort()); }}};
        return steps.at(name)();
    }
    void walk(const std::vector<Step>& script) {
        for (const Step& st : script)
            EXPECT_EQ(step(st.what, st.pending), st.gives) << st.what << " with " << st.pending;
    }
};

TEST(TransmitFlow, TypingHandOverBtuSignOffStoreAndTuneStepByStep) {
    Flow t;
    t.s.settings[Item::OwnCall] = "G4ABC";
    t.s.hisCallUpper = "DL1XYZ";
    // clang-format off
    t.walk({
        {"type:ab", 0, ""}, {"tx:1", 0, ""}, {"type:ab", 0, ""}, // not typing live: nothing
        {"type:ab\n", 0, "\r\n"}, {"tx:0", 0, "\r\n"},         // a line end whatever the state
        {"live:hello", 0, "hello"}, {"type:hello!", 0, "hello"}, {"remaining", 3, "3"}, {"typed", 0, "-"},
        {"sending", 0, "no"}, {"sending", 1, "yes"}, {"tx:1", 0, "hello"}, {"sending", 0, "yes"},
        {"type:R\u00D8", 0, "hello\xD8"}, {"remaining", 3, "9"}, // the last character, Windows-1252
        {"typed", 1, "-"}, {"typed", 0, "hello\xD8"}, {"typed", 0, "-"},
        {"type:a\r", 0, "\r\n"}, {"typed", 0, "\r\n"},
        // BTU: the window's text first, then the closing line; its colour back after the over
        {"btu:tnx", 0, "tnx\r\n"}, {"tail", 0, "-"}, {"typed", 0, "tnx\r\n"}, {"tail", 1, "-"},
        {"tail", 0, "BTU   DL1XYZ   de   G4ABC   G4ABC   kkk\r\n"}, {"tail", 0, "-"},
        {"colour", 0, "no"}, {"tx:0", 0, ""}, {"colour", 0, "yes"}, {"colour", 0, "no"},
        // End QSO: what was typed ahead goes with the sign-off, not again; the tail below 10
        {"live:typed ahead", 0, "typed ahead"}, {"hold", 0, ""}, {"release", 10, "no"}, {"release", 9, "yes"},
        {"store", 0, "no"}, {"queued", 0, ""}, {"release", 0, "no"}, {"store", 1, "no"}, {"store", 0, "yes"},
        {"store", 0, "no"},
        {"tune", 0, "yes"}, {"abort", 0, "yes"}, {"tune", 0, "yes"}, {"tune", 0, "no"},
    });
    // clang-format on
}

TEST(TransmitFlow, AbortLeavesNothingThatKeysTheTransmitterAgain) {
    const std::vector<Step> due[] = {
        {{"btu:", 0, "\r\n"}},
        {{"live:hello", 0, "hello"}, {"tx:1", 0, "hello"}},
        {{"hold", 0, ""}},
        {{"hold", 0, ""}, {"queued", 0, ""}},
    };
    for (const auto& script : due) {
        SCOPED_TRACE(script.front().what);
        Flow t;
        t.walk(script);
        // clang-format off
        t.walk({{"abort", 0, "no"}, {"type:typed after", 0, ""}, {"typed", 0, "-"}, {"tail", 0, "-"},
                {"release", 0, "no"}, {"store", 0, "no"}, {"colour", 0, "no"}, {"remaining", 0, "0"}});
        // clang-format on
    }
}

TEST(TransmitFlow, SignOffNoticesAreTakenOutOfTheWindowsText) {
    EXPECT_EQ(withoutSignOffNotices("tnx\nQSO sign-off is being held for queueing......\n"
                                    "QSO sign-off has been queued for transmission"),
              "tnx");
    EXPECT_EQ(withoutSignOffNotices("QSO sign-off has been queued for transmission"),
              "QSO sign-off has been queued for transmission");
}

TEST(TransmitFlow, PttOnTheCatPortWithoutAPttPortOrWhenThePttPortIsTheCatPort) {
    const std::tuple<const char*, const char*, CatPttLines> cases[] = {
        {"0", "2", {true, false}},
        {"", "2", {true, false}},
        {"3", "2", {}},
        {"/dev/ttyUSB1", "2", {}},
        {"1", "2", {false, true}},
        {"/dev/ttyS0", "1", {true, false}},
        {" 1", "3", {true, true}},
        {"1", "0", {}},
    };
    for (const auto& [ptt, line, keyed] : cases)
        EXPECT_EQ(catPttLines(ptt, "1", line), keyed) << ptt << " line " << line;
}

} // namespace
