// The backup of the three data files, the removable medium and the ten-day reminder.

#include "export/Backup.h"
#include "support/TempDir.h"
#include "support/faults/FaultyFiles.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

namespace fs = std::filesystem;

TEST(BackupReminder, CountsRealCalendarDays) {
    // clang-format off
    const std::tuple<const char*, const char*, bool> cases[] = {
        {"20260301", "20260311", false}, {"20260301", "20260312", true},  // ten days, eleven
        {"20260130", "20260201", false}, {"20260201", "20260212", true},  // across a month end
        {"20261225", "20270104", false}, {"20261224", "20270104", true},  // across a year end
        {"20240220", "20240302", true},  {"20230220", "20230302", false}, {"20000220", "20000302", true},
        {"21000220", "21000302", false}, {"20241231", "20250111", true},  // 29 February or not
        {"20260312", "20260312", false}, {"20260320", "20260312", false}, // a backup "in the future"
        {"", "20260312", true}, {"abc", "20260312", true}, {"2026031", "20260312", true}, {"20260230", "20260312", true},
        {"20261301", "20260312", true}, {"20260100", "20260312", true}, {"20260431", "20260312", true},
        {" 20260310", "20260312", true}, {"20240229", "20240305", false}, {"20230229", "20230305", true}, // 29 February
        {"21000229", "21000305", true}};
    // clang-format on
    for (const auto& [last, today, shows] : cases)
        EXPECT_EQ(reminderDue(last, today), shows) << last << " " << today;
}

class BackupRun : public ::testing::Test {
protected:
    void SetUp() override {
        fs::create_directories(app);
        writeFile(app / "zizoro.tan", "log bytes\r\n");
        writeFile(app / "spectrum.col", "palette");
        settings[0] = "G4ABC";
        ASSERT_EQ(writeSettings(app / "tavrel.ini", settings), std::nullopt);
        writeFile(places.mountTable, "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
    }
    // A filesystem mounted at media/<name>: the folder, and its line in the mount table.
    fs::path mount(const std::string& name) {
        fs::create_directories(media / name);
        writeFile(places.mountTable, readFile(places.mountTable) + "40 22 8:17 / " + (media / name).string() +
                                         " rw,nosuid - vfat /dev/sdb1 rw\n");
        return media / name;
    }
    BackupResult run(std::function<bool()> retry = [] { return false; }) {
        BackupAsk ask;
        ask.retry = [this, retry](const std::string& problem) {
            problems.push_back(problem);
            return retry();
        };
        ask.reportLocal = [this](const std::vector<CopyFailure>& f) { reported = f; };
        const auto record = [this](const std::string& dateKey) {
            settings[Item::LastBackup] = dateKey;
            return writeSettings(app / "tavrel.ini", settings);
        };
        return runBackup(record, "20261207", places, ask);
    }
    void expectCopies(const fs::path& folder) {
        EXPECT_EQ(readFile(folder / "20261207.ini"), readFile(app / "tavrel.ini"));
        EXPECT_EQ(readFile(folder / "20261207.log"), "log bytes\r\n");
        EXPECT_EQ(readFile(folder / "20261207.col"), "palette");
    }

    TempDir dir;
    fs::path app = dir.file("app"), docs = dir.path / "home" / "Documents", media = dir.path / "media" / "op";
    SettingsList settings = defaultSettings();
    BackupPlaces places{app, docs, {dir.path / "run" / "media" / "op", media}, dir.file("mountinfo")};
    std::vector<std::string> problems;
    std::vector<CopyFailure> reported;
};

TEST_F(BackupRun, NoMediumCancelledLeavesLocalCopiesAndTheDateRecorded) {
    fs::create_directories(media / "LEFTOVER"); // a folder, not a mounted medium
    const BackupResult r = run();
    EXPECT_EQ(problems,
              std::vector<std::string>{"No removable medium is mounted under " +
                                       places.mediaRoots[0].string() + " or " + media.string() + "."});
    EXPECT_EQ(backupSummary(r, places), "Copies made in " + docs.string() +
                                            ": 20261207.ini, 20261207.log, 20261207.col.\n"
                                            "No copies on a removable medium: " +
                                            problems[0]);
    expectCopies(docs); // the documents folder was made; the settings copy already holds the date
    EXPECT_EQ(readSettings(app / "tavrel.ini")[13] + readSettings(app / "tavrel.ini")[0], "20261207G4ABC");
    EXPECT_EQ(readSettings(docs / "20261207.ini")[13], "20261207");
}

TEST_F(BackupRun, FirstWritableMediumGetsTheSecondCopiesDurablyAndNoBoxShows) {
    faults::Scope faults;
    mount("ZZDISK");
    const fs::path stick = mount("USBSTICK");
    fs::create_directories(docs);
    writeFile(docs / "20261207.log", "an older, longer copy of the same day");
    const BackupResult r = run();
    EXPECT_TRUE(problems.empty());
    ASSERT_EQ(r.medium, stick);
    expectCopies(stick);
    expectCopies(docs);
    EXPECT_FALSE(fs::exists(media / "ZZDISK" / "20261207.ini"));
    EXPECT_EQ(backupSummary(r, places), "Copies made in " + docs.string() +
                                            ": 20261207.ini, 20261207.log, 20261207.col.\n"
                                            "Copies made on the removable medium " +
                                            stick.string() + ": 20261207.ini, 20261207.log, 20261207.col.");
    for (const fs::path& file : {app / "tavrel.ini", docs / "20261207.log", stick / "20261207.col"})
        EXPECT_TRUE(faults::replacedDurably(file)) << file;
}

// A medium mounted after the first box is used; after a failed copy the retry starts again at the
// first of the three (the log's name is taken by a folder on the medium at first).
TEST_F(BackupRun, RetryFindsAMediumMountedMeanwhileAndStartsAgainAtTheFirstCopy) {
    fs::path stick;
    bool iniThereAtBox = false;
    const BackupResult r = run([&] {
        if (stick.empty()) {
            stick = mount("stick");
            fs::create_directories(stick / "20261207.log");
            return true;
        }
        iniThereAtBox = fs::exists(stick / "20261207.ini");
        fs::remove(stick / "20261207.ini");
        fs::remove_all(stick / "20261207.log");
        return true;
    });
    EXPECT_TRUE(iniThereAtBox);
    ASSERT_EQ(problems.size(), 2u);
    EXPECT_TRUE(problems[1].starts_with("The copy of zizoro.tan to " + stick.string() + " failed: "))
        << problems[1];
    EXPECT_EQ(r.attempts, 3);
    expectCopies(stick); // the settings copy was made again
}

// A missing data file is no fault of the medium: no box, the others go there too. A file where the
// documents folder should be fails every local copy.
TEST_F(BackupRun, FailingLocalCopiesAreReportedByName) {
    fs::remove(app / "spectrum.col");
    const fs::path stick = mount("stick");
    BackupResult r = run();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].file, (app / "spectrum.col").string());
    EXPECT_TRUE(fs::exists(docs / "20261207.log"));
    EXPECT_TRUE(problems.empty());
    EXPECT_EQ(r.mediumCopies, std::vector<std::string>({"20261207.ini", "20261207.log"}));
    fs::remove_all(docs);
    writeFile(docs, "a file where the folder should be");
    r = run();
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_EQ(reported[1].file + ": " + reported[1].reason,
              (docs / "20261207.log").string() + ": Not a directory");
    EXPECT_EQ(backupSummary(r, places).substr(0, 28 + docs.string().size()),
              "No copies could be made in " + docs.string() + ".");
}

