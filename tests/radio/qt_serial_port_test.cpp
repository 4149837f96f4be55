// The serial lines over a real pseudo-terminal pair, the CAT port (QtSerialPort) and the modem's PTT
// port: the port opens the slave side, the test reads and inspects it from the master side.

#include "PtyPair.h"
#include "modem/audio/PttPort.h"
#include "radio/QtSerialPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdarg>
#include <dlfcn.h>
#include <functional>
#include <mutex>
#include <sys/ioctl.h>
#include <tuple>
#include <unistd.h>
#include <vector>

// A pseudo-terminal has no modem lines, so RTS and DTR cannot be read back from one. For the tests
// that need them, the modem-control ioctls on the slave device are answered here, the way a serial
// driver would, and every other ioctl goes on to the C library.
namespace {
std::mutex g_linesMutex;
std::string g_linesDevice;              // the device whose lines are emulated; empty = none
int g_lines = 0;                        // TIOCM_* bits currently set
std::vector<unsigned long> g_lineCalls; // the modem-line requests made on it, in order

bool emulatedDevice(int fd) {
    if (g_linesDevice.empty()) return false;
    char link[64];
    char target[256];
    std::snprintf(link, sizeof link, "/proc/self/fd/%d", fd);
    const ssize_t n = ::readlink(link, target, sizeof target - 1);
    return n > 0 && std::string(target, static_cast<size_t>(n)) == g_linesDevice;
}
} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    if (request == TIOCMGET || request == TIOCMSET || request == TIOCMBIS || request == TIOCMBIC) {
        std::lock_guard lock(g_linesMutex);
        if (emulatedDevice(fd)) {
            int* bits = static_cast<int*>(arg);
            g_lineCalls.push_back(request);
            if (request == TIOCMGET) *bits = g_lines;
            if (request == TIOCMSET) g_lines = *bits;
            if (request == TIOCMBIS) g_lines |= *bits;
            if (request == TIOCMBIC) g_lines &= ~*bits;
            return 0;
        }
    }
    using IoctlFn = int (*)(int, unsigned long, ...);
    static const auto next = reinterpret_cast<IoctlFn>(::dlsym(RTLD_NEXT, "ioctl"));
    return next(fd, request, arg);
}

namespace tavrel {
namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "qt_serial_port_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

class QtSerialPortOnPty : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ASSERT_TRUE(m_pty.ok()) << "no pseudo-terminal available";
    }
    void TearDown() override {
        std::lock_guard lock(g_linesMutex);
        g_linesDevice.clear();
    }
    // Lines as the kernel leaves them when a tty opens: both raised.
    void emulateLinesRaised() {
        std::lock_guard lock(g_linesMutex);
        g_linesDevice = m_pty.slave();
        g_lines = TIOCM_RTS | TIOCM_DTR;
        g_lineCalls.clear();
    }
    static std::vector<unsigned long> lineCalls() {
        std::lock_guard lock(g_linesMutex);
        return g_lineCalls;
    }
    static int lines() {
        std::lock_guard lock(g_linesMutex);
        return g_lines;
    }

    PtyPair m_pty;
    QtSerialPort m_port;
};

