// Every control the program's logic names is on the main window, with its caption.

#include "core/Controls.h"
#include "support/FormHarness.h"

#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QMenu>
#include <QSlider>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

struct Named {
    const char* name;
    const char* caption; // nullptr: the caption is not fixed
};

const Named kControls[] = {
    // Receive and transmit
    {"txtRXData", nullptr}, {"txtrxdata1", ""}, {"clearrx", nullptr}, {"txtTXData", ""},
    {"Label52", "Receive"}, {"Label53", "Transmit"}, {"tune", "Tune"}, {"abort", "Abort"},
    {"cleartx", "Clear"}, {"txfr", "TX bytes remaining"}, {"txtit", "TX Bytes Remaining"}, {"tx", nullptr},
    // QSO buttons and macros
    {"cq", "CQ"}, {"answer", " Answer"}, {"tover", "T/Over"}, {"report", "Report"}, {"qth", "QTH"},
    {"stn", "Station"}, {"qsl", "QSL Info"}, {"weather", "Weather"}, {"endqb", "End QSO"}, {"btu", "BTU"},
    {"mtext1", nullptr}, {"mtext2", nullptr}, {"mtext3", nullptr}, {"mtext4", nullptr}, {"mtext5", nullptr},
    {"mtext6", nullptr}, {"Command9", "A"}, {"Frame5", nullptr}, {"macrotext", nullptr}, {"Command7", "OK"},
    {"Command8", "Cancel"}, {"Frame6", nullptr}, {"Text4", nullptr}, {"Label48", "Button Caption"},
    // Status
    {"Label15", "RX Frequency"}, {"Label16", nullptr}, {"Label19", "TX Frequency"}, {"Label20", nullptr},
    {"Label49", nullptr}, {"Label2", "S"}, {"sig", nullptr}, {"Label25", "IMD"}, {"lblimd", nullptr},
    {"Label27", "dB"}, {"Check1", nullptr}, {"Label21", "Net"},
    {"Shape1", nullptr}, {"Shape6", nullptr}, {"Shape11", nullptr},
    // Entry panel, capture and lookup
    {"zizoro", "PSK Log"}, {"hiscall", ""}, {"hisname", ""}, {"qtht", ""}, {"locator", ""},
    {"hisrst", "579"}, {"myrst", "579"}, {"start", ""}, {"endt", ""}, {"dat", ""}, {"notes", ""},
    {"band", "20"}, {"qno", nullptr}, {"editlog", "Log Entry"}, {"clearlog", "Clear"},
    {"log", "Display Log"}, {"bu", "B/U Log"}, {"Textclick", ""}, {"testclicktitle", "RX Screen to PSK Log"},
    {"Frame3", "Log Enquiry Results"}, {"qsotot", nullptr}, {"scall", ""}, {"sname", ""}, {"sqth", ""},
    {"slocator", ""}, {"slist", ""}, {"Command1", "Send details to PSK Log"},
    {"Label26", "Total prev QSO's"},
    // Log view
    {"Frame4", nullptr}, {"logview", nullptr}, {"Command3", "Close Log"}, {"Command6", "Export to ADIF format"},
    // Station information
    {"Label43", "Prefix"}, {"Label33", " "}, {"Label42", "Country"}, {"Label38", " "}, {"Label39", nullptr},
    {"Label46", "Heading"}, {"Label40", " "}, {"Label44", "Range"}, {"Label41", " "}, {"label45", "km"},
    // Radio
    {"Frame2", nullptr}, {"txrxfreq", "14.070.15"}, {"Label47", nullptr}, {"txrxusb", "USB"},
    {"txrxlsb", "LSB"}, {"txrxrec", "RECV"}, {"txrxtx", "XMIT"}, {"Label18", "Radio Band Set"},
    {"forty", "40"}, {"twenty", "20"}, {"fifteen", "15"}, {"ten", "10"},
    // Receiver controls
    {"display", "Display"}, {"displayt", "Waterfall"}, {"modesel", "Mode"}, {"Squelch", "Squelch Level"},
    {"Frame1", "Squelch Speed"}, {"sqlset", "Slow"}, {"squelchspeed", nullptr}, {"sqlmode", "1"},
    {"sqlspeed", "Fast               Slow"}, {"Slider1", nullptr}, {"Slider2", nullptr},
    {"Label22", "AFC Limit"}, {"Label23", nullptr}, {"Slider3", nullptr}, {"Label24", "RX Search Range"},
    {"Slider4", nullptr}, {"scrollstop", nullptr}, {"txfocus", "Foc."},
    // Audio presets
    {"Frame7", nullptr}, {"Command10", nullptr}, {"Command11", nullptr}, {"Command12", nullptr},
    {"Command13", nullptr}, {"Command14", nullptr}, {"Command15", "Net"}, {"Label50", "1200"},
    {"Label51", "1200"}, {"Frame8", nullptr}, {"Label54", "Enter audio preset"}, {"Text5", ""},
    {"Command16", "OK"}, {"Command17", "Cancel"}, {"Command2", ""}, {"Frame9", nullptr},
    {"Label55", "RePlay"},
    // Backup reminder
    {"bup", "Please back up your log and setting files"},
    {"Text1", "You have not backed up your PSK Log or user settings for ten days"},
    {"insdisk", "Please insert disk"},
    {"Text2", "Plug in a USB stick or another removable medium \nand click \n\"Back up now\""},
    {"Command4", "Back up now"}, {"Command5", "Cancel"},
    // The modem component's display
    {"PskModem1", nullptr},
};

