#include "Psk31Tool.h"

#include "app/Cp1252.h"
#include "modem/psk31/Receiver.h"
#include "modem/psk31/Transmitter.h"

#include <liquid/liquid.h>
#include <sndfile.h>

#include <cmath>
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

double number(const std::string& option, const std::string& text, double lo, double hi) {
    char* end = nullptr;
    const double v = std::strtod(text.c_str(), &end);
    if (text.empty() || end == nullptr || *end != '\0' || !std::isfinite(v))
        throw UsageError(option + " needs a number, not \"" + text + "\"");
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

int encode(const std::vector<std::string>& args, std::ostream& err) {
    const Options o = parse(args, 1, {"--mode", "--freq", "--amplitude"});
    if (o.positional.size() != 2) throw UsageError("encode needs the text and the output file");
    const Mode mode = parseMode(required(o, "--mode"));
    const double freq = number("--freq", required(o, "--freq"), kMinCarrierHz, kMaxCarrierHz);
    const double amplitude =
        o.values.count("--amplitude") ? number("--amplitude", o.values.at("--amplitude"), 0.0, 1.0) : 0.8;

    Transmitter tx;
    tx.setMode(mode);
    tx.setFrequency(freq);
    tx.setAmplitude(static_cast<float>(amplitude));
    tx.queueText(toCp1252(o.positional[0]));
    tx.start();
    tx.endWhenDrained();
    std::vector<float> audio;
    float block[1024];
    while (tx.state() == TxState::Transmitting) {
        tx.generate(block, std::size(block));
        audio.insert(audio.end(), block, block + std::size(block));
    }

    SF_INFO info{};
    info.samplerate = static_cast<int>(kSampleRate);
    info.channels = 1;
    info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
    SNDFILE* f = sf_open(o.positional[1].c_str(), SFM_WRITE, &info);
    if (!f) throw UsageError("cannot write " + o.positional[1] + ": " + sf_strerror(nullptr));
    const sf_count_t written = sf_writef_float(f, audio.data(), static_cast<sf_count_t>(audio.size()));
    sf_close(f);
    if (written != static_cast<sf_count_t>(audio.size())) throw UsageError("cannot write " + o.positional[1]);
    (void)err;
    return 0;
}

std::vector<float> readMono8000(const std::string& path) {
    SF_INFO info{};
    SNDFILE* f = sf_open(path.c_str(), SFM_READ, &info);
    if (!f) throw UsageError("cannot read " + path + ": " + sf_strerror(nullptr));
    if (info.channels != 1) {
        sf_close(f);
        throw UsageError(path + " has " + std::to_string(info.channels) + " channels; a mono file is needed");
    }
    if (info.frames <= 0) {
        sf_close(f);
        throw UsageError(path + " holds no audio");
    }
    if (info.samplerate < 4000 || info.samplerate > 768000) {
        sf_close(f);
        throw UsageError(path + " has an unusable sample rate of " + std::to_string(info.samplerate) + " Hz");
    }
    std::vector<float> audio(static_cast<std::size_t>(info.frames));
    const sf_count_t got = sf_readf_float(f, audio.data(), info.frames);
    sf_close(f);
    audio.resize(static_cast<std::size_t>(std::max<sf_count_t>(got, 0)));
    if (audio.empty()) throw UsageError(path + " holds no audio");
    if (info.samplerate == static_cast<int>(kSampleRate)) return audio;

    const float rate = static_cast<float>(kSampleRate / info.samplerate);
    msresamp_rrrf q = msresamp_rrrf_create(rate, 60.0f);
    std::vector<float> out(static_cast<std::size_t>(std::ceil(audio.size() * rate)) + 64);
    unsigned produced = 0;
    msresamp_rrrf_execute(q, audio.data(), static_cast<unsigned>(audio.size()), out.data(), &produced);
    msresamp_rrrf_destroy(q);
    out.resize(produced);
    return out;
}

int decode(const std::vector<std::string>& args, std::ostream& out) {
    const Options o = parse(args, 1, {"--mode", "--freq", "--afc", "--search", "--squelch"});
    if (o.positional.size() != 1) throw UsageError("decode needs one input file");
    const Mode mode = parseMode(required(o, "--mode"));
    const double freq = number("--freq", required(o, "--freq"), kMinCarrierHz, kMaxCarrierHz);
    const auto opt = [&](const char* name, double hi) {
        return o.values.count(name) ? static_cast<int>(number(name, o.values.at(name), 0.0, hi)) : 0;
    };
    const int afc = opt("--afc", Receiver::kMaxAfcLimitHz);
    const int search = opt("--search", Receiver::kMaxSearchRangeHz);
    const int squelch = opt("--squelch", 100);
    const std::vector<float> audio = readMono8000(o.positional[0]);

    // A search looks at one second of audio: here the second second of the file, where a
    // transmission's preamble has begun.
    double start = freq;
    if (search > 0) {
        SignalSearch finder;
        finder.push(audio.data(), std::min<std::size_t>(audio.size(), 16000));
        start = finder.find(freq, search, kSampleRate);
    }
    Receiver rx;
    rx.setMode(mode);
    rx.setAfcLimit(afc);
    rx.setSquelchThreshold(squelch);
    rx.setFrequency(start);
    std::string text;
    uint8_t buf[256];
    for (std::size_t i = 0; i < audio.size(); i += 1024) {
        rx.process(audio.data() + i, std::min<std::size_t>(1024, audio.size() - i));
        for (std::size_t n; (n = rx.readText(buf, sizeof buf)) > 0;)
            text.append(buf, buf + n);
    }
    out << text << '\n';
    return 0;
}

} // namespace

int runPsk31Tool(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    try {
        if (args.empty()) throw UsageError(kUsage);
        if (args[0] == "encode") return encode(args, err);
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
