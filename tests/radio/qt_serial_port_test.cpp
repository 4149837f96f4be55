// The serial lines over a real pseudo-terminal pair, the CAT port (QtSerialPort) and the modem's PTT
// port: the port opens the slave side, the test reads and inspects it from the master side.

#include "modem/audio/PttPort.h"
#include "radio/QtSerialPort.h"

#include <QCoreApplication>
#include <QElapsedTimer>

#include <gtest/gtest.h>

#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <mutex>
#include <poll.h>
#include <stdlib.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <vector>

// A pseudo-terminal has no modem lines, so RTS and DTR cannot be read back from one. For the tests
// that need them, the modem-control ioctls on the slave device are answered here, the way a serial
// driver would, and every other ioctl goes on to the C library.
namespace {
std::mutex g_linesMutex;
std::string g_linesDevice; // the device whose lines are emulated; empty = none
int g_lines = 0;           // TIOCM_* bits currently set
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

class PtyPair {
public:
    PtyPair() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0) {
            m_slave = ::ptsname(m_master);
            ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        }
    }
    ~PtyPair() { closeMaster(); }
    PtyPair(const PtyPair&) = delete;
    PtyPair& operator=(const PtyPair&) = delete;

    bool ok() const { return m_master >= 0 && !m_slave.empty(); }
    const std::string& slave() const { return m_slave; }
    void write(const std::string& bytes) { (void)::write(m_master, bytes.data(), bytes.size()); }
    void closeMaster() {
        if (m_master >= 0) ::close(m_master);
        m_master = -1;
    }

    // Reads until `count` bytes came or `ms` passed, letting Qt's event loop run meanwhile.
    std::string read(size_t count, int ms = 2000) {
        std::string got;
        QElapsedTimer timer;
        timer.start();
        while (got.size() < count && timer.elapsed() < ms) {
            app().processEvents();
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                char buf[512];
                const ssize_t n = ::read(m_master, buf, sizeof buf);
                if (n > 0) got.append(buf, static_cast<size_t>(n));
            }
        }
        return got;
    }

    // The slave's line settings: on Linux the master answers with its peer's termios.
    termios slaveTermios() const {
        termios t{};
        ::tcgetattr(m_master, &t);
        return t;
    }

private:
    int m_master = -1;
    std::string m_slave;
};

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

TEST_F(QtSerialPortOnPty, EveryByteValueArrivesUnchangedAndInOrder) {
    ASSERT_TRUE(openPort(m_port, m_pty.slave(), "9600, N, 8, 1"));
    EXPECT_TRUE(m_port.portOpen());
    EXPECT_EQ(m_port.deviceName(), m_pty.slave());
    std::string all;
    for (int i = 0; i < 256; ++i)
        all.push_back(static_cast<char>(i));
    EXPECT_TRUE(m_port.output(all));
    // A CI-V frame after it, as a band button sends it.
    const std::string frame("\xFE\xFE\x04\xE0\x05\x00\x00\x07\x14\xFD", 10);
    EXPECT_TRUE(m_port.output(frame));
    EXPECT_EQ(m_pty.read(all.size() + frame.size()), all + frame);
    EXPECT_EQ(m_pty.read(1, 200), "") << "bytes added on the way";
}

