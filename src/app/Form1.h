#pragma once
// The main window: assembles the panels of every subsystem, owns the shared state and places
// the pop-up frames over the parts they belong to. It holds no behaviour of its own.

#include "app/MenuControl.h"
#include "browser/widgets/BrowserControl.h"
#include "browser/widgets/SignalBrowser.h"
#include "core/MainState.h"
#include "export/widgets/AdifControl.h"
#include "export/widgets/BackupControl.h"
#include "export/widgets/BackupReminder.h"
#include "logbook/widgets/EntryControl.h"
#include "logbook/widgets/EntryPanel.h"
#include "logbook/widgets/LogViewControl.h"
#include "logbook/widgets/LogViewPanel.h"
#include "logbook/widgets/LookupPanel.h"
#include "modem/widgets/QsoButtons.h"
#include "modem/widgets/QsoControl.h"
#include "modem/widgets/ReceiveControl.h"
#include "modem/widgets/ReceivePanel.h"
#include "modem/widgets/StatusControl.h"
#include "modem/widgets/StatusPanel.h"
#include "modem/widgets/TransmitControl.h"
#include "modem/widgets/TransmitPanel.h"
#include "radio/widgets/RadioControl.h"
#include "radio/widgets/RadioPanel.h"
#include "receiver/widgets/AudioPresets.h"
#include "receiver/widgets/PresetControl.h"
#include "receiver/widgets/ReceiverControl.h"
#include "receiver/widgets/ReceiverControls.h"
#include "stationinfo/widgets/StationInfoControl.h"
#include "stationinfo/widgets/StationInfoRow.h"
#include "ui/LayoutMemory.h"
#include "ui/MainKeys.h"
#include "ui/MainMenu.h"

#include <QMainWindow>
#include <QSplitter>
#include <functional>
#include <memory>

namespace tavrel {

class Modem;
class SerialPort;

class Form1 : public QMainWindow {
    Q_OBJECT
public:
    Form1(std::filesystem::path appFolder, Modem& modem, SerialPort& comm2, QWidget* parent = nullptr);
    ~Form1() override;

    MainState state;
    LogTable logTable; // the log in memory: row 0 the header record, then every contact
    Modem& PskModem1;
    SerialPort& Comm2;

    // Panels, in reading order of the window.
    ReceivePanel* receive;
    StatusPanel* status;
    RadioPanel* radioPanel;
    AudioPresets* presets; // Frame7
    QWidget* modemDisplay; // the component's display
    ReceiverControls* receiver;
    TransmitPanel* transmit;
    QsoButtons* qso;
    EntryPanel* entry;   // zizoro
    LookupPanel* lookup; // Frame3
    StationInfoRow* stationInfo;
    std::unique_ptr<MainMenu> menu;
    // The signal browser, docked; the lamp at the menu bar's end lights when it holds our call.
    QDockWidget* browserDock;
    SignalBrowser* browser;
    QToolButton* browserLamp;

    // The handlers of the modem's events.
    ReceiveControl* receiveControl;
    TransmitControl* transmitControl;
    StatusControl* statusControl;
    // The ADIF export, the backup and its reminder; the menu items.
    AdifControl* adifControl;
    BackupControl* backupControl;
    MenuControl* menuControl;
    // The band buttons, the radio panel switch and the radio settings window; the audio presets.
    RadioControl* radioControl;
    PresetControl* presetControl;
    // The logbook and the station information.
    StationInfoControl* stationControl;
    LogViewControl* logViewControl;
    EntryControl* entryControl;
    ReceiverControl* receiverControl;
    QsoControl* qsoControl; // the QSO buttons, the held sign-off and the operator's macros
    BrowserControl* browserControl;

    // Pop-up frames, hidden until needed.
    LogViewPanel* logView;    // Frame4, a window of its own
    MacroEditor* macroEditor; // Frame5 and Frame6, over the transmit window
    PresetEntry* presetEntry; // Frame8, beside Frame7
    BackupReminder* backup;   // bup, in the middle of the window
    CaptureBox* capture;      // Textclick, over the entry panel

    // The operator's layout: the receive history above the modem display, the split between them
    // dragged and remembered with the text size; the keys of the whole window.
    QSplitter* displaySplitter;
    LayoutMemory* layoutMemory;
    MainKeys* keys;

protected:
    void resizeEvent(QResizeEvent* e) override;
    bool eventFilter(QObject* watched, QEvent* e) override;

private:
    void buildPanels(QWidget* central, Modem& modem);
    void layOut(QWidget* central);
    void buildPopups(QWidget* central);
    void connectHandlers(Modem& modem, SerialPort& comm2);
    void placePopups();
};

} // namespace tavrel
