#pragma once
// One station heard by the modem's band decoder, as the signal browser is told of it.

#include <cstdint>
#include <string>

namespace tavrel {

struct HeardSignal {
    uint32_t id = 0;  // the decoder's channel: the same station keeps it while it is heard
    int hz = 0;       // audio frequency of the station now
    int level = 0;    // signal level 0..100, on the receiver's scale
    std::string text; // characters decoded since the last report (Windows-1252 bytes)
};

} // namespace tavrel
