// The rig worker's promises over a rig that stops answering.

#include "radio/RigWorker.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>

namespace tavrel {
namespace {

// What the rig was asked, in order; it answers while `answering`.
struct Script {
    std::mutex m;
    std::condition_variable changed;
    bool answering = true;
    std::vector<std::string> calls;
    std::vector<RigEvent> events;

    // Waits (at most ten seconds) until pred holds; the lock is held while it is tested.
    template <typename P> bool waitFor(P pred) {
        std::unique_lock lock(m);
        return changed.wait_for(lock, std::chrono::seconds(10), pred);
    }
    void setAnswering(bool on) {
        std::lock_guard lock(m);
        answering = on;
        events.clear();
    }
    // The calls from `first` on.
    std::vector<std::string> since(size_t first) {
        std::lock_guard lock(m);
        return {calls.begin() + static_cast<long>(std::min(first, calls.size())), calls.end()};
    }
    size_t count() { return since(0).size(); }
    bool lastEvent(RigEvent::Kind kind, uint64_t hz = 0) const {
        return !events.empty() && events.back().kind == kind && (hz == 0 || events.back().reading.hz == hz);
    }
};

class ScriptedRig final : public Rig {
public:
    explicit ScriptedRig(std::shared_ptr<Script> s) : m_s(std::move(s)) {}
    RigResult open() override { return step("open"); }
    void close() override { step("close"); }
    RigResult setFrequency(uint64_t hz) override {
        RigResult r = step("tune " + std::to_string(hz));
        if (r) m_hz = hz;
        return r;
    }
    RigResult setMode(RigMode mode) override {
        return step("mode " + std::to_string(static_cast<int>(mode)));
    }
    RigResult readFrequency(uint64_t& hz) override {
        hz = m_hz;
        return step("read");
    }
    RigResult readMode(RigMode& mode) override {
        mode = RigMode::Usb;
        return step("read mode");
    }
    RigResult setPtt(bool on) override { return step(on ? "key" : "unkey"); }

private:
    RigResult step(const std::string& call) {
        std::lock_guard lock(m_s->m);
        m_s->calls.push_back(call + (m_s->answering ? "" : " (no answer)"));
        m_s->changed.notify_all();
        return m_s->answering ? RigResult::ok() : RigResult::lost("no answer");
    }
    std::shared_ptr<Script> m_s;
    uint64_t m_hz = 14'070'000;
};

bool has(const std::vector<std::string>& calls, const std::string& call) {
    return std::find(calls.begin(), calls.end(), call) != calls.end();
}

// A key goes only to a rig that answers now; an unkey that did not reach the rig is sent as soon as
// it answers again, before anything else; a tune asked for meanwhile follows; and the rig is
// unkeyed before it is closed for good.
TEST(RigWorker, UnkeyIsNeverLostAndKeyIsNeverLate) {
    auto s = std::make_shared<Script>();
    auto worker =
        std::make_unique<RigWorker>([s](const RigConfig&) { return std::make_unique<ScriptedRig>(s); },
                                    [s](const RigEvent& e) {
                                        std::lock_guard lock(s->m);
                                        s->events.push_back(e);
                                        s->changed.notify_all();
                                    },
                                    RigTiming{50, 50, 3000});
    worker->configure(RigConfig{1, {}, 0, RigPtt::Cat});
    ASSERT_TRUE(s->waitFor([&] { return s->lastEvent(RigEvent::Kind::Reading); }));
    worker->setPtt(true);
    ASSERT_TRUE(s->waitFor([&] { return has(s->calls, "key"); }));

    s->setAnswering(false);
    worker->setPtt(false);
    ASSERT_TRUE(s->waitFor([&] { return s->lastEvent(RigEvent::Kind::NotResponding); }));
    EXPECT_EQ(s->events.back().error, "no answer");
    worker->setPtt(true); // while the rig is away: never sent later
    worker->tune(7'035'000, RigMode::UsbData);
    ASSERT_TRUE(s->waitFor([&] { return has(s->calls, "open (no answer)"); }));

    const size_t back = s->count();
    s->setAnswering(true);
    ASSERT_TRUE(s->waitFor([&] { return s->lastEvent(RigEvent::Kind::Reading, 7'035'000); }));
    std::vector<std::string> after = s->since(back);
    EXPECT_FALSE(has(after, "key"));
    after.resize(4);
    EXPECT_EQ(after, (std::vector<std::string>{"open", "unkey", "tune 7035000", "mode 2"}));

    const size_t keyedAt = s->count();
    worker->setPtt(true);
    ASSERT_TRUE(s->waitFor([&] {
        return std::find(s->calls.begin() + static_cast<long>(keyedAt), s->calls.end(), "key") !=
               s->calls.end();
    }));
    const size_t beforeStop = s->count();
    worker.reset();
    const std::vector<std::string> stop = s->since(beforeStop);
    ASSERT_GE(stop.size(), 2u);
    EXPECT_EQ(stop[stop.size() - 2], "unkey");
    EXPECT_EQ(stop.back(), "close");
}

} // namespace
} // namespace tavrel
