#include "Psk31Tool.h"

#include "modem/psk31/Transmitter.h"

#include <gtest/gtest.h>
#include <sndfile.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <unistd.h>

using namespace tavrel::psk31;
namespace fs = std::filesystem;

namespace {

struct Result {
    int code;
    std::string out;
    std::string err;
};

Result run(const std::vector<std::string>& args) {
    std::ostringstream out, err;
    const int code = runPsk31Tool(args, out, err);
    return {code, out.str(), err.str()};
}

class ToolTest : public ::testing::Test {
protected:
    void SetUp() override {
        m_dir = fs::temp_directory_path() / ("psk31-tool-" + std::to_string(::getpid()));
        fs::create_directories(m_dir);
    }
    void TearDown() override { fs::remove_all(m_dir); }
    std::string path(const std::string& name) const { return (m_dir / name).string(); }

    void writeWav(const std::string& file, int rate, int channels, const std::vector<float>& frames) {
        SF_INFO info{};
        info.samplerate = rate;
        info.channels = channels;
        info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
        SNDFILE* f = sf_open(path(file).c_str(), SFM_WRITE, &info);
        ASSERT_NE(f, nullptr);
        if (!frames.empty())
            sf_writef_float(f, frames.data(), static_cast<sf_count_t>(frames.size() / channels));
        sf_close(f);
    }

    fs::path m_dir;
};

} // namespace

TEST_F(ToolTest, EncodeThenDecodeRoundTripsInEveryMode) {
    for (const char* mode : {"bpsk", "qpsk-usb", "qpsk-lsb"}) {
        const Result enc = run({"encode", "--mode", mode, "--freq", "1350", "CQ DX de TEST", path("a.wav")});
        ASSERT_EQ(enc.code, 0) << enc.err;
        const Result dec =
            run({"decode", "--mode", mode, "--freq", "1350", "--squelch", "20", path("a.wav")});
        ASSERT_EQ(dec.code, 0) << dec.err;
        EXPECT_EQ(dec.out, "CQ DX de TEST\n") << mode;
    }
}

TEST_F(ToolTest, AccentedUtf8TextGoesOutAsPlainLetters) {
    ASSERT_EQ(run({"encode", "--mode", "bpsk", "--freq", "1000",
                   "Gr\xc3\xbc\xc3\x9f"
                   "e",
                   path("u.wav")})
                  .code,
              0);
    EXPECT_EQ(run({"decode", "--mode", "bpsk", "--freq", "1000", "--squelch", "20", path("u.wav")}).out,
              "Gruse\n");
}

TEST_F(ToolTest, FileAtAnotherRateIsResampledAndFoundBySearch) {
    Transmitter tx;
    tx.setFrequency(1510.0);
    tx.queueText("resampled ok");
    tx.start();
    tx.endWhenDrained();
    std::vector<float> audio;
    float b[256];
    while (tx.state() == TxState::Transmitting) {
        tx.generate(b, 256);
        audio.insert(audio.end(), b, b + 256);
    }
    // 16000 samples/s by linear interpolation (its images lie far above the signal).
    std::vector<float> doubled;
    for (std::size_t i = 0; i + 1 < audio.size(); ++i) {
        doubled.push_back(audio[i]);
        doubled.push_back(0.5f * (audio[i] + audio[i + 1]));
    }
    writeWav("r.wav", 16000, 1, doubled);
    const Result dec = run({"decode", "--mode", "bpsk", "--freq", "1500", "--search", "20", "--afc", "50",
                            "--squelch", "20", path("r.wav")});
    ASSERT_EQ(dec.code, 0) << dec.err;
    EXPECT_EQ(dec.out, "resampled ok\n");
}

