// What the main window says after each action, and the transmit queue's count.

#include "app/UserSettingsWindow.h"
#include "logbook/LogFile.h"
#include "support/FormHarness.h"

#include <QStatusBar>
#include <QTest>
#include <functional>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

namespace fs = std::filesystem;

class Feedback : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        h = std::make_unique<FormHarness>();
        h->startSettled({{0, "G4ABC"}, {9, "40"}});
        h->form->show();
        h->form->state.tellOperator = [this](const std::string& t) { told << QString::fromStdString(t); };
        BackupControl& b = *h->form->backupControl;
        b.documentsFolder = h->dir.path / "Documents";
        b.mediaRoots = {h->dir.path / "media"};
        b.mountTable = h->dir.path / "mountinfo";
        writeFile(b.mountTable, "");
        writeFile(h->file("spectrum.col"), "0,0,0\r\n");
        b.askRetry = [](const QString&) { return false; };
        b.tellDone = [](const QString&) {};
    }
    QString statusLine() const { return h->form->statusBar()->currentMessage(); }
    void click(QWidget* w) { QTest::mouseClick(w, Qt::LeftButton); }
    void logContact(const char* call) {
        h->form->entry->hiscall->setText(call);
        click(h->form->entry->editlog);
    }

    std::unique_ptr<FormHarness> h;
    QStringList told;
};

TEST_F(Feedback, EachActionSaysWhatItDidAndWhere) {
    const std::string folder = h->dir.path.string();
    struct Case {
        const char* action;
        std::function<void()> run;
        std::vector<std::string> said;
    };
    const std::vector<Case> cases = {
        {"first contact", [&] { logContact("DL1AAA"); }, {"Contact 1 stored", "DL1AAA"}},
        {"second contact", [&] { logContact("F5BBB"); }, {"Contact 2 stored", "F5BBB"}},
        {"export", [&] { click(h->form->logView->Command6); }, {"2 contacts", folder + "/zizoro.adi"}},
        {"backup", [&] { click(h->form->entry->bu); }, {folder + "/Documents", "20261207.log", "removable"}},
        {"user settings",
         [&] {
             h->form->menu->mnusettings->trigger();
             auto* w = h->form->findChild<UserSettingsWindow*>();
             ASSERT_NE(w, nullptr);
             click(w->Command1);
         },
         {"Settings saved", folder + "/tavrel.ini"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.action);
        h->form->statusBar()->clearMessage();
        c.run();
        for (const std::string& part : c.said)
            EXPECT_TRUE(statusLine().contains(QString::fromStdString(part))) << statusLine().toStdString();
    }
    EXPECT_TRUE(told.isEmpty()) << told.join('\n').toStdString();
}

TEST_F(Feedback, AFailedExportOrStoreClaimsNothing) {
    fs::create_directory(h->file("zizoro.adi"));
    h->form->statusBar()->clearMessage();
    click(h->form->logView->Command6);
    EXPECT_EQ(told.size(), 1);
    EXPECT_TRUE(statusLine().isEmpty()) << statusLine().toStdString();

    fs::remove(h->file("zizoro.tan"));
    fs::create_directory(h->file("zizoro.tan"));
    logContact("DL1AAA");
    EXPECT_FALSE(statusLine().contains("stored")) << statusLine().toStdString();
}

// Typed text waiting for the modem's queue is still to go out; the count's frame keeps its room
// when hidden, so the transmit window does not change size as it comes and goes.
TEST_F(Feedback, TypedTextCountsAsRemainingWithoutMovingTheTransmitWindow) {
    TransmitPanel& t = *h->form->transmit;
    QApplication::processEvents();
    const QRect window = t.txtTXData->geometry();
    h->modem.setPending(3);
    h->modem.raiseTxState(1);
    h->form->state.liveTyping = 1;
    QTest::keyClicks(t.txtTXData, "HELLO");
    h->modem.raiseStatus(1200, 0);
    EXPECT_EQ(t.tx->text(), "8");
    EXPECT_TRUE(t.txfr->isVisibleTo(h->form.get()));
    QApplication::processEvents();
    EXPECT_EQ(t.txtTXData->geometry(), window);
}

} // namespace
