#pragma once
// The QSO entry panel and the log behind it: loading the log, storing a contact, clearing the
// panel, filing captured words, and the previous-contact lookup as the call is typed.

#include "core/MainState.h"
#include "logbook/LogFile.h"
#include "logbook/LogRecord.h"

#include <QObject>
#include <functional>
#include <optional>
#include <string>

class QPushButton;

namespace tavrel {

class EntryPanel;
class LookupPanel;
class CaptureBox;
class LogViewControl;
class StationInfoControl;

class EntryControl : public QObject {
    Q_OBJECT
public:
    EntryControl(MainState& state, LogTable& log, EntryPanel& entry, LookupPanel& lookup, CaptureBox& capture,
                 LogViewControl& view, StationInfoControl& station, QPushButton& answer);

    // Start-up: a missing log is made with its header record; the log is read. Each returns why
    // the log cannot be used (it must then be left as it is and the program ended).
    std::optional<std::string> makeLogIfMissing();
    std::optional<std::string> getlog();
    // True when the contact was stored; otherwise the operator has been told why.
    bool putlog();
    void cllog();
    // The store after the sign-off: the panel is cleared once the contact is stored. One that could
    // not be stored keeps the panel, its times included, for "Log Entry" once the cause is gone.
    bool storeAfterSignOff();
    void editlog_Click();
    void clearlog_Click();
    void Textclick_Change();
    void fileCapturedWord(QWidget* field);
    void hiscall_Change();
    void Search_Click();
    void Command1_Click();
    // The station row for the call in hand: heading and distance from the typed locator, else
    // from the last one logged for the call, else from the prefix.
    void stationLookup();
    // Whether the call was worked before on the panel's band and mode (shown beside qsotot).
    void markWorkedBand();
    // The log file was changed elsewhere (an edit in the log view): read it again and renew the
    // lookup for the call in hand.
    void logChanged();
    // The record "Log Entry" would store now.
    LogRecord panelRecord() const;

    const LogTable& logTable() const { return m_log; }
    int hitCount() const { return m_hitCount; }

    // "Log Entry" of a contact stored already (same call, date and start time) asks this first;
    // false keeps the panel as it is and stores nothing.
    std::function<bool(const std::string& question)> confirmDuplicate;

signals:
    // The log, read again after a store, cannot be used: the program must end.
    void logUnusable(const QString& message);

private:
    std::filesystem::path logPath() const { return m_state.file("zizoro.tan"); }

    MainState& m_state;
    EntryPanel& m_entry;
    LookupPanel& m_lookup;
    CaptureBox& m_capture;
    LogViewControl& m_view;
    StationInfoControl& m_station;
    QPushButton& m_answer;
    LogTable& m_log;
    int m_hitCount = 0;
    bool m_keepEndTime = false; // the panel holds a contact whose store after the sign-off failed
};

} // namespace tavrel
