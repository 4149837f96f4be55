// The receiver controls and the audio presets beside them, on the real main window with FakeModem.

#include "core/Controls.h"
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

// A right click opens the preset's entry, where OK stores it and Cancel changes nothing.
TEST_F(ReceiverTest, PresetsTuneOnALeftClickAndAreEditedOnARightClick) {
    start({{28, "1000"}, {29, ""}, {22, "1500"}, {23, "abc"}, {24, "2200"}});
    QStringList captions;
    for (int i = 0; i < 5; ++i) {
        captions << preset(i)->text();
        click(preset(i));
    }
    EXPECT_EQ(captions, QStringList({"1000", "", "1500", "abc", "2200"}));
    const std::string before = readFile(h.file("tavrel.ini"));
    entry().Text5->setText("earlier");
    click(preset(3), Qt::RightButton);
    EXPECT_EQ(std::tuple(h.form->state.macroEditItem, entry().isVisible(), entry().Text5->text()),
              std::tuple(Item::Preset4, true, QString("earlier")));
    EXPECT_EQ(QApplication::focusWidget(), entry().Text5);
    QTest::keyClicks(entry().Text5, "2500");
    click(entry().Command17);
    EXPECT_EQ(std::tuple(entry().isVisible(), preset(3)->text(), h.form->state.settings.changePending()),
              std::tuple(false, QString("abc"), false));
    EXPECT_EQ(readFile(h.file("tavrel.ini")), before);

    click(preset(3), Qt::RightButton);
    entry().Text5->setText("1700");
    click(entry().Command16);
    EXPECT_EQ(std::tuple(entry().isVisible(), preset(3)->text(), h.form->state.settings.changePending()),
              std::tuple(false, QString("1700"), true));
    EXPECT_EQ(fileLine(h.file("tavrel.ini"), 24), "\"1700\"");
    EXPECT_EQ(readFile(h.file("tavrel.ini")), formatSettings(h.form->state.settings.list()));
    click(preset(3));
    // A preset without a frequency tunes nowhere, nor does a right click.
    EXPECT_EQ(h.modem.calls,
              (std::vector<std::string>{"RxFreq=1000", "RxFreq=1500", "RxFreq=2200", "RxFreq=1700"}));
    // The macro editor shares the entry's item: for an item that is no preset, its text is stored.
    h.form->macroEditor->macrotext->setPlainText("line one\nline two");
    h.form->state.macroEditItem = Item::UserCaption2;
    click(entry().Command16);
    const SettingsList s = readSettings(h.file("tavrel.ini"));
    EXPECT_EQ(std::pair(s[34], s[23]), std::pair(std::string("line one\r\nline two"), std::string("1700")));
}

TEST_F(ReceiverTest, NetTogglesItsCheckBoxAndTheSmallButtonsTellTheModem) {
    start();
    EXPECT_TRUE(h.form->status->Check1->isChecked());
    for (int netOn : {0, 1}) {
        click(h.form->presets->Command15);
        EXPECT_EQ(std::pair(h.form->state.netOn, h.form->status->Check1->isChecked()),
                  std::pair(netOn, netOn == 1));
    }
    click(c().Command2);
    click(c().Label55);
    EXPECT_EQ(h.modem.calls, (std::vector<std::string>{"RxFreq=1200", "Replay(99)"}));
}

TEST_F(ReceiverTest, DisplayAndModeStepRoundAndAReapplyTellsTheModemTheMode) {
    start();
    QStringList shown;
    for (int i = 0; i < 5; ++i) {
        click(c().display);
        shown << c().displayt->text() + QString::number(h.modem.displayType);
    }
    EXPECT_EQ(shown, QStringList({"Raw Input2", "Sync3", "Carpet4", "Spectrum0", "Waterfall1"}));
    shown.clear();
    for (int i = 0; i < 3; ++i) {
        click(c().modesel);
        h.modem.mode = -1;
        h.startup->reapplySettings(); // told again, as the button shows it
        shown << c().modesel->text() + QString::number(h.modem.mode);
    }
    EXPECT_EQ(shown, QStringList({"QPSK USB1", "QPSK LSB2", "BPSK0"}));
}

TEST_F(ReceiverTest, SquelchSpeedTakesEffectAtTheNextStatusEvent) {
    start();
    // The choice, the slider (-1: left where it is) and the speed the modem is told.
    const std::tuple<const char*, int, int> steps[] = {
        {"Variable", -1, 10}, {"Fast", -1, 0}, {"Variable", 120, 120}, {"medium", -1, 120}, {"Slow", -1, 1}};
    for (auto [choice, slider, speed] : steps) {
        c().sqlset->setCurrentText(choice);
        if (slider >= 0) c().squelchspeed->setValue(slider);
        h.modem.squelchSpeed = -1;
        h.modem.raiseStatus(1200, 0);
        EXPECT_EQ(std::pair(h.modem.squelchSpeed, c().sqlmode->text()),
                  std::pair(speed, QString::number(speed)))
            << choice;
    }
}

// The sliders go straight to the modem, up to their ends; a re-apply tells it every value again
// and puts the display kind and the toggles back.
TEST_F(ReceiverTest, SlidersAndTogglesGoStraightToTheModemAndAReapplyTellsItAgain) {
    start();
    c().Slider1->setValue(170);
    c().Slider2->setValue(5000);
    c().Slider3->setValue(99);
    c().Slider4->setValue(-5000);
    const auto told = [&] {
        return std::vector<int>{h.modem.squelchThreshold, h.modem.AfcLimit(), h.modem.searchRange,
                                h.modem.trimValue, h.modem.displayType};
    };
    EXPECT_EQ(told(), (std::vector<int>{100, 1000, 50, -1000, 1}));
    EXPECT_EQ(c().Label23->text(), "1000");
    c().Slider2->setValue(0);
    EXPECT_EQ(c().Label23->text(), "Off");
    c().Slider2->setValue(300);
    click(c().display);
    click(c().scrollstop);
    click(c().txfocus);
    EXPECT_EQ(std::pair(h.form->state.rxDisplayOn, h.form->state.keepTxFocus), std::pair(0, 1));
    EXPECT_EQ(std::pair(backColour(c().scrollstop), backColour(c().txfocus)),
              std::pair(colours::red, colours::green));

    h.modem.squelchThreshold = h.modem.searchRange = h.modem.trimValue = h.modem.displayType = 999;
    h.modem.clearCalls();
    h.startup->reapplySettings();
    EXPECT_EQ(told(), (std::vector<int>{50, 300, 50, -1000, 1}));
    EXPECT_EQ(h.modem.countCalls("AfcLimit=300"), 1);
    EXPECT_EQ(std::pair(c().displayt->text(), c().Label23->text()),
              std::pair(QString("Waterfall"), QString("300")));
    EXPECT_EQ(std::pair(backColour(c().scrollstop), backColour(c().txfocus)),
              std::pair(colours::green, colours::red));
}

} // namespace
