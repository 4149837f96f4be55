// The receiver controls and the audio presets beside them, on the real main window with FakeModem.

#include "app/Controls.h"
#include "support/FormHarness.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class ReceiverTest : public ::testing::Test {
protected:
    // Radio control off, so the audio presets show once the first status event has re-applied.
    void start(FormHarness::Items items = {}) {
        items.emplace_back(40, "No");
        h.startSettled(items);
        h.form->show();
        ASSERT_TRUE(QTest::qWaitForWindowActive(h.form.get()));
        h.modem.clearCalls();
    }
    static void click(QWidget* w, Qt::MouseButton b = Qt::LeftButton) { QTest::mouseClick(w, b); }
    ReceiverControls& c() { return *h.form->receiver; }
    QPushButton* preset(int i) { return h.form->presets->preset[static_cast<size_t>(i)]; }
    PresetEntry& entry() { return *h.form->presetEntry; }
    FormHarness h;
};

TEST_F(ReceiverTest, PresetsTuneOnALeftClickAndOpenTheirEntryOnARightClick) {
    start({{28, "1000"}, {29, ""}, {22, "1500"}, {23, "abc"}, {24, "2200"}});
    QStringList captions;
    for (int i = 0; i < 5; ++i) {
        captions << preset(i)->text();
        click(preset(i));
    }
    EXPECT_EQ(captions, QStringList({"1000", "", "1500", "abc", "2200"}));
    // A preset without a frequency tunes nowhere.
    EXPECT_EQ(h.modem.calls, (std::vector<std::string>{"RxFreq=1000", "RxFreq=1500", "RxFreq=2200"}));
    EXPECT_FALSE(entry().isVisible());

    entry().Text5->setText("earlier");
    click(preset(3), Qt::RightButton);
    EXPECT_EQ(h.form->state.macroEditItem, 23);
    EXPECT_TRUE(entry().isVisible());
    EXPECT_EQ(QApplication::focusWidget(), entry().Text5);
    EXPECT_EQ(entry().Text5->text(), "earlier");
    entry().setVisible(false);
    click(preset(0), Qt::MiddleButton); // other buttons do nothing
    EXPECT_FALSE(entry().isVisible());
    EXPECT_EQ(h.form->state.macroEditItem, 23);
    EXPECT_EQ(h.modem.calls.size(), 3u);
}

TEST_F(ReceiverTest, PresetEntryOkStoresThePresetAndCancelChangesNothing) {
    start({{22, "1200"}});
    const std::string before = readFile(h.file("tavrel.ini"));
    click(preset(2), Qt::RightButton);
    QTest::keyClicks(entry().Text5, "2500");
    click(entry().Command17);
    EXPECT_FALSE(entry().isVisible());
    EXPECT_EQ(preset(2)->text(), "1200");
    EXPECT_EQ(readFile(h.file("tavrel.ini")), before);
    EXPECT_EQ(settingsChanged, 0);

    click(preset(2), Qt::RightButton);
    entry().Text5->setText("1500");
    click(entry().Command16);
    EXPECT_EQ(preset(2)->text(), "1500");
    EXPECT_EQ(fileLine(h.file("tavrel.ini"), 23), "\"1500\"");
    EXPECT_EQ(readFile(h.file("tavrel.ini")), formatSettings(h.form->state.settings));
    EXPECT_EQ(settingsChanged, 1);
    EXPECT_FALSE(entry().isVisible());
    h.modem.raiseStatus(1200, 0); // the re-apply sets the captions again from the file
    EXPECT_EQ(preset(2)->text(), "1500");
    h.modem.clearCalls();
    click(preset(2));
    EXPECT_EQ(h.modem.calls, std::vector<std::string>{"RxFreq=1500"});

    // The macro editor shares the entry's item: for an item that is no preset, its text is stored.
    h.form->macroEditor->macrotext->setPlainText("line one\nline two");
    h.form->state.macroEditItem = 34;
    click(entry().Command16);
    const SettingsList s = readSettings(h.file("tavrel.ini"));
    EXPECT_EQ(s[34], "line one\r\nline two");
    EXPECT_EQ(s[22], "1500");
}

TEST_F(ReceiverTest, NetTogglesItsCheckBoxAndTheSmallButtonsTellTheModem) {
    start();
    QCheckBox* check1 = h.form->status->Check1;
    EXPECT_TRUE(check1->isChecked());
    for (int netOn : {0, 1}) {
        click(h.form->presets->Command15);
        EXPECT_EQ(h.form->state.netOn, netOn);
        EXPECT_EQ(check1->isChecked(), netOn == 1);
    }
    click(c().Command2);
    click(c().Label55);
    EXPECT_EQ(h.modem.calls, (std::vector<std::string>{"RxFreq=1200", "Replay(99)"}));
}

