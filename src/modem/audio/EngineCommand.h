#pragma once
// What the UI thread tells the audio thread: small fixed-size items that go through a lock-free
// ring, so nothing on the audio path allocates or locks. Text goes in chunks of up to 48 bytes.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <string_view>

namespace tavrel {

struct EngineCommand {
    enum class Kind : uint8_t {
        Text,     // text[0..length) joins the transmit queue; seq counts text commands
        IdClear,  // the identification text is emptied ...
        IdAppend, // ... and built from chunks
        Start,    // a = over number: send the queue, then idle reversals
        Tune,     // a = over number: steady carrier
        End,      // a = over number: end the over once the queue is sent (the identification goes last)
        Abort,    // stop at once, queue dropped
        RxFreq,   // a = Hz, seq = the UI's frequency write counter
        TxFreq,   // a = Hz
        Mode,     // a = 0 BPSK, 1 QPSK USB, 2 QPSK LSB
        SquelchThreshold,
        SquelchSpeed,
        AfcLimit,
        SearchRange,
        Trim,
        Drive,        // a = transmit level 0..255
        DisplayKind,  // a = 0..4
        DisplayRange, // a, b = low and high Hz
        Bins,         // a = spectrum bins (the display's width)
        Replay,       // a = seconds of received audio to decode again
        OpenDevices,  // a = device (-1 default), b = option (0 null source, else sound card)
        DeviceNames,  // the chosen devices are emptied ...
        InputName,    // ... and built from chunks: the input's id or description
        OutputName,   // ... the output's
    };
    Kind kind = Kind::Text;
    uint8_t length = 0;
    int32_t a = 0;
    int32_t b = 0;
    uint32_t seq = 0;
    char text[48]{};

    std::string_view textView() const { return {text, length}; }
};

inline EngineCommand engineCommand(EngineCommand::Kind kind, int a = 0, int b = 0) {
    EngineCommand c;
    c.kind = kind;
    c.a = a;
    c.b = b;
    return c;
}

// Hands `text` to `post` as commands of `kind`, one chunk each; a non-null `seq` is counted up
// and stamped on each chunk.
template <typename Post>
void postTextChunks(EngineCommand::Kind kind, std::string_view text, uint32_t* seq, Post&& post) {
    for (std::size_t at = 0; at < text.size();) {
        EngineCommand c;
        c.kind = kind;
        c.length = static_cast<uint8_t>(std::min(sizeof c.text, text.size() - at));
        std::memcpy(c.text, text.data() + at, c.length);
        if (seq) c.seq = ++*seq;
        at += c.length;
        post(c);
    }
}

} // namespace tavrel