TEST_F(QtSerialPortOnPty, LineSettingsReachTheDeviceWhenOpeningAndWhileOpen) {
    // A pseudo-terminal is always 8 bits without parity, so only speed and stop bits vary here.
    struct Row {
        const char* text;
        speed_t speed;
        bool twoStops;
    };
    const Row rows[] = {
        {"9600, N, 8, 2", B9600, true},
        {"1200,N,8,1", B1200, false},
        {"4800, n, 8, 2", B4800, true},
        {"19200 , N , 8 , 1", B19200, false},
    };
    for (const Row& r : rows) {
        SCOPED_TRACE(r.text);
        // First applied by opening, then changed on the open port.
        if (!m_port.portOpen())
            ASSERT_TRUE(openPort(m_port, m_pty.slave(), r.text));
        else
            ASSERT_TRUE(m_port.setSettings(r.text));
        const termios t = m_pty.slaveTermios();
        EXPECT_EQ(cfgetospeed(&t), r.speed);
        EXPECT_EQ((t.c_cflag & CSTOPB) != 0, r.twoStops);
        EXPECT_EQ(t.c_cflag & (CSIZE | PARENB), static_cast<tcflag_t>(CS8));
        EXPECT_EQ(t.c_oflag & OPOST, 0u) << "output must not be translated";
        EXPECT_EQ(m_port.settings(), r.text);
    }
    // Refused on the open port (malformed; or parity a pseudo-terminal cannot carry): old ones stay.
    EXPECT_FALSE(m_port.setSettings("9600, N, 8"));
    EXPECT_FALSE(m_port.setSettings("9600, E, 7, 2"));
    EXPECT_EQ(m_port.settings(), rows[3].text);
    const termios t = m_pty.slaveTermios();
    EXPECT_EQ(cfgetospeed(&t), B19200);
    EXPECT_FALSE(t.c_cflag & CSTOPB);
    EXPECT_TRUE(m_port.portOpen());
}

TEST_F(QtSerialPortOnPty, RtsOnADeviceWithoutModemLinesIsRefusedHarmlessly) {
    ASSERT_TRUE(openPort(m_port, m_pty.slave(), "9600, N, 8, 1"));
    EXPECT_FALSE(m_port.setRTSEnable(true));
    EXPECT_FALSE(m_port.rtsEnable());
    EXPECT_FALSE(m_port.setRTSEnable(false));
    app().processEvents();
    EXPECT_TRUE(m_port.portOpen());
    EXPECT_TRUE(m_port.output("ok"));
    EXPECT_EQ(m_pty.read(2), "ok");
}

TEST_F(QtSerialPortOnPty, OpeningLeavesRtsAndDtrLowAndOnlyRtsEnableRaisesRts) {
    emulateLinesRaised();
    ASSERT_TRUE(openPort(m_port, m_pty.slave(), "9600, N, 8, 1"));
    EXPECT_EQ(lines() & (TIOCM_RTS | TIOCM_DTR), 0) << "the port keyed the rig as it opened";

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
    EXPECT_FALSE(m_port.rtsEnable());
}

TEST_F(QtSerialPortOnPty, RtsCannotBeSetOnAClosedPort) {
    EXPECT_FALSE(m_port.setRTSEnable(true));
    EXPECT_FALSE(m_port.rtsEnable());
    ASSERT_TRUE(m_port.setCommPort(m_pty.slave()));
    emulateLinesRaised();
    EXPECT_FALSE(m_port.setRTSEnable(true));
    ASSERT_TRUE(m_port.setPortOpen(true));
    EXPECT_EQ(lines() & TIOCM_RTS, 0) << "an RTS write made while closed keyed the rig at opening";
}

TEST_F(QtSerialPortOnPty, NonexistentDeviceFailsAndStaysClosed) {
    EXPECT_FALSE(openPort(m_port, "/dev/tavrel-no-such-port", "9600, N, 8, 1"));
    EXPECT_FALSE(m_port.portOpen());
    EXPECT_FALSE(m_port.output("x"));
    // The failure leaves the port usable for the next group.
    EXPECT_TRUE(openPort(m_port, m_pty.slave(), "9600, N, 8, 1"));
}

TEST_F(QtSerialPortOnPty, SettingsTheDeviceCannotTakeFailTheOpening) {
    // Both parse: no Linux tty has 1.5 stop bits, and a pseudo-terminal has no parity.
    ASSERT_TRUE(m_port.setCommPort(m_pty.slave()));
    for (const char* text : {"9600, N, 8, 1.5", "9600, E, 8, 1", "9600, N, 7, 1"}) {
        ASSERT_TRUE(m_port.setSettings(text));
        EXPECT_FALSE(m_port.setPortOpen(true)) << text;
        EXPECT_FALSE(m_port.portOpen()) << text;
    }
    ASSERT_TRUE(m_port.setSettings("9600, N, 8, 1"));
    EXPECT_TRUE(m_port.setPortOpen(true));
    // While open, such settings are refused and the old ones stay in force.
    EXPECT_FALSE(m_port.setSettings("4800, N, 8, 1.5"));
    EXPECT_EQ(m_port.settings(), "9600, N, 8, 1");
    const termios t = m_pty.slaveTermios();
    EXPECT_EQ(cfgetospeed(&t), B9600);
    EXPECT_TRUE(m_port.portOpen());
}

