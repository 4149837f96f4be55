#include "logbook/widgets/EntryControl.h"

#include "core/Controls.h"
#include "core/QtText.h"
#include "core/StatusLine.h"
#include "logbook/LogEntry.h"
#include "logbook/LogLookup.h"
#include "logbook/LogText.h"
#include "logbook/WorkedBefore.h"
#include "logbook/widgets/EntryPanel.h"
#include "logbook/widgets/LogViewControl.h"
#include "logbook/widgets/LookupPanel.h"
#include "stationinfo/Locator.h"
#include "stationinfo/widgets/StationInfoControl.h"

#include <QMessageBox>

namespace tavrel {

namespace {
std::string bytesOf(const QLineEdit* e) {
    return toBytes(e->text());
}
} // namespace

EntryControl::EntryControl(MainState& state, LogTable& log, EntryPanel& entry, LookupPanel& lookup,
                           CaptureBox& capture, LogViewControl& view, StationInfoControl& station,
                           QPushButton& answer)
    : QObject(&entry), m_state(state), m_entry(entry), m_lookup(lookup), m_capture(capture), m_view(view),
      m_station(station), m_answer(answer), m_log(log) {
    confirmDuplicate = [&entry](const std::string& question) {
        return QMessageBox::question(entry.window(), QObject::tr("Log Entry"),
                                     QString::fromStdString(question), QMessageBox::Yes | QMessageBox::No,
                                     QMessageBox::No) == QMessageBox::Yes;
    };
    onClick(entry.editlog, [this] { editlog_Click(); });
    onClick(entry.clearlog, [this] { clearlog_Click(); });
    onClick(entry.log, [this] { m_view.log_Click(); });
    onClick(lookup.Command1, [this] { Command1_Click(); });
    connect(entry.hiscall, &QLineEdit::textChanged, this, [this] { hiscall_Change(); });
    connect(capture.Textclick, &QLineEdit::textChanged, this, [this] { Textclick_Change(); });
    // A locator typed or filed in gives a better heading than the prefix.
    connect(entry.locator, &QLineEdit::textChanged, this, [this] { stationLookup(); });
    connect(entry.band, &QComboBox::currentTextChanged, this, [this] { markWorkedBand(); });
    // A new start time is a new contact: its end is the time of its own "Log Entry".
    connect(entry.start, &QLineEdit::textChanged, this, [this] { m_keepEndTime = false; });
    for (QLineEdit* field :
         {entry.hiscall, entry.hisname, entry.myrst, entry.locator, entry.notes, entry.qtht})
        onDoubleClick(field, [this, field] { fileCapturedWord(field); });
}

std::optional<std::string> EntryControl::makeLogIfMissing() {
    // Anything standing under the name, readable or not, is for getlog to judge.
    std::error_code ec;
    if (std::filesystem::symlink_status(logPath(), ec).type() != std::filesystem::file_type::not_found)
        return std::nullopt;
    if (auto error = newlog(logPath())) return error->message;
    return std::nullopt;
}

std::optional<std::string> EntryControl::getlog() {
    LogLoad load = tavrel::getlog(logPath());
    if (!load.ok()) return load.error->message;
    m_log = std::move(load.table);
    m_entry.qno->setText(QString::number(m_log.logCount()));
    return std::nullopt;
}

LogRecord EntryControl::panelRecord() const {
    const EntryTexts panel{bytesOf(m_entry.hiscall), bytesOf(m_entry.start),
                           bytesOf(m_entry.endt),    toBytes(m_entry.band->currentText()),
                           bytesOf(m_entry.hisrst),  bytesOf(m_entry.myrst),
                           bytesOf(m_entry.hisname), bytesOf(m_entry.qtht),
                           bytesOf(m_entry.notes),   bytesOf(m_entry.locator)};
    return buildRecord(panel, m_state.qsoDateKey, m_state.item(Item::OwnPower));
}

bool EntryControl::putlog() {
    LogRecord row = panelRecord();
    if (auto error = appendContact(logPath(), row)) {
        // Nothing was stored: the panel keeps the contact so the operator can try again.
        m_state.tell(error->message);
        return false;
    }
    m_keepEndTime = false;
    if (auto message = getlog()) {
        // Stored, but the log no longer reads back: nothing more may be written to it.
        emit logUnusable(QString::fromStdString(*message));
        return true;
    }
    // The reloaded row carries the chronological key, so a new contact sorts by date and time too.
    m_view.addContact(m_log.rows.empty() ? row : m_log.rows.back());
    showInStatusLine(&m_entry, tr("Contact %1 stored: %2").arg(m_log.logLast()).arg(toQString(row[2])));
    m_entry.hisrst->setText("579");
    m_entry.myrst->setText("579");
    return true;
}

bool EntryControl::storeAfterSignOff() {
    if (!putlog()) {
        m_keepEndTime = true;
        return false;
    }
    cllog();
    return true;
}

// The next contact is on the band in use.
void EntryControl::cllog() {
    for (QLineEdit* e : {m_entry.hisname, m_entry.locator, m_entry.start, m_entry.endt, m_entry.dat,
                         m_entry.notes, m_entry.qtht})
        e->clear();
    m_entry.hisrst->setText("579");
    m_entry.myrst->setText("579");
    const std::string& band = m_state.currentBand;
    const bool known = band == "10" || band == "15" || band == "20" || band == "40";
    m_entry.band->setCurrentText(toQString(known ? band : "20"));
    m_keepEndTime = false;
}

void EntryControl::editlog_Click() {
    // The same call, date and start time stored already: most likely a second press.
    const LogRecord contact = panelRecord();
    if (const int row = findDuplicate(m_log, contact); row > 0 && confirmDuplicate) {
        const QString start = m_entry.start->text().isEmpty() ? tr("(none)") : m_entry.start->text();
        const std::string question = tr("%1 was already logged on %2 with the start time %3 as contact %4. "
                                        "Store it again?")
                                         .arg(toQString(contact[2]), toQString(dateShown(contact[1])), start)
                                         .arg(row)
                                         .toStdString();
        if (!confirmDuplicate(question)) return;
    }
    // A contact left by a failed store keeps the end time its sign-off gave it.
    if (!m_keepEndTime || m_entry.endt->text().isEmpty()) m_entry.endt->setText(toQString(m_state.utcTime));
    putlog();
}

void EntryControl::clearlog_Click() {
    m_keepEndTime = false;
    for (QLineEdit* e : {m_entry.hiscall, m_entry.start, m_entry.qtht, m_entry.hisname, m_entry.endt,
                         m_entry.dat, m_entry.notes, m_entry.locator})
        e->clear();
    m_entry.hisrst->setText("579");
    m_entry.myrst->setText("579");
}

void EntryControl::Textclick_Change() {
    if (m_capture.Textclick->text().isEmpty()) return;
    m_capture.Textclick->setVisible(true);
    m_capture.testclicktitle->setVisible(true);
}

void EntryControl::fileCapturedWord(QWidget* field) {
    static_cast<QLineEdit*>(field)->setText(m_capture.Textclick->text());
    m_capture.Textclick->setVisible(false);
    m_capture.testclicktitle->setVisible(false);
}

void EntryControl::hiscall_Change() {
    m_state.callHead.clear();
    const QString text = m_entry.hiscall->text();
    const QString trimmed = toQString(std::string(trimSpaces(toBytes(text))));
    if (trimmed != text) m_entry.hiscall->setText(trimmed); // runs this handler again, nested
    m_state.hisCallUpper = upperCase1252(toBytes(trimmed));
    m_state.callHead = std::string(leftPart(m_state.hisCallUpper, 4));
    stationLookup();
    if (m_state.hisCallUpper.empty()) {
        for (QLineEdit* e : {m_lookup.scall, m_lookup.sname, m_lookup.sqth, m_lookup.slocator})
            e->clear();
        m_lookup.slist->clear();
        m_lookup.workedband->setVisible(false);
    } else {
        Search_Click();
    }
    setBackColour(&m_answer, colours::buttonFace());
}

void EntryControl::Search_Click() {
    const LookupResult r = searchLog(m_log, bytesOf(m_entry.hiscall));
    m_hitCount = r.hitCount;
    m_lookup.scall->setText(toQString(r.scall));
    m_lookup.sname->setText(toQString(r.sname));
    m_lookup.sqth->setText(toQString(r.sqth));
    m_lookup.slocator->setText(toQString(r.slocator));
    QString list = toQString(r.slist);
    list.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    if (list.endsWith(QLatin1Char('\n'))) list.chop(1);
    m_lookup.slist->setPlainText(list);
    m_lookup.qsotot->setText(QString::number(r.hitCount));
    markWorkedBand();
}

void EntryControl::stationLookup() {
    m_station.clear();
    if (m_state.hisCallUpper.empty()) return;
    const QString typed = m_entry.locator->text().trimmed();
    m_station.findprefix(m_log,
                         beamLocator(m_log, toBytes(typed.toUpper()), callForLog(m_state.hisCallUpper)));
}

void EntryControl::markWorkedBand() {
    QLabel* mark = m_lookup.workedband;
    const std::optional<BandMark> m = workedBandMark(m_log, panelRecord());
    mark->setVisible(m.has_value());
    if (!m) return;
    mark->setText(toQString(m->text));
    setBackColour(mark, m->worked ? colours::orange : colours::green);
}

void EntryControl::logChanged() {
    if (auto message = getlog()) {
        emit logUnusable(QString::fromStdString(*message));
        return;
    }
    if (m_state.hisCallUpper.empty()) return;
    stationLookup();
    Search_Click();
}

void EntryControl::Command1_Click() {
    m_entry.hiscall->setText(m_lookup.scall->text());
    m_entry.hisname->setText(m_lookup.sname->text());
    m_entry.locator->setText(m_lookup.slocator->text());
    m_entry.qtht->setText(m_lookup.sqth->text());
}

} // namespace tavrel