// Each copy goes under a temporary name first, so running out of space half-way leaves the
// earlier backup of that day whole in both places and no empty file behind.
TEST_F(BackupRun, FullDiskKeepsTheEarlierCopiesWholeAndSaysNoSpaceLeft) {
    faults::Scope faults;
    const fs::path stick = mount("stick");
    fs::create_directories(docs);
    writeFile(app / "zizoro.tan", std::string(10000, 'n'));
    for (const fs::path& folder : {docs, stick})
        writeFile(folder / "20261207.log", "the earlier copy");
    faults::failWritesAfter("20261207.log.tmp", 4096);
    const BackupResult r = run();
    faults::reset();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].file + ": " + reported[0].reason,
              (docs / "20261207.log").string() + ": No space left on device");
    EXPECT_EQ(problems.size(), 1u);
    EXPECT_FALSE(r.medium.has_value());
    for (const fs::path& folder : {docs, stick}) {
        EXPECT_EQ(readFile(folder / "20261207.log"), "the earlier copy") << folder;
        EXPECT_FALSE(fs::exists(folder / "20261207.log.tmp")) << folder;
    }
    EXPECT_EQ(readFile(docs / "20261207.col"), "palette"); // the local copies went on
}

TEST(RemovableMedia, OnlyFilesystemsMountedBelowTheDesktopMountFoldersCount) {
    EXPECT_EQ(removableMediaRoots("op"), (std::vector<fs::path>{"/media/op", "/run/media/op"}));
    EXPECT_TRUE(removableMediaRoots("").empty());
    const std::string mountinfo = "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                  "41 22 8:33 / /run/media/op/ZED rw - vfat /dev/sdc1 rw\n"
                                  "40 22 8:17 / /media/op/MY\\040STICK\\134 rw,nosuid - vfat /dev/sdb1 rw\n"
                                  "45 22 8:17 / /media/op/ALPHA\\08 rw - vfat /dev/sdb1 rw\n"
                                  "42 22 8:49 / /media/op/ALPHA rw - vfat /dev/sdd1 rw\n"
                                  "43 22 0:50 / /media/op rw - tmpfs tmpfs rw\n"
                                  "44 22 0:51 / /media/other/X rw - vfat /dev/sde1 rw\n"
                                  "short line\n"
                                  "46 22 0:52 / /media/op/last rw - vfat /dev/sdf1 rw";
    EXPECT_EQ(mountPointsBelow({"/media/op", "/run/media/op"}, mountinfo),
              (std::vector<fs::path>{"/media/op/ALPHA", "/media/op/ALPHA\\08", "/media/op/MY STICK\\",
                                     "/media/op/last", "/run/media/op/ZED"}));
}

} // namespace
