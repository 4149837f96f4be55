// The modem display: frequency mapping, clicks that tune, what each kind draws, and the real modem
// feeding it and taking a click as its receive frequency.

#include "../ModemTestSupport.h"
#include "modem/display/ModemDisplay.h"
#include "support/FormHarness.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>
#include <numeric>

using namespace tavrel;
using namespace tavrel::testing;

namespace {

// 600 by 200 pixels over 500..2500 Hz, in a palette whose blue is the level.
std::unique_ptr<ModemDisplay> display(int kind) {
    testApplication();
    auto d = std::make_unique<ModemDisplay>();
    d->resize(600, 200);
    d->setRange(500, 2500);
    Palette blue;
    std::iota(blue.begin(), blue.end(), 0u);
    d->setColours(blue);
    d->setKind(kind);
    d->show();
    return d;
}

// Noise at -100 dB with a peak of -20 dB at one frequency, over 600 bins.
std::vector<float> frame(double lowHz, double highHz, double peakHz) {
    std::vector<float> db(600, -100.0f);
    db[static_cast<std::size_t>((peakHz - lowHz) / (highHz - lowHz) * 600)] = -20.0f;
    return db;
}

void click(QWidget* w, Qt::MouseButton button, int x) {
    QTest::mouseClick(w, button, {}, QPoint(x, 100));
}

} // namespace

TEST(DisplayTest, ClicksTuneToTheFrequencyUnderThePointerOnFrequencyDisplaysOnly) {
    const auto d = display(1);
    EXPECT_NEAR(d->frequencyAt(0), 500.0, 2.0);
    EXPECT_NEAR(d->frequencyAt(599), 2500.0, 2.0);
    for (int x : {0, 17, 300, 599})
        EXPECT_EQ(d->xOf(d->frequencyAt(x)), x);
    QSignalSpy rx(d.get(), &ModemDisplay::tuneClicked), tx(d.get(), &ModemDisplay::txClicked);
    click(d.get(), Qt::LeftButton, 150);
    click(d.get(), Qt::RightButton, 450);
    ASSERT_EQ(rx.count(), 1);
    ASSERT_EQ(tx.count(), 1);
    EXPECT_NEAR(rx.first().at(0).toDouble(), 1000.0, 4.0);
    EXPECT_NEAR(tx.first().at(0).toDouble(), 2000.0, 4.0);
    for (int kind : {2, 3}) { // raw input and the scope have no frequency axis
        d->setKind(kind);
        click(d.get(), Qt::LeftButton, 150);
    }
    EXPECT_EQ(rx.count(), 1);
    d->setKind(4); // the carpet spans its own frames, around the receive frequency
    const auto near = frame(1100, 1300, 1230);
    d->addSpectrum(near.data(), 600, 1100, 1300);
    click(d.get(), Qt::LeftButton, d->xOf(1230));
    EXPECT_NEAR(rx.last().at(0).toDouble(), 1230.0, 1.0);
}

TEST(DisplayTest, WaterfallAndCarpetShowTheNewestFrameOnTop) {
    for (int kind : {1, 4}) {
        const auto d = display(kind);
        const auto a = frame(500, 2500, 1000), b = frame(500, 2500, 2000);
        for (int i = 0; i < 10; ++i) // lets the noise floor settle
            d->addSpectrum(a.data(), 600, 500, 2500);
        d->addSpectrum(b.data(), 600, 500, 2500);
        const QImage img = d->waterfallImage();
        const auto level = [&](double hz, int row) { return qBlue(img.pixel(d->xOf(hz), row)); };
        EXPECT_EQ(level(2000, 0), 255) << kind;
        EXPECT_EQ(level(1000, 0), d->levelOf(-100.0f)) << kind;
        EXPECT_EQ(level(1000, 1), 255) << kind; // the frame before
        EXPECT_LT(d->levelOf(-100.0f), 40);
        // The receive frequency: a yellow pointer in the scale and a tick below it.
        d->setMarkers(1000, 2000);
        const QImage shown = d->grab().toImage();
        const int top = ModemDisplay::kScaleHeight;
        EXPECT_EQ(shown.pixel(d->xOf(1000), 2) & 0xffffffu, 0xffe600u) << kind;
        EXPECT_EQ(shown.pixel(d->xOf(1000), top + 8) & 0xffffffu, 0xffe600u) << kind;
    }
}

TEST(DisplayTest, RawInputAndTheScopeAreDrawnToScale) {
    const auto d = display(2);
    const int mid = (200 + ModemDisplay::kScaleHeight) / 2, half = (200 - ModemDisplay::kScaleHeight) / 2 - 2;
    const auto drawn = [&](int row) { // the columns of a row in the waveform's colour
        const QImage img = d->grab().toImage();
        std::vector<int> xs;
        for (int x = 0; x < 600; ++x)
            if ((img.pixel(x, row) & 0xffffffu) == 200u) xs.push_back(x);
        return xs.empty() ? std::pair{-1, -1} : std::pair{xs.front(), xs.back()};
    };
    d->showRaw({0.0f, 1.0f, 0.0f});
    EXPECT_NEAR(drawn(mid - half).first, 300, 5); // the peak in the middle, at full height
    EXPECT_NEAR(drawn(mid - half).second, 300, 5);
    d->showRaw({1.0f, -1.0f});
    EXPECT_EQ(drawn(mid + half).second, 599); // across the whole width, to the last column
    // The scope: older phase changes fainter, the newest with a line from the centre, on the axes.
    d->setKind(3);
    d->showPhases({-1.0f, 0.0f, 1.0f, 0.0f}, 80);
    const QImage img = d->grab().toImage();
    const int r = (200 - ModemDisplay::kScaleHeight) / 2 - 6;
    EXPECT_EQ(qBlue(img.pixel(300 + r * 9 / 10, mid)), 255);
    EXPECT_EQ(qBlue(img.pixel(300 - r * 9 / 10, mid)), 60 + 195 / 2);
    EXPECT_EQ(qBlue(img.pixel(300 + r / 2, mid)), 255);
    EXPECT_GT(qGray(img.pixel(299, mid + r / 2)) + qGray(img.pixel(300, mid + r / 2)), 0);
}

TEST(DisplayTest, TheRunningModemDrawsEveryKindAndTakesAClickAsItsFrequency) {
    testApplication();
    TempDir dir;
    PskModem modem(PskModem::Options{4.0, pskAudio(std::string(100, 'e'), 1530.0), {}});
    auto* d = static_cast<ModemDisplay*>(modem.displayWidget());
    d->resize(600, 150);
    d->show();
    modem.SetDisplayRange(0, 3000);
    modem.setSearchRange(50);
    modem.LoadPalette((dir.path / "spectrum.col").string());
    modem.StartModem(-1, 0);
    ModemLog log(modem);
    runFor(700);
    for (int kind : {0, 1, 2, 3, 4}) {
        modem.setDisplayType(kind);
        EXPECT_EQ(d->kind(), kind);
        const QImage before = d->grab().toImage();
        runFor(400);
        EXPECT_NE(d->grab().toImage(), before) << kind; // something new was drawn
    }
    EXPECT_EQ(d->message(), "Sound card off: silent input  |  spectrum.col not found: built-in colours");
    click(d, Qt::LeftButton, d->xOf(1500.0)); // a signal 30 Hz away: the search snaps to it
    EXPECT_TRUE(runUntil(
        [&] { return !log.statusFreqs.empty() && std::abs(log.statusFreqs.back() - 1530) <= 3; }, 2000));
    click(d, Qt::RightButton, d->xOf(900.0));
    EXPECT_NEAR(modem.TxFreq(), 900, 5);
}
