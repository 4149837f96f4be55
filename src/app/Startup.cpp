#include "app/Startup.h"

#include "app/Controls.h"
#include "app/FileStore.h"
#include "app/Numeric.h"
#include "app/QtText.h"
#include "modem/Modem.h"
#include "modem/SoundChoice.h"
#include "radio/PortNames.h"
#include "radio/SerialPort.h"
#include "ui/ColourScheme.h"
#include "ui/Form1.h"

#include <QLabel>
#include <QMessageBox>
#include <QStatusBar>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

namespace tavrel {

namespace {
constexpr const char* kCatProblem = "The CAT port ";
} // namespace

Startup::Startup(Form1& form) : m_form(form) {
    m_form.statusControl->reapplySettings = [this] { reapplySettings(); };
    onSettingsUnreadable = [this](const std::string& message) {
        std::fprintf(stderr, "Tavrel: %s\n", message.c_str());
        QMessageBox::critical(
            &m_form, QObject::tr("Tavrel: the settings cannot be read"),
            QString::fromStdString(message) +
                QObject::tr("\n\nThe file has been left as it is and Tavrel will close now. "
                            "Make it readable for your user (or restore a backup) and "
                            "start Tavrel again."));
        // As at the end of main(): the sound library's exit handlers can hang once it has run.
        std::fflush(nullptr);
        std::_Exit(2);
    };
    onSettingsDamaged = [this](const std::string& message) {
        std::fprintf(stderr, "Tavrel: %s\n", message.c_str());
        // A lasting part of the status line, kept narrow enough that the sound card's messages
        // still have room to come and go beside it.
        auto* note = new QLabel(QString::fromStdString(message));
        note->setObjectName(QStringLiteral("settingsNote"));
        note->setWordWrap(true);
        note->setMaximumWidth(m_form.fontMetrics().averageCharWidth() * 90);
        m_form.statusBar()->addPermanentWidget(note);
    };
}

std::string Startup::catSettingsText(const std::string& baud, const std::string& parity,
                                     const std::string& dataBits, const std::string& stopBits) {
    return baud + ", " + parity + ", " + dataBits + ", " + stopBits;
}

// The group of four writes stops at the first failure; the operator reads why in the status line.
// A port the re-apply has already opened is no failure.
void Startup::openCatPort(const std::string& catSettings) {
    const std::string& port = m_form.state.item(41);
    // A Hamlib rig (model "4") has the CAT port to itself.
    if (m_form.state.item(63) == "4") return;
    if (!isPortItem(port)) {
        // "0" or nothing: no rig control wanted. Anything else names no port the program knows.
        if (holdsNumber(port) ? wholeNumber16(port) != 0 : port.find_first_not_of(" \t") != std::string::npos)
            showStatus("The CAT port \"" + port + "\" names no serial port: rig control is off.");
        return;
    }
    SerialPort& comm2 = m_form.Comm2;
    if (openPort(comm2, port, catSettings) || comm2.portOpen()) {
        if (m_form.statusBar()->currentMessage().startsWith(QLatin1String(kCatProblem)))
            m_form.statusBar()->clearMessage();
        return;
    }
    const std::string why =
        !parseLineSettings(catSettings)
            ? "the line settings \"" + catSettings + "\" are not valid"
            : "the device is missing, in use by another program, or not open to this user";
    showStatus(kCatProblem + resolvePortName(port) + " could not be opened (" + why +
               "): rig control is off.");
}

void Startup::showStatus(const std::string& text) {
    m_form.statusBar()->showMessage(QString::fromStdString(text));
}

// Reads tavrel.ini into the main window's list; false when the program must not go on.
bool Startup::readSettingsFile() {
    MainState& s = m_form.state;
    const auto ini = s.file("tavrel.ini");
    SettingsRead read = loadSettings(ini);
    if (read.error) {
        // Defaults now would be written over the operator's settings by the band restore.
        onSettingsUnreadable(*read.error);
        return false;
    }
    if (read.missing) writeDefaultSettings(ini);
    if (read.damage && !m_damageTold) {
        m_damageTold = true;
        // The first save would write the repaired list over it: keep the file as it was.
        auto kept = ini;
        kept += ".damaged";
        std::string message = *read.damage + " Tavrel has read it with defaults for what is missing";
        if (const auto failure = copyFileOver(ini, kept))
            message += "; a copy of it as it was could not be kept (" + failure->reason() + ").";
        else
            message += " and keeps the file as it was in " + kept.string() + ".";
        onSettingsDamaged(message);
    }
    s.settings = std::move(read.list);
    return true;
}

void Startup::startup() {
    run(true);
}

void Startup::run(bool programStart) {
    Form1& f = m_form;
    MainState& s = f.state;
    Modem& modem = f.PskModem1;

    // The grey-line program's menu item.
    f.menuControl->findGreyLine();
    // A missing settings file is made with the defaults and read.
    if (!readSettingsFile()) return;
    // A missing log file is made with its header record.
    f.entryControl->makeLogIfMissing();
    s.currentBand = s.item(50);
    settingsChanged = 0;
    // Today's date, taken as mm-dd-yyyy.
    const std::string today = monthDayYear(s.clock.local());
    s.qsoYear = today.substr(6, 4);
    s.qsoMonth = today.substr(0, 2);
    s.qsoDay = today.substr(3, 2);
    s.qsoDateKey = s.qsoYear + s.qsoMonth + s.qsoDay;
    // Display range; any other item 60 keeps the previous range.
    const std::string& range = s.item(60);
    if (range == "1") {
        s.rangeBottom = 0;
        s.rangeTop = 3000;
    } else if (range == "2") {
        s.rangeBottom = 0;
        s.rangeTop = 4000;
    } else if (range == "3") {
        s.rangeBottom = wholeNumber16(s.item(61));
        s.rangeTop = wholeNumber16(s.item(62));
    }
    modem.SetDisplayRange(s.rangeBottom, s.rangeTop);
    modem.setIdText("de " + s.item(0) + "*");
    modem.setDisplayType(1);
    // The transmit drive in percent (item 68); unset, the level the program has always used.
    modem.setAuxSetting(driveFromPercent(s.item(68)));
    // PTT handed to the modem only for a port of its own: on the CAT port's cable the CAT port
    // keys it (TxStateChg), the device being opened only once.
    if ((numberValue(s.item(26)) > 0 || isDevicePath(s.item(26))) && !sameDevice(s.item(26), s.item(41)))
        modem.SetPttPort(pttPortArgument(s.item(26)), wholeNumber32(s.item(27)));
    modem.setRxFreq(1200);
    s.squelchSpeedValue = 1;
    modem.setSquelchSpeed(1);
    f.receiver->sqlmode->setText("1");
    f.receiver->sqlset->setCurrentText("Slow");
    s.displayKind = 1;
    f.receiver->Slider1->setValue(50);
    // Whatever the controls show is what the modem runs with.
    f.receiverControl->sendControls();
    // The entry panel is emptied at program start only; a re-apply leaves the contact in progress.
    s.sep3 = "   ";
    if (programStart) f.entryControl->cllog();
    f.entryControl->getlog();
    // Flags and the prefix table.
    if (programStart) {
        s.signOffHeld = 0;
        s.logAfterTx = 0;
        s.btuTailDue = 0;
    }
    s.slashZero = 1;
    f.stationControl->getdxcc();
    s.keepTxFocus = 0;
    setBackColour(f.receiver->txfocus, colours::red);
    f.status->Check1->setChecked(true);
    s.netOn = 1;
    // The CAT port, or the Hamlib rig.
    f.radioControl->applyRigSettings();
    openCatPort(catSettingsText(s.item(42), s.item(44), s.item(43), s.item(45)));
    // Radio controls hidden when radio control is off.
    if (s.item(40) != "Yes") f.radioControl->hideRadioControls();
    modem.LoadPalette((s.appFolder / "spectrum.col").string());
    // The sound card's input and output (items 66, 67), empty for the system default.
    modem.setSoundDevices(s.item(66), s.item(67));
    modem.StartModem(-1, 1);
    // The backup reminder comes once, at program start, and only for a log that holds a contact.
    if (programStart) f.backupControl->reminderTest(f.logTable.logLast());
    // The log's own window stays open across a re-apply (a band button saves the settings).
    if (programStart) f.logView->setVisible(false);
    // Band restore: the band button's click, which saves the settings and so marks them changed.
    f.radioControl->restoreBand(s.currentBand);
    // New text starts at the bottom of the history.
    std::string crlf;
    for (int i = 0; i < 11; ++i) crlf += "\r\n";
    f.receiveControl->appendToHistory(crlf);
    s.rxDisplayOn = 1;
    setBackColour(f.receiver->scrollstop, colours::green);
    // Colour scheme.
    setcolours(*f.centralWidget());
    f.macroEditor->Frame5->setVisible(false);
    f.macroEditor->Frame6->setVisible(false);
    f.presets->setVisible(false);
    f.presetEntry->setVisible(false);
    // Macro captions; the first page shown.
    for (int i = 0; i < 3; ++i) {
        f.qso->mtext[i]->setText(toQString(s.item(33 + i)));
        f.qso->mtext[i + 3]->setText(toQString(s.item(54 + i)));
    }
    s.macroPage = 0;
    f.qsoControl->showPage();
    // Audio preset captions.
    const int presetItems[5] = {28, 29, 22, 23, 24};
    for (int i = 0; i < 5; ++i) f.presets->preset[i]->setText(toQString(s.item(presetItems[i])));
    // The operator's layout comes back at program start; a re-apply leaves the window as it is.
    if (programStart) f.layoutMemory->restore();
}

void Startup::reapplySettings() {
    Form1& f = m_form;
    MainState& s = f.state;
    if (f.Comm2.portOpen()) f.Comm2.setPortOpen(false);
    if (!readSettingsFile()) return;
    // The modem gives up a PTT port that is now the CAT port's cable before that port opens.
    const bool pttOnCat = sameDevice(s.item(26), s.item(41));
    f.PskModem1.SetPttPort(pttOnCat ? "0" : pttPortArgument(s.item(26)), wholeNumber32(s.item(27)));
    const std::string cat = catSettingsText(s.item(42), s.item(44), s.item(43), s.item(45));
    // With PTT and CAT on the same port, start-up below opens it.
    if (isPortItem(s.item(41)) && s.item(26) != s.item(41)) openCatPort(cat);
    // Radio controls hidden when radio control is off.
    if (s.item(40) != "Yes") f.radioControl->hideRadioControls();
    run(false);
    f.layoutMemory->reapplied();
}

} // namespace tavrel
