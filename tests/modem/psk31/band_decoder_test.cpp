#include "modem/psk31/BandDecoder.h"
#include "modem/psk31/HfChannel.h"
#include "modem/psk31/SignalKit.h"

#include <gtest/gtest.h>

#include <cmath>
#include <map>

using namespace tavrel::psk31;

namespace {

struct Heard {
    double hz = 0.0;
    std::string text;
};

// Runs the band decoder over the audio; what each channel decoded, by channel.
std::map<uint32_t, Heard> browse(const std::vector<float>& audio, Mode mode,
                                 std::size_t* liveAtEnd = nullptr) {
    BandDecoder band;
    band.setMode(mode);
    band.setRange(300, 2500);
    std::vector<BandDecoder::Report> reports;
    std::map<uint32_t, Heard> heard;
    for (std::size_t i = 0; i < audio.size(); i += 400) {
        band.process(audio.data() + i, std::min<std::size_t>(400, audio.size() - i));
        const std::size_t n = band.take(reports);
        for (std::size_t r = 0; r < n; ++r) {
            heard[reports[r].id].hz = reports[r].hz;
            heard[reports[r].id].text += reports[r].text;
        }
    }
    if (liveAtEnd) *liveAtEnd = band.channelCount();
    return heard;
}

double cer(const std::string& sent, const std::string& got) {
    return static_cast<double>(kit::editDistance(sent, got)) / static_cast<double>(sent.size());
}

} // namespace

TEST(BandDecoder, EightStationsEachDecodeAsWellAsAReceiverTunedToThem) {
    // 150 Hz apart, from -10 to +20 dB, the weakest beside the strongest; the 0 dB station at
    // -2 dB SNR in 2500 Hz (the weakest copies with a few errors). Each comes on the air 0.7 s
    // after the one before, so channels start while others run.
    const double levelsDb[] = {-10, 20, -5, 15, 0, 10, 5, -8};
    constexpr std::size_t kQpskStation = 4;
    std::vector<float> audio(28 * 8000, 0.0f);
    std::vector<std::string> texts;
    std::vector<float> reference = kit::transmit("x", Mode::Bpsk, 1000.0, {}, 0, 0);
    const double unitPower = kit::meanPower(reference);
    for (std::size_t s = 0; s < 8; ++s) {
        texts.push_back(kit::englishText(70, 300 + static_cast<uint32_t>(s)));
        const Mode mode = s == kQpskStation ? Mode::QpskUsb : Mode::Bpsk;
        const std::vector<float> station =
            kit::transmit(texts[s], mode, 500.0 + 150.0 * s, {}, 0, 0, 2 * 8000);
        sim::mixIn(audio, station, static_cast<long>(s * 5600), std::pow(10.0, levelsDb[s] / 20.0));
    }
    sim::addWhiteNoise(audio, unitPower, -2.0, kSampleRate, 77);

    for (const Mode mode : {Mode::Bpsk, Mode::QpskUsb}) {
        std::size_t live = 0;
        const std::map<uint32_t, Heard> heard = browse(audio, mode, &live);
        EXPECT_EQ(live, 8u) << "one channel per station, none on the noise";
        // (The stations in the other mode decode to nothing useful and are not read.)
        for (std::size_t s = 0; s < 8; ++s) {
            if ((s == kQpskStation) != isQpsk(mode)) continue;
            const double hz = 500.0 + 150.0 * s;
            std::string got;
            for (const auto& [id, h] : heard)
                if (std::abs(h.hz - hz) < 20.0) got += h.text;
            const kit::RxSetup alone{.mode = mode,
                                     .hz = hz,
                                     .afcLimit = BandDecoder::kChannelAfcHz,
                                     .squelch = BandDecoder::kChannelSquelch};
            Receiver rx;
            rx.setSquelchSpeed(BandDecoder::kChannelSquelchSpeed);
            const std::string single = kit::receive(audio, alone, rx);
            EXPECT_LE(cer(texts[s], got), cer(texts[s], single) + 0.015)
                << "station " << s << " at " << levelsDb[s] << " dB: browser '" << got << "' alone '"
                << single << "'";
        }
    }
}

TEST(BandDecoder, SignalsCloserThan40HzAreOneChannelDroppedAfter30SecondsFaded) {
    std::vector<float> audio(40 * 8000, 0.0f);
    const std::vector<float> a = kit::transmit("", Mode::Bpsk, 1000.0, {}, 0, 0, 4 * 8000),
                             b = kit::transmit("", Mode::Bpsk, 1030.0, {}, 0, 0, 4 * 8000);
    sim::mixIn(audio, a, 0, 1.0);
    sim::mixIn(audio, b, 0, 0.7);
    sim::addWhiteNoise(audio, kit::meanPower(a), 10.0, kSampleRate, 5);
    BandDecoder band;
    const std::size_t silentFrom = a.size();
    for (std::size_t i = 0; i + 400 <= audio.size(); i += 400) {
        band.process(audio.data() + i, 400);
        const double faded = (static_cast<double>(i) - silentFrom) / kSampleRate;
        if (i > 2 * 8000 && faded < 28.0) {
            ASSERT_EQ(band.channelCount(), 1u) << i / 8000.0 << " s";
        }
        if (faded > 32.0) {
            ASSERT_EQ(band.channelCount(), 0u) << i / 8000.0 << " s";
        }
    }
}