TEST_F(ReceiverTest, DisplayAndModeStepRoundAndAReapplyTellsTheModemTheMode) {
    start();
    QStringList names;
    std::vector<int> kinds;
    for (int i = 0; i < 5; ++i) {
        click(c().display);
        names << c().displayt->text();
        kinds.push_back(h.modem.displayType);
    }
    EXPECT_EQ(names, QStringList({"Raw Input", "Sync", "Carpet", "Spectrum", "Waterfall"}));
    EXPECT_EQ(kinds, (std::vector<int>{2, 3, 4, 0, 1}));
    QStringList modes;
    for (int i = 0; i < 3; ++i) {
        click(c().modesel);
        modes << c().modesel->text() + QString::number(h.modem.mode);
        h.modem.mode = -1;
        h.startup->reapplySettings();
        EXPECT_EQ(h.modem.mode, (i + 1) % 3); // told again, as the button shows it
    }
    EXPECT_EQ(modes, QStringList({"QPSK USB1", "QPSK LSB2", "BPSK0"}));
}

TEST_F(ReceiverTest, SquelchSpeedTakesEffectAtTheNextStatusEvent) {
    start();
    // The choice, the slider (-1: left where it is) and the speed the modem is told.
    const std::tuple<const char*, int, int> steps[] = {
        {"Variable", -1, 10}, {"Fast", -1, 0}, {"Variable", 120, 120}, {"medium", -1, 120}, {"Slow", -1, 1}};
    for (auto [choice, slider, speed] : steps) {
        SCOPED_TRACE(choice);
        c().sqlset->setCurrentText(choice);
        if (slider >= 0) c().squelchspeed->setValue(slider);
        h.modem.squelchSpeed = -1;
        h.modem.raiseStatus(1200, 0);
        EXPECT_EQ(h.modem.squelchSpeed, speed);
        EXPECT_EQ(c().sqlmode->text(), QString::number(speed));
    }
}

TEST_F(ReceiverTest, SlidersGoStraightToTheModemAndAReapplyTellsThemAgain) {
    start();
    EXPECT_EQ(h.modem.squelchThreshold, 50);
    EXPECT_EQ(c().Label23->text(), "50");
    // Past their ends the sliders stop at their limits.
    c().Slider1->setValue(170);
    c().Slider2->setValue(5000);
    c().Slider3->setValue(99);
    c().Slider4->setValue(-5000);
    EXPECT_EQ(std::vector<int>(
                  {h.modem.squelchThreshold, h.modem.AfcLimit(), h.modem.searchRange, h.modem.trimValue}),
              (std::vector<int>{100, 1000, 50, -1000}));
    EXPECT_EQ(c().Label23->text(), "1000");
    c().Slider2->setValue(0);
    EXPECT_EQ(c().Label23->text(), "Off");

    c().Slider2->setValue(300);
    c().Slider1->setValue(70);
    click(c().display);
    h.modem.squelchThreshold = h.modem.searchRange = h.modem.trimValue = h.modem.displayType = 999;
    h.modem.clearCalls();
    h.startup->reapplySettings();
    EXPECT_EQ(std::vector<int>(
                  {h.modem.squelchThreshold, h.modem.searchRange, h.modem.trimValue, h.modem.displayType}),
              (std::vector<int>{50, 50, -1000, 1}));
    EXPECT_EQ(h.modem.countCalls("AfcLimit=300"), 1);
    EXPECT_EQ(c().displayt->text(), "Waterfall"); // the kind the re-apply resets
    EXPECT_EQ(c().Label23->text(), "300");
}

TEST_F(ReceiverTest, TogglesFlipTheirFlagsAndColours) {
    start();
    EXPECT_EQ(backColour(c().txfocus), colours::red);
    click(c().scrollstop);
    EXPECT_EQ(h.form->state.rxDisplayOn, 0);
    EXPECT_EQ(backColour(c().scrollstop), colours::red);
    click(c().scrollstop);
    EXPECT_EQ(backColour(c().scrollstop), colours::green);
    click(c().txfocus);
    EXPECT_EQ(h.form->state.keepTxFocus, 1);
    EXPECT_EQ(backColour(c().txfocus), colours::green);
    h.form->state.rxDisplayOn = 7; // neither 0 nor 1: left alone
    click(c().scrollstop);
    EXPECT_EQ(h.form->state.rxDisplayOn, 7);
    h.startup->reapplySettings();
    EXPECT_EQ(h.form->state.keepTxFocus, 0);
    EXPECT_EQ(backColour(c().txfocus), colours::red);
}

} // namespace
