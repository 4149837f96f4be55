// The main window with a Hamlib rig: Hamlib's dummy rig in process, and a real rigctld started
// here and driven with rigctl from outside.

#include "radio/HamlibRig.h"
#include "radio/widgets/RadioControl.h"
#include "radio/widgets/RigControl.h"
#include "support/FormHarness.h"
#include "support/Rigctld.h"

#include <QStatusBar>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

class HamlibWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
    }
    void startWith(std::initializer_list<std::pair<int, std::string>> items) {
        SettingsList s = defaultSettings();
        for (const auto& [i, v] : items)
            s[static_cast<size_t>(i)] = v;
        ASSERT_EQ(writeSettings(h->file("tavrel.ini"), s), std::nullopt);
        h->startup->startup();
    }
    RigControl& rig() { return h->form->radioControl->rig(); }
    QString rigStatus() { return h->control<QLabel>("rigstatus")->text(); }
    bool waitFor(const std::function<bool()>& pred) { return QTest::qWaitFor(pred, 15000); }
    std::unique_ptr<FormHarness> h;
};

// The dummy rig as made by the window, reachable from the test as the worker uses it.
struct DummyHandle {
    std::mutex m;
    HamlibRig* rig = nullptr;
    uint64_t hz() {
        std::lock_guard lock(m);
        uint64_t f = 0;
        return rig && rig->readFrequency(f) ? f : 0;
    }
    RigMode mode() {
        std::lock_guard lock(m);
        RigMode mode = RigMode::Other;
        if (rig) rig->readMode(mode);
        return mode;
    }
    bool keyed() {
        std::lock_guard lock(m);
        bool on = false;
        return rig && rig->readPtt(on) && on;
    }
};

TEST_F(HamlibWindowTest, DummyRigFollowsTheBandButtonsAndThePanelFollowsTheRig) {
    auto dummy = std::make_shared<DummyHandle>();
    rig().useRigs(
        [dummy](const RigConfig& c) {
            auto r = std::make_unique<HamlibRig>(c);
            std::lock_guard lock(dummy->m);
            dummy->rig = r.get();
            return r;
        },
        RigTiming{200, 300, 3000});
    startWith({{63, "4"}, {64, "1"}, {50, "40"}, {65, "1"}, {27, "4"}, {41, "1"}});
    ASSERT_TRUE(waitFor([&] { return rig().reading() && rig().reading()->hz == 7'035'000; }));
    EXPECT_EQ(dummy->mode(), RigMode::UsbData);
    EXPECT_TRUE(h->comm2.writes().empty()); // the CAT port is Hamlib's
    EXPECT_EQ(rigStatus(), "");

    QTest::mouseClick(h->form->radioPanel->twenty, Qt::LeftButton);
    // The read-back comes once the tune (frequency, then mode) is done.
    ASSERT_TRUE(waitFor([&] { return rig().reading() && rig().reading()->hz == 14'070'000; }));
    EXPECT_EQ(dummy->hz(), 14'070'000u);
    EXPECT_EQ(h->form->entry->band->currentText(), "20");

    // The dial turned on the rig: the modem's dial, the indicators and the band follow; the band
    // is not saved for it.
    {
        std::lock_guard lock(dummy->m);
        ASSERT_TRUE(dummy->rig->setFrequency(3'573'000));
        ASSERT_TRUE(dummy->rig->setMode(RigMode::Lsb));
    }
    ASSERT_TRUE(waitFor([&] { return h->modem.DialFreq() == 3573; }));
    EXPECT_EQ(h->form->entry->band->currentText(), "80");
    EXPECT_EQ(h->form->radioPanel->bandlist->currentText(), "80");
    EXPECT_TRUE(h->form->radioPanel->txrxlsb->isVisibleTo(h->form.get()));
    EXPECT_FALSE(h->form->radioPanel->txrxusb->isVisibleTo(h->form.get()));
    EXPECT_EQ(readSettings(h->file("tavrel.ini"))[50], "20");

    for (int state : {1, 0}) {
        h->modem.raiseTxState(state);
        EXPECT_TRUE(waitFor([&] { return dummy->keyed() == (state == 1); })) << state;
    }

    // The re-apply that follows the band save leaves the rig where it is and keeps its band.
    ASSERT_TRUE(h->form->state.settings.changePending());
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->form->entry->band->currentText(), "80");
    QTest::qWait(500);
    EXPECT_EQ(dummy->hz(), 3'573'000u);
    EXPECT_EQ(h->modem.DialFreq(), 3573);
    h->modem.raiseStatus(1200, 0); // on the lower sideband the audio lies below the dial
    EXPECT_EQ(h->form->radioPanel->txrxfreq->text(), "3,571,800");
}

