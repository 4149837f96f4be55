// The plain rules of rig control: bands and presets, the rigs' frequency frames, line settings,
// port items, the opening group, the Hamlib rig the settings name, and the rig worker over a rig
// that stops answering.

#include "radio/BandPlan.h"
#include "radio/PortNames.h"
#include "radio/RigCommands.h"
#include "radio/RigSetup.h"
#include "radio/RigWorker.h"
#include "radio/SerialPort.h"
#include "support/FakeSerial.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <string>
#include <tuple>

namespace tavrel {
namespace {

// The band, its button's frequency, the dial text and the three models' frames for it.
using BandRow = std::tuple<const char*, uint32_t, const char*, const char*, const char*, const char*>;
const BandRow kBands[] = {
    {"160", 1'838'000, "1.838.00", "FE FE 04 E0 05 00 80 83 01 FD", "00 38 18 00 0A", "FA00001838000;"},
    {"80", 3'580'000, "3.580.00", "FE FE 04 E0 05 00 00 58 03 FD", "00 80 35 00 0A", "FA00003580000;"},
    {"60", 5'357'000, "5.357.00", "FE FE 04 E0 05 00 70 35 05 FD", "00 57 53 00 0A", "FA00005357000;"},
    {"40", 7'035'000, "7.035.00", "FE FE 04 E0 05 00 50 03 07 FD", "00 35 70 00 0A", "FA00007035000;"},
    {"30", 10'142'000, "10.142.00", "FE FE 04 E0 05 00 20 14 10 FD", "00 42 01 01 0A", "FA00010142000;"},
    {"20", 14'070'000, "14.070.00", "FE FE 04 E0 05 00 00 07 14 FD", "00 70 40 01 0A", "FA00014070000;"},
    {"17", 18'100'000, "18.100.00", "FE FE 04 E0 05 00 00 10 18 FD", "00 00 81 01 0A", "FA00018100000;"},
    {"15", 21'070'000, "21.070.00", "FE FE 04 E0 05 00 00 07 21 FD", "00 70 10 02 0A", "FA00021070000;"},
    {"12", 24'920'000, "24.920.00", "FE FE 04 E0 05 00 00 92 24 FD", "00 20 49 02 0A", "FA00024920000;"},
    {"10", 28'120'000, "28.120.00", "FE FE 04 E0 05 00 00 12 28 FD", "00 20 81 02 0A", "FA00028120000;"},
    {"6", 50'290'000, "50.290.00", "FE FE 04 E0 05 00 00 29 50 FD", "00 90 02 05 0A", "FA00050290000;"},
};

TEST(BandPlan, EveryBandTunesItsFrequencyWithEachModelsExactBytes) {
    ASSERT_EQ(allBands().size(), std::size(kBands));
    for (auto [band, hz, dial, icom, yaesu, kenwood] : kBands) {
        ASSERT_NE(findBand(band), nullptr) << band;
        EXPECT_EQ(std::tuple(findBand(band)->frequencyHz, dialText(hz), dialKHz(hz)),
                  std::tuple(hz, std::string(dial), hz / 1000.0));
        // Other models ("4" is Hamlib's) have no frame.
        EXPECT_EQ(std::vector({hexBytes(setFrequencyCommand(hz, "1")), hexBytes(setFrequencyCommand(hz, "2")),
                               setFrequencyCommand(hz, "3"),
                               setFrequencyCommand(hz, "4") + setFrequencyCommand(hz, " 1")}),
                  std::vector<std::string>({icom, yaesu, kenwood, ""}));
    }
    for (const char* band : {"", "11", "20m", " 20"})
        EXPECT_EQ(findBand(band), nullptr) << band;
    const std::pair<uint64_t, const char*> edges[] = {
        {1'799'999, nullptr}, {1'800'000, "160"}, {2'000'000, "160"},   {4'000'001, nullptr},
        {5'366'500, "60"},    {7'300'000, "40"},  {7'300'001, nullptr}, {10'136'000, "30"},
        {18'068'000, "17"},   {24'915'000, "12"}, {29'700'000, "10"},   {50'313'000, "6"},
        {9'500'000, nullptr}, {0, nullptr}};
    for (auto [hz, band] : edges)
        EXPECT_EQ(bandOfFrequency(hz) ? std::string(bandOfFrequency(hz)->band) : "none", band ? band : "none")
            << hz;
}

TEST(BandPlan, PresetIsTheKilohertzAfterTheBandsMegahertz) {
    const std::tuple<const char*, const char*, std::optional<uint32_t>> cases[] = {
        {"40", "035", 7'035'000},     {"40", " 40\t", 7'040'000},     {"40", "070.15", 7'070'150},
        {"20", "0", 14'000'000},      {"20", "070.125", 14'070'125},  {"40", "", std::nullopt},
        {"40", "abc", std::nullopt},  {"40", "035.", std::nullopt},   {"40", "035.1234", std::nullopt},
        {"40", "-35", std::nullopt},  {"40", "35 kHz", std::nullopt}, {"40", "350", std::nullopt},
        {"20", "1000", std::nullopt}, {"80", "580", std::nullopt}, // no preset box on 80 m
    };
    for (auto [name, preset, hz] : cases) {
        const BandInfo& band = *findBand(name);
        EXPECT_EQ(std::pair(presetFrequency(band, preset), bandFrequency(band, preset)),
                  std::pair(hz, hz.value_or(band.frequencyHz)))
            << name << " '" << preset << "'";
    }
}

// Frequencies off the table reach every BCD digit position and both nibbles.
TEST(RigFrames, PackedBcdPutsTheLowestDigitPairFirst) {
    EXPECT_EQ(hexBytes(icomSetFrequency(12'345'678)), "FE FE 04 E0 05 78 56 34 12 FD");
    EXPECT_EQ(hexBytes(icomSetFrequency(3'573'000, 0x58, 0xE1)), "FE FE 58 E1 05 00 30 57 03 FD");
    // Yaesu counts in 10 Hz, so the last Hz digit is dropped.
    EXPECT_EQ(hexBytes(yaesuSetFrequency(10'138'709)), "70 38 01 01 0A");
    EXPECT_EQ(dialText(10'138'709), "10.138.70");
}

TEST(LineSettingsText, WellFormedTextsAreReadAndOthersRefused) {
    using Stop = LineSettings::StopBits;
    const std::pair<const char*, LineSettings> good[] = {
        {"9600,N,8,2", {9600, 'N', 8, Stop::Two}},
        {"1200, E, 7, 1", {1200, 'E', 7, Stop::One}},
        {" 4800 ,o, 5 ,1.5 ", {4800, 'O', 5, Stop::OneAndHalf}},
        {"300,\tm,6,1", {300, 'M', 6, Stop::One}},
        {"115200, S, 8, 1", {115200, 'S', 8, Stop::One}}};
    for (const auto& [text, expected] : good)
        EXPECT_EQ(parseLineSettings(text), expected) << text;
    // ", , , " is what empty line-setting items give.
    for (const char* text :
         {"", ", , , ", "9600, N, 8", "9600, N, 8, 2, 1", "9600 N 8 2", "9600, X, 8, 2", "9600, NN, 8, 2",
          "-9600, N, 8, 2", "96OO, N, 8, 2", "0, N, 8, 1", "9600, N, 9, 1", "9600, N, 4, 1", "9600, N, 8, 3",
          "9600, N, 8, 1.0", "99999999999999999999, N, 8, 1"})
        EXPECT_FALSE(parseLineSettings(text).has_value()) << "'" << text << "'";
}

TEST(PortItem, NumbersOneToFourAreTheMachinesPortsAndPathsStandAsTyped) {
    const std::pair<const char*, const char*> ports[] = {{"1", "/dev/ttyS0"},  {" 2", "/dev/ttyS1"},
                                                         {"4", "/dev/ttyS3"},  {"2.4", "/dev/ttyS1"},
                                                         {"+1", "/dev/ttyS0"}, {" /dev/rig ", "/dev/rig"}};
    for (auto [item, device] : ports)
        EXPECT_EQ(std::pair(resolvePortName(item), isPortItem(item)), std::pair(std::string(device), true))
            << item;
    for (const char* item : {"0", "", "5", "-1", "COM1", "ttyUSB0", "0.4"})
        EXPECT_EQ(std::pair(resolvePortName(item), isPortItem(item)), std::pair(std::string(), false))
            << item;
    // The PTT port goes to the modem as a path or a whole number.
    const std::pair<const char*, const char*> ptt[] = {
        {"", "0"}, {"2", "2"}, {" 3.4", "3"}, {"COM1", "0"}, {" /dev/ttyUSB0 ", "/dev/ttyUSB0"}};
    for (auto [item, argument] : ptt)
        EXPECT_EQ(pttPortArgument(item), argument) << "'" << item << "'";
    EXPECT_TRUE(sameDevice("1", " /dev/ttyS0"));
    EXPECT_FALSE(sameDevice("0", ""));
}

TEST(PortItem, DeviceListIsUsbAndAcmInNaturalOrderMergedWithKnownPorts) {
    TempDir dev;
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSB0", "tty0", "null", "ttyS0"})
        writeFile(dev.path / name, "x");
    const std::string d = dev.path.string();
    const std::vector<std::string> expected = {"/dev/ttyS0", d + "/ttyACM0", d + "/ttyUSB0", d + "/ttyUSB2",
                                               d + "/ttyUSB10"};
    EXPECT_EQ(serialDevicesIn(d, {"/dev/ttyS0", d + "/ttyUSB2"}), expected);
    EXPECT_EQ(serialDevicesIn(d + "/gone", {}), std::vector<std::string>{}); // no folder: nothing, no throw
}

// Each of the four writes failing in turn stops the group there, with the port left closed.
TEST(OpeningGroup, StopsAtTheFirstFailedWrite) {
    using P = FakeSerial::Property;
    const std::vector<std::string> all = {"CommPort=1", "Settings=9600, N, 8, 2", "Handshaking=0",
                                          "PortOpen=1"};
    const P order[] = {P::CommPort, P::Settings, P::Handshaking, P::PortOpen};
    for (size_t i = 0; i <= 4; ++i) {
        FakeSerial port;
        std::vector<std::string> expected(all.begin(), all.begin() + static_cast<long>(i));
        if (i < 4) port.failWrites(order[i]), expected.push_back(all[i] + " (failed)");
        const bool opened = openPort(port, "1", "9600, N, 8, 2");
        EXPECT_EQ(std::tuple(opened, port.portOpen(), port.writes()), std::tuple(i == 4, i == 4, expected))
            << i;
    }
}

TEST(RigSetup, SettingsNameTheRigItsPortAndWherePttGoes) {
    // Items: model, port, baud, PTT port, PTT line.
    const std::tuple<RigSetupItems, std::optional<RigConfig>, const char*> cases[] = {
        {{"", "1", "", "", "2"}, std::nullopt, "no Hamlib rig model chosen"},
        {{"999999", "1", "", "", "2"}, std::nullopt, "Hamlib has no rig model 999999"},
        {{"3073", "0", "19200", "", "2"}, std::nullopt, "no CAT port set for Icom IC-7300"},
        {{"1", "", "", "", "2"}, RigConfig{1, "", 0, RigPtt::None}, ""},
        // A serial rig without a PTT port of its own keys RTS on the CAT port, as the others do.
        {{"3073", "2", "19200", "0", "2"}, RigConfig{3073, "/dev/ttyS1", 19200, RigPtt::Rts}, ""},
        {{"3073", " /dev/rig ", "x", "/dev/ptt", "1"}, RigConfig{3073, "/dev/rig", 0, RigPtt::None}, ""},
        {{"3073", "/dev/rig", "38400", "2", "4"}, RigConfig{3073, "/dev/rig", 38400, RigPtt::Cat}, ""},
        {{"2", "localhost:4532", "", "0", "2"}, RigConfig{2, "localhost:4532", 0, RigPtt::None}, ""},
        // A serial rig reached over the network has no RTS line here.
        {{"3073", "shack:4000", "", "0", "2"}, RigConfig{3073, "shack:4000", 0, RigPtt::None}, ""},
        {{"2", " 127.0.0.1:4533", "", "0", "4"}, RigConfig{2, "127.0.0.1:4533", 0, RigPtt::Cat}, ""},
    };
    for (const auto& [items, config, problem] : cases) {
        const RigSetup s = hamlibSetup(items);
        EXPECT_EQ(std::pair(s.config, s.problem), std::pair(config, std::string(problem)))
            << "model '" << items.model << "', port '" << items.port << "'";
    }
    EXPECT_EQ(bandMode("1"), RigMode::UsbData);
    EXPECT_EQ(bandMode(""), RigMode::Usb);
}

// A rig that answers while `answering` and notes what it was asked, in order, and the worker's
// last event.
struct Script {
    std::mutex m;
    std::condition_variable changed;
    bool answering = true;
    std::vector<std::string> calls;
    std::optional<RigEvent> last;

