// The installed program sends the band command of the saved band over a real serial line: a
// pseudo-terminal whose slave device is the CAT port of tavrel.ini, read from the master side.

#include "PtyPair.h"
#include "app/Settings.h"
#include "support/FakeSerial.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

// Start-up sends the saved band's command (here the 40 m preset) once. Saving the band marks the
// settings changed, so the modem's first status report re-applies them: the port is closed and
// opened again and start-up sends the same command a second time. Later reports find nothing
// changed: the line then stays quiet.
TEST(RigOverPty, SavedBandIsSentAtStartupAndAgainAtTheFirstReapply) {
    static int argc = 1;
    static char name[] = "rig_over_pty_tests";
    static char* argv[] = {name, nullptr};
    static QCoreApplication app(argc, argv);
    PtyPair rig;
    ASSERT_TRUE(rig.ok() && rig.holdSlave()) << "no pseudo-terminal available";
    TempDir dir;
    const auto exe = dir.path / "tavrel";
    std::filesystem::copy_file(TAVREL_BINARY, exe);
    SettingsList s = defaultSettings();
    s[41] = rig.slave();
    s[42] = "9600";
    s[43] = "8";
    s[44] = "N";
    s[45] = "1";
    s[46] = "070.5";
    s[50] = "40";
    s[63] = "2";
    ASSERT_EQ(writeSettings(dir.path / "tavrel.ini", s), std::nullopt);

    QProcess program;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    program.setProcessEnvironment(env);
    program.setWorkingDirectory("/");
    program.start(QString::fromStdString(exe.string()), {});
    ASSERT_TRUE(program.waitForStarted(10000));
    const std::string got = rig.read(10, 20000, 1500);
    EXPECT_EQ(program.state(), QProcess::Running) << program.readAllStandardError().toStdString();
    EXPECT_EQ(hexBytes(got), "50 70 70 00 0A 50 70 70 00 0A");
    // Open again after the re-apply.
    bool holds = false;
    std::error_code ec;
    for (const auto& e :
         std::filesystem::directory_iterator("/proc/" + std::to_string(program.processId()) + "/fd", ec))
        holds = holds || std::filesystem::read_symlink(e.path(), ec) == rig.slave();
    EXPECT_TRUE(holds);
    program.kill();
    program.waitForFinished(5000);
    EXPECT_EQ(fileLine(dir.path / "tavrel.ini", 51), "\"40\"");
}

} // namespace
