// The band buttons, the radio panel switch and the band restore of start-up, on the real main
// window with FakeModem and FakeSerial.

#include "core/Controls.h"
#include "radio/widgets/RadioControl.h"
#include "support/FormHarness.h"

#include <QComboBox>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class BandTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
    }
    void writeIni(std::initializer_list<std::pair<int, const char*>> items) {
        SettingsList s = defaultSettings();
        for (auto [i, v] : items)
            s[i] = v;
        ASSERT_EQ(writeSettings(h->file("tavrel.ini"), s), std::nullopt);
    }
    void startWith(std::initializer_list<std::pair<int, const char*>> items) {
        writeIni(items);
        h->startup->startup();
    }
    QPushButton* button(const std::string& band) const {
        RadioPanel* p = h->form->radioPanel;
        if (band == "10") return p->ten;
        if (band == "15") return p->fifteen;
        if (band == "20") return p->twenty;
        return p->forty;
    }
    bool visible(QWidget* w) const { return w->isVisibleTo(h->form.get()); }
    bool radioControlsShown() const {
        RadioPanel* p = h->form->radioPanel;
        for (QWidget* w : std::initializer_list<QWidget*>{p->Frame2, p->forty, p->twenty, p->fifteen, p->ten,
                                                          p->bandlist, p->Label18})
            if (!visible(w)) return false;
        return true;
    }
    bool radioControlsHidden() const {
        RadioPanel* p = h->form->radioPanel;
        for (QWidget* w : std::initializer_list<QWidget*>{p->Frame2, p->forty, p->twenty, p->fifteen, p->ten,
                                                          p->bandlist, p->Label18})
            if (visible(w)) return false;
        return true;
    }
    std::unique_ptr<FormHarness> h;
};

struct BandRow {
    const char* band;
    const char* dialText;
    double dialKHz;
    const char* icom;
    const char* yaesu;
    const char* kenwood;
};

const BandRow kBands[] = {
    {"10", "28.120.00", 28120, "FE FE 04 E0 05 00 00 12 28 FD", "00 20 81 02 0A", "FA00028120000;"},
    {"15", "21.070.00", 21070, "FE FE 04 E0 05 00 00 07 21 FD", "00 70 10 02 0A", "FA00021070000;"},
    {"20", "14.070.00", 14070, "FE FE 04 E0 05 00 00 07 14 FD", "00 70 40 01 0A", "FA00014070000;"},
    {"40", "7.035.00", 7035, "FE FE 04 E0 05 00 50 03 07 FD", "00 35 70 00 0A", "FA00007035000;"},
};

TEST_F(BandTest, EveryBandAndModelSendsItsExactCommandOnlyWhileThePortIsOpen) {
    struct Model {
        const char* item;
        bool icom, yaesu, kenwood;
    };
    // "4" is a Hamlib rig: the CAT port is Hamlib's, never opened here.
    const Model models[] = {{"1", true, false, false},
                            {"2", false, true, false},
                            {"3", false, false, true},
                            {"", false, false, false},
                            {"4", false, false, false}};
    for (const Model& m : models) {
        for (bool open : {true, false}) {
            h = std::make_unique<FormHarness>();
            // Item 50 holds no band, so start-up restores none and sends nothing.
            startWith({{63, m.item},
                       {50, "x"},
                       {41, open ? "1" : "0"},
                       {42, "9600"},
                       {43, "8"},
                       {44, "N"},
                       {45, "1"}});
            ASSERT_EQ(h->comm2.portOpen(), open && std::string(m.item) != "4");
            for (const BandRow& b : kBands) {
                SCOPED_TRACE(std::string("model ") + m.item + (open ? ", open" : ", closed") + ", band " +
                             b.band);
                h->comm2.clearRecord();
                h->modem.clearCalls();
                h->form->state.settings.takeChange();
                QTest::mouseClick(button(b.band), Qt::LeftButton);

                std::string expected;
                if (open && m.icom) expected = b.icom;
                if (open && m.yaesu) expected = b.yaesu;
                if (open && m.kenwood) expected = hexBytes(b.kenwood);
                EXPECT_EQ(hexBytes(h->comm2.written()), expected);
                if (!expected.empty()) {
                    const std::vector<std::string> one = {"Output=" + expected};
                    EXPECT_EQ(h->comm2.writes(), one); // one write, nothing else done to the port
                }
                EXPECT_EQ(h->form->entry->band->currentText().toStdString(), b.band);
                EXPECT_EQ(h->modem.calls, std::vector<std::string>{"DialFreq=" + std::to_string(b.dialKHz)});
                EXPECT_EQ(h->form->radioPanel->txrxfreq->text().toStdString(), b.dialText);
                EXPECT_EQ(h->form->state.currentBand, b.band);
                EXPECT_EQ(fileLine(h->file("tavrel.ini"), 51), std::string("\"") + b.band + "\"");
                EXPECT_EQ(readSettings(h->file("tavrel.ini"))[63], m.item);
                EXPECT_TRUE(h->form->state.settings.changePending());
            }
        }
    }
}

