#include "Psk31Tool.h"
#include "modem/psk31/SignalKit.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <algorithm>
#include <sstream>

using namespace tavrel::psk31;

namespace {

struct Result {
    int code;
    std::string out, err;
};

Result run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = runPsk31Tool(args, out, err);
    return {code, out.str(), err.str()};
}

void writeSound(const std::string& file, int format, int rate, int channels,
                const std::vector<float>& frames) {
    SF_INFO info{0, rate, channels, format | SF_FORMAT_PCM_16, 0, 0};
    SNDFILE* f = sf_open(file.c_str(), SFM_WRITE, &info);
    ASSERT_NE(f, nullptr) << sf_strerror(nullptr);
    sf_writef_float(f, frames.data(), static_cast<sf_count_t>(frames.size() / channels));
    sf_close(f);
}

} // namespace

// A file at 16000 samples/s, whose FLAC header claims 2^36 samples (a quarter of a terabyte as
// floats) for a few seconds of audio: it is resampled, the search finds the signal, and the memory
// the decode takes follows its block, not the length claimed.
TEST(ToolTest, FileAtAnotherRateWithAHeaderClaimingFarMoreDecodesWhatItHolds) {
    tavrel::TempDir dir;
    const std::vector<float> audio = kit::transmit("resampled ok", Mode::Bpsk, 1510.0, {}, 0, 256);
    std::vector<float> doubled; // linear interpolation: its images lie far above the signal
    for (std::size_t i = 0; i + 1 < audio.size(); ++i)
        doubled.insert(doubled.end(), {audio[i], 0.5f * (audio[i] + audio[i + 1])});
    const std::string flac = (dir.path / "a.flac").string();
    writeSound(flac, SF_FORMAT_FLAC, 16000, 1, doubled);
    // The 36-bit sample count of STREAMINFO: the low half of its byte 13 and bytes 14 to 17.
    std::string bytes = tavrel::readFile(flac);
    ASSERT_GT(bytes.size(), 26u);
    bytes[8 + 13] = static_cast<char>(bytes[8 + 13] | 0x0F);
    bytes.replace(8 + 14, 4, 4, '\xFF');
    std::ofstream(flac, std::ios::binary | std::ios::trunc) << bytes;
    const Result dec = run({"decode", "--mode", "bpsk", "--freq", "1500", "--search", "20", "--afc", "50",
                            "--squelch", "20", flac});
    EXPECT_EQ(dec.out, "resampled ok\n") << dec.err;
}

TEST(ToolTest, EncodeThenDecodeRoundTripsAndBadInputGivesOneLineAndExitCodeTwo) {
    tavrel::TempDir dir;
    const auto at = [&](const char* name) { return (dir.path / name).string(); };
    const std::string good = at("good.wav"), stereo = at("stereo.wav"), empty = at("empty.wav");
    writeSound(stereo, SF_FORMAT_WAV, 8000, 2, std::vector<float>(8000, 0.1f));
    writeSound(empty, SF_FORMAT_WAV, 8000, 1, {});
    std::ofstream(at("junk.wav")) << "this is not a sound file";
    for (const char* mode : {"qpsk-usb", "qpsk-lsb", "bpsk"}) { // accents go out as plain letters
        ASSERT_EQ(run({"encode", "--mode", mode, "--freq", "1350", "CQ Gr\u00fc\u00dfe", good}).code, 0);
        const Result dec = run({"decode", "--mode", mode, "--freq", "1350", "--squelch", "20", good});
        EXPECT_EQ(dec.out, "CQ Gruse\n") << mode << dec.err;
    }
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"transmit"},
        {"decode", "--freq", "1000", good},
        {"decode", "--mode", "fsk", "--freq", "1000", good},
        {"decode", "--mode", "bpsk", "--freq", "99999", good},
        {"decode", "--mode", "bpsk", "--freq", "1000", "--afc", "-3", good},
        // Numbers are plain decimals; the whole-number options take no fraction.
        {"decode", "--mode", "bpsk", "--freq", "12abc", good},
        {"decode", "--mode", "bpsk", "--freq", "1000.", good},
        {"decode", "--mode", "bpsk", "--freq", "1000", "--squelch", "20.5", good},
        {"encode", "--mode", "bpsk", "--freq", "1000", "--amplitude", "inf", "x", at("x.wav")},
        {"decode", "--mode", "bpsk", "--freq", "1000", "--bogus", "1", good},
        {"decode", "--mode", "bpsk", "--freq"},
        {"decode", "--mode", "bpsk", "--freq", "1000", at("junk.wav")},
        {"decode", "--mode", "bpsk", "--freq", "1000", stereo},
        {"decode", "--mode", "bpsk", "--freq", "1000", empty},
        {"decode", "--mode", "bpsk", "--freq", "1000", good, good},
        {"encode", "--mode", "bpsk", "--freq", "1000", "text only"},
        {"encode", "--mode", "bpsk", "--freq", "1000", "x", at("no/such/dir/out.wav")},
    };
    for (const auto& args : cases) {
        const Result r = run(args);
        EXPECT_EQ(r.code, 2) << r.err;
        EXPECT_EQ(r.out, "") << r.err;
        EXPECT_TRUE(r.err.starts_with("psk31: ") && std::count(r.err.begin(), r.err.end(), '\n') == 1)
            << r.err;
    }
    for (const char* help : {"--help", "-h", "help"}) { // asked for, the usage is output, not an error
        const Result r = run({help});
        EXPECT_EQ(r.code, 0);
        EXPECT_TRUE(r.out.starts_with("usage: psk31 encode")) << r.out;
        EXPECT_NE(r.out.find("--squelch"), std::string::npos);
        EXPECT_EQ(r.err, "");
    }
}