    // Waits (at most ten seconds) until pred holds; the lock is held while it is tested.
    template <typename P> bool waitFor(P pred) {
        std::unique_lock lock(m);
        return changed.wait_for(lock, std::chrono::seconds(10), pred);
    }
    RigResult note(const std::string& call) {
        std::lock_guard lock(m);
        calls.push_back(call + (answering ? "" : " (no answer)"));
        changed.notify_all();
        return answering ? RigResult::ok() : RigResult::lost("no answer");
    }
    // Calls from `first` on.
    std::vector<std::string> since(size_t first) {
        std::lock_guard lock(m);
        return {calls.begin() + static_cast<long>(std::min(first, calls.size())), calls.end()};
    }
    // For waitFor's predicates, which hold the lock already.
    bool has(const std::string& call, size_t from = 0) const {
        return std::find(calls.begin() + static_cast<long>(std::min(from, calls.size())), calls.end(),
                         call) != calls.end();
    }
    bool lastEvent(RigEvent::Kind kind, uint64_t hz = 0) const {
        return last && last->kind == kind && (hz == 0 || last->reading.hz == hz);
    }
};

class ScriptedRig final : public Rig {
public:
    explicit ScriptedRig(std::shared_ptr<Script> s) : m_s(std::move(s)) {}
    RigResult open() override { return m_s->note("open"); }
    void close() override { m_s->note("close"); }
    RigResult setFrequency(uint64_t hz) override {
        const RigResult r = m_s->note("tune " + std::to_string(hz));
        m_hz = r ? hz : m_hz;
        return r;
    }
    RigResult setMode(RigMode mode) override {
        return m_s->note("mode " + std::to_string(static_cast<int>(mode)));
    }
    RigResult readFrequency(uint64_t& hz) override { return hz = m_hz, m_s->note("read"); }
    RigResult readMode(RigMode& mode) override { return mode = RigMode::Usb, m_s->note("read mode"); }
    RigResult setPtt(bool on) override { return m_s->note(on ? "key" : "unkey"); }

private:
    std::shared_ptr<Script> m_s;
    uint64_t m_hz = 14'070'000;
};

// A key goes only to a rig that answers now; an unkey that did not reach the rig is sent as soon as
// it answers again, before anything else; a tune asked for meanwhile follows; and the rig is
// unkeyed before it is closed for good. The dial is read back only after an opening or a tune.
TEST(RigWorker, UnkeyIsNeverLostAndKeyIsNeverLate) {
    auto s = std::make_shared<Script>();
    const auto sink = [s](const RigEvent& e) {
        std::lock_guard lock(s->m);
        s->last = e;
        s->changed.notify_all();
    };
    const auto answer = [s](bool on) {
        std::lock_guard lock(s->m);
        s->answering = on;
        s->last.reset();
        return s->calls.size();
    };
    // No dial read-back while the test runs: each request has to wake the worker itself.
    auto worker =
        std::make_unique<RigWorker>([s](const RigConfig&) { return std::make_unique<ScriptedRig>(s); }, sink,
                                    RigTiming{600'000, 50, 3000});
    worker->configure(RigConfig{1, {}, 0, RigPtt::Cat});
    ASSERT_TRUE(s->waitFor([&] { return s->lastEvent(RigEvent::Kind::Reading); }));
    worker->setPtt(true);
    ASSERT_TRUE(s->waitFor([&] { return s->has("key"); }));

    answer(false);
    worker->setPtt(false);
    ASSERT_TRUE(s->waitFor([&] { return s->lastEvent(RigEvent::Kind::NotResponding); }));
    EXPECT_EQ(s->last->error, "no answer");
    worker->setPtt(true); // while the rig is away: never sent later
    worker->tune(7'035'000, RigMode::UsbData);
    ASSERT_TRUE(s->waitFor([&] { return s->has("open (no answer)"); }));

    const size_t back = answer(true);
    ASSERT_TRUE(s->waitFor([&] { return s->lastEvent(RigEvent::Kind::Reading, 7'035'000); }));
    std::vector<std::string> after = s->since(back);
    EXPECT_EQ(std::count(after.begin(), after.end(), "key"), 0);
    after.resize(4);
    EXPECT_EQ(after, (std::vector<std::string>{"open", "unkey", "tune 7035000", "mode 2"}));

    worker->tune(14'070'000, RigMode::Usb); // on an open rig, too, the dial is read back after a tune
    ASSERT_TRUE(s->waitFor([&] { return s->lastEvent(RigEvent::Kind::Reading, 14'070'000); }));
    const size_t keyedAt = s->since(0).size();
    worker->setPtt(true);
    ASSERT_TRUE(s->waitFor([&] { return s->has("key", keyedAt); }));
    worker.reset();
    std::vector<std::string> stop = s->since(keyedAt);
    EXPECT_EQ(std::vector(stop.end() - 2, stop.end()), (std::vector<std::string>{"unkey", "close"}));
    // The dial was read after the opening and after each tune, and never in between.
    EXPECT_EQ(std::count(s->calls.begin(), s->calls.end(), "read"), 3);
}

} // namespace
} // namespace tavrel
