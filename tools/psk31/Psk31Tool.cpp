#include "Psk31Tool.h"

#include "core/Cp1252.h"
#include "modem/psk31/Receiver.h"
#include "modem/psk31/Transmitter.h"

#include <liquid/liquid.h>
#include <sndfile.h>

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <map>
#include <ostream>
#include <stdexcept>

namespace tavrel::psk31 {
namespace {

// Every bad input ends up here: one line, exit code 2.
struct UsageError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

constexpr const char* kUsage =
    "usage: psk31 encode --mode bpsk|qpsk-usb|qpsk-lsb --freq HZ \"text\" out.wav | "
    "psk31 decode --mode bpsk|qpsk-usb|qpsk-lsb --freq HZ [--afc HZ] [--search HZ] "
    "[--squelch N] in.wav";

constexpr const char* kHelp =
    "usage: psk31 encode --mode MODE --freq HZ [--amplitude A] \"text\" out.wav\n"
    "       psk31 decode --mode MODE --freq HZ [--afc HZ] [--search HZ] [--squelch N] in.wav\n"
    "\n"
    "Writes text as a PSK31 signal into a mono WAV file at 8000 samples/s, or decodes one\n"
    "(any sample rate; it is resampled) and prints the text.\n"
    "\n"
    "  --mode MODE     bpsk, qpsk-usb or qpsk-lsb\n"
    "  --freq HZ       audio frequency of the signal, 200 to 3500\n"
    "  --amplitude A   peak level of the written signal, 0 to 1, default 0.8 (encode)\n"
    "  --afc HZ        how far the receiver may follow a drifting signal, 0 = off (decode)\n"
    "  --search HZ     how far around --freq to look for the signal first (decode)\n"
    "  --squelch N     0 to 100; text below this signal level is not printed (decode)\n"
    "\n"
    "Exit code 0 on success, 2 on bad input or a file that cannot be read or written.\n";

// Plain decimal numbers only: an optional sign, digits and, where `fraction` allows, a decimal
// point with more digits. strtod alone would also take blanks, hex, exponents and "inf".
bool plainNumber(const std::string& text, bool fraction) {
    std::size_t i = (!text.empty() && (text[0] == '+' || text[0] == '-')) ? 1 : 0;
    std::size_t digits = 0;
    bool point = false;
    for (; i < text.size(); ++i) {
        const char c = text[i];
        if (c >= '0' && c <= '9') {
            ++digits;
        } else if (c == '.' && fraction && !point) {
            point = true;
        } else {
            return false;
        }
    }
    return digits > 0 && text.back() != '.';
}

double number(const std::string& option, const std::string& text, double lo, double hi, bool fraction) {
    if (!plainNumber(text, fraction))
        throw UsageError(option + " needs " + (fraction ? "a number" : "a whole number") + ", not \"" + text +
                         "\"");
    const double v = std::strtod(text.c_str(), nullptr);
    if (v < lo || v > hi) {
        char buf[160];
        std::snprintf(buf, sizeof buf, "%s %s is out of range (%g to %g)", option.c_str(), text.c_str(), lo,
                      hi);
        throw UsageError(buf);
    }
    return v;
}

Mode parseMode(const std::string& text) {
    if (text == "bpsk") return Mode::Bpsk;
    if (text == "qpsk-usb" || text == "qpsk") return Mode::QpskUsb;
    if (text == "qpsk-lsb") return Mode::QpskLsb;
    throw UsageError("unknown mode \"" + text + "\" (bpsk, qpsk-usb or qpsk-lsb)");
}

struct Options {
    std::map<std::string, std::string> values;
    std::vector<std::string> positional;
};

Options parse(const std::vector<std::string>& args, std::size_t from, const std::vector<std::string>& known) {
    Options o;
    for (std::size_t i = from; i < args.size(); ++i) {
        const std::string& a = args[i];
        if (a.size() > 2 && a.compare(0, 2, "--") == 0) {
            bool ok = false;
            for (const auto& k : known)
                ok = ok || k == a;
            if (!ok) throw UsageError("unknown option " + a);
            if (i + 1 >= args.size()) throw UsageError(a + " needs a value");
            o.values[a] = args[++i];
        } else {
            o.positional.push_back(a);
        }
    }
    return o;
}

const std::string& required(const Options& o, const std::string& name) {
    const auto it = o.values.find(name);
    if (it == o.values.end()) throw UsageError("missing " + name);
    return it->second;
}

// Shell text is UTF-8; the air carries Windows-1252. Bytes that are not valid UTF-8 are taken as
// Windows-1252 already; characters the set lacks become '?'.
std::string toCp1252(const std::string& text) {
    std::string out;
    for (std::size_t i = 0; i < text.size();) {
        const auto b = static_cast<unsigned char>(text[i]);
        int len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
        char32_t cp = len == 1 ? b : len == 2 ? (b & 0x1f) : len == 3 ? (b & 0x0f) : (b & 0x07);
        bool valid = len > 0 && i + len <= text.size();
        for (int k = 1; valid && k < len; ++k) {
            const auto c = static_cast<unsigned char>(text[i + k]);
            valid = (c >> 6) == 2;
            cp = (cp << 6) | (c & 0x3f);
        }
        if (!valid) {
            out.push_back(static_cast<char>(b));
            ++i;
            continue;
        }
        const int byte = unicodeToCp1252(cp);
        out.push_back(byte < 0 ? '?' : static_cast<char>(byte));
        i += static_cast<std::size_t>(len);
    }
    return out;
}

int encode(const std::vector<std::string>& args) {
    const Options o = parse(args, 1, {"--mode", "--freq", "--amplitude"});
    if (o.positional.size() != 2) throw UsageError("encode needs the text and the output file");
    const Mode mode = parseMode(required(o, "--mode"));
    const double freq = number("--freq", required(o, "--freq"), kMinCarrierHz, kMaxCarrierHz, true);
    const double amplitude = o.values.count("--amplitude")
                                 ? number("--amplitude", o.values.at("--amplitude"), 0.0, 1.0, true)
                                 : 0.8;
    const std::string& path = o.positional[1];

    SF_INFO info{};
    info.samplerate = static_cast<int>(kSampleRate);
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(path.c_str(), SFM_WRITE, &info);
    if (!f) throw UsageError("cannot write " + path + ": " + sf_strerror(nullptr));

    Transmitter tx;
    tx.setMode(mode);
    tx.setFrequency(freq);
    tx.setAmplitude(static_cast<float>(amplitude));
    tx.queueText(toCp1252(o.positional[0]));
    tx.start();
    tx.endWhenDrained();
    // Each block goes to the file as it is made, however long the text.
    float block[4096];
    bool written = true;
    while (written && tx.state() == TxState::Transmitting) {
        tx.generate(block, std::size(block));
        written = sf_writef_float(f, block, static_cast<sf_count_t>(std::size(block))) ==
                  static_cast<sf_count_t>(std::size(block));
    }
    const std::string why = written ? std::string() : sf_strerror(f);
    written = sf_close(f) == 0 && written;
    if (!written) {
        std::remove(path.c_str());
        throw UsageError("cannot write " + path + (why.empty() ? std::string() : ": " + why));
    }
    return 0;
}

// A mono sound file read block by block and brought to 8000 samples/s. Nothing here depends on
// the length the header claims: memory stays the same whatever the file holds.
class SoundReader {
public:
    explicit SoundReader(const std::string& path) : m_path(path) {
        SF_INFO info{};
        m_file = sf_open(path.c_str(), SFM_READ, &info);
        if (!m_file) throw UsageError("cannot read " + path + ": " + sf_strerror(nullptr));
        if (info.channels != 1) {
            close();
            throw UsageError(path + " has " + std::to_string(info.channels) +
                             " channels; a mono file is needed");
        }
        if (info.samplerate < 4000 || info.samplerate > 768000) {
            close();
            throw UsageError(path + " has an unusable sample rate of " + std::to_string(info.samplerate) +
                             " Hz");
        }
        if (info.samplerate != static_cast<int>(kSampleRate)) {
            m_rate = static_cast<float>(kSampleRate / info.samplerate);
            m_resampler = msresamp_rrrf_create(m_rate, 60.0f);
            m_out.resize(static_cast<std::size_t>(std::ceil(2.0f * m_rate * kBlock)) + 64);
        }
    }
    ~SoundReader() { close(); }
    SoundReader(const SoundReader&) = delete;
    SoundReader& operator=(const SoundReader&) = delete;