TEST_F(QtSerialPortOnPty, LineSettingsReachTheDeviceAndEveryByteArrivesUnchanged) {
    // These parse, but no Linux tty has 1.5 stop bits and a pseudo-terminal has no parity: the
    // opening fails.
    ASSERT_TRUE(m_port.setCommPort(m_pty.slave()));
    for (const char* text : {"9600, N, 8, 1.5", "9600, E, 8, 1", "9600, N, 7, 1"}) {
        ASSERT_TRUE(m_port.setSettings(text));
        EXPECT_FALSE(m_port.setPortOpen(true)) << text;
        EXPECT_FALSE(m_port.portOpen()) << text;
    }
    // Only speed and stop bits can vary on a pseudo-terminal: first applied by opening, then
    // changed on the open port.
    const std::tuple<const char*, speed_t, bool> rows[] = {
        {"9600, N, 8, 2", B9600, true}, {"1200,N,8,1", B1200, false}, {"19200 , n , 8 , 1", B19200, false}};
    for (const auto& [text, speed, twoStops] : rows) {
        SCOPED_TRACE(text);
        if (!m_port.portOpen())
            ASSERT_TRUE(openPort(m_port, m_pty.slave(), text));
        else
            ASSERT_TRUE(m_port.setSettings(text));
        const termios t = m_pty.slaveTermios();
        EXPECT_EQ(cfgetospeed(&t), speed);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, twoStops);
        EXPECT_EQ(t.c_cflag & (CSIZE | PARENB), static_cast<tcflag_t>(CS8));
        EXPECT_EQ(t.c_oflag & OPOST, 0u) << "output must not be translated";
        EXPECT_EQ(m_port.settings(), text);
    }
    // Refused on the open port (malformed, or more than the device takes): the old ones stay.
    for (const char* text : {"9600, N, 8", "9600, E, 7, 2", "4800, N, 8, 1.5"})
        EXPECT_FALSE(m_port.setSettings(text)) << text;
    EXPECT_EQ(m_port.settings(), "19200 , n , 8 , 1");
    const termios t = m_pty.slaveTermios();
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_FALSE(t.c_cflag & CSTOPB);

    std::string all;
    for (int i = 0; i < 256; ++i)
        all.push_back(static_cast<char>(i));
    EXPECT_TRUE(m_port.output(all));
    EXPECT_TRUE(m_port.output("\xFE\xFE\x04\xE0\x05"));
    EXPECT_EQ(m_pty.read(all.size() + 5), all + "\xFE\xFE\x04\xE0\x05");
    EXPECT_EQ(m_pty.read(1, 200), "") << "bytes added on the way";

    // No modem lines to key: refused, and the port goes on working.
    EXPECT_FALSE(m_port.setRTSEnable(true));
    EXPECT_FALSE(m_port.rtsEnable());
    app().processEvents();
    EXPECT_TRUE(m_port.output("ok"));
    EXPECT_EQ(m_pty.read(2), "ok");
}

TEST_F(QtSerialPortOnPty, OnlyRtsEnableRaisesRtsAndNothingKeysTheRigAtOpening) {
    EXPECT_FALSE(m_port.setRTSEnable(true)); // closed: refused, and not remembered for the opening
    ASSERT_TRUE(m_port.setCommPort(m_pty.slave()));
    emulateLinesRaised();
    EXPECT_FALSE(m_port.setRTSEnable(true));
    ASSERT_TRUE(m_port.setPortOpen(true));
    EXPECT_EQ(lines() & (TIOCM_RTS | TIOCM_DTR), 0) << "the port keyed the rig as it opened";
    EXPECT_FALSE(m_port.rtsEnable());

    ASSERT_TRUE(m_port.setRTSEnable(true));
    EXPECT_TRUE(m_port.rtsEnable());
    EXPECT_EQ(lines() & (TIOCM_RTS | TIOCM_DTR), TIOCM_RTS);
    // Other writes keep the line where the program put it, and DTR down.
    ASSERT_TRUE(m_port.setSettings("1200, N, 8, 2"));
    ASSERT_TRUE(m_port.setHandshaking(0));
    ASSERT_TRUE(m_port.output("x"));
    EXPECT_EQ(lines() & (TIOCM_RTS | TIOCM_DTR), TIOCM_RTS);
    ASSERT_TRUE(m_port.setRTSEnable(false));
    EXPECT_EQ(lines() & (TIOCM_RTS | TIOCM_DTR), 0);

    // Closing while keyed unkeys, and the next opening starts low again.
    ASSERT_TRUE(m_port.setRTSEnable(true));
    ASSERT_TRUE(m_port.setPortOpen(false));
    EXPECT_FALSE(m_port.rtsEnable());
    EXPECT_EQ(lines() & TIOCM_RTS, 0);
    emulateLinesRaised();
    ASSERT_TRUE(m_port.setPortOpen(true));
    EXPECT_EQ(lines() & (TIOCM_RTS | TIOCM_DTR), 0);
}