TEST_F(QtSerialPortOnPty, CommPortCannotChangeWhileOpen) {
    PtyPair other;
    ASSERT_TRUE(other.ok());
    ASSERT_TRUE(openPort(m_port, m_pty.slave(), "9600, N, 8, 2"));
    // The second group, as a settings re-apply makes it on a port already open.
    EXPECT_FALSE(openPort(m_port, other.slave(), "1200, E, 7, 1"));
    EXPECT_TRUE(m_port.portOpen());
    EXPECT_EQ(m_port.commPort(), m_pty.slave());
    EXPECT_EQ(m_port.settings(), "9600, N, 8, 2");
    EXPECT_TRUE(m_port.output("A"));
    EXPECT_EQ(m_pty.read(1), "A");
    EXPECT_EQ(other.read(1, 200), "");
    EXPECT_FALSE(m_port.setPortOpen(true)) << "already open";
    // Closed, the port can be moved.
    ASSERT_TRUE(m_port.setPortOpen(false));
    ASSERT_TRUE(m_port.setCommPort(other.slave()));
    ASSERT_TRUE(m_port.setPortOpen(true));
    EXPECT_TRUE(m_port.output("B"));
    EXPECT_EQ(other.read(1), "B");
}

TEST_F(QtSerialPortOnPty, ItemsNamingNoPortAreRefused) {
    for (const char* item : {"0", "", "5", "COM1"})
        EXPECT_FALSE(m_port.setCommPort(item)) << item;
    EXPECT_EQ(m_port.commPort(), "");
    EXPECT_FALSE(m_port.setPortOpen(true));
    EXPECT_FALSE(m_port.setHandshaking(3));
    EXPECT_EQ(m_port.handshaking(), 0);
}

// The far end of a pseudo-terminal closing hangs the line up, as pulling a USB adapter does.
TEST_F(QtSerialPortOnPty, LineThatHangsUpIsReportedClosed) {
    ASSERT_TRUE(openPort(m_port, m_pty.slave(), "9600, N, 8, 1"));
    m_pty.closeMaster();
    QElapsedTimer timer;
    timer.start();
    while (m_port.portOpen() && timer.elapsed() < 2000)
        app().processEvents(QEventLoop::AllEvents, 20);
    EXPECT_FALSE(m_port.portOpen());
    EXPECT_FALSE(m_port.output("x"));
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

// A hung-up line is always readable: left open it would keep the event loop busy for ever.
TEST_F(QtSerialPortOnPty, PttPortWhoseLineHangsUpClosesAndSaysSoOnce) {
    SerialPttPort ptt;
    int lost = 0;
    ptt.onLost = [&] { ++lost; };
    ASSERT_TRUE(ptt.open(m_pty.slave()));
    m_pty.write("noise from the rig");
    for (int i = 0; i < 20; ++i)
        app().processEvents(QEventLoop::AllEvents, 5);
    EXPECT_EQ(lost, 0) << "input taken for a hang-up";
    m_pty.closeMaster();
    QElapsedTimer timer;
    timer.start();
    while (lost == 0 && timer.elapsed() < 2000)
        app().processEvents(QEventLoop::AllEvents, 20);
    for (int i = 0; i < 20; ++i)
        app().processEvents();
    EXPECT_EQ(lost, 1);
    EXPECT_FALSE(ptt.isOpen());
    // Opening again works once the device is back.
    PtyPair back;
    ASSERT_TRUE(back.ok());
    EXPECT_TRUE(ptt.open(back.slave()));
}

} // namespace
} // namespace tavrel
