// The backup of the three data files, the removable medium and the ten-day reminder.

#include "export/Backup.h"
#include "support/TempDir.h"
#include "support/faults/FaultyFiles.h"

#include <gtest/gtest.h>

using namespace tavrel;

namespace {

namespace fs = std::filesystem;

TEST(BackupReminder, CountsRealCalendarDays) {
    const struct {
        const char* last;
        const char* today;
        bool shows;
    } cases[] = {
        {"20260301", "20260311", false}, // ten days
        {"20260301", "20260312", true},  // eleven
        {"20260130", "20260201", false}, // two days across a month end
        {"20260201", "20260212", true},
        {"20261225", "20270104", false}, // ten days across a year end
        {"20261224", "20270104", true},
        {"20240220", "20240302", true},  // 2024 has 29 February: eleven days
        {"20230220", "20230302", false}, // 2023 has not: ten
        {"20260312", "20260312", false},
        {"20260320", "20260312", false}, // a backup "in the future" (clock
                                         // set back)
        {"", "20260312", true},
        {"abc", "20260312", true},
        {"2026031", "20260312", true},
        {"20260230", "20260312", true}, // no such day
        {" 20260310", "20260312", true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(reminderDue(c.last, c.today), c.shows) << c.last << " -> " << c.today;
}

class BackupRun : public ::testing::Test {
protected:
    void SetUp() override {
        app = dir.path / "app";
        docs = dir.path / "home" / "Documents";
        media = dir.path / "media" / "op";
        fs::create_directories(app);
        writeFile(app / "zizoro.tan", "log bytes\r\n");
        writeFile(app / "spectrum.col", "palette");
        settings = defaultSettings();
        settings[0] = "G4ABC";
        ASSERT_EQ(writeSettings(app / "tavrel.ini", settings), std::nullopt);
        places = BackupPlaces{app, docs, {dir.path / "run" / "media" / "op", media}, dir.path / "mountinfo"};
        writeFile(places.mountTable, "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n");
    }

    // A filesystem mounted at media/<name>: the folder, and its line in the mount table.
    fs::path mount(const std::string& name) {
        const fs::path point = media / name;
        fs::create_directories(point);
        writeFile(places.mountTable, readFile(places.mountTable) + "40 22 8:17 / " + point.string() +
                                         " rw,nosuid - vfat /dev/sdb1 rw\n");
        return point;
    }

    BackupResult run(std::function<bool()> retry) {
        BackupAsk ask;
        ask.retry = [this, retry](const std::string& problem) {
            ++boxes;
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
    fs::path app, docs, media;
    SettingsList settings;
    BackupPlaces places;
    int boxes = 0;
    std::vector<std::string> problems;
    std::vector<CopyFailure> reported;
};

TEST_F(BackupRun, NoMediumCancelledLeavesLocalCopiesAndTheDateRecorded) {
    fs::create_directories(media / "LEFTOVER"); // a folder, not a mounted medium
    const BackupResult r = run([] { return false; });
    EXPECT_EQ(boxes, 1);
    EXPECT_EQ(problems,
              (std::vector<std::string>{"No removable medium is mounted under " +
                                        places.mediaRoots[0].string() + " or " + media.string() + "."}));
    EXPECT_FALSE(r.medium.has_value());
    EXPECT_FALSE(fs::exists(media / "LEFTOVER" / "20261207.log"));
    EXPECT_EQ(backupSummary(r, places), "Copies made in " + docs.string() +
                                            ": 20261207.ini, 20261207.log, 20261207.col.\n"
                                            "No copies on a removable medium: " +
                                            problems[0]);
    EXPECT_TRUE(reported.empty());
    expectCopies(docs); // the documents folder was made
    const SettingsList onDisk = readSettings(app / "tavrel.ini");
    EXPECT_EQ(onDisk[13], "20261207");
    EXPECT_EQ(onDisk[0], "G4ABC");
    // The copy of the settings already holds the new date.
    EXPECT_EQ(readSettings(docs / "20261207.ini")[13], "20261207");
}

TEST_F(BackupRun, FirstWritableMediumGetsTheSecondCopiesAndNoBoxShows) {
    fs::create_directories(media / "AAA-LEFTOVER");
    mount("ZZDISK");
    mount("USBSTICK");
    const BackupResult r = run([] { return false; });
    EXPECT_EQ(boxes, 0);
    ASSERT_TRUE(r.medium.has_value());
    EXPECT_EQ(*r.medium, media / "USBSTICK");
    expectCopies(media / "USBSTICK");
    expectCopies(docs);
    EXPECT_FALSE(fs::exists(media / "ZZDISK" / "20261207.ini"));
    EXPECT_EQ(backupSummary(r, places), "Copies made in " + docs.string() +
                                            ": 20261207.ini, 20261207.log, 20261207.col.\n"
                                            "Copies made on the removable medium " +
                                            (media / "USBSTICK").string() +
                                            ": 20261207.ini, 20261207.log, 20261207.col.");
}

TEST_F(BackupRun, SameDayBackupOverwritesBothPlacesDurably) {
    faults::Scope faults;
    mount("stick");
    writeFile(docs / "20261207.log", "an older, longer copy of the log");
    writeFile(media / "stick" / "20261207.log", "an older, longer copy of the log");
    run([] { return false; });
    EXPECT_EQ(readFile(docs / "20261207.log"), "log bytes\r\n");
    EXPECT_EQ(readFile(media / "stick" / "20261207.log"), "log bytes\r\n");
    for (const fs::path& folder : {app, docs, media / "stick"})
        for (const char* name : {"tavrel.ini", "20261207.ini", "20261207.log", "20261207.col"})
            if (fs::exists(folder / name)) {
                EXPECT_TRUE(faults::replacedDurably(folder / name)) << folder / name;
            }
}

TEST_F(BackupRun, RetryStartsAgainAtTheFirstOfTheThreeCopies) {
    // The log's name is taken by a folder on the medium, so the second copy fails.
    const fs::path stick = mount("stick");
    fs::create_directories(stick / "20261207.log");
    bool iniThereAtBox = false;
    const BackupResult r = run([&] {
        iniThereAtBox = fs::exists(stick / "20261207.ini");
        fs::remove(stick / "20261207.ini");
        fs::remove_all(stick / "20261207.log");
        return true;
    });
    EXPECT_TRUE(iniThereAtBox);
    EXPECT_EQ(boxes, 1);
    ASSERT_EQ(problems.size(), 1u);
    EXPECT_TRUE(problems[0].starts_with("The copy of zizoro.tan to " + stick.string() + " failed: "))
        << problems[0];
    EXPECT_EQ(r.attempts, 2);
    ASSERT_TRUE(r.medium.has_value());
    expectCopies(stick); // the settings copy was made again
}

TEST_F(BackupRun, MediumInsertedAfterTheBoxIsUsedOnRetry) {
    const BackupResult r = run([&] {
        mount("FLOPPY");
        return true;
    });
    EXPECT_EQ(boxes, 1);
    expectCopies(media / "FLOPPY");
    EXPECT_EQ(r.attempts, 2);
}

TEST_F(BackupRun, FailingLocalCopyIsReportedByNameAndTheOthersStillMade) {
    fs::remove(app / "spectrum.col");
    mount("stick");
    const BackupResult r = run([] { return false; });
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].file, (app / "spectrum.col").string());
    EXPECT_TRUE(fs::exists(docs / "20261207.ini"));
    EXPECT_TRUE(fs::exists(docs / "20261207.log"));
    // A missing data file is no fault of the medium: no box, the others go there too.
    EXPECT_EQ(boxes, 0);
    ASSERT_TRUE(r.medium.has_value());
    EXPECT_TRUE(fs::exists(media / "stick" / "20261207.log"));
}

TEST_F(BackupRun, UnusableDocumentsFolderIsReportedForEveryFile) {
    fs::create_directories(dir.path / "home");
    writeFile(docs, "a file where the folder should be");
    run([] { return false; });
    ASSERT_EQ(reported.size(), 3u);
    EXPECT_EQ(reported[0].file, (docs / "20261207.ini").string());
    EXPECT_EQ(reported[2].file, (docs / "20261207.col").string());
    EXPECT_FALSE(reported[0].reason.empty());
    EXPECT_EQ(readSettings(app / "tavrel.ini")[13], "20261207");
}

// Each copy goes under a temporary name first, so running out of space half-way leaves the
// earlier backup of that day whole in both places and no empty file behind.
TEST_F(BackupRun, FullDiskKeepsTheEarlierCopiesWholeAndSaysNoSpaceLeft) {
    faults::Scope faults;
    const fs::path stick = mount("stick");
    fs::create_directories(docs);
    writeFile(app / "zizoro.tan", std::string(10000, 'n'));
    writeFile(docs / "20261207.log", "the earlier copy");
    writeFile(stick / "20261207.log", "the earlier copy");
    faults::failWritesAfter("20261207.log.tmp", 4096);
    const BackupResult r = run([] { return false; });
    faults::reset();
    ASSERT_EQ(reported.size(), 1u);
    EXPECT_EQ(reported[0].file, (docs / "20261207.log").string());
    EXPECT_EQ(reported[0].reason, "No space left on device");
    EXPECT_EQ(boxes, 1);
    EXPECT_FALSE(r.medium.has_value());
    for (const fs::path& folder : {docs, stick}) {
        EXPECT_EQ(readFile(folder / "20261207.log"), "the earlier copy") << folder;
        EXPECT_FALSE(fs::exists(folder / "20261207.log.tmp")) << folder;
    }
    EXPECT_EQ(readFile(docs / "20261207.col"), "palette"); // the local copies went on
}

TEST(RemovableMedia, RootsAreTheDesktopMountFolders) {
    EXPECT_EQ(removableMediaRoots("op"), (std::vector<fs::path>{"/media/op", "/run/media/op"}));
    EXPECT_TRUE(removableMediaRoots("").empty());
}

TEST(RemovableMedia, OnlyFilesystemsMountedBelowTheRootsCount) {
    const std::string mountinfo = "22 1 8:1 / / rw - ext4 /dev/sda1 rw\n"
                                  "41 22 8:33 / /run/media/op/ZED rw - vfat /dev/sdc1 rw\n"
                                  "40 22 8:17 / /media/op/MY\\040STICK rw,nosuid - vfat /dev/sdb1 rw\n"
                                  "42 22 8:49 / /media/op/ALPHA rw - vfat /dev/sdd1 rw\n"
                                  "43 22 0:50 / /media/op rw - tmpfs tmpfs rw\n"
                                  "44 22 0:51 / /media/other/X rw - vfat /dev/sde1 rw\n"
                                  "short line\n";
    EXPECT_EQ(mountPointsBelow({"/media/op", "/run/media/op"}, mountinfo),
              (std::vector<fs::path>{"/media/op/ALPHA", "/media/op/MY STICK", "/run/media/op/ZED"}));
    EXPECT_TRUE(mountPointsBelow({"/media/nobody"}, mountinfo).empty());
    TempDir dir;
    EXPECT_EQ(firstWritableMedium({dir.path}, mountinfo), std::nullopt);
    fs::create_directories(dir.path / "disk");
    fs::create_directories(dir.path / "leftover");
    EXPECT_EQ(
        firstWritableMedium({dir.path}, "1 1 1:1 / " + (dir.path / "disk").string() + " rw - vfat x rw\n"),
        dir.path / "disk");
}

} // namespace