// A rig that cannot be reached is told in the status line; the buttons go on working.
TEST_F(HamlibWindowTest, RigThatCannotBeReachedIsToldInTheStatusLine) {
    const struct {
        const char* model;
        const char* port;
        const char* status;
    } cases[] = {{"", "1", "no Hamlib rig model chosen"},
                 {"3073", "/dev/tavrel-no-such-tty", "rig not responding: "},
                 {"2", "127.0.0.1:1", "rig not responding: "}};
    for (const auto& c : cases) {
        SCOPED_TRACE(c.model);
        h = std::make_unique<FormHarness>();
        startWith({{63, "4"}, {64, c.model}, {41, c.port}, {50, "20"}});
        QLabel* label = h->control<QLabel>("rigstatus");
        ASSERT_NE(label, nullptr);
        EXPECT_EQ(label->parentWidget(), h->form->statusBar());
        EXPECT_TRUE(waitFor([&] { return label->text().startsWith(c.status); }))
            << label->text().toStdString();
        QTest::mouseClick(h->form->radioPanel->forty, Qt::LeftButton);
        EXPECT_EQ(h->form->entry->band->currentText(), "40");
        EXPECT_EQ(h->modem.DialFreq(), 7035);
    }
}

// The window against a real rigctld: the band restore tunes it, rigctl's changes show, a rigctld
// that goes away is told and a rigctld that comes back gets the band asked for meanwhile.
TEST_F(HamlibWindowTest, RigctldOnALocalPort) {
    Rigctld d;
    ASSERT_TRUE(d.start()) << "rigctld (Debian's libhamlib-utils) did not start";
    rig().useRigs({}, RigTiming{300, 500, 3000});
    startWith({{63, "4"}, {64, "2"}, {41, d.address()}, {50, "15"}, {27, "4"}});
    EXPECT_TRUE(waitFor([&] { return d.rigctl({"f"}) == "21070000"; })) << d.rigctl({"f"}).toStdString();

    ASSERT_EQ(d.rigctl({"F", "7074000"}), "");
    ASSERT_TRUE(waitFor([&] { return h->modem.DialFreq() == 7074; }));
    EXPECT_EQ(h->form->entry->band->currentText(), "40");
    h->modem.raiseStatus(1200, 0); // the re-apply after start-up's band save keeps the rig's band
    EXPECT_EQ(h->form->entry->band->currentText(), "40");
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(h->form->radioPanel->txrxfreq->text(), "7,075,200");

    h->modem.raiseTxState(1);
    EXPECT_TRUE(waitFor([&] { return d.rigctl({"t"}) == "1"; }));
    h->modem.raiseTxState(0);
    EXPECT_TRUE(waitFor([&] { return d.rigctl({"t"}) == "0"; }));

    d.stop();
    ASSERT_TRUE(waitFor([&] { return rigStatus().startsWith("rig not responding"); }));
    QTest::mouseClick(h->form->radioPanel->ten, Qt::LeftButton);
    EXPECT_EQ(h->form->entry->band->currentText(), "10");

    ASSERT_TRUE(d.start());
    EXPECT_TRUE(waitFor([&] { return rigStatus().isEmpty(); })) << rigStatus().toStdString();
    EXPECT_TRUE(waitFor([&] { return d.rigctl({"f"}) == "28120000"; })) << d.rigctl({"f"}).toStdString();
}

} // namespace
