// The receiver controls and the audio presets beside them, on the real main window with FakeModem.

#include "core/Controls.h"
#include "support/FormHarness.h"

#include <QCheckBox>
#include <QPlainTextEdit>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

using Calls = std::vector<std::string>;

// Radio control off, so the audio presets show once the first status event has re-applied.
struct Window : FormHarness {
    explicit Window(Items items = {}) {
        items.emplace_back(40, "No");
        startSettled(items);
        form->show();
        EXPECT_TRUE(QTest::qWaitForWindowActive(form.get()));
        modem.clearCalls();
    }
};

void click(QWidget* w, Qt::MouseButton b = Qt::LeftButton) {
    QTest::mouseClick(w, b);
}

} // namespace

// A right click opens the preset's entry, where OK stores it and Cancel changes nothing.
TEST(ReceiverTest, PresetsTuneOnALeftClickAreEditedOnARightClickAndTheSmallButtonsTellTheModem) {
    Window w({{28, "1000"}, {29, ""}, {22, "1500"}, {23, "abc"}, {24, "2200"}});
    PresetEntry& entry = *w.form->presetEntry;
    const auto preset = [&](int i) { return w.form->presets->preset[static_cast<size_t>(i)]; };
    for (int i = 0; i < 5; ++i)
        click(preset(i));
    entry.Text5->setText("earlier");
    click(preset(3), Qt::RightButton);
    EXPECT_EQ(std::tuple(w.form->state.macroEditItem, entry.isVisible(), entry.Text5->text()),
              std::tuple(Item::Preset4, true, QString("earlier")));
    EXPECT_EQ(QApplication::focusWidget(), entry.Text5);
    QTest::keyClicks(entry.Text5, "2500");
    click(entry.Command17);
    EXPECT_EQ(std::tuple(entry.isVisible(), preset(3)->text(), w.form->state.settings.changePending()),
              std::tuple(false, QString("abc"), false));
    click(preset(3), Qt::RightButton);
    entry.Text5->setText("1700");
    click(entry.Command16);
    EXPECT_EQ(std::tuple(entry.isVisible(), preset(3)->text(), fileLine(w.file("tavrel.ini"), 24)),
              std::tuple(false, QString("1700"), std::string("\"1700\"")));
    click(preset(3));
    click(w.form->receiver->Command2);
    click(w.form->receiver->Label55);
    // A preset without a frequency tunes nowhere, nor does a right click.
    EXPECT_EQ(w.modem.calls, (Calls{"RxFreq=1000", "RxFreq=1500", "RxFreq=2200", "RxFreq=1700", "RxFreq=1200",
                                    "Replay(99)"}));
    // The macro editor shares the entry's item: for an item that is no preset, its text is stored.
    w.form->macroEditor->macrotext->setPlainText("line one\nline two");
    w.form->state.macroEditItem = Item::UserCaption2;
    click(entry.Command16);
    const SettingsList s = readSettings(w.file("tavrel.ini"));
    EXPECT_EQ(std::pair(s[34], s[23]), std::pair(std::string("line one\r\nline two"), std::string("1700")));

    EXPECT_TRUE(w.form->status->Check1->isChecked());
    for (int netOn : {0, 1}) {
        click(w.form->presets->Command15);
        EXPECT_EQ(std::pair(w.form->state.netOn, w.form->status->Check1->isChecked()),
                  std::pair(netOn, netOn == 1));
    }
}

// The sliders go straight to the modem, up to their ends; a re-apply tells it every value and the
// mode again and puts the display kind and the toggles back. A squelch speed waits for a status event.
TEST(ReceiverTest, SlidersAndTogglesGoStraightToTheModemAndAReapplyTellsItAgain) {
    Window w;
    ReceiverControls& c = *w.form->receiver;
    // The choice, the slider (-1: left where it is) and the speed the modem is told.
    const std::tuple<const char*, int, int> steps[] = {
        {"Variable", -1, 10}, {"Fast", -1, 0}, {"Variable", 120, 120}, {"medium", -1, 120}, {"Slow", -1, 1}};
    for (auto [choice, slider, speed] : steps) {
        c.sqlset->setCurrentText(choice);
        if (slider >= 0) c.squelchspeed->setValue(slider);
        w.modem.squelchSpeed = -1;
        w.modem.raiseStatus(1200, 0);
        EXPECT_EQ(std::pair(w.modem.squelchSpeed, c.sqlmode->text()),
                  std::pair(speed, QString::number(speed)))
            << choice;
    }
    w.modem.clearCalls();
    c.Slider1->setValue(170);
    c.Slider2->setValue(5000);
    c.Slider3->setValue(99);
    c.Slider4->setValue(-5000);
    EXPECT_EQ(w.modem.calls,
              (Calls{"SquelchThreshold=100", "AfcLimit=1000", "SearchRange=50", "TrimValue=-1000"}));
    EXPECT_EQ(c.Label23->text(), "1000");
    c.Slider2->setValue(0);
    EXPECT_EQ(c.Label23->text(), "Off");
    c.Slider2->setValue(300);

    QStringList shown;
    for (int i = 0; i < 5; ++i) {
        click(c.display);
        shown << c.displayt->text() + QString::number(w.modem.displayType);
    }
    EXPECT_EQ(shown, QStringList({"Raw Input2", "Sync3", "Carpet4", "Spectrum0", "Waterfall1"}));
    click(c.display);
    click(c.scrollstop);
    click(c.txfocus);
    EXPECT_EQ(std::pair(w.form->state.rxDisplayOn, w.form->state.keepTxFocus), std::pair(0, 1));
    EXPECT_EQ(std::pair(backColour(c.scrollstop), backColour(c.txfocus)),
              std::pair(colours::red, colours::green));
    w.modem.squelchThreshold = w.modem.searchRange = w.modem.trimValue = w.modem.displayType = 999;
    w.modem.clearCalls();
    w.startup->reapplySettings();
    EXPECT_EQ((std::vector<int>{w.modem.squelchThreshold, w.modem.AfcLimit(), w.modem.searchRange,
                                w.modem.trimValue, w.modem.displayType}),
              (std::vector<int>{50, 300, 50, -1000, 1}));
    EXPECT_EQ(w.modem.countCalls("AfcLimit=300"), 1);
    EXPECT_EQ(std::pair(c.displayt->text(), c.Label23->text()),
              std::pair(QString("Waterfall"), QString("300")));
    EXPECT_EQ(std::pair(backColour(c.scrollstop), backColour(c.txfocus)),
              std::pair(colours::green, colours::red));

    shown.clear();
    for (int i = 0; i < 3; ++i) {
        click(c.modesel);
        w.modem.mode = -1;
        w.startup->reapplySettings();
        shown << c.modesel->text() + QString::number(w.modem.mode);
    }
    EXPECT_EQ(shown, QStringList({"QPSK USB1", "QPSK LSB2", "BPSK0"}));
}
