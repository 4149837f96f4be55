#pragma once
// The QSO buttons: CQ, Answer, T/Over, Report, QTH, Station, QSL Info, Weather and End QSO with
// its held sign-off; the operator's six macros; and the editor that changes their texts.

#include "core/MainState.h"
#include "modem/QsoTexts.h"

#include <QObject>

class QLabel;
class QPushButton;

namespace tavrel {

class Modem;
class QsoButtons;
class MacroEditor;
class TransmitPanel;
class TransmitControl;
class EntryPanel;
class EntryControl;

class QsoControl : public QObject {
    Q_OBJECT
public:
    QsoControl(MainState& state, Modem& modem, QsoButtons& qso, MacroEditor& editor, TransmitPanel& transmit,
               TransmitControl& transmitControl, EntryPanel& entry, EntryControl& entryControl,
               QLabel& lblimd);

    void cq_Click();
    void answer_Click();
    void tover_Click();
    void report_Click();
    void qth_Click();
    void stn_Click();
    void qsl_Click();
    void weather_Click();
    void endqb_Click();
    // Run from RxCharRdy: releases the held sign-off once fewer than 10 characters are queued.
    void signOffCheck();

    void sendUserMacro(int index);             // 0..5
    void openEditor(Item item, int userIndex); // userIndex -1 for a QSO button
    void Command7_Click();                     // OK
    void Command8_Click();                     // Cancel
    void Command9_Click();                     // page A / B
    void showPage();
    // Start-up: the macro editor closed, the user macros' captions from the settings, page A.
    void apply(const SettingsStore& settings);

    // The values the texts are built from, as they stand now.
    QsoValues values() const;

private:
    void send(QPushButton* button, const std::string& text);
    void setTransmitWindow(const QString& text);

    MainState& m_state;
    Modem& m_modem;
    QsoButtons& m_qso;
    MacroEditor& m_editor;
    TransmitPanel& m_transmit;
    TransmitControl& m_transmitControl;
    EntryPanel& m_entry;
    EntryControl& m_entryControl;
    QLabel& m_lblimd;
    int m_macroPage = 0; // 0 shows user macros 1-3, 1 shows 4-6
};

} // namespace tavrel
