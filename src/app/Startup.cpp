#include "app/Startup.h"

#include "app/Controls.h"
#include "app/Numeric.h"
#include "app/QtText.h"
#include "modem/Modem.h"
#include "radio/PortNames.h"
#include "radio/SerialPort.h"
#include "ui/ColourScheme.h"
#include "ui/Form1.h"

#include <filesystem>

namespace tavrel {

Startup::Startup(Form1& form) : m_form(form) {
    m_form.statusControl->reapplySettings = [this] { reapplySettings(); };
}

std::string Startup::catSettingsText(const std::string& baud, const std::string& parity,
                                     const std::string& dataBits, const std::string& stopBits) {
    return baud + ", " + parity + ", " + dataBits + ", " + stopBits;
}

void Startup::openCatPort(const std::string& catSettings) {
    const std::string& port = m_form.state.item(41);
    // A Hamlib rig (model "4") has the CAT port to itself.
    if (!isPortItem(port) || m_form.state.item(63) == "4") return;
    // The group of four writes stops silently at the first failure.
    openPort(m_form.Comm2, port, catSettings);
}

void Startup::startup() {
    Form1& f = m_form;
    MainState& s = f.state;
    Modem& modem = f.PskModem1;

    // 1. The grey-line program's menu item.
    f.menuControl->findGreyLine();
    // 2. A missing settings file is made with the defaults.
    const auto ini = s.file("tavrel.ini");
    if (!std::filesystem::exists(ini)) writeDefaultSettings(ini);
    // 3. A missing log file is made with its header record.
    f.entryControl->makeLogIfMissing();
    // 4-6.
    s.settings = readSettings(ini);
    s.currentBand = s.item(50);
    settingsChanged = 0;
    // 7. Today's date, taken as mm-dd-yyyy.
    const std::string today = monthDayYear(s.clock.local());
    s.qsoYear = today.substr(6, 4);
    s.qsoMonth = today.substr(0, 2);
    s.qsoDay = today.substr(3, 2);
    s.qsoDateKey = s.qsoYear + s.qsoMonth + s.qsoDay;
    // 8. Display range; any other item 60 keeps the previous range.
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
    // 9-11.
    modem.setIdText("de " + s.item(0) + "*");
    modem.setDisplayType(1);
    modem.setAuxSetting(253);
    // 12. PTT handed to the modem only for a real port.
    if (numberValue(s.item(26)) > 0 || isDevicePath(s.item(26)))
        modem.SetPttPort(pttPortArgument(s.item(26)), wholeNumber32(s.item(27)));
    // 13-15.
    modem.setRxFreq(1200);
    s.squelchSpeedValue = 1;
    modem.setSquelchSpeed(1);
    f.receiver->sqlmode->setText("1");
    f.receiver->sqlset->setCurrentText("Slow");
    s.displayKind = 1;
    f.receiver->Slider1->setValue(50);
    // 16. The entry panel is cleared and the log read.
    s.sep3 = "   ";
    f.entryControl->cllog();
    f.entryControl->getlog();
    // 17. Flags and the prefix table.
    s.signOffHeld = 0;
    s.logAfterTx = 0;
    s.slashZero = 1;
    f.stationControl->getdxcc();
    s.keepTxFocus = 0;
    s.btuTailDue = 0;
    f.status->Check1->setChecked(true);
    s.netOn = 1;
    // 18-19. The CAT port.
    f.radioControl->applyRigSettings();
    openCatPort(catSettingsText(s.item(42), s.item(44), s.item(43), s.item(45)));
    // 20. Radio controls hidden when radio control is off.
    if (s.item(40) != "Yes") f.radioControl->hideRadioControls();
    // 21-22.
    modem.LoadPalette((s.appFolder / "spectrum.col").string());
    modem.StartModem(-1, 1);
    // 23. Backup reminder.
    f.backupControl->reminderTest();
    // 24.
    f.logView->setVisible(false);
    // 25. Band restore: the band button's click, which saves the settings and so marks them changed.
    f.radioControl->restoreBand(s.currentBand);
    // 26. New text starts at the bottom of the history.
    std::string crlf;
    for (int i = 0; i < 11; ++i) crlf += "\r\n";
    f.receiveControl->appendToHistory(crlf);
    // 27.
    s.rxDisplayOn = 1;
    setBackColour(f.receiver->scrollstop, colours::green);
    // 28. Colour scheme.
    setcolours(*f.centralWidget());
    // 29.
    f.macroEditor->Frame5->setVisible(false);
    f.macroEditor->Frame6->setVisible(false);
    f.presets->setVisible(false);
    f.presetEntry->setVisible(false);
    // 30. Macro captions; the first page shown.
    for (int i = 0; i < 3; ++i) {
        f.qso->mtext[i]->setText(toQString(s.item(33 + i)));
        f.qso->mtext[i + 3]->setText(toQString(s.item(54 + i)));
    }
    s.macroPage = 0;
    f.qsoControl->showPage();
    // 31. Audio preset captions.
    const int presetItems[5] = {28, 29, 22, 23, 24};
    for (int i = 0; i < 5; ++i) f.presets->preset[i]->setText(toQString(s.item(presetItems[i])));
}

void Startup::reapplySettings() {
    Form1& f = m_form;
    MainState& s = f.state;
    if (f.Comm2.portOpen()) f.Comm2.setPortOpen(false);
    s.settings = readSettings(s.file("tavrel.ini"));
    f.PskModem1.SetPttPort(pttPortArgument(s.item(26)), wholeNumber32(s.item(27)));
    const std::string cat = catSettingsText(s.item(42), s.item(44), s.item(43), s.item(45));
    // With PTT and CAT on the same port, start-up below opens it.
    if (isPortItem(s.item(41)) && s.item(26) != s.item(41)) openCatPort(cat);
    // 6. Radio controls hidden when radio control is off.
    if (s.item(40) != "Yes") f.radioControl->hideRadioControls();
    startup();
}

} // namespace tavrel
