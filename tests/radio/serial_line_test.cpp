// Real serial lines over pseudo-terminal pairs: the CAT port (QtSerialPort), the modem's PTT port,
// and the installed program driving a rig. The port opens the slave side; the test reads and
// inspects the line from the master side.

#include "core/Settings.h"
#include "modem/audio/PttPort.h"
#include "radio/QtSerialPort.h"
#include "support/FakeSerial.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <gtest/gtest.h>

#include <cstdarg>
#include <dlfcn.h>
#include <fcntl.h>
#include <functional>
#include <poll.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>
#include <utility>

// A pseudo-terminal has no modem lines, so RTS and DTR cannot be read back from one. While a test
// asks for it, the modem-line ioctls are answered here the way a serial driver would; every other
// ioctl goes on to the C library.
namespace {
bool g_emulateLines = false;
int g_lines = 0; // TIOCM_* bits currently set
} // namespace

extern "C" int ioctl(int fd, unsigned long request, ...) noexcept {
    va_list ap;
    va_start(ap, request);
    void* arg = va_arg(ap, void*);
    va_end(ap);
    int* bits = static_cast<int*>(arg);
    if (g_emulateLines && request == TIOCMGET) return *bits = g_lines, 0;
    if (g_emulateLines && request == TIOCMSET) return g_lines = *bits, 0;
    if (g_emulateLines && request == TIOCMBIS) return g_lines |= *bits, 0;
    if (g_emulateLines && request == TIOCMBIC) return g_lines &= ~*bits, 0;
    using IoctlFn = int (*)(int, unsigned long, ...);
    static const auto next = reinterpret_cast<IoctlFn>(::dlsym(RTLD_NEXT, "ioctl"));
    return next(fd, request, arg);
}

namespace tavrel {
namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "serial_line_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

// Lets Qt's event loop run until done() or `ms` passed.
void pump(int ms, const std::function<bool()>& done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < ms)
        app().processEvents(QEventLoop::AllEvents, 20);
}
const auto never = [] { return false; };

class PtyPair {
public:
    PtyPair() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        if (m_master >= 0 && ::grantpt(m_master) == 0 && ::unlockpt(m_master) == 0)
            m_slave = ::ptsname(m_master);
    }
    ~PtyPair() { ::close(m_master); }
    const std::string& slave() const { return m_slave; }
    void write(const std::string& bytes) { (void)!::write(m_master, bytes.data(), bytes.size()); }
    void closeMaster() { ::close(std::exchange(m_master, -1)); }
    // The slave's line settings: on Linux the master answers with its peer's termios.
    termios slaveTermios() const {
        termios t{};
        ::tcgetattr(m_master, &t);
        return t;
    }
    // Reads until `count` bytes came or `ms` passed, then `quietMs` more so that anything sent
    // beyond them is seen too.
    std::string read(size_t count, int ms = 2000, int quietMs = 0) {
        std::string got;
        const auto take = [&] {
            char buf[512];
            for (ssize_t n; (n = ::read(m_master, buf, sizeof buf)) > 0;)
                got.append(buf, static_cast<size_t>(n));
            return got.size() >= count;
        };
        pump(ms, take);
        pump(quietMs, [&] { return take() && false; });
        return got;
    }

private:
    int m_master = -1;
    std::string m_slave;
};

class SerialLine : public ::testing::Test {
protected:
    void SetUp() override {
        app(); // before any port opens: their notifiers need the event loop
        ASSERT_FALSE(m_pty.slave().empty()) << "no pseudo-terminal available";
    }
    void TearDown() override { g_emulateLines = false; }
    // Lines as the kernel leaves them when a tty opens: both raised.
    static void emulateLinesRaised() {
        g_emulateLines = true;
        g_lines = TIOCM_RTS | TIOCM_DTR;
    }
    static int lines() { return g_lines & (TIOCM_RTS | TIOCM_DTR); }
    PtyPair m_pty;
    QtSerialPort m_port;
};