TEST_F(QtSerialPortOnPty, PortIsChosenOnlyWhileClosedAndOnlyAmongRealPorts) {
    for (const char* item : {"0", "", "5", "COM1"})
        EXPECT_FALSE(m_port.setCommPort(item)) << item;
    EXPECT_FALSE(m_port.setPortOpen(true));
    EXPECT_FALSE(m_port.setHandshaking(3));
    EXPECT_FALSE(m_port.setHandshaking(-1));
    EXPECT_EQ(m_port.handshaking(), 0);
    EXPECT_FALSE(openPort(m_port, "/dev/tavrel-no-such-port", "9600, N, 8, 1"));
    EXPECT_FALSE(m_port.portOpen());
    EXPECT_FALSE(m_port.output("x"));

    // The failure leaves the port usable; once open, a second group (a re-apply) cannot move it.
    PtyPair other;
    ASSERT_TRUE(other.ok());
    ASSERT_TRUE(openPort(m_port, m_pty.slave(), "9600, N, 8, 2"));
    EXPECT_EQ(m_port.deviceName(), m_pty.slave());
    EXPECT_FALSE(openPort(m_port, other.slave(), "1200, E, 7, 1"));
    EXPECT_FALSE(m_port.setPortOpen(true)) << "already open";
    EXPECT_TRUE(m_port.portOpen());
    EXPECT_EQ(m_port.commPort(), m_pty.slave());
    EXPECT_EQ(m_port.settings(), "9600, N, 8, 2");
    EXPECT_TRUE(m_port.output("A"));
    EXPECT_EQ(m_pty.read(1), "A");
    EXPECT_EQ(other.read(1, 200), "");
    // Closed, it can be moved.
    ASSERT_TRUE(m_port.setPortOpen(false));
    ASSERT_TRUE(m_port.setCommPort(other.slave()));
    ASSERT_TRUE(m_port.setPortOpen(true));
    EXPECT_TRUE(m_port.output("B"));
    EXPECT_EQ(other.read(1), "B");
}

// The kernel raises both lines inside open(); the PTT port drops them with its next call.
TEST_F(QtSerialPortOnPty, PttPortDropsBothLinesFirstAndKeysOnlyTheChosenOnes) {
    emulateLinesRaised();
    SerialPttPort ptt;
    ASSERT_TRUE(ptt.open(m_pty.slave()));
    EXPECT_EQ(lines(), 0) << "the PTT port keyed the rig as it opened";
    ASSERT_FALSE(lineCalls().empty());
    EXPECT_EQ(lineCalls().front(), static_cast<unsigned long>(TIOCMBIC));
    const int lineBits[] = {0, TIOCM_RTS, TIOCM_DTR, TIOCM_RTS | TIOCM_DTR};
    for (int line : {1, 2, 3}) {
        ptt.setKeyed(true, line);
        EXPECT_EQ(lines(), lineBits[line]) << line;
        ptt.setKeyed(false, line);
        EXPECT_EQ(lines(), 0) << line;
    }
    ptt.setKeyed(true, 3);
    ptt.close();
    EXPECT_EQ(lines(), 0) << "closing while keyed left the rig transmitting";
    EXPECT_FALSE(ptt.isOpen());
}

// The far end of a pseudo-terminal closing hangs the line up, as pulling a USB adapter does. A
// hung-up line is always readable: left open it would keep the event loop busy for ever.
TEST_F(QtSerialPortOnPty, LineThatHangsUpIsClosedAndReportedOnce) {
    PtyPair pttLine;
    SerialPttPort ptt;
    int lost = 0;
    ptt.onLost = [&] { ++lost; };
    ASSERT_TRUE(openPort(m_port, m_pty.slave(), "9600, N, 8, 1"));
    ASSERT_TRUE(ptt.open(pttLine.slave()));
    pttLine.write("noise from the rig");
    m_pty.write("echo");
    const auto pump = [](int ms, const std::function<bool()>& done) {
        QElapsedTimer timer;
        timer.start();
        while (!done() && timer.elapsed() < ms)
            app().processEvents(QEventLoop::AllEvents, 20);
    };
    pump(200, [] { return false; });
    EXPECT_EQ(lost, 0) << "input taken for a hang-up";
    EXPECT_TRUE(m_port.portOpen());

    m_pty.closeMaster();
    pttLine.closeMaster();
    pump(2000, [&] { return !m_port.portOpen() && lost > 0; });
    pump(100, [] { return false; });
    EXPECT_FALSE(m_port.portOpen());
    EXPECT_FALSE(m_port.output("x"));
    EXPECT_EQ(lost, 1);
    EXPECT_FALSE(ptt.isOpen());
    PtyPair back; // opening again works once the device is back
    EXPECT_TRUE(ptt.open(back.slave()));
}

} // namespace
} // namespace tavrel
