#pragma once
// The one thread that talks to the rig. Callers hand it commands and return at once: no rig call
// ever runs on the caller's thread, so a rig that does not answer cannot freeze the window. It
// reads the dial about once a second, reports what it read and any trouble through the sink (on
// its own thread; the caller passes the events on to where it wants them), and opens a rig that
// did not answer again after a pause.
//
// PTT is the one command that must never be lost: an unkey that did not reach the rig is sent as
// soon as the rig answers again, and before the rig is closed; a key is sent only to a rig that
// answers now, never later.

#include "radio/Rig.h"

#include <functional>
#include <memory>
#include <optional>
#include <string>

namespace tavrel {

struct RigTiming {
    int pollMs = 1000;     // dial read-back
    int reopenMs = 2000;   // pause before a rig that did not answer is opened again
    int stopWaitMs = 3000; // how long the destructor waits for the thread (to unkey and close)
};

struct RigEvent {
    enum class Kind {
        Reading,       // the dial was read: reading
        NotResponding, // the rig could not be opened or stopped answering: error
        Refused,       // the rig answered but would not do action: error
    };
    Kind kind = Kind::Reading;
    RigReading reading;
    std::string action; // Refused: "tune", "set the mode", "key PTT", "read the dial"
    std::string error;
    unsigned config = 0; // how many configure() calls the worker had taken when this happened
};

class RigWorker {
public:
    // Both run on the worker's thread.
    using Factory = std::function<std::unique_ptr<Rig>(const RigConfig&)>;
    using Sink = std::function<void(const RigEvent&)>;

    RigWorker(Factory factory, Sink sink, RigTiming timing = {});
    // Unkeys and closes the rig; waits at most timing.stopWaitMs for that, then lets the thread
    // finish on its own.
    ~RigWorker();
    RigWorker(const RigWorker&) = delete;
    RigWorker& operator=(const RigWorker&) = delete;

    // Another rig, opened at once (after unkeying and closing the one before); nullopt: none.
    void configure(std::optional<RigConfig> config);
    // Set frequency and mode. A later tune replaces one not yet done; a rig that does not answer is
    // tuned when it answers again.
    void tune(uint64_t hz, RigMode mode);
    void setPtt(bool on);

    // Opens a rig on a thread of its own, reads its dial, closes it and reports once: a Reading, or
    // NotResponding (also when the rig refuses to tell its frequency).
    static void probe(const RigConfig& config, Factory factory, Sink sink);

    struct Shared; // the command queue, shared with the thread

private:
    std::shared_ptr<Shared> m_shared;
    int m_stopWaitMs;
};

} // namespace tavrel
