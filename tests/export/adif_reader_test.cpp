// The export read back by two ADIF readers of other authors (tests/export/adif-reader, npm):
// tcadif checks every field against the ADIF types and enumerations, adif-parser-ts also reads
// the header text and 8-bit values. Every field of every contact must come back.

#include "export/Adif.h"
#include "support/TempDir.h"

#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QProcess>
#include <gtest/gtest.h>

using namespace tavrel;

namespace {

namespace fs = std::filesystem;

const char* const kTags[16] = {"",        "QSO_DATE", "CALL",     "TIME_ON",   "BAND", "MODE",
                               "TX_PWR",  "TIME_OFF", "RST_SENT", "RST_RCVD",  "NAME", "QTH",
                               "COMMENT", "QSL_SENT", "QSL_RCVD", "GRIDSQUARE"};

fs::path readerFolder() {
    return TAVREL_ADIF_READER_DIR;
}

class AdifReadBack : public ::testing::Test {
protected:
    void SetUp() override {
        if (!fs::exists(readerFolder() / "node_modules" / "tcadif") ||
            !fs::exists(readerFolder() / "node_modules" / "adif-parser-ts"))
            GTEST_SKIP() << "ADIF readers not installed: run npm ci in " << readerFolder();
    }

    // What the two readers found in the file, as JSON.
    QJsonObject readBack(const LogTable& log) {
        const auto path = dir.path / "zizoro.adi";
        EXPECT_EQ(writeAdif(path, adifFile(log, DateTime{2026, 12, 7}, "21:04:59")), std::nullopt);
        QProcess node;
        node.start(QStringLiteral(TAVREL_NODE),
                   {QString::fromStdString((readerFolder() / "read.js").string()),
                    QString::fromStdString(path.string())});
        EXPECT_TRUE(node.waitForFinished(60000));
        EXPECT_EQ(node.exitCode(), 0) << node.readAllStandardError().toStdString();
        return QJsonDocument::fromJson(node.readAllStandardOutput()).object();
    }

    // The stored value as the reader gives it: each 8-bit character one code point.
    static QString latin1(const std::string& bytes) {
        return QString::fromLatin1(bytes.data(), bytes.size());
    }

    TempDir dir;
};

LogRecord row(std::initializer_list<const char*> fields) {
    LogRecord r;
    r[0] = "zqx";
    size_t i = 1;
    for (const char* f : fields)
        r[i++] = f;
    r[23] = "|";
    return r;
}

TEST_F(AdifReadBack, EveryFieldOfEveryContactComesBackWithTheAdifBandAndMode) {
    LogTable log;
    log.rows.push_back(row({"Date", "Call", "Start Time", "Band", "Mode"}));
    log.rows.push_back(row({"20261207", "G4ABC", "143000", "20", "BPSK", "40", "144500", "579", "599", "Bob",
                            "Leeds", "tnx fer QSO/73", "Y", "N", "IO93"}));
    log.rows.push_back(row(
        {"20261208", "DL1XYZ", "070500", "40", "BPSK", "", "071000", "599", "", "", "", "", "", "", "JO62"}));
    log.rows.push_back(row({"20270101", "VK2/W1AW", "000001", "10", "BPSK", "100", "235959", "", "", "Jo",
                            "Sydney/NSW", "", "", "", ""}));
    log.rows.push_back(row({"20270102", "JA1AA", "120000", "15", "BPSK"}));

    const QJsonObject got = readBack(log);
    const QJsonObject tc = got["tcadif"].toObject();
    ASSERT_FALSE(tc.contains("error")) << tc["error"].toString().toStdString();
    const QJsonArray qsos = tc["qsos"].toArray();
    const QJsonArray records = got["adifParser"].toObject()["records"].toArray();
    ASSERT_EQ(qsos.size(), 4);
    ASSERT_EQ(records.size(), 4);

    for (int i = 0; i < 4; ++i) {
        const LogRecord& r = log.rows[static_cast<size_t>(i + 1)];
        const QJsonObject q = qsos[i].toObject();
        const QJsonObject p = records[i].toObject();
        int expectedFields = 1; // SUBMODE
        for (int f = 1; f <= 15; ++f) {
            const QString tag = QString::fromLatin1(kTags[f]);
            const std::string& stored = r[static_cast<size_t>(f)];
            SCOPED_TRACE("contact " + std::to_string(i + 1) + " " + kTags[f]);
            if (stored.empty()) {
                EXPECT_FALSE(q.contains(tag));
                EXPECT_FALSE(p.contains(tag.toLower()));
                continue;
            }
            ++expectedFields;
            QString want = latin1(stored);
            if (f == 4) want += "m";
            if (f == 5) want = "PSK";
            EXPECT_EQ(p[tag.toLower()].toString(), want);
            // tcadif gives bands in capitals.
            EXPECT_EQ(q[tag].toString(), f == 4 ? want.toUpper() : want);
        }
        EXPECT_EQ(q["SUBMODE"].toString(), "PSK31");
        EXPECT_EQ(p["submode"].toString(), "PSK31");
        EXPECT_EQ(q.size(), expectedFields);
        EXPECT_EQ(p.size(), expectedFields);
    }
}

TEST_F(AdifReadBack, EightBitValuesLoggedCqCallsAndMissingStartsPassTheStrictReader) {
    LogTable log;
    log.rows.push_back(row({"Date"}));
    log.rows.push_back(row({"20261207", "F5ABC", "101010", "20", "BPSK", "", "", "", "", "J\xE9r\xF4me",
                            "Besan\xE7on", "\x80 5 \x93ok\x94"}));
    log.rows.push_back(row({"20261207", "CQ", "", "20", "BPSK", "40", "102000", "", ""}));
    log.rows.push_back(row({"20261207", "LA1\xD8X", "", "40", "BPSK", "100", "103000", "599", "599",
                            "\xD8ystein Stra\xDF"
                            "e",
                            "Troms\xF8", "tab\there"}));

    const QJsonObject got = readBack(log);
    const QJsonObject tc = got["tcadif"].toObject();
    ASSERT_FALSE(tc.contains("error")) << tc["error"].toString().toStdString();
    const QJsonObject p = got["adifParser"].toObject();
    ASSERT_FALSE(p.contains("error")) << p["error"].toString().toStdString();
    EXPECT_EQ(p["header"].toObject()["text"].toString(), "Tavrel ADIF Log Export\r\n12-07-2026   21:04:59");
    const QJsonArray records = p["records"].toArray();
    ASSERT_EQ(records.size(), 2); // the CQ call is no contact
    ASSERT_EQ(tc["qsos"].toArray().size(), 2);
    const QJsonObject r = records[0].toObject();
    EXPECT_EQ(r["name"].toString(), "Jerome");
    EXPECT_EQ(r["qth"].toString(), "Besancon");
    EXPECT_EQ(r["comment"].toString(), "EUR 5 \"ok\"");
    EXPECT_EQ(r["band"].toString(), "20m");
    const QJsonObject q = records[1].toObject();
    EXPECT_EQ(q["call"].toString(), "LA1OX");
    EXPECT_EQ(q["name"].toString(), "Oystein Strasse");
    EXPECT_EQ(q["time_on"].toString(), "103000");
    EXPECT_EQ(q["comment"].toString(), "tab here");
}

} // namespace