// Start-up sends the restored band once; the band save marks the settings changed, so the first
// status event re-applies them: the port is closed, opened again and start-up sends the band again.
TEST_F(BandTest, StartupRestoresTheBandAndTheFirstStatusEventSendsItAgain) {
    startWith({{63, "2"}, {50, "40"}, {41, "1"}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
    const std::vector<std::string> atStart = {"CommPort=1", "Settings=9600, N, 8, 1", "Handshaking=0",
                                              "PortOpen=1", "Output=00 35 70 00 0A"};
    EXPECT_EQ(h->comm2.writes(), atStart);
    EXPECT_TRUE(h->form->state.settings.changePending());
    EXPECT_EQ(h->modem.DialFreq(), 7035);
    EXPECT_EQ(h->form->entry->band->currentText(), "40");

    h->comm2.clearRecord();
    h->modem.raiseStatus(1000, 0);
    const std::vector<std::string> reapplied = {
        "PortOpen=0", "CommPort=1",          "Settings=9600, N, 8, 1", "Handshaking=0",
        "PortOpen=1", "CommPort=1 (failed)", "Output=00 35 70 00 0A"};
    EXPECT_EQ(h->comm2.writes(), reapplied);
    EXPECT_FALSE(h->form->state.settings.changePending());

    // Nothing more while the settings stay as they are.
    h->comm2.clearRecord();
    h->modem.raiseStatus(1000, 0);
    EXPECT_TRUE(h->comm2.writes().empty());
}

// A preset that names a frequency in its band is what the button tunes; the band list tunes the
// other bands with the same frames, and every band is in the entry panel's band box.
TEST_F(BandTest, PresetsAndTheBandListTuneLikeTheButtons) {
    startWith({{63, "1"},
               {50, "x"},
               {41, "1"},
               {42, "9600"},
               {43, "8"},
               {44, "N"},
               {45, "1"},
               {46, "040"},
               {47, "074.5"},
               {48, "999"},
               {49, ""}});
    const struct {
        QPushButton* button;
        const char* bytes;
        const char* dial;
    } presets[] = {
        {h->form->radioPanel->forty, "FE FE 04 E0 05 00 00 04 07 FD", "7.040.00"},
        {h->form->radioPanel->twenty, "FE FE 04 E0 05 00 45 07 14 FD", "14.074.50"},
        {h->form->radioPanel->fifteen, "FE FE 04 E0 05 00 00 07 21 FD", "21.070.00"}, // out of band
        {h->form->radioPanel->ten, "FE FE 04 E0 05 00 00 12 28 FD", "28.120.00"}};    // empty
    for (const auto& p : presets) {
        h->comm2.clearRecord();
        QTest::mouseClick(p.button, Qt::LeftButton);
        EXPECT_EQ(hexBytes(h->comm2.written()), p.bytes);
        EXPECT_EQ(h->form->radioPanel->txrxfreq->text().toStdString(), p.dial);
    }
    EXPECT_EQ(h->modem.DialFreq(), 28120);

    QComboBox* list = h->form->radioPanel->bandlist;
    QStringList bands;
    for (int i = 0; i < list->count(); ++i)
        bands << list->itemText(i);
    EXPECT_EQ(bands, QStringList({"160", "80", "60", "40", "30", "20", "17", "15", "12", "10", "6"}));
    h->comm2.clearRecord();
    list->setCurrentText("60");
    emit list->activated(list->currentIndex());
    EXPECT_EQ(hexBytes(h->comm2.written()), "FE FE 04 E0 05 00 70 35 05 FD");
    EXPECT_EQ(h->modem.DialFreq(), 5357);
    EXPECT_EQ(h->form->entry->band->currentText(), "60");
    EXPECT_EQ(readSettings(h->file("tavrel.ini"))[50], "60");
    QTest::mouseClick(h->form->radioPanel->forty, Qt::LeftButton);
    EXPECT_EQ(list->currentText(), "40");
}

TEST_F(BandTest, RadioControlOffHidesTheBandButtonsAndShowsThePresetsAfterTheNextStatusEvent) {
    startWith({{40, "No"}});
    EXPECT_TRUE(h->form->state.settings.changePending()); // the band restore of item 50 "20"
    h->modem.raiseStatus(1200, 0);
    EXPECT_TRUE(radioControlsHidden());
    EXPECT_TRUE(visible(h->form->presets));
    EXPECT_EQ(h->modem.DialFreq(), 0);
}

TEST_F(BandTest, RadioControlOnShowsTheBandButtonsAfterTheNextStatusEvent) {
    startWith({});
    // Start-up hides Frame7 among its pop-ups and leaves the panel switch to the status event.
    EXPECT_FALSE(visible(h->form->presets));
    h->modem.raiseStatus(1200, 0);
    EXPECT_TRUE(radioControlsShown());
    EXPECT_FALSE(visible(h->form->presets));
    EXPECT_EQ(h->modem.DialFreq(), 14070);

    // Switching radio control off and re-applying swaps the panels.
    SettingsList s = readSettings(h->file("tavrel.ini"));
    s[Item::RadioControl] = "No";
    ASSERT_EQ(h->form->state.settings.save(s), std::nullopt);
    h->modem.raiseStatus(1200, 0);
    EXPECT_TRUE(radioControlsHidden());
    EXPECT_TRUE(visible(h->form->presets));
    EXPECT_EQ(h->modem.DialFreq(), 0);
}

TEST_F(BandTest, HiddenBandButtonsStillRestoreTheBandAtStartup) {
    startWith({{40, "No"}, {50, "15"}, {63, "1"}, {41, "2"}, {42, "4800"}, {43, "8"}, {44, "N"}, {45, "2"}});
    EXPECT_EQ(hexBytes(h->comm2.written()), "FE FE 04 E0 05 00 00 07 21 FD");
    EXPECT_EQ(h->form->state.currentBand, "15");
}

TEST_F(BandTest, NoValidBandRestoresNothingAndNoReapplyFollows) {
    startWith({{40, "No"}, {50, "11"}, {63, "1"}, {41, "1"}, {42, "9600"}, {43, "8"}, {44, "N"}, {45, "1"}});
    EXPECT_FALSE(h->form->state.settings.changePending());
    EXPECT_TRUE(h->comm2.written().empty());
    EXPECT_EQ(h->form->state.currentBand, "11");
    h->modem.clearCalls();
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->modem.countCalls("StartModem"), 0);
    // Hidden by start-up step 20, then Frame7 among the pop-ups: neither shows.
    EXPECT_TRUE(radioControlsHidden());
    EXPECT_FALSE(visible(h->form->presets));
}

} // namespace