class Inventory : public ::testing::Test {
protected:
    void SetUp() override { testApplication(); }
};

TEST_F(Inventory, EveryNamedControlExistsOnceWithItsCaption) {
    FormHarness h;
    for (const Named& c : kControls) {
        const auto found = h.form->findChildren<QWidget*>(QString::fromLatin1(c.name));
        ASSERT_EQ(found.size(), 1) << c.name;
        if (c.caption) {
            EXPECT_EQ(caption(found.front()), QString::fromUtf8(c.caption)) << c.name;
        }
    }
}

TEST_F(Inventory, SlidersAndListsHaveTheirRanges) {
    FormHarness h;
    struct Range { const char* name; int min, max, value; };
    for (const Range& r : {Range{"Slider1", 0, 100, 50}, Range{"Slider2", 0, 1000, 50}, Range{"Slider3", 0, 50, 0},
                           Range{"Slider4", -1000, 1000, 0}, Range{"squelchspeed", 10, 200, 10}}) {
        auto* s = h.control<QSlider>(r.name);
        ASSERT_NE(s, nullptr) << r.name;
        EXPECT_EQ(s->minimum(), r.min) << r.name;
        EXPECT_EQ(s->maximum(), r.max) << r.name;
        EXPECT_EQ(s->value(), r.value) << r.name;
    }
    EXPECT_EQ(h.control<QSlider>("Slider2")->pageStep(), 100);
    EXPECT_EQ(h.control<QSlider>("Slider4")->orientation(), Qt::Vertical);
    auto items = [](QComboBox* c) {
        QStringList l;
        for (int i = 0; i < c->count(); ++i) l << c->itemText(i);
        return l;
    };
    EXPECT_EQ(items(h.control<QComboBox>("sqlset")), QStringList({"Fast", "Slow", "Variable"}));
    EXPECT_EQ(items(h.control<QComboBox>("band")),
              QStringList({"6", "10", "12", "15", "17", "20", "30", "40", "60", "80", "160"}));
    EXPECT_TRUE(h.control<QCheckBox>("Check1")->isChecked());
}

TEST_F(Inventory, PopupsAndSecondIndicatorsStartHidden) {
    FormHarness h;
    h.form->show();
    for (const char* name : {"Frame4", "Frame5", "Frame6", "Frame7", "Frame8", "bup", "Textclick",
                             "testclicktitle", "Label39", "Label53", "txrxtx", "txfr"})
        EXPECT_FALSE(h.control(name)->isVisible()) << name;
    for (const char* name : {"Label52", "txrxrec", "Frame2", "zizoro", "Frame3", "txtRXData"})
        EXPECT_TRUE(h.control(name)->isVisible()) << name;
}

TEST_F(Inventory, MenuBarCaptionsAndShortcuts) {
    FormHarness h;
    auto* bar = h.form->menuBar();
    QStringList captions;
    for (QAction* a : bar->actions()) captions << a->text();
    QStringList expected = {"Settings", "Radio Settings"};
    for (int i = 0; i < 10; ++i) expected << QString();
    expected << "Utilities" + QString(55, ' ') << "About";
    EXPECT_EQ(captions, expected);
    EXPECT_EQ(expected[12].size(), 64);
    struct Item { const char* name; const char* text; const char* key; };
    for (const Item& i : {Item{"mnusettings", "User Settings", "Ctrl+U"}, Item{"txlev", "TX Level", "Ctrl+T"},
                          Item{"rxlev", "RX Level", "Ctrl+R"}, Item{"np", "Note Pad", "Ctrl+N"},
                          Item{"gl", "Grey Line Map", "Ctrl+G"}, Item{"xport", "Export ZIZoro to ADIF", "Ctrl+X"},
                          Item{"mnuabout", "About", ""}, Item{"radio", "Radio Settings", ""}}) {
        auto* a = h.form->findChild<QAction*>(i.name);
        ASSERT_NE(a, nullptr) << i.name;
        EXPECT_EQ(a->text(), i.text);
        EXPECT_EQ(a->shortcut(), QKeySequence(i.key)) << i.name;
    }
    EXPECT_FALSE(h.form->findChild<QAction*>("gl")->isVisible());
    EXPECT_EQ(h.form->findChild<QMenu*>("sclev")->title(), "Sound Card Levels");
}

} // namespace
