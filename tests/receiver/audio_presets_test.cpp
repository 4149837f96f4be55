// The audio presets (Frame7), their entry frame (Frame8), Net, back to 1200 Hz and RePlay, on the
// real main window with FakeModem.

#include "core/Controls.h"
#include "receiver/widgets/PresetControl.h"
#include "support/FormHarness.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class PresetTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
    }
    // Radio control off, so Frame7 is what the operator sees once the first status event re-applied.
    void startWith(std::initializer_list<std::pair<int, const char*>> items) {
        SettingsList s = defaultSettings();
        s[40] = "No";
        for (auto [i, v] : items)
            s[i] = v;
        ASSERT_EQ(writeSettings(h->file("tavrel.ini"), s), std::nullopt);
        h->startup->startup();
        h->modem.raiseStatus(1200, 0);
        ASSERT_FALSE(h->form->state.settings.changePending());
        h->form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(h->form.get()));
        h->modem.clearCalls();
    }
    QPushButton* preset(int i) const { return h->form->presets->preset[static_cast<size_t>(i)]; }
    PresetEntry* frame8() const { return h->form->presetEntry; }
    bool visible(QWidget* w) const { return w->isVisibleTo(h->form.get()); }
    std::unique_ptr<FormHarness> h;
};

TEST_F(PresetTest, LeftClickTunesTheReceiverToEachPreset) {
    startWith({{28, "1000"}, {29, "1100"}, {22, "1500"}, {23, "1600"}, {24, "2200"}});
    const char* expected[5] = {"RxFreq=1000", "RxFreq=1100", "RxFreq=1500", "RxFreq=1600", "RxFreq=2200"};
    for (int i = 0; i < 5; ++i) {
        h->modem.clearCalls();
        QTest::mouseClick(preset(i), Qt::LeftButton);
        EXPECT_EQ(h->modem.calls, std::vector<std::string>{expected[i]});
    }
    EXPECT_FALSE(visible(frame8()));
}

TEST_F(PresetTest, PresetWithoutAFrequencyShowsAnEmptyCaptionAndTunesNowhere) {
    startWith({{28, ""}, {29, "abc"}});
    EXPECT_EQ(preset(0)->text(), "");
    EXPECT_EQ(preset(1)->text(), "abc");
    QTest::mouseClick(preset(0), Qt::LeftButton);
    QTest::mouseClick(preset(1), Qt::LeftButton);
    EXPECT_TRUE(h->modem.calls.empty());
}

TEST_F(PresetTest, RightClickOpensTheEntryFrameWithTheTextAsItWas) {
    startWith({});
    frame8()->Text5->setText("earlier");
    QTest::mouseClick(preset(3), Qt::RightButton);
    EXPECT_EQ(h->form->state.macroEditItem, Item::Preset4);
    EXPECT_TRUE(visible(frame8()));
    EXPECT_EQ(QApplication::focusWidget(), frame8()->Text5);
    EXPECT_EQ(frame8()->Text5->text(), "earlier");
    EXPECT_TRUE(h->modem.calls.empty());
    // Other buttons do nothing.
    frame8()->setVisible(false);
    QTest::mouseClick(preset(0), Qt::MiddleButton);
    EXPECT_FALSE(visible(frame8()));
    EXPECT_EQ(h->form->state.macroEditItem, Item::Preset4);
}

TEST_F(PresetTest, OkStoresThePresetInTheFileAndTheCaptionAndTheButtonThenTunesToIt) {
    startWith({{22, "1200"}});
    QTest::mouseClick(preset(2), Qt::RightButton);
    frame8()->Text5->clear();
    QTest::keyClicks(frame8()->Text5, "1500");
    QTest::mouseClick(frame8()->Command16, Qt::LeftButton);

    EXPECT_EQ(h->form->state.item(Item::Preset3), "1500");
    EXPECT_EQ(preset(2)->text(), "1500");
    EXPECT_EQ(fileLine(h->file("tavrel.ini"), 23), "\"1500\"");
    EXPECT_EQ(readFile(h->file("tavrel.ini")), formatSettings(h->form->state.settings.list()));
    EXPECT_TRUE(h->form->state.settings.changePending());
    EXPECT_FALSE(visible(frame8()));

    // The re-apply sets the captions again from the file.
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(preset(2)->text(), "1500");
    h->modem.clearCalls();
    QTest::mouseClick(preset(2), Qt::LeftButton);
    EXPECT_EQ(h->modem.calls, std::vector<std::string>{"RxFreq=1500"});
}

TEST_F(PresetTest, OkStoresTheMacroEditorTextFirstForAnItemThatIsNoPreset) {
    startWith({{22, "1500"}, {34, "old"}});
    h->form->macroEditor->macrotext->setPlainText("line one\nline two");
    frame8()->Text5->setText("1800");
    h->form->state.macroEditItem = Item::UserCaption2; // set by a right-click on a macro button
    QTest::mouseClick(frame8()->Command16, Qt::LeftButton);
    const SettingsList s = readSettings(h->file("tavrel.ini"));
    EXPECT_EQ(s[34], "line one\r\nline two");
    EXPECT_EQ(s[22], "1500");
    for (int i = 0; i < 5; ++i)
        EXPECT_NE(preset(i)->text(), "1800");

    // For a preset, Text5 replaces what the macro editor held.
    QTest::mouseClick(preset(4), Qt::RightButton);
    QTest::mouseClick(frame8()->Command16, Qt::LeftButton);
    EXPECT_EQ(readSettings(h->file("tavrel.ini"))[24], "1800");
}

TEST_F(PresetTest, CancelChangesNothing) {
    startWith({{28, "1000"}});
    const std::string before = readFile(h->file("tavrel.ini"));
    QTest::mouseClick(preset(0), Qt::RightButton);
    QTest::keyClicks(frame8()->Text5, "2500");
    QTest::mouseClick(frame8()->Command17, Qt::LeftButton);
    EXPECT_FALSE(visible(frame8()));
    EXPECT_EQ(preset(0)->text(), "1000");
    EXPECT_EQ(h->form->state.item(Item::Preset1), "1000");
    EXPECT_EQ(readFile(h->file("tavrel.ini")), before);
    EXPECT_FALSE(h->form->state.settings.changePending());
}

TEST_F(PresetTest, NetTogglesTheCheckBoxFromStartup) {
    startWith({});
    QCheckBox* check1 = h->form->status->Check1;
    EXPECT_TRUE(check1->isChecked());
    QTest::mouseClick(h->form->presets->Command15, Qt::LeftButton);
    EXPECT_EQ(h->form->state.netOn, 0);
    EXPECT_FALSE(check1->isChecked());
    QTest::mouseClick(h->form->presets->Command15, Qt::LeftButton);
    EXPECT_EQ(h->form->state.netOn, 1);
    EXPECT_TRUE(check1->isChecked());
}

TEST_F(PresetTest, BackTo1200AndReplay) {
    startWith({});
    QTest::mouseClick(h->form->receiver->Command2, Qt::LeftButton);
    QTest::mouseClick(h->form->receiver->Label55, Qt::LeftButton);
    const std::vector<std::string> expected = {"RxFreq=1200", "Replay(99)"};
    EXPECT_EQ(h->modem.calls, expected);
}

} // namespace
