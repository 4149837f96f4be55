// The signal browser in the main window, fed by the modem's band reports.

#include "core/Controls.h"
#include "support/FormHarness.h"

#include <QDockWidget>
#include <QTest>
#include <QToolButton>
#include <gtest/gtest.h>

using namespace tavrel;

TEST(SignalBrowserPanel, ColoursRowsClickTunesDoubleClickWorksTheStationAndTheDockIsRemembered) {
    testApplication();
    FormHarness h;
    h.startup->startup();
    h.form->state.settings[Item::OwnCall] = "G4ABC";
    h.form->show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(h.form.get()));
    QTableWidget* list = h.control<QTableWidget>("browserList");
    QToolButton* lamp = h.control<QToolButton>("browserLamp");
    ASSERT_TRUE(list && lamp);

    h.modem.raiseBand({{4, 1710, 90, "CQ CQ de DL1ABC DL1ABC pse k"},
                       {2, 640, 55, "G4ABC de VK2ABC ur 599"},
                       {9, 1200, 30, "tnx for the nice qso"}});
    ASSERT_EQ(list->rowCount(), 3);
    EXPECT_EQ(list->item(0, SignalBrowser::Hz)->text(), "640");
    EXPECT_EQ(list->item(0, SignalBrowser::Call)->text(), "VK2ABC");
    EXPECT_EQ(list->item(0, SignalBrowser::Text)->background().color(), SignalBrowser::kOursBack);
    EXPECT_EQ(list->item(1, SignalBrowser::Text)->background().style(), Qt::NoBrush);
    EXPECT_EQ(list->item(2, SignalBrowser::Call)->text(), "DL1ABC");
    EXPECT_EQ(list->item(2, SignalBrowser::Level)->text(), "90");
    EXPECT_EQ(list->item(2, SignalBrowser::Text)->background().color(), SignalBrowser::kCqBack);
    EXPECT_EQ(backColour(lamp), colours::orange);

    const QPoint cq = list->visualItemRect(list->item(2, SignalBrowser::Text)).center();
    h.modem.clearCalls();
    QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, cq);
    EXPECT_EQ(h.modem.RxFreq(), 1710);
    EXPECT_EQ(h.form->entry->hiscall->text(), "");
    h.modem.setRxFreq(1000);
    QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, cq);
    EXPECT_EQ(h.modem.RxFreq(), 1710);
    EXPECT_EQ(h.form->entry->hiscall->text(), "DL1ABC");

    // Our call gone from every line: the lamp goes out.
    h.modem.raiseBand({{4, 1710, 90, "xxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxxx"}});
    EXPECT_EQ(list->rowCount(), 1);
    EXPECT_EQ(backColour(lamp), colours::buttonFace());

    // A resize or a close is saved at once; whether it is shown comes back in the next session.
    const auto saved = [&] { return readFile(h.file("layout.ini")); };
    h.form->resize(1400, 1000);
    ASSERT_TRUE(QTest::qWaitFor([&] { return h.form->height() == 1000; }));
    std::string before = saved();
    h.form->resizeDocks({h.form->browserDock}, {300}, Qt::Vertical);
    ASSERT_TRUE(QTest::qWaitFor([&] { return saved() != before; }));
    before = saved();
    h.form->browserDock->close();
    ASSERT_TRUE(QTest::qWaitFor([&] { return saved() != before; }));
    Form1 next(h.dir.path, h.modem, h.comm2);
    next.show();
    EXPECT_FALSE(next.browserDock->isVisible());
}