TEST_F(ToolTest, BadInputGivesOneLineAndExitCodeTwo) {
    writeWav("stereo.wav", 8000, 2, std::vector<float>(8000, 0.1f));
    writeWav("empty.wav", 8000, 1, {});
    std::ofstream(path("junk.wav")) << "this is not a sound file";
    ASSERT_EQ(run({"encode", "--mode", "bpsk", "--freq", "1000", "k", path("good.wav")}).code, 0);
    const std::string good = path("good.wav");
    const std::string ok = path("stereo.wav");
    const std::vector<std::vector<std::string>> cases = {
        {},
        {"transmit"},
        {"decode", "--freq", "1000", path("empty.wav")},
        {"decode", "--mode", "fsk", "--freq", "1000", path("empty.wav")},
        {"decode", "--mode", "bpsk", "--freq", "99999", path("empty.wav")},
        {"decode", "--mode", "bpsk", "--freq", "-5", path("empty.wav")},
        {"decode", "--mode", "bpsk", "--freq", "12abc", path("empty.wav")},
        {"decode", "--mode", "bpsk", "--freq", "nan", path("empty.wav")},
        {"decode", "--mode", "bpsk", "--freq", "1000", "--afc", "-3", path("empty.wav")},
        // Numbers are plain decimals; the whole-number options take no fraction.
        {"decode", "--mode", "bpsk", "--freq", "1000", "--squelch", "20.5", good},
        {"decode", "--mode", "bpsk", "--freq", "1000", "--squelch", "0x10", good},
        {"decode", "--mode", "bpsk", "--freq", "1000", "--afc", "1e1", good},
        {"decode", "--mode", "bpsk", "--freq", "1000", "--search", " 5", good},
        {"decode", "--mode", "bpsk", "--freq", "1000", "--squelch", "-", good},
        {"decode", "--mode", "bpsk", "--freq", "1e3", good},
        {"decode", "--mode", "bpsk", "--freq", "1000.", good},
        {"encode", "--mode", "bpsk", "--freq", "1000", "--amplitude", "inf", "x", path("x.wav")},
        {"decode", "--mode", "bpsk", "--freq", "1000", "--bogus", "1", path("empty.wav")},
        {"decode", "--mode", "bpsk", "--freq"},
        {"decode", "--mode", "bpsk", "--freq", "1000", path("missing.wav")},
        {"decode", "--mode", "bpsk", "--freq", "1000", path("junk.wav")},
        {"decode", "--mode", "bpsk", "--freq", "1000", ok},
        {"decode", "--mode", "bpsk", "--freq", "1000", path("empty.wav")},
        {"decode", "--mode", "bpsk", "--freq", "1000", ok, ok},
        {"encode", "--mode", "bpsk", "--freq", "1000", "text only"},
        {"encode", "--mode", "bpsk", "--freq", "1000", "x", path("no/such/dir/out.wav")},
    };
    for (const auto& args : cases) {
        std::string joined;
        for (const auto& a : args)
            joined += a + " ";
        const Result r = run(args);
        EXPECT_EQ(r.code, 2) << joined;
        EXPECT_EQ(r.out, "") << joined;
        ASSERT_FALSE(r.err.empty()) << joined;
        EXPECT_EQ(r.err.rfind("psk31: ", 0), 0u) << joined;
        EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << joined << ": " << r.err;
    }
}

// The memory a decode takes follows its block, not the length a header claims: this FLAC header
// claims 2^36 samples (a quarter of a terabyte as floats) for a few seconds of audio.
TEST_F(ToolTest, HeaderClaimingFarMoreThanTheFileHoldsDecodesWhatItHolds) {
    ASSERT_EQ(run({"encode", "--mode", "bpsk", "--freq", "1000", "flac ok", path("a.wav")}).code, 0);
    SF_INFO info{};
    SNDFILE* in = sf_open(path("a.wav").c_str(), SFM_READ, &info);
    ASSERT_NE(in, nullptr);
    std::vector<float> audio(static_cast<std::size_t>(info.frames));
    sf_readf_float(in, audio.data(), info.frames);
    sf_close(in);
    info.format = SF_FORMAT_FLAC | SF_FORMAT_PCM_16;
    SNDFILE* out = sf_open(path("a.flac").c_str(), SFM_WRITE, &info);
    ASSERT_NE(out, nullptr) << "libsndfile without FLAC";
    sf_writef_float(out, audio.data(), static_cast<sf_count_t>(audio.size()));
    sf_close(out);
    // The 36-bit sample count of STREAMINFO: the low half of its byte 13 and bytes 14 to 17.
    std::string bytes;
    {
        std::ifstream flac(path("a.flac"), std::ios::binary);
        bytes.assign(std::istreambuf_iterator<char>(flac), std::istreambuf_iterator<char>());
    }
    ASSERT_GT(bytes.size(), 26u);
    bytes[8 + 13] = static_cast<char>(bytes[8 + 13] | 0x0F);
    for (std::size_t i = 8 + 14; i < 8 + 18; ++i)
        bytes[i] = '\xFF';
    std::ofstream(path("a.flac"), std::ios::binary | std::ios::trunc) << bytes;

    const Result dec = run({"decode", "--mode", "bpsk", "--freq", "1000", "--squelch", "20", path("a.flac")});
    EXPECT_EQ(dec.code, 0) << dec.err;
    EXPECT_EQ(dec.out, "flac ok\n");
}
