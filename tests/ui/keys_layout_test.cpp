// The main window's keys, the first start's welcome and the remembered layout, on the real window.

#include "core/Controls.h"
#include "support/FormHarness.h"

#include <QSplitter>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

const char* const kSendButtons[] = {"cq",     "answer",  "tover",  "report", "qth",    "stn",
                                    "qsl",    "weather", "endqb",  "btu",    "mtext1", "mtext2",
                                    "mtext3", "mtext4",  "mtext5", "mtext6"};

class KeysLayoutTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
    }
    void startWith(std::initializer_list<std::pair<int, const char*>> items) {
        SettingsList s = defaultSettings();
        s[13] = "20261207";
        for (auto [i, v] : items)
            s[i] = v;
        ASSERT_EQ(writeSettings(h->file("tavrel.ini"), s), std::nullopt);
        h->startup->startup();
    }
    SettingsList fileItems() const { return readSettings(h->file("tavrel.ini")); }
    std::vector<std::string> greenButtons() const {
        std::vector<std::string> green;
        for (const char* name : kSendButtons)
            if (backColour(h->control(name)) == colours::brightGreen) green.push_back(name);
        return green;
    }
    // Keys go where the keyboard is, as the operator's do.
    void type(const char* text) {
        for (const char* c = text; *c; ++c)
            QTest::keyClick(h->form->focusWidget(), *c);
    }
    std::unique_ptr<FormHarness> h;
};

// F1 to F10 send the buttons in row order, Shift+F1 to Shift+F6 the macros, each from the transmit
// window, a text box of the logbook or a button; Esc is Abort from inside a text box too.
TEST_F(KeysLayoutTest, FunctionKeysSendTheButtonsInRowOrderFromAnyControl) {
    startWith({{0, "G4ABC"}});
    const char* const places[] = {"txtTXData", "hiscall", "cleartx"};
    for (int i = 0; i < 16; ++i) {
        const auto key = static_cast<Qt::Key>(Qt::Key_F1 + i % 10);
        const Qt::KeyboardModifiers modifiers = i < 10 ? Qt::NoModifier : Qt::ShiftModifier;
        SCOPED_TRACE(std::string(kSendButtons[i]) + " from " + places[i % 3]);
        for (const char* name : kSendButtons)
            setBackColour(h->control(name), colours::buttonFace());
        h->control(places[i % 3])->setFocus();
        const int starts = h->modem.countCalls("StartTx");
        QTest::keyClick(h->control(places[i % 3]), key, modifiers);
        EXPECT_EQ(std::pair(greenButtons(), h->modem.countCalls("StartTx")),
                  std::pair(std::vector<std::string>{kSendButtons[i]}, starts + 1));
        EXPECT_TRUE(
            h->control(kSendButtons[i])
                ->toolTip()
                .contains(QKeySequence(QKeyCombination(modifiers, key)).toString(QKeySequence::NativeText)));
    }
    h->control("hiscall")->setFocus();
    const int aborts = h->modem.countCalls("AbortTx");
    QTest::keyClick(h->control("hiscall"), Qt::Key_Escape);
    EXPECT_EQ(h->modem.countCalls("AbortTx"), aborts + 1);

    // A function key held down sends once, not once per repeat.
    const size_t sent = h->modem.sent.size();
    QKeyEvent held(QEvent::KeyPress, Qt::Key_F3, Qt::NoModifier, QString(), true);
    QApplication::sendEvent(h->control("hiscall"), &held);
    EXPECT_EQ(h->modem.sent.size(), sent);
}

TEST_F(KeysLayoutTest, TypingOnAButtonOrTheDisplayGoesIntoTheTransmitWindow) {
    startWith({{0, "G4ABC"}});
    auto* tx = h->control<QPlainTextEdit>("txtTXData");
    tx->setPlainText("CQ");
    QWidget* display = h->control("PskModem1");
    display->setFocusPolicy(Qt::StrongFocus);
    h->control("cq")->setFocus();
    // The space would press the button that has the keyboard.
    type(" de");
    display->setFocus();
    type(" G4");
    h->control("browserList")->setFocus(); // the heard stations
    type("ABC");
    EXPECT_EQ(tx->toPlainText(), "CQ de G4ABC");
    EXPECT_TRUE(tx->hasFocus() || h->form->focusWidget() == tx);
    EXPECT_EQ(h->modem.sent, "");
    EXPECT_NE(backColour(h->control("cq")), colours::brightGreen);

    // While transmitting, what lands there is typing and goes on the air.
    h->modem.raiseTxState(1);
    h->form->state.liveTyping = 1;
    h->control("abort")->setFocus();
    type("K");
    EXPECT_EQ(h->form->state.pendingTx, "K");
}

