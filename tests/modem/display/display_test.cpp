// The modem display: frequency mapping, clicks that tune, the waterfall ring, and the real modem
// taking a click as its receive frequency.

#include "../ModemTestSupport.h"
#include "modem/display/ModemDisplay.h"
#include "support/FormHarness.h"

#include <QSignalSpy>
#include <QTest>
#include <gtest/gtest.h>

using namespace tavrel;
using namespace tavrel::testing;

namespace {

class DisplayTest : public ::testing::Test {
protected:
    void SetUp() override {
        testApplication();
        owned = std::make_unique<ModemDisplay>();
        owned->resize(600, 200);
        owned->setRange(500, 2500);
        owned->show();
    }
    // A frame with noise at -100 dB and a strong peak at one frequency.
    std::vector<float> frame(int bins, double lowHz, double highHz, double peakHz) {
        std::vector<float> db(static_cast<std::size_t>(bins), -100.0f);
        const int b = static_cast<int>((peakHz - lowHz) / (highHz - lowHz) * bins);
        db[static_cast<std::size_t>(b)] = -20.0f;
        return db;
    }
    std::unique_ptr<ModemDisplay> owned;
    ModemDisplay& display() { return *owned; }
};

TEST_F(DisplayTest, PixelsAndFrequenciesMapBothWays) {
    EXPECT_NEAR(display().frequencyAt(0), 500.0, 2.0);
    EXPECT_NEAR(display().frequencyAt(599), 2500.0, 2.0);
    for (int x : {0, 17, 300, 599})
        EXPECT_EQ(display().xOf(display().frequencyAt(x)), x);
}

TEST_F(DisplayTest, ClicksTuneTheReceiverOrTheTransmitterOnFrequencyDisplaysOnly) {
    QSignalSpy rx(&display(), &ModemDisplay::tuneClicked);
    QSignalSpy tx(&display(), &ModemDisplay::txClicked);
    QTest::mouseClick(&display(), Qt::LeftButton, {}, QPoint(150, 100));
    ASSERT_EQ(rx.count(), 1);
    EXPECT_NEAR(rx.first().at(0).toDouble(), 1000.0, 4.0);
    QTest::mouseClick(&display(), Qt::RightButton, {}, QPoint(450, 100));
    ASSERT_EQ(tx.count(), 1);
    EXPECT_NEAR(tx.first().at(0).toDouble(), 2000.0, 4.0);
    for (int kind : {2, 3}) {
        display().setKind(kind);
        QTest::mouseClick(&display(), Qt::LeftButton, {}, QPoint(150, 100));
    }
    EXPECT_EQ(rx.count(), 1); // raw input and the scope have no frequency axis
}

TEST_F(DisplayTest, TheWaterfallShowsTheNewestFrameOnTopInThePalettesColours) {
    display().setKind(1);
    const auto a = frame(600, 500, 2500, 1000);
    for (int i = 0; i < 10; ++i) // let the noise floor settle
        display().addSpectrum(a.data(), 600, 500, 2500);
    const auto b = frame(600, 500, 2500, 2000);
    display().addSpectrum(b.data(), 600, 500, 2500);
    const QImage img = display().waterfallImage();
    const Palette& colours = display().colours();
    const auto at = [&](int x, int row) { return img.pixel(x, row) & 0xffffffu; };
    EXPECT_EQ(at(display().xOf(2000), 0), colours[255]); // newest row: the peak at 2000 Hz
    EXPECT_EQ(at(display().xOf(1000), 0), colours[display().levelOf(-100.0f)]);
    EXPECT_EQ(at(display().xOf(1000), 1), colours[255]); // the row before: the peak at 1000 Hz
    EXPECT_EQ(at(display().xOf(1500), 1), colours[display().levelOf(-100.0f)]);
    EXPECT_LT(display().levelOf(-100.0f), 40);

    Palette red{};
    red.fill(0xff0000u);
    display().setColours(red);
    display().addSpectrum(b.data(), 600, 500, 2500);
    EXPECT_EQ(display().waterfallImage().pixel(10, 0) & 0xffffffu, 0xff0000u);
}

TEST_F(DisplayTest, TheCarpetSpansItsOwnFramesAroundTheReceiveFrequency) {
    display().setKind(4);
    const auto a = frame(600, 1100, 1300, 1230);
    display().addSpectrum(a.data(), 600, 1100, 1300);
    EXPECT_NEAR(display().frequencyAt(0), 1100.0, 1.0);
    EXPECT_NEAR(display().frequencyAt(599), 1300.0, 1.0);
    QSignalSpy rx(&display(), &ModemDisplay::tuneClicked);
    QTest::mouseClick(&display(), Qt::LeftButton, {}, QPoint(display().xOf(1230), 100));
    ASSERT_EQ(rx.count(), 1);
    EXPECT_NEAR(rx.first().at(0).toDouble(), 1230.0, 1.0);
}

TEST_F(DisplayTest, AClickOnTheModemsDisplayIsTheNextStatusFrequencySnappedWithinTheSearchRange) {
    PskModem modem(PskModem::Options{4.0, pskAudio(std::string(40, 'e'), 1530.0), {}});
    auto* d = static_cast<ModemDisplay*>(modem.displayWidget());
    d->resize(600, 150);
    d->show();
    modem.SetDisplayRange(0, 3000);
    modem.StartModem(-1, 0);
    ModemLog log(modem);
    runFor(1000); // two seconds of signal in the search's memory
    const int x = d->xOf(1700.0);
    QTest::mouseClick(d, Qt::LeftButton, {}, QPoint(x, 80));
    const int clicked = static_cast<int>(std::lround(d->frequencyAt(x)));
    EXPECT_EQ(modem.RxFreq(), clicked); // at once, before the audio thread has taken it
    const std::size_t seen = log.statusFreqs.size();
    ASSERT_TRUE(runUntil([&] { return log.statusFreqs.size() > seen; }, 2000));
    EXPECT_EQ(log.statusFreqs[seen], clicked);
    QTest::mouseClick(d, Qt::RightButton, {}, QPoint(d->xOf(900.0), 80));
    EXPECT_NEAR(modem.TxFreq(), 900, 5);

    modem.setSearchRange(50);
    QTest::mouseClick(d, Qt::LeftButton, {}, QPoint(d->xOf(1500.0), 80));
    ASSERT_TRUE(runUntil([&] { return std::abs(modem.RxFreq() - 1530) <= 3; }, 2000)) << modem.RxFreq();
}

TEST_F(DisplayTest, EveryKindReceivesDataFromTheRunningModem) {
    PskModem modem(PskModem::Options{4.0, pskAudio(std::string(60, 'e'), 1200.0), {}});
    auto* d = static_cast<ModemDisplay*>(modem.displayWidget());
    d->resize(400, 120);
    d->show();
    modem.setRxFreq(1200);
    modem.StartModem(-1, 0);
    runFor(700);
    for (int kind : {0, 1, 2, 3, 4}) {
        SCOPED_TRACE(kind);
        modem.setDisplayType(kind);
        EXPECT_EQ(d->kind(), kind);
        const QImage before = d->grab().toImage();
        runFor(400);
        EXPECT_NE(d->grab().toImage(), before); // something new was drawn
    }
}

TEST_F(DisplayTest, SoundAndPaletteTroublesShowOnTheDisplay) {
    TempDir dir;
    PskModem modem(PskModem::Options{1.0, {}, {}});
    auto* d = static_cast<ModemDisplay*>(modem.displayWidget());
    modem.LoadPalette((dir.path / "spectrum.col").string());
    EXPECT_EQ(d->message(), "spectrum.col not found: built-in colours");
    modem.StartModem(-1, 0);
    ASSERT_TRUE(runUntil([&] { return !modem.audioStatus().isEmpty(); }, 2000));
    EXPECT_EQ(d->message(), "Sound card off: silent input  |  spectrum.col not found: built-in colours");
}

} // namespace
