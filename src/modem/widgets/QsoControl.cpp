#include "modem/widgets/QsoControl.h"

#include "core/Controls.h"
#include "core/Numeric.h"
#include "core/QtText.h"
#include "core/Settings.h"
#include "logbook/widgets/EntryControl.h"
#include "logbook/widgets/EntryPanel.h"
#include "modem/Modem.h"
#include "modem/widgets/QsoButtons.h"
#include "modem/widgets/TransmitControl.h"
#include "modem/widgets/TransmitPanel.h"

#include <QSignalBlocker>
#include <optional>

namespace tavrel {

namespace {
// The editor shows line breaks; the settings keep CR LF as the air does.
QString forEditor(const std::string& item) {
    QString t = toQString(item);
    t.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return t;
}
std::string fromEditor(const QString& text) {
    QString t = text;
    t.replace(QLatin1Char('\n'), QStringLiteral("\r\n"));
    return toBytes(t);
}
} // namespace

QsoControl::QsoControl(MainState& state, Modem& modem, QsoButtons& qso, MacroEditor& editor,
                       TransmitPanel& transmit, TransmitControl& transmitControl, EntryPanel& entry,
                       EntryControl& entryControl, QLabel& lblimd)
    : QObject(&qso), m_state(state), m_modem(modem), m_qso(qso), m_editor(editor), m_transmit(transmit),
      m_transmitControl(transmitControl), m_entry(entry), m_entryControl(entryControl), m_lblimd(lblimd) {
    struct Button {
        QPushButton* button;
        void (QsoControl::*send)();
        std::optional<Item> item; // edited by a right click
    };
    const Button buttons[] = {{qso.cq, &QsoControl::cq_Click, Item::CqText},
                              {qso.answer, &QsoControl::answer_Click, {}},
                              {qso.tover, &QsoControl::tover_Click, {}},
                              {qso.report, &QsoControl::report_Click, {}},
                              {qso.qth, &QsoControl::qth_Click, Item::QthText},
                              {qso.stn, &QsoControl::stn_Click, Item::StationText},
                              {qso.qsl, &QsoControl::qsl_Click, Item::QslText},
                              {qso.weather, &QsoControl::weather_Click, Item::WeatherText},
                              {qso.endqb, &QsoControl::endqb_Click, Item::EndText}};
    for (const Button& b : buttons) {
        onMouseDown(b.button, [this, b](int button) {
            if (button == 1) (this->*b.send)();
            if (button == 2 && b.item) openEditor(*b.item, -1);
        });
    }
    for (int i = 0; i < 6; ++i) {
        onMouseDown(qso.mtext[static_cast<size_t>(i)], [this, i](int button) {
            if (button == 1) sendUserMacro(i);
            if (button == 2) openEditor(kUserMacroItems[i], i);
        });
    }
    onClick(editor.Command7, [this] { Command7_Click(); });
    onClick(editor.Command8, [this] { Command8_Click(); });
    onClick(qso.Command9, [this] { Command9_Click(); });
    onClick(editor.Label48, [this] { m_editor.Label48->setText(QString()); });
}

QsoValues QsoControl::values() const {
    QsoValues v;
    const MainState& s = m_state;
    v.M = s.item(Item::OwnCall);
    v.H = s.hisCallUpper;
    v.R = toBytes(m_entry.hisrst->text());
    v.N = s.item(Item::OwnName);
    v.Q = s.item(Item::OwnTown);
    v.A = s.item(Item::OwnArea);
    v.L = s.item(Item::OwnLocator);
    v.C = s.item(Item::OwnComputer);
    v.G = s.item(Item::OwnRig);
    v.P = s.item(Item::OwnPower);
    v.T = s.item(Item::OwnAntenna);
    v.S = s.sep3;
    v.U = s.utcTime;
    v.D = monthDayYear(s.clock.local());
    return v;
}

void QsoControl::send(QPushButton* button, const std::string& text) {
    setBackColour(button, colours::brightGreen);
    m_modem.SendText(text);
}

// Notices written into the transmit window are not typing: they must not reach the air.
void QsoControl::setTransmitWindow(const QString& text) {
    const QSignalBlocker quiet(m_transmit.txtTXData);
    m_transmit.txtTXData->setPlainText(text);
}

void QsoControl::cq_Click() {
    m_entryControl.clearlog_Click();
    send(m_qso.cq, cqText(values(), m_state.item(Item::CqText)));
    m_entry.hiscall->setText("CQ");
    m_modem.StartTx(0);
    m_modem.EndTx();
    if (numberValue(m_state.item(Item::LogCqCalls)) == 1) {
        m_entry.endt->setText(toQString(m_state.utcTime));
        m_entry.hisrst->clear();
        m_entry.myrst->clear();
        m_entryControl.putlog();
    }
}

void QsoControl::answer_Click() {
    const DateTime today = m_state.clock.local();
    const std::string mdy = monthDayYear(today);
    m_state.qsoYear = mdy.substr(6, 4);
    m_state.qsoMonth = mdy.substr(0, 2);
    m_state.qsoDay = mdy.substr(3, 2);
    m_state.qsoDateKey = m_state.qsoYear + m_state.qsoMonth + m_state.qsoDay;
    m_entry.start->setText(toQString(m_state.utcTime));
    m_entry.dat->setText(toQString(m_state.qsoYear + "-" + m_state.qsoMonth + "-" + m_state.qsoDay));
    send(m_qso.answer, answerText(values()));
    m_modem.StartTx(0);
    m_modem.EndTx();
    m_lblimd.setText(QString());
}

void QsoControl::tover_Click() {
    send(m_qso.tover, toverText(values()));
    m_modem.StartTx(0);
}

void QsoControl::report_Click() {
    send(m_qso.report, reportText(values()));
    m_modem.StartTx(0);
}

void QsoControl::qth_Click() {
    send(m_qso.qth, qthText(values(), m_state.item(Item::QthText)));
    m_modem.StartTx(0);
}

void QsoControl::stn_Click() {
    send(m_qso.stn, stationText(values(), m_state.item(Item::StationText)));
    m_modem.StartTx(0);
}

void QsoControl::qsl_Click() {
    send(m_qso.qsl, storedLine(m_state.item(Item::QslText)));
    m_modem.StartTx(0);
}

void QsoControl::weather_Click() {
    send(m_qso.weather, storedLine(m_state.item(Item::WeatherText)));
    m_modem.StartTx(0);
}

void QsoControl::endqb_Click() {
    setBackColour(m_qso.endqb, colours::brightGreen);
    // The whole window goes now: what was typed ahead and waits to be handed over is in it.
    m_modem.SendText(m_transmitControl.typedText() + kCrLf);
    m_transmitControl.flow().holdSignOff();
    setTransmitWindow(QString());
    m_modem.SendText(signOffText(values(), m_state.item(Item::EndText)));
    setTransmitWindow(QStringLiteral("\n") + QString::fromLatin1(kSignOffHeldNotice));
    m_modem.StartTx(0);
    m_modem.EndTx();
}

void QsoControl::signOffCheck() {
    TransmitFlow& flow = m_transmitControl.flow();
    if (!flow.signOffReleaseDue(m_modem.TxPending())) return;
    const QsoValues v = values();
    m_modem.SendText(signOffTail(v));
    m_entry.endt->setText(toQString(v.U));
    m_modem.StartTx(0);
    m_modem.EndTx();
    flow.signOffQueued();
    setTransmitWindow(m_transmit.txtTXData->toPlainText() + QStringLiteral("\n") +
                      QString::fromLatin1(kSignOffQueuedNotice));
    m_transmitControl.resetQsoButtonColours();
}

void QsoControl::sendUserMacro(int index) {
    setBackColour(m_qso.mtext[static_cast<size_t>(index)], colours::brightGreen);
    m_modem.SendText(userMacroText(m_state.item(kUserMacroItems[index])));
    m_modem.StartTx(0);
}

void QsoControl::openEditor(Item item, int userIndex) {
    m_state.macroEditItem = item;
    m_editor.macrotext->setPlainText(forEditor(m_state.item(item)));
    if (userIndex >= 0) m_editor.Text4->setText(toQString(m_state.item(kUserCaptionItems[userIndex])));
    m_editor.Frame5->setVisible(true);
    if (userIndex >= 0) m_editor.Frame6->setVisible(true);
    m_editor.macrotext->setFocus();
    m_editor.macrotext->moveCursor(QTextCursor::End); // the operator adds to what is there
}

void QsoControl::Command7_Click() {
    const Item item = m_state.macroEditItem;
    m_state.settings[item] = fromEditor(m_editor.macrotext->toPlainText());
    for (int i = 0; i < 6; ++i) {
        if (kUserMacroItems[i] != item) continue;
        m_state.settings[kUserCaptionItems[i]] = toBytes(m_editor.Text4->text());
        m_qso.mtext[static_cast<size_t>(i)]->setText(m_editor.Text4->text());
    }
    // Not saved: the editor stays open with the text, for another try.
    if (auto failure = m_state.saveSettings()) {
        m_state.tell(*failure);
        return;
    }
    m_editor.Frame5->setVisible(false);
    m_editor.Frame6->setVisible(false);
}

void QsoControl::Command8_Click() {
    m_editor.Frame5->setVisible(false);
    m_editor.Frame6->setVisible(false);
}

void QsoControl::Command9_Click() {
    m_macroPage = (m_macroPage + 1) % 2;
    showPage();
}

void QsoControl::apply(const SettingsStore& settings) {
    m_editor.Frame5->setVisible(false);
    m_editor.Frame6->setVisible(false);
    for (size_t i = 0; i < m_qso.mtext.size(); ++i)
        m_qso.mtext[i]->setText(toQString(settings[kUserCaptionItems[i]]));
    m_macroPage = 0;
    showPage();
}

void QsoControl::showPage() {
    const bool pageB = m_macroPage == 1;
    m_qso.Command9->setText(pageB ? QStringLiteral("B") : QStringLiteral("A"));
    for (int i = 0; i < 6; ++i)
        m_qso.mtext[static_cast<size_t>(i)]->setVisible((i >= 3) == pageB);
}

} // namespace tavrel