    // The next samples at 8000/s (possibly none while the resampler fills); false at the end.
    bool next(const float*& samples, std::size_t& count) {
        const sf_count_t got = sf_readf_float(m_file, m_in, kBlock);
        if (got <= 0) {
            if (sf_error(m_file) != SF_ERR_NO_ERROR)
                throw UsageError("cannot read " + m_path + ": " + sf_strerror(m_file));
            if (m_frames == 0) throw UsageError(m_path + " holds no audio");
            return false;
        }
        m_frames += got;
        if (!m_resampler) {
            samples = m_in;
            count = static_cast<std::size_t>(got);
            return true;
        }
        unsigned produced = 0;
        msresamp_rrrf_execute(m_resampler, m_in, static_cast<unsigned>(got), m_out.data(), &produced);
        samples = m_out.data();
        count = produced;
        return true;
    }

private:
    static constexpr sf_count_t kBlock = 8192;

    void close() {
        if (m_resampler) msresamp_rrrf_destroy(m_resampler);
        m_resampler = nullptr;
        if (m_file) sf_close(m_file);
        m_file = nullptr;
    }

    std::string m_path;
    SNDFILE* m_file = nullptr;
    msresamp_rrrf m_resampler = nullptr;
    float m_rate = 1.0f;
    float m_in[kBlock];
    std::vector<float> m_out;
    sf_count_t m_frames = 0;
};

int decode(const std::vector<std::string>& args, std::ostream& out) {
    const Options o = parse(args, 1, {"--mode", "--freq", "--afc", "--search", "--squelch"});
    if (o.positional.size() != 1) throw UsageError("decode needs one input file");
    const Mode mode = parseMode(required(o, "--mode"));
    const double freq = number("--freq", required(o, "--freq"), kMinCarrierHz, kMaxCarrierHz, true);
    const auto opt = [&](const char* name, double hi) {
        return o.values.count(name) ? static_cast<int>(number(name, o.values.at(name), 0.0, hi, false)) : 0;
    };
    const int afc = opt("--afc", Receiver::kMaxAfcLimitHz);
    const int search = opt("--search", Receiver::kMaxSearchRangeHz);
    const int squelch = opt("--squelch", 100);
    SoundReader reader(o.positional[0]);

    // A search looks at the first two seconds of audio, where a transmission's preamble has
    // begun; they wait here until it has been made.
    constexpr std::size_t kSearchSamples = 16000;
    std::vector<float> head;
    const float* samples = nullptr;
    std::size_t count = 0;
    bool more = true;
    if (search > 0) {
        head.reserve(kSearchSamples + 16384);
        while (head.size() < kSearchSamples && (more = reader.next(samples, count)))
            head.insert(head.end(), samples, samples + count);
    }
    double start = freq;
    if (search > 0) {
        SignalSearch finder;
        finder.push(head.data(), std::min(head.size(), kSearchSamples));
        start = finder.find(freq, search, kSampleRate);
    }
    Receiver rx;
    rx.setMode(mode);
    rx.setAfcLimit(afc);
    rx.setSquelchThreshold(squelch);
    rx.setFrequency(start);
    uint8_t text[256];
    const auto feed = [&](const float* in, std::size_t n) {
        for (std::size_t i = 0; i < n; i += 1024) {
            rx.process(in + i, std::min<std::size_t>(1024, n - i));
            for (std::size_t got; (got = rx.readText(text, sizeof text)) > 0;)
                out.write(reinterpret_cast<const char*>(text), static_cast<std::streamsize>(got));
        }
    };
    feed(head.data(), head.size());
    head = {};
    while (more && (more = reader.next(samples, count)))
        feed(samples, count);
    out << '\n';
    return 0;
}

} // namespace

int runPsk31Tool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (args.empty()) throw UsageError(kUsage);
        if (args[0] == "--help" || args[0] == "-h" || args[0] == "help") {
            out << kHelp;
            return 0;
        }
        if (args[0] == "encode") return encode(args);
        if (args[0] == "decode") return decode(args, out);
        throw UsageError("unknown command \"" + args[0] + "\" (encode or decode)");
    } catch (const UsageError& e) {
        err << "psk31: " << e.what() << '\n';
        return 2;
    } catch (const std::exception& e) {
        err << "psk31: " << e.what() << '\n';
        return 2;
    }
}

} // namespace tavrel::psk31