TEST_F(SerialLine, LineSettingsReachTheDeviceAndEveryByteArrivesUnchanged) {
    // These parse, but no Linux tty has 1.5 stop bits and a pseudo-terminal has no parity.
    ASSERT_TRUE(m_port.setCommPort(m_pty.slave()));
    for (const char* text : {"9600, N, 8, 1.5", "9600, E, 8, 1", "9600, N, 7, 1"}) {
        ASSERT_TRUE(m_port.setSettings(text));
        EXPECT_FALSE(m_port.setPortOpen(true) || m_port.portOpen()) << text;
    }
    // Only speed and stop bits can vary here: first applied by opening, then on the open port.
    const std::tuple<const char*, speed_t, bool> rows[] = {
        {"9600, N, 8, 2", B9600, true}, {"1200,N,8,1", B1200, false}, {"19200 , n , 8 , 1", B19200, false}};
    for (const auto& [text, speed, twoStops] : rows) {
        ASSERT_TRUE(m_port.portOpen() ? m_port.setSettings(text) : openPort(m_port, m_pty.slave(), text))
            << text;
        const termios t = m_pty.slaveTermios();
        EXPECT_EQ(std::tuple(cfgetospeed(&t), (t.c_cflag & CSTOPB) != 0, t.c_cflag & (CSIZE | PARENB),
                             t.c_oflag & OPOST), // no translation of the output
                  std::tuple(speed, twoStops, static_cast<tcflag_t>(CS8), 0u))
            << text;
        EXPECT_EQ(m_port.settings(), text);
    }
    // Refused on the open port (malformed, or more than the device takes): the old ones stay.
    for (const char* text : {"9600, N, 8", "9600, E, 7, 2", "4800, N, 8, 1.5"})
        EXPECT_FALSE(m_port.setSettings(text)) << text;
    const termios t = m_pty.slaveTermios();
    EXPECT_EQ(std::tuple(m_port.settings(), cfgetospeed(&t), t.c_cflag & CSTOPB),
              std::tuple(std::string("19200 , n , 8 , 1"), speed_t(B19200), tcflag_t(0)));

    std::string all;
    for (int i = 0; i < 256; ++i)
        all.push_back(static_cast<char>(i));
    EXPECT_TRUE(m_port.output(all) && m_port.output("\xFE\xFD"));
    EXPECT_EQ(m_pty.read(all.size() + 2, 2000, 200), all + "\xFE\xFD") << "bytes changed or added on the way";
    // No modem lines to key: refused, and the port goes on working.
    EXPECT_FALSE(m_port.setRTSEnable(true) || m_port.rtsEnable());
    app().processEvents();
    EXPECT_TRUE(m_port.output("ok"));
    EXPECT_EQ(m_pty.read(2), "ok");
}

TEST_F(SerialLine, OnlyRtsEnableRaisesRtsAndNothingKeysTheRigAtOpening) {
    EXPECT_FALSE(m_port.setRTSEnable(true)); // closed: refused, and not remembered for the opening
    ASSERT_TRUE(m_port.setCommPort(m_pty.slave()));
    emulateLinesRaised();
    EXPECT_FALSE(m_port.setRTSEnable(true));
    ASSERT_TRUE(m_port.setPortOpen(true));
    EXPECT_EQ(lines(), 0) << "the port keyed the rig as it opened";
    EXPECT_FALSE(m_port.rtsEnable());
    ASSERT_TRUE(m_port.setRTSEnable(true));
    EXPECT_TRUE(m_port.rtsEnable());
    // Other writes keep the line where the program put it, and DTR down.
    ASSERT_TRUE(m_port.setSettings("1200, N, 8, 2") && m_port.setHandshaking(0) && m_port.output("x"));
    EXPECT_EQ(lines(), TIOCM_RTS);
    ASSERT_TRUE(m_port.setRTSEnable(false));
    EXPECT_EQ(lines(), 0);
    // Closing while keyed unkeys, and the next opening starts low again.
    ASSERT_TRUE(m_port.setRTSEnable(true) && m_port.setPortOpen(false));
    EXPECT_EQ(lines(), 0);
    EXPECT_FALSE(m_port.rtsEnable());
    emulateLinesRaised();
    ASSERT_TRUE(m_port.setPortOpen(true));
    EXPECT_EQ(lines(), 0);
    // RTS/CTS handshaking hands the line to the driver: the port no longer claims it keyed.
    ASSERT_TRUE(m_port.setRTSEnable(true) && m_port.setHandshaking(2));
    EXPECT_FALSE(m_port.rtsEnable());
}

