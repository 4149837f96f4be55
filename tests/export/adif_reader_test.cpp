// The export read back by two ADIF readers of other authors (tests/export/adif-reader, npm):
// tcadif checks every field against the ADIF types and enumerations, adif-parser-ts also reads
// the header text. Every field of every contact must come back as written.

#include "export/Adif.h"
#include "support/LogRows.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

#include <map>

using namespace tavrel;

namespace {

const char* const kTags[16] = {"",        "QSO_DATE", "CALL",     "TIME_ON",   "BAND", "MODE",
                               "TX_PWR",  "TIME_OFF", "RST_SENT", "RST_RCVD",  "NAME", "QTH",
                               "COMMENT", "QSL_SENT", "QSL_RCVD", "GRIDSQUARE"};

TEST(AdifReadBack, EveryFieldOfEveryContactComesBack) {
    const std::filesystem::path reader = TAVREL_ADIF_READER_DIR;
    if (!std::filesystem::exists(reader / "node_modules" / "tcadif") ||
        !std::filesystem::exists(reader / "node_modules" / "adif-parser-ts"))
        GTEST_SKIP() << "ADIF readers not installed: run npm ci in " << reader;
    LogTable log;
    log.rows = {
        logRow("zqx,Date,Call"),
        logRow("zqx,20261207,G4ABC,143000,20,BPSK,40,144500,579,599,Bob,Leeds,tnx fer QSO/73,Y,N,IO93"),
        logRow("zqx,20261207,CQ,,20,BPSK,40,102000"),
        logRow("zqx,20270101,LA1\xD8X,,160,BPSK,100,235959,,,J\xE9r\xF4me,Troms\xF8,\x80 5 \x93ok\x94 "
               "tab\there,,,JO62")};
    TempDir dir;
    const auto path = dir.file("zizoro.adi");
    ASSERT_EQ(writeAdif(path, adifFile(log, DateTime{2026, 12, 7}, "21:04:59")), std::nullopt);
    QProcess node;
    node.start(QStringLiteral(TAVREL_NODE), {QString::fromStdString((reader / "read.js").string()),
                                             QString::fromStdString(path.string())});
    ASSERT_TRUE(node.waitForFinished(60000));
    ASSERT_EQ(node.exitCode(), 0) << node.readAllStandardError().toStdString();
    const QJsonObject got = QJsonDocument::fromJson(node.readAllStandardOutput()).object();
    const QJsonObject tc = got["tcadif"].toObject(), parser = got["adifParser"].toObject();
    ASSERT_FALSE(tc.contains("error")) << tc["error"].toString().toStdString();
    ASSERT_FALSE(parser.contains("error")) << parser["error"].toString().toStdString();
    EXPECT_EQ(parser["header"].toObject()["text"].toString(),
              "Tavrel ADIF Log Export\r\n12-07-2026   21:04:59");
    const QJsonArray qsos = tc["qsos"].toArray(), records = parser["records"].toArray();
    ASSERT_EQ(qsos.size(), 2); // the CQ call is no contact
    ASSERT_EQ(records.size(), 2);
    for (int i = 0; i < 2; ++i) {
        // As written: ASCII, the ADIF band and mode, the end time for a missing start.
        const LogRecord& r = log.rows[i == 0 ? 1 : 3];
        std::map<QString, QString> want = {{"MODE", "PSK"}, {"SUBMODE", "PSK31"}};
        for (int f = 1; f <= 15; ++f) {
            const std::string v = f == 3 && r[3].empty() ? r[7]
                                  : f == 4               ? r[4] + "m"
                                                         : r[static_cast<size_t>(f)];
            if (f != 5 && !v.empty()) want[kTags[f]] = QString::fromStdString(adifAscii(v));
        }
        const QJsonObject q = qsos[i].toObject(), p = records[i].toObject();
        EXPECT_EQ(q.size(), static_cast<qsizetype>(want.size()));
        EXPECT_EQ(p.size(), static_cast<qsizetype>(want.size()));
        for (const auto& [tag, value] : want) {
            EXPECT_EQ(p[tag.toLower()].toString(), value) << i << tag.toStdString();
            EXPECT_EQ(q[tag].toString(), tag == "BAND" ? value.toUpper() : value) << i << tag.toStdString();
        }
    }
}

} // namespace
