#include "radio/PortNames.h"
#include "radio/SerialPort.h"
#include "support/FakeSerial.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <unistd.h>

namespace tavrel {
namespace {

using Stop = LineSettings::StopBits;

TEST(LineSettingsText, WellFormedTextsWithAndWithoutBlanks) {
    struct Row {
        const char* text;
        LineSettings expected;
    };
    const Row rows[] = {
        {"9600, N, 8, 2", {9600, 'N', 8, Stop::Two}}, {"9600,N,8,2", {9600, 'N', 8, Stop::Two}},
        {"1200, E, 7, 1", {1200, 'E', 7, Stop::One}}, {" 4800 ,o, 5 ,1.5 ", {4800, 'O', 5, Stop::OneAndHalf}},
        {"300,\tm,6,1", {300, 'M', 6, Stop::One}},    {"115200, S, 8, 1", {115200, 'S', 8, Stop::One}},
    };
    for (const Row& r : rows) {
        const auto got = parseLineSettings(r.text);
        ASSERT_TRUE(got.has_value()) << r.text;
        EXPECT_EQ(*got, r.expected) << r.text;
    }
}

TEST(LineSettingsText, MalformedTextsAreRefused) {
    // ", , , " is what empty line-setting items give.
    for (const char* text :
         {"", ", , , ", "9600, N, 8", "9600, N, 8, 2, 1", "9600 N 8 2", "9600, X, 8, 2", "9600, NN, 8, 2",
          "9600, , 8, 2", "-9600, N, 8, 2", "96OO, N, 8, 2", "0, N, 8, 1", "9600, N, 9, 1", "9600, N, 4, 1",
          "9600, N, 8, 3", "9600, N, 8, 1.0", "9600.5, N, 8, 1", "9600, N, 8 8, 1",
          "99999999999999999999, N, 8, 1"})
        EXPECT_FALSE(parseLineSettings(text).has_value()) << "'" << text << "'";
}

TEST(PortItem, NumbersOneToFourAreTheMachinesSerialPorts) {
    struct Row {
        const char* item;
        const char* device;
    };
    const Row rows[] = {
        {"1", "/dev/ttyS0"},
        {"2", "/dev/ttyS1"},
        {" 2", "/dev/ttyS1"},
        {"4", "/dev/ttyS3"},
        {"3 ", "/dev/ttyS2"},
        {"2.4", "/dev/ttyS1"},
        {"+1", "/dev/ttyS0"},
        {"/dev/ttyUSB0", "/dev/ttyUSB0"},
        {" /dev/ttyACM1 ", "/dev/ttyACM1"},
        {"/dev/pts/7", "/dev/pts/7"},
        {"0", ""},
        {"", ""},
        {"5", ""},
        {"-1", ""},
        {"COM1", ""},
        {"ttyUSB0", ""},
        {"Yes", ""},
        {"0.4", ""},
    };
    for (const Row& r : rows) {
        EXPECT_EQ(resolvePortName(r.item), r.device) << "'" << r.item << "'";
        EXPECT_EQ(isPortItem(r.item), *r.device != '\0') << "'" << r.item << "'";
    }
}

TEST(PortItem, PttItemIsHandedOverAsAPathOrAWholeNumber) {
    struct Row { const char* item; const char* argument; bool path; };
    for (const Row& r : {Row{"", "0", false}, Row{"0", "0", false}, Row{"2", "2", false}, Row{" 3.4", "3", false},
                         Row{"COM1", "0", false}, Row{" /dev/ttyUSB0 ", "/dev/ttyUSB0", true}}) {
        EXPECT_EQ(pttPortArgument(r.item), r.argument) << "'" << r.item << "'";
        EXPECT_EQ(isDevicePath(r.item), r.path) << "'" << r.item << "'";
    }
}

TEST(PortList, UsbAndAcmDevicesInNaturalOrderMergedWithKnownPorts) {
    const auto dir = std::filesystem::temp_directory_path() / ("tavrel-dev-" + std::to_string(::getpid()));
    std::filesystem::create_directories(dir);
    for (const char* name : {"ttyUSB10", "ttyUSB2", "ttyACM0", "ttyUSB0", "tty0", "null", "ttyS0"})
        std::ofstream(dir / name).put('x');
    const std::string d = dir.string();
    const auto got = serialDevicesIn(d, {"/dev/ttyS0", d + "/ttyUSB2"});
    const std::vector<std::string> expected = {"/dev/ttyS0", d + "/ttyACM0", d + "/ttyUSB0", d + "/ttyUSB2",
                                               d + "/ttyUSB10"};
    EXPECT_EQ(got, expected);
    std::filesystem::remove_all(dir);
    EXPECT_EQ(serialDevicesIn(d, {}), std::vector<std::string>{}); // folder gone: nothing, no throw
}

// The opening group over the fake: each of the four writes failing in turn stops the group there
// and leaves the port closed with nothing after the failed write attempted.
TEST(OpeningGroup, StopsAtTheFirstFailedWrite) {
    using P = FakeSerial::Property;
    const std::vector<std::string> all = {"CommPort=1", "Settings=9600, N, 8, 2", "Handshaking=0",
                                          "PortOpen=1"};
    const P order[] = {P::CommPort, P::Settings, P::Handshaking, P::PortOpen};
    for (size_t i = 0; i < 4; ++i) {
        SCOPED_TRACE(all[i]);
        FakeSerial port;
        port.failWrites(order[i]);
        EXPECT_FALSE(openPort(port, "1", "9600, N, 8, 2"));
        EXPECT_FALSE(port.portOpen());
        std::vector<std::string> expected(all.begin(), all.begin() + static_cast<long>(i));
        expected.push_back(all[i] + " (failed)");
        EXPECT_EQ(port.writes(), expected);
    }
    FakeSerial port;
    EXPECT_TRUE(openPort(port, "1", "9600, N, 8, 2"));
    EXPECT_TRUE(port.portOpen());
    EXPECT_EQ(port.writes(), all);
}

TEST(OpeningGroup, MalformedSettingsOrNoPortNeverOpen) {
    FakeSerial port;
    EXPECT_FALSE(openPort(port, "1", ", , , "));
    EXPECT_FALSE(openPort(port, "0", "9600, N, 8, 1"));
    EXPECT_FALSE(port.portOpen());
    EXPECT_EQ(port.writes(),
              (std::vector<std::string>{"CommPort=1", "Settings=, , ,  (failed)", "CommPort=0 (failed)"}));
}

// A second group on an open port (the re-apply case) fails at CommPort and keeps the first settings.
TEST(OpeningGroup, OnAnOpenPortKeepsThePortAndItsSettings) {
    FakeSerial port;
    ASSERT_TRUE(openPort(port, "1", "9600, N, 8, 2"));
    EXPECT_FALSE(openPort(port, "2", "1200, E, 7, 1"));
    EXPECT_TRUE(port.portOpen());
    EXPECT_EQ(port.commPort(), "1");
    EXPECT_EQ(port.settings(), "9600, N, 8, 2");
}

TEST(FakeSerialPort, RecordsOnlyWhatReachedAnOpenPort) {
    FakeSerial port;
    EXPECT_FALSE(port.output("\xFE\xFE"));
    EXPECT_FALSE(port.setRTSEnable(true));
    ASSERT_TRUE(openPort(port, "/dev/ttyUSB0", "9600,N,8,1"));
    port.clearRecord();
    EXPECT_TRUE(port.output(std::string("\x00\xFE\x0A", 3)));
    EXPECT_TRUE(port.setRTSEnable(true));
    EXPECT_TRUE(port.rtsEnable());
    EXPECT_TRUE(port.setPortOpen(false));
    EXPECT_FALSE(port.rtsEnable()); // closing drops RTS
    EXPECT_EQ(port.written(), std::string("\x00\xFE\x0A", 3));
    EXPECT_EQ(port.writes(), (std::vector<std::string>{"Output=00 FE 0A", "RTSEnable=1", "PortOpen=0"}));
    EXPECT_EQ(port.rtsChanges(), (std::vector<bool>{true, false}));
}

} // namespace
} // namespace tavrel
