// The rig worker's promises over a rig that stops answering, and the Hamlib rig the settings name.

#include "radio/HamlibRig.h"
#include "radio/RigSetup.h"
#include "radio/RigWorker.h"

#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace tavrel {
namespace {

// What the rig was asked, in order; it answers while `answering`.
struct Script {
    std::mutex m;
    std::condition_variable changed;
    bool answering = true;
    uint64_t hz = 14'070'000;
    std::vector<std::string> calls;
    std::vector<RigEvent> events;

    void note(std::string call) {
        std::lock_guard lock(m);
        calls.push_back(std::move(call));
        changed.notify_all();
    }
    // Waits (at most ten seconds) until pred holds; the lock is held while it is tested.
    template <typename P> bool waitFor(P pred) {
        std::unique_lock lock(m);
        return changed.wait_for(lock, std::chrono::seconds(10), pred);
    }
    size_t callCount() {
        std::lock_guard lock(m);
        return calls.size();
    }
    std::vector<std::string> callsFrom(size_t first) {
        std::lock_guard lock(m);
        return {calls.begin() + static_cast<long>(first), calls.end()};
    }
    bool has(const std::vector<std::string>& list, const std::string& call) const {
        return std::find(list.begin(), list.end(), call) != list.end();
    }
};

class ScriptedRig final : public Rig {
public:
    explicit ScriptedRig(std::shared_ptr<Script> s) : m_s(std::move(s)) {}
    RigResult open() override { return step("open"); }
    void close() override { m_s->note("close"); }
    RigResult setFrequency(uint64_t hz) override {
        RigResult r = step("tune " + std::to_string(hz));
        if (r) m_s->hz = hz;
        return r;
    }
    RigResult setMode(RigMode mode) override {
        return step("mode " + std::to_string(static_cast<int>(mode)));
    }
    RigResult readFrequency(uint64_t& hz) override {
        RigResult r = step("read");
        hz = m_s->hz;
        return r;
    }
    RigResult readMode(RigMode& mode) override {
        mode = RigMode::Usb;
        return answering() ? RigResult::ok() : RigResult::lost("no answer");
    }
    RigResult setPtt(bool on) override { return step(on ? "key" : "unkey"); }

private:
    bool answering() {
        std::lock_guard lock(m_s->m);
        return m_s->answering;
    }
    RigResult step(std::string call) {
        const bool ok = answering();
        m_s->note(call + (ok ? "" : " (no answer)"));
        return ok ? RigResult::ok() : RigResult::lost("no answer");
    }
    std::shared_ptr<Script> m_s;
};

std::unique_ptr<RigWorker> workerOver(const std::shared_ptr<Script>& s) {
    auto worker =
        std::make_unique<RigWorker>([s](const RigConfig&) { return std::make_unique<ScriptedRig>(s); },
                                    [s](const RigEvent& e) {
                                        std::lock_guard lock(s->m);
                                        s->events.push_back(e);
                                        s->changed.notify_all();
                                    },
                                    RigTiming{50, 50, 3000});
    worker->configure(RigConfig{1, {}, 0, RigPtt::Cat});
    return worker;
}

bool lastEventIs(const Script& s, RigEvent::Kind kind) {
    return !s.events.empty() && s.events.back().kind == kind;
}

// A key goes only to a rig that answers now; an unkey that did not reach the rig is sent as soon as
// it answers again, before anything else; a tune asked for meanwhile follows; and the rig is
// unkeyed before it is closed for good.
TEST(RigWorker, UnkeyIsNeverLostAndKeyIsNeverLate) {
    auto s = std::make_shared<Script>();
    auto worker = workerOver(s);
    ASSERT_TRUE(s->waitFor([&] { return lastEventIs(*s, RigEvent::Kind::Reading); }));
    worker->setPtt(true);
    ASSERT_TRUE(s->waitFor([&] { return s->has(s->calls, "key"); }));

    {
        std::lock_guard lock(s->m);
        s->answering = false;
        s->events.clear();
    }
    worker->setPtt(false);
    ASSERT_TRUE(s->waitFor([&] { return lastEventIs(*s, RigEvent::Kind::NotResponding); }));
    EXPECT_EQ(s->events.back().error, "no answer");
    worker->setPtt(true); // while the rig is away: never sent later
    worker->tune(7'035'000, RigMode::UsbData);
    ASSERT_TRUE(s->waitFor([&] { return s->has(s->calls, "open (no answer)"); }));

    size_t back = 0;
    {
        std::lock_guard lock(s->m);
        back = s->calls.size();
        s->answering = true;
        s->events.clear();
    }
    ASSERT_TRUE(s->waitFor([&] {
        return !s->events.empty() && s->events.back().kind == RigEvent::Kind::Reading &&
               s->events.back().reading.hz == 7'035'000;
    }));
    const std::vector<std::string> after = s->callsFrom(back);
    const std::vector<std::string> start(after.begin(), after.begin() + std::min<size_t>(4, after.size()));
    EXPECT_EQ(start, (std::vector<std::string>{"open", "unkey", "tune 7035000", "mode 2"}));
    EXPECT_FALSE(s->has(after, "key"));

    const size_t keyedAt = s->callCount();
    worker->setPtt(true);
    ASSERT_TRUE(s->waitFor([&] {
        return std::find(s->calls.begin() + static_cast<long>(keyedAt), s->calls.end(), "key") !=
               s->calls.end();
    }));
    const size_t beforeStop = s->callCount();
    worker.reset();
    const std::vector<std::string> stop = s->callsFrom(beforeStop);
    ASSERT_GE(stop.size(), 2u);
    EXPECT_EQ(stop[stop.size() - 2], "unkey");
    EXPECT_EQ(stop.back(), "close");
}

TEST(RigSetup, SettingsNameTheRigItsPortAndWherePttGoes) {
    const struct {
        RigSetupItems items; // model, port, baud, PTT port, PTT line
        std::optional<RigConfig> config;
        const char* problem;
    } cases[] = {
        {{"", "1", "", "", "2"}, std::nullopt, "no Hamlib rig model chosen"},
        {{"999999", "1", "", "", "2"}, std::nullopt, "Hamlib has no rig model 999999"},
        {{"3073", "0", "19200", "", "2"}, std::nullopt, "no CAT port set for Icom IC-7300"},
        {{"1", "", "", "", "2"}, RigConfig{1, "", 0, RigPtt::None}, ""},
        {{"1", "", "", "", "4"}, RigConfig{1, "", 0, RigPtt::Cat}, ""},
        // A serial rig without a PTT port of its own keys RTS on the CAT port, as the others do.
        {{"3073", "2", "19200", "0", "2"}, RigConfig{3073, "/dev/ttyS1", 19200, RigPtt::Rts}, ""},
        {{"3073", " /dev/ttyUSB0 ", "x", "/dev/ttyUSB1", "1"},
         RigConfig{3073, "/dev/ttyUSB0", 0, RigPtt::None},
         ""},
        {{"3073", "/dev/ttyUSB0", "38400", "/dev/ttyUSB1", "4"},
         RigConfig{3073, "/dev/ttyUSB0", 38400, RigPtt::Cat},
         ""},
        {{"2", "localhost:4532", "", "0", "2"}, RigConfig{2, "localhost:4532", 0, RigPtt::None}, ""},
        {{"2", " 127.0.0.1:4533", "", "0", "4"}, RigConfig{2, "127.0.0.1:4533", 0, RigPtt::Cat}, ""},
        {{"2", "0", "", "0", "4"}, RigConfig{2, "", 0, RigPtt::Cat}, ""},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE("model '" + c.items.model + "', port '" + c.items.port + "', PTT line " +
                     c.items.pttLine);
        const RigSetup s = hamlibSetup(c.items);
        EXPECT_EQ(s.config, c.config);
        EXPECT_EQ(s.problem, c.problem);
    }
    EXPECT_EQ(bandMode("1"), RigMode::UsbData);
    EXPECT_EQ(bandMode(""), RigMode::Usb);
}

// Hamlib's dummy rig in process: modes both ways, PTT through the rig, and a closed rig.
TEST(HamlibRig, DummyRigTunesReadsAndKeys) {
    HamlibRig rig(RigConfig{1, "", 0, RigPtt::Cat});
    ASSERT_TRUE(rig.open());
    for (RigMode mode : {RigMode::Usb, RigMode::Lsb, RigMode::UsbData, RigMode::LsbData}) {
        ASSERT_TRUE(rig.setMode(mode));
        RigMode read = RigMode::Other;
        ASSERT_TRUE(rig.readMode(read));
        EXPECT_EQ(read, mode);
    }
    ASSERT_TRUE(rig.setFrequency(10'142'000));
    uint64_t hz = 0;
    ASSERT_TRUE(rig.readFrequency(hz));
    EXPECT_EQ(hz, 10'142'000u);
    for (bool on : {true, false}) {
        ASSERT_TRUE(rig.setPtt(on));
        bool keyed = !on;
        ASSERT_TRUE(rig.readPtt(keyed));
        EXPECT_EQ(keyed, on);
    }
    rig.close();
    EXPECT_EQ(rig.readFrequency(hz).kind, RigResult::Kind::Lost);
}

} // namespace
} // namespace tavrel
