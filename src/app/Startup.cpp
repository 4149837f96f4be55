#include "app/Startup.h"

#include "app/Form1.h"
#include "core/FileStore.h"
#include "core/Numeric.h"
#include "modem/Modem.h"
#include "modem/SoundChoice.h"
#include "radio/PortNames.h"
#include "radio/SerialPort.h"
#include "ui/ColourScheme.h"

#include <QLabel>
#include <QStatusBar>
#include <cstdio>
#include <filesystem>

namespace tavrel {

namespace {
constexpr const char* kCatProblem = "The CAT port ";

std::string catSettings(const MainState& s) {
    return Startup::catSettingsText(s.item(Item::CatBaud), s.item(Item::CatParity), s.item(Item::CatDataBits),
                                    s.item(Item::CatStopBits));
}

StartProblem damagedLog(const std::string& message) {
    return {"Tavrel: the log is damaged", message,
            "Tavrel will close now. Mend the line named above (or restore a backup) and start Tavrel again."};
}
} // namespace

Startup::Startup(Form1& form) : m_form(form) {
    connect(m_form.statusControl, &StatusControl::reapplyDue, this, [this] {
        if (auto problem = reapplySettings()) emit stopped(*problem);
    });
    connect(m_form.entryControl, &EntryControl::logUnusable, this,
            [this](const QString& message) { emit stopped(damagedLog(message.toStdString())); });
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
    const std::string& port = m_form.state.item(Item::CatPort);
    // A Hamlib rig (model "4") has the CAT port to itself.
    if (m_form.state.item(Item::RadioModel) == "4") return;
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

// Reads tavrel.ini into the main window's list.
std::optional<StartProblem> Startup::readSettingsFile() {
    MainState& s = m_form.state;
    const auto& ini = s.settings.file();
    const SettingsRead read = s.settings.load();
    if (read.error) {
        // Defaults now would be written over the operator's settings by the band restore.
        return StartProblem{"Tavrel: the settings cannot be read", *read.error,
                            "The file has been left as it is and Tavrel will close now. Make it readable for "
                            "your user (or restore a backup) and start Tavrel again."};
    }
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
    return std::nullopt;
}

std::optional<StartProblem> Startup::startup() {
    return run(true);
}

// Start-up, in the order the program has always run it.
std::optional<StartProblem> Startup::run(bool programStart) {
    Form1& f = m_form;
    MainState& s = f.state;

    f.menuControl->findGreyLine();
    if (auto problem = readSettingsFile()) return problem;
    if (auto message = f.entryControl->makeLogIfMissing()) return damagedLog(*message);
    s.currentBand = s.item(Item::Band);
    s.settings.takeChange();
    takeTodaysDate();
    applyDisplayRange();
    applyModemSettings();
    f.receiverControl->reset();
    // The entry panel is emptied at program start only; a re-apply leaves the contact in progress.
    s.sep3 = "   ";
    if (programStart) f.entryControl->cllog();
    if (auto message = f.entryControl->getlog()) return damagedLog(*message);
    if (programStart) {
        s.signOffHeld = 0;
        s.logAfterTx = 0;
        s.btuTailDue = 0;
    }
    s.slashZero = 1;
    f.stationControl->getdxcc();
    f.receiverControl->resetTxFocus();
    f.presetControl->resetNet();
    connectRig();
    f.PskModem1.LoadPalette((s.appFolder / "spectrum.col").string());
    // The sound card's input and output, empty for the system default.
    f.PskModem1.setSoundDevices(s.item(Item::InputDevice), s.item(Item::OutputDevice));
    f.PskModem1.StartModem(-1, 1);
    // The backup reminder comes once, at program start, and only for a log that holds a contact.
    if (programStart) f.backupControl->reminderTest(f.logTable.logLast());
    // The log's own window stays open across a re-apply (a band button saves the settings).
    if (programStart) f.logViewControl->hide();
    // The band button's click, which saves the settings and so announces a change.
    f.radioControl->restoreBand(s.currentBand);
    // New text starts at the bottom of the history.
    std::string crlf;
    for (int i = 0; i < 11; ++i)
        crlf += "\r\n";
    f.receiveControl->appendToHistory(crlf);
    f.receiverControl->resumeReceivedText();
    setcolours(*f.centralWidget());
    f.qsoControl->apply(s.settings);
    f.presetControl->apply(s.settings);
    // The operator's layout comes back at program start; a re-apply leaves the window as it is.
    if (programStart) f.layoutMemory->restore();
    return std::nullopt;
}

// The contact's date, taken as mm-dd-yyyy.
void Startup::takeTodaysDate() {
    MainState& s = m_form.state;
    const std::string today = monthDayYear(s.clock.local());
    s.qsoYear = today.substr(6, 4);
    s.qsoMonth = today.substr(0, 2);
    s.qsoDay = today.substr(3, 2);
    s.qsoDateKey = s.qsoYear + s.qsoMonth + s.qsoDay;
}

std::pair<int, int> Startup::displayRange(const std::string& choice, const std::string& bottom,
                                          const std::string& top, std::pair<int, int> previous) {
    if (choice == "1") return {0, 3000};
    if (choice == "2") return {0, 4000};
    if (choice == "3") return {wholeNumber16(bottom), wholeNumber16(top)};
    return previous;
}

void Startup::applyDisplayRange() {
    const MainState& s = m_form.state;
    m_range = displayRange(s.item(Item::DisplayRange), s.item(Item::CustomRangeBottom),
                           s.item(Item::CustomRangeTop), m_range);
    m_form.PskModem1.SetDisplayRange(m_range.first, m_range.second);
}

// The station's ID, the waterfall, the drive, the PTT port and the receive frequency.
void Startup::applyModemSettings() {
    const MainState& s = m_form.state;
    Modem& modem = m_form.PskModem1;
    modem.setIdText("de " + s.item(Item::OwnCall) + "*");
    modem.setDisplayType(1);
    // The transmit drive in percent; unset, the level the program has always used.
    modem.setAuxSetting(driveFromPercent(s.item(Item::TxDrive)));
    // PTT handed to the modem only for a port of its own: on the CAT port's cable the CAT port
    // keys it (TxStateChg), the device being opened only once.
    const std::string& ptt = s.item(Item::PttPort);
    if ((numberValue(ptt) > 0 || isDevicePath(ptt)) && !sameDevice(ptt, s.item(Item::CatPort)))
        modem.SetPttPort(pttPortArgument(ptt), wholeNumber32(s.item(Item::PttLine)));
    modem.setRxFreq(1200);
}

// The CAT port or the Hamlib rig; the radio panel hidden when radio control is off.
void Startup::connectRig() {
    const MainState& s = m_form.state;
    m_form.radioControl->applyRigSettings();
    openCatPort(catSettings(s));
    if (s.item(Item::RadioControl) != "Yes") m_form.radioControl->hideRadioControls();
}

std::optional<StartProblem> Startup::reapplySettings() {
    Form1& f = m_form;
    MainState& s = f.state;
    if (f.Comm2.portOpen()) f.Comm2.setPortOpen(false);
    if (auto problem = readSettingsFile()) return problem;
    // The modem gives up a PTT port that is now the CAT port's cable before that port opens.
    const std::string& ptt = s.item(Item::PttPort);
    const std::string& cat = s.item(Item::CatPort);
    f.PskModem1.SetPttPort(sameDevice(ptt, cat) ? "0" : pttPortArgument(ptt),
                           wholeNumber32(s.item(Item::PttLine)));
    // With PTT and CAT on the same port, start-up below opens it.
    if (isPortItem(cat) && ptt != cat) openCatPort(catSettings(s));
    // Radio controls hidden when radio control is off.
    if (s.item(Item::RadioControl) != "Yes") f.radioControl->hideRadioControls();
    if (auto problem = run(false)) return problem;
    f.layoutMemory->reapplied();
    return std::nullopt;
}

} // namespace tavrel
