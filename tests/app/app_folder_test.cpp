#include "app/AppFolder.h"
#include "support/FormHarness.h"

#include <QDir>
#include <gtest/gtest.h>

using namespace tavrel;

TEST(AppFolder, DefaultDataFilesAreCopiedOnlyWhenMissing) {
    testApplication();
    const QStringList defaults = QDir(QStringLiteral(":/data")).entryList(QDir::Files);
    if (defaults.isEmpty()) GTEST_SKIP() << "no default data files built in";
    TempDir dir;
    const std::string first = defaults.front().toStdString();
    writeFile(dir.path / first, "operator's own\r\n");
    const auto copied = installMissingDataFiles(dir.path);
    EXPECT_EQ(readFile(dir.path / first), "operator's own\r\n");
    EXPECT_EQ(copied.size(), static_cast<size_t>(defaults.size() - 1));
    for (const QString& name : defaults)
        EXPECT_TRUE(std::filesystem::exists(dir.path / name.toStdString()));
    EXPECT_TRUE(installMissingDataFiles(dir.path).empty());
}