TEST_F(SerialLine, PortIsChosenOnlyWhileClosedAndOnlyAmongRealPorts) {
    for (const char* item : {"0", "", "5", "COM1"})
        EXPECT_FALSE(m_port.setCommPort(item)) << item;
    EXPECT_FALSE(m_port.setPortOpen(true));
    EXPECT_FALSE(m_port.setHandshaking(3));
    EXPECT_EQ(m_port.handshaking(), 0);
    EXPECT_FALSE(openPort(m_port, "/dev/tavrel-no-such-port", "9600, N, 8, 1") || m_port.portOpen());
    EXPECT_FALSE(m_port.output("x"));
    // The failure leaves the port usable; once open, a second group (a re-apply) cannot move it.
    PtyPair other;
    ASSERT_TRUE(openPort(m_port, m_pty.slave(), "9600, N, 8, 2"));
    EXPECT_EQ(m_port.deviceName(), m_pty.slave());
    EXPECT_FALSE(openPort(m_port, other.slave(), "1200, E, 7, 1") || m_port.setPortOpen(true));
    EXPECT_EQ(std::tuple(m_port.portOpen(), m_port.commPort(), m_port.settings()),
              std::tuple(true, m_pty.slave(), std::string("9600, N, 8, 2")));
    EXPECT_TRUE(m_port.output("A"));
    EXPECT_EQ(m_pty.read(1), "A");
    EXPECT_EQ(other.read(1, 200), "");
    // Closed, it can be moved.
    ASSERT_TRUE(m_port.setPortOpen(false) && m_port.setCommPort(other.slave()) && m_port.setPortOpen(true));
    EXPECT_TRUE(m_port.output("B"));
    EXPECT_EQ(other.read(1), "B");
}

// The kernel raises both lines inside open(); the PTT port drops them at once, keys only the
// chosen ones, and never leaves the rig keyed when it closes.
TEST_F(SerialLine, PttPortKeysOnlyTheChosenLines) {
    emulateLinesRaised();
    SerialPttPort ptt;
    ASSERT_TRUE(ptt.open(m_pty.slave()));
    EXPECT_EQ(lines(), 0) << "the PTT port keyed the rig as it opened";
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

// The far end closing hangs the line up, as pulling a USB adapter does. A hung-up line is always
// readable: left open it would keep the event loop busy for ever.
TEST_F(SerialLine, LineThatHangsUpIsClosedAndReportedOnce) {
    PtyPair pttLine;
    SerialPttPort ptt;
    int lost = 0;
    ptt.onLost = [&] { ++lost; };
    ASSERT_TRUE(openPort(m_port, m_pty.slave(), "9600, N, 8, 1") && ptt.open(pttLine.slave()));
    pttLine.write("noise from the rig");
    m_pty.write("echo");
    pump(200, never);
    EXPECT_EQ(lost, 0) << "input taken for a hang-up";
    EXPECT_TRUE(m_port.portOpen());
    m_pty.closeMaster();
    pttLine.closeMaster();
    pump(2000, [&] { return !m_port.portOpen() && lost > 0; });
    pump(100, never);
    EXPECT_FALSE(m_port.portOpen() || m_port.output("x"));
    EXPECT_EQ(lost, 1);
    EXPECT_FALSE(ptt.isOpen());
    PtyPair back; // opening again works once the device is back
    EXPECT_TRUE(ptt.open(back.slave()));
}

// Start-up sends the saved band's command (here the 40 m preset) once. Saving the band marks the
// settings changed, so the modem's first status report re-applies them: the port is closed and
// opened again and start-up sends the same command a second time. Later reports find nothing
// changed: the line then stays quiet.
TEST_F(SerialLine, ProgramSendsTheSavedBandAtStartupAndAgainAtTheFirstReapply) {
    // Held open here too, so the line is not hung up while the program closes and reopens its end.
    const int slave = ::open(m_pty.slave().c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    TempDir dir;
    std::filesystem::copy_file(TAVREL_BINARY, dir.path / "tavrel");
    SettingsList s = defaultSettings();
    const std::pair<size_t, std::string> items[] = {{41, m_pty.slave()}, {42, "9600"}, {43, "8"},
                                                    {44, "N"},           {45, "1"},    {46, "070.5"},
                                                    {50, "40"},          {63, "2"}};
    for (const auto& [item, value] : items)
        s[item] = value;
    ASSERT_EQ(writeSettings(dir.path / "tavrel.ini", s), std::nullopt);
    QProcess program;
    program.setWorkingDirectory("/"); // the settings are found beside the program
    program.start(QString::fromStdString((dir.path / "tavrel").string()), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    EXPECT_EQ(hexBytes(m_pty.read(10, 20000, 1500)), "50 70 70 00 0A 50 70 70 00 0A");
    EXPECT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
    program.kill();
    program.waitForFinished(5000);
    ::close(slave);
    EXPECT_EQ(fileLine(dir.path / "tavrel.ini", 51), "\"40\"");
    EXPECT_TRUE(std::filesystem::exists(dir.path / "dxcc1.csv")); // the data files it ships are laid out
}

} // namespace
} // namespace tavrel
