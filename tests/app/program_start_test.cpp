// The installed program started offscreen in an empty folder.

#include "core/Settings.h"
#include "support/TempDir.h"

#include <QCoreApplication>
#include <QProcess>
#include <gtest/gtest.h>

using namespace tavrel;

TEST(ProgramStart, EmptyFolderGetsDefaultSettingsAndTheProgramKeepsRunning) {
    int argc = 1;
    char arg0[] = "program-start";
    char* argv[] = {arg0, nullptr};
    QCoreApplication app(argc, argv);

    TempDir dir;
    const auto exe = dir.path / "tavrel";
    std::filesystem::copy_file(TAVREL_BINARY, exe);
    QProcess proc;
    proc.setWorkingDirectory("/");
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    proc.setProcessEnvironment(env);
    proc.start(QString::fromStdString(exe.string()), {});
    ASSERT_TRUE(proc.waitForStarted(10000));
    EXPECT_FALSE(proc.waitForFinished(2500)) << proc.readAllStandardError().toStdString();
    EXPECT_EQ(proc.state(), QProcess::Running);

    EXPECT_EQ(readFile(dir.path / "tavrel.ini"), formatSettings(defaultSettings()));
    EXPECT_TRUE(std::filesystem::exists(dir.path / "dxcc1.csv"));
    proc.kill();
    proc.waitForFinished(5000);
}
