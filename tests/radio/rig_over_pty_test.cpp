// The installed program sends the band command of the saved band over a real serial line: a
// pseudo-terminal whose slave device is the CAT port of tavrel.ini, read from the master side.

#include "core/Settings.h"
#include "support/FakeSerial.h"
#include "support/Rigctld.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QThread>
#include <gtest/gtest.h>

#include <cstdio>
#include <fcntl.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

using namespace tavrel;

namespace {

QCoreApplication& app() {
    static int argc = 1;
    static char name[] = "rig_over_pty_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication instance(argc, argv);
    return instance;
}

std::string hex(const std::string& bytes) {
    return hexBytes(bytes);
}

class Rig {
public:
    Rig() {
        m_master = ::posix_openpt(O_RDWR | O_NOCTTY);
        if (m_master < 0 || ::grantpt(m_master) != 0 || ::unlockpt(m_master) != 0) return;
        m_slave = ::ptsname(m_master);
        ::fcntl(m_master, F_SETFL, ::fcntl(m_master, F_GETFL) | O_NONBLOCK);
        // Held open here so the line is never hung up while the program closes and reopens its
        // end at the re-apply.
        m_slaveFd = ::open(m_slave.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK);
    }
    ~Rig() {
        if (m_slaveFd >= 0) ::close(m_slaveFd);
        if (m_master >= 0) ::close(m_master);
    }
    Rig(const Rig&) = delete;
    Rig& operator=(const Rig&) = delete;

    bool ok() const { return m_master >= 0 && m_slaveFd >= 0; }
    const std::string& device() const { return m_slave; }

    // Everything the program sends until `count` bytes came (or `ms` passed), then for `quietMs`
    // more, so that anything sent beyond the expected bytes is seen too.
    std::string receive(size_t count, int ms, int quietMs) {
        std::string got;
        QElapsedTimer timer;
        timer.start();
        qint64 enough = -1;
        while (timer.elapsed() < ms && (enough < 0 || timer.elapsed() - enough < quietMs)) {
            pollfd p{m_master, POLLIN, 0};
            if (::poll(&p, 1, 20) > 0 && (p.revents & POLLIN)) {
                char buf[256];
                const ssize_t n = ::read(m_master, buf, sizeof buf);
                if (n > 0) got.append(buf, static_cast<size_t>(n));
            }
            if (enough < 0 && got.size() >= count) enough = timer.elapsed();
        }
        return got;
    }

private:
    int m_master = -1;
    int m_slaveFd = -1;
    std::string m_slave;
};

class RigOverPty : public ::testing::Test {
protected:
    void SetUp() override {
        app();
        ASSERT_TRUE(m_rig.ok()) << "no pseudo-terminal available";
        m_exe = m_dir.path / "tavrel";
        std::filesystem::copy_file(TAVREL_BINARY, m_exe);
    }
    void TearDown() override {
        if (m_proc.state() != QProcess::NotRunning) {
            m_proc.kill();
            m_proc.waitForFinished(5000);
        }
    }
    void writeIni(const char* model, const char* band,
                  std::initializer_list<std::pair<int, std::string>> more = {}) {
        SettingsList s = defaultSettings();
        s[41] = m_rig.device();
        s[42] = "9600";
        s[43] = "8";
        s[44] = "N";
        s[45] = "1";
        s[63] = model;
        s[50] = band;
        for (const auto& [i, v] : more)
            s[static_cast<size_t>(i)] = v;
        ASSERT_EQ(writeSettings(m_dir.path / "tavrel.ini", s), std::nullopt);
    }
    void start() {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        m_proc.setProcessEnvironment(env);
        m_proc.setWorkingDirectory("/");
        m_proc.start(QString::fromStdString(m_exe.string()), {});
        ASSERT_TRUE(m_proc.waitForStarted(10000));
    }
    void stop() {
        m_proc.kill();
        m_proc.waitForFinished(5000);
    }
    // Whether the running program has the device open.
    bool programHolds(const std::string& device) const {
        std::error_code ec;
        const std::filesystem::path fds = "/proc/" + std::to_string(m_proc.processId()) + "/fd";
        for (const auto& e : std::filesystem::directory_iterator(fds, ec))
            if (std::filesystem::read_symlink(e.path(), ec) == device) return true;
        return false;
    }
    std::string iniLine(int n) const {
        const std::string text = readFile(m_dir.path / "tavrel.ini");
        size_t pos = 0;
        for (int i = 1; i < n && pos != std::string::npos; ++i) {
            pos = text.find("\r\n", pos);
            if (pos != std::string::npos) pos += 2;
        }
        if (pos == std::string::npos) return {};
        return text.substr(pos, text.find("\r\n", pos) - pos);
    }

    TempDir m_dir;
    Rig m_rig;
    std::filesystem::path m_exe;
    QProcess m_proc;
};

// Start-up sends the saved band's command once. Saving the band marks the settings changed, so the
// modem's first status report re-applies them: the port is closed and opened again and start-up runs
// once more, sending the same command a second time. Later reports find nothing changed: the line
// then stays quiet. Every model, any band, and a preset in place of the band's frequency.
TEST_F(RigOverPty, SavedBandIsSentToTheRigAtStartupAndAgainAtTheFirstReapply) {
    const struct {
        const char* model;
        const char* band;
        const char* preset40; // item 46
        std::string command;
    } cases[] = {
        {"1", "20", "", "FE FE 04 E0 05 00 00 07 14 FD"}, {"2", "40", "", "00 35 70 00 0A"},
        {"3", "20", "", hex("FA00014070000;")},           {"1", "160", "", "FE FE 04 E0 05 00 80 83 01 FD"},
        {"2", "40", "070.5", "50 70 70 00 0A"},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(std::string("model ") + c.model + ", band " + c.band);
        writeIni(c.model, c.band, {{46, c.preset40}});
        start();
        const size_t bytes = (c.command.size() + 1) / 3;
        const std::string got = m_rig.receive(2 * bytes, 20000, 1500);
        EXPECT_EQ(m_proc.state(), QProcess::Running) << m_proc.readAllStandardError().toStdString();
        EXPECT_EQ(hex(got), c.command + " " + c.command);
        EXPECT_TRUE(programHolds(m_rig.device())); // open again after the re-apply
        stop();
        EXPECT_EQ(iniLine(51), std::string("\"") + c.band + "\""); // the band is saved
    }
}

// A Hamlib rig: the program links Hamlib and start-up's band restore tunes rigctld, read from
// outside with rigctl.
TEST_F(RigOverPty, HamlibRigctldIsTunedToTheSavedBand) {
    Rigctld rigctld;
    ASSERT_TRUE(rigctld.start()) << "rigctld (Debian's libhamlib-utils) did not start";
    writeIni("4", "30", {{64, "2"}, {41, rigctld.address()}});
    start();
    QElapsedTimer t;
    t.start();
    while (t.elapsed() < 20000 && rigctld.rigctl({"f"}) != "10142000")
        QThread::msleep(100);
    EXPECT_EQ(rigctld.rigctl({"f"}), "10142000");
    EXPECT_EQ(m_proc.state(), QProcess::Running) << m_proc.readAllStandardError().toStdString();
    stop();
}

} // namespace