TEST_F(KeysLayoutTest, FirstStartWithoutOwnCallOpensUserSettingsWithAWelcome) {
    for (const char* call : {"", "  ", "G4ABC"}) {
        SCOPED_TRACE(std::string("call '") + call + "'");
        h = std::make_unique<FormHarness>();
        startWith({{0, call}});
        h->form->menuControl->welcomeIfNoCall();
        UserSettingsWindow* w = h->form->menuControl->userSettings();
        ASSERT_EQ(w == nullptr, *call == 'G');
        if (!w) continue;
        EXPECT_TRUE(w->isVisible() && w->welcome->isVisible());
        EXPECT_EQ(w->welcome->text().count(QLatin1Char('\n')), 0);
        EXPECT_EQ(h->form->state.keepTxFocus, 0);
    }
}

TEST(LayoutItems, StoredLayoutItemsAreHeldToUsableValues) {
    const std::tuple<const char*, std::optional<int>, std::optional<int>> cases[] = {
        {"", {}, {}},   {"wide", {}, {}}, {"55", 55, 36},  {"0", 10, 6},
        {"99", 90, 36}, {"-4", 10, 6},    {"12.6", 13, 13}};
    for (const auto& [item, share, size] : cases)
        EXPECT_EQ(std::pair(displayShareFrom(item), textSizeFrom(item)), std::pair(share, size)) << item;
    EXPECT_EQ(std::pair(steppedTextSize(36, 1), steppedTextSize(6, -1)), std::pair(36, 6));
}

TEST_F(KeysLayoutTest, SplitAndTextSizeComeBackAndAreKeptAgainstOtherWriters) {
    startWith({{0, "G4ABC"},
               {static_cast<int>(Item::DisplayShare), "60"},
               {static_cast<int>(Item::TextSize), "14"}});
    h->form->show();
    QApplication::processEvents();
    EXPECT_NEAR(h->form->layoutMemory->displayShare(), 60, 3);
    for (const char* text : {"txtRXData", "txtrxdata1", "txtTXData"})
        EXPECT_EQ(h->control(text)->font().pointSize(), 14) << text;

    // Ctrl++ and Ctrl+- from the transmit window; the file keeps the size at once.
    QWidget* tx = h->control("txtTXData");
    tx->setFocus();
    QTest::keyClick(tx, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(tx, Qt::Key_Plus, Qt::ControlModifier);
    QTest::keyClick(tx, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(h->control("txtRXData")->font().pointSize(), 15);
    EXPECT_EQ(fileItems()[Item::TextSize], "15");

    // The operator drags the split: kept when the handle is let go.
    auto* splitter = h->control<QSplitter>("displaySplitter");
    const int total = splitter->sizes()[0] + splitter->sizes()[1];
    splitter->setSizes({total * 45 / 100, total * 55 / 100});
    QTest::mouseRelease(splitter->handle(1), Qt::LeftButton);
    EXPECT_NEAR(std::stoi(fileItems()[Item::DisplayShare]), 55, 2);

    // A settings window saves its copy of the list: a layout change before the re-apply leaves
    // that save alone, and the re-apply puts back the layout its older copy took away.
    SettingsList older = fileItems();
    older[0] = "G4XYZ";
    older[Item::DisplayShare] = "30";
    older[Item::TextSize] = "9";
    ASSERT_EQ(h->form->state.settings.save(older), std::nullopt);
    QTest::keyClick(tx, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(fileItems()[0], "G4XYZ");
    EXPECT_EQ(fileItems()[Item::TextSize], ""); // Ctrl+0: the system's size, nothing stored
    ASSERT_EQ(writeSettings(h->file("tavrel.ini"), older), std::nullopt);
    h->modem.raiseStatus(1200, 50);
    EXPECT_FALSE(h->form->state.settings.changePending());
    const SettingsList now = fileItems();
    EXPECT_EQ(now[0], "G4XYZ");
    EXPECT_NEAR(std::stoi(now[Item::DisplayShare]), 55, 2);
    EXPECT_EQ(now[Item::TextSize], "");
    // A copy that took away only the text size gets it back as well.
    older = now;
    older[Item::TextSize] = "9";
    ASSERT_EQ(h->form->state.settings.save(older), std::nullopt);
    h->modem.raiseStatus(1200, 50);
    EXPECT_EQ(fileItems()[Item::TextSize], "");
}

} // namespace
