// The band buttons, the band list, the band restore and the radio panel switch on the real main
// window with FakeModem and FakeSerial.

#include "radio/widgets/RadioControl.h"
#include "support/FormHarness.h"

#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

// The CAT port "1" at 9600, N, 8, 1, and more.
FormHarness::Items catPortAnd(FormHarness::Items more) {
    more.insert(more.begin(), {{41, "1"}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
    return more;
}

std::string bandItem(const FormHarness& h) {
    return fileLine(h.file("tavrel.ini"), 51);
}

// Each button tunes its band (to its preset here) with one write of the model's frame, shows it,
// tells the modem the dial and saves the band, which marks the settings changed.
TEST(BandButtons, EachButtonTunesItsBandWithOneWriteAndSavesIt) {
    FormHarness h;
    h.startSettled(catPortAnd({{63, "3"}, {46, "040"}, {47, "074.5"}, {48, "080"}, {49, "150"}}));
    RadioPanel& p = *h.form->radioPanel;
    const struct {
        QPushButton* button;
        const char* band;
        const char* command;
        const char* dial;
        double kHz;
    } rows[] = {
        {p.forty, "40", "FA00007040000;", "7.040.00", 7040},
        {p.twenty, "20", "FA00014074500;", "14.074.50", 14074.5},
        {p.fifteen, "15", "FA00021080000;", "21.080.00", 21080},
        {p.ten, "10", "FA00028150000;", "28.150.00", 28150},
    };
    for (const auto& r : rows) {
        SCOPED_TRACE(r.band);
        h.comm2.clearRecord();
        h.modem.clearCalls();
        settingsChanged = 0;
        QTest::mouseClick(r.button, Qt::LeftButton);
        EXPECT_EQ(h.comm2.writes(), std::vector<std::string>{"Output=" + hexBytes(r.command)});
        EXPECT_EQ(h.modem.calls, std::vector<std::string>{"DialFreq=" + std::to_string(r.kHz)});
        EXPECT_EQ(p.txrxfreq->text().toStdString(), r.dial);
        EXPECT_EQ(h.form->entry->band->currentText().toStdString(), r.band);
        EXPECT_EQ(p.bandlist->currentText().toStdString(), r.band);
        EXPECT_EQ(h.form->state.currentBand, r.band);
        EXPECT_EQ(bandItem(h), std::string("\"") + r.band + "\"");
        EXPECT_EQ(settingsChanged, 1);
    }
    // The band list tunes the other bands the same way.
    h.comm2.clearRecord();
    p.bandlist->setCurrentText("60");
    emit p.bandlist->activated(p.bandlist->currentIndex());
    EXPECT_EQ(h.comm2.written(), "FA00005357000;");
    EXPECT_EQ(h.modem.DialFreq(), 5357);
    EXPECT_EQ(h.form->entry->band->currentText(), "60");
    EXPECT_EQ(bandItem(h), "\"60\"");
}

// Start-up sends the restored band once; the band save marks the settings changed, so the first
// status event re-applies them: the port is closed, opened again and start-up sends the band again.
TEST(BandButtons, StartupRestoresTheBandAndTheFirstStatusEventSendsItAgain) {
    FormHarness h;
    h.startWith(catPortAnd({{63, "2"}, {50, "40"}}));
    EXPECT_EQ(h.comm2.writes(),
              (std::vector<std::string>{"CommPort=1", "Settings=9600, N, 8, 1", "Handshaking=0", "PortOpen=1",
                                        "Output=00 35 70 00 0A"}));
    EXPECT_EQ(settingsChanged, 1);
    EXPECT_EQ(h.modem.DialFreq(), 7035);

    h.comm2.clearRecord();
    h.modem.raiseStatus(1000, 0);
    EXPECT_EQ(h.comm2.writes(),
              (std::vector<std::string>{"PortOpen=0", "CommPort=1", "Settings=9600, N, 8, 1", "Handshaking=0",
                                        "PortOpen=1", "CommPort=1 (failed)", "Output=00 35 70 00 0A"}));
    EXPECT_EQ(settingsChanged, 0);
    h.comm2.clearRecord();
    h.modem.raiseStatus(1000, 0); // nothing more while the settings stay as they are
    EXPECT_TRUE(h.comm2.writes().empty());

    // A saved band that is no band restores nothing, so nothing is re-applied.
    FormHarness noBand;
    noBand.startWith(catPortAnd({{63, "2"}, {50, "11"}}));
    EXPECT_TRUE(noBand.comm2.written().empty());
    EXPECT_EQ(settingsChanged, 0);
}

// With radio control off the band is still restored, and the next status event hides the band
// buttons, shows the audio presets and sets the dial to 0; switched on again, the buttons return.
TEST(BandButtons, RadioControlSwitchesTheRadioPanelAndThePresetsAtTheNextStatusEvent) {
    FormHarness h;
    h.startWith(catPortAnd({{40, "No"}, {50, "15"}, {63, "1"}}));
    EXPECT_EQ(hexBytes(h.comm2.written()), "FE FE 04 E0 05 00 00 07 21 FD");
    RadioPanel& p = *h.form->radioPanel;
    const auto shown = [&](bool radio) {
        for (QWidget* w : std::initializer_list<QWidget*>{p.Frame2, p.forty, p.twenty, p.fifteen, p.ten,
                                                          p.bandlist, p.Label18})
            if (w->isVisibleTo(h.form.get()) != radio) return false;
        return h.form->presets->isVisibleTo(h.form.get()) != radio;
    };
    EXPECT_FALSE(
        h.form->presets->isVisibleTo(h.form.get())); // start-up leaves the switch to the status event
    h.modem.raiseStatus(1200, 0);
    EXPECT_TRUE(shown(false));
    EXPECT_EQ(h.modem.DialFreq(), 0);

    h.writeSettingsWith(catPortAnd({{40, "Yes"}, {50, "15"}, {63, "1"}}));
    settingsChanged = 1;
    h.modem.raiseStatus(1200, 0);
    EXPECT_TRUE(shown(true));
    EXPECT_EQ(h.modem.DialFreq(), 21070);
}

} // namespace
