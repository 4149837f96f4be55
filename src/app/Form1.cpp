#include "app/Form1.h"

#include "core/Controls.h"
#include "modem/Modem.h"

#include <QDockWidget>
#include <QEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QMenuBar>
#include <QMessageBox>
#include <QStatusBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <cstdio>

namespace tavrel {

namespace {

// The text boxes take Ctrl+X (cut) and Ctrl+U (delete the line) for themselves before the menu
// sees them, and the keyboard normally sits in the transmit window: the menu's shortcuts win.
class MenuShortcutsFirst : public QObject {
public:
    MenuShortcutsFirst(QMenuBar* bar, QObject* parent) : QObject(parent), m_bar(bar) {}

protected:
    bool eventFilter(QObject*, QEvent* e) override {
        if (e->type() != QEvent::ShortcutOverride) return false;
        const QKeySequence key(static_cast<QKeyEvent*>(e)->keyCombination());
        for (const QAction* a : m_bar->findChildren<QAction*>())
            if (!a->shortcut().isEmpty() && a->shortcut() == key) return true; // left to the menu
        return false;
    }

private:
    QMenuBar* m_bar;
};

} // namespace

Form1::Form1(std::filesystem::path appFolder, Modem& modem, SerialPort& comm2, QWidget* parent)
    : QMainWindow(parent), state(std::move(appFolder)), PskModem1(modem), Comm2(comm2) {
    setObjectName("Form1");
    setWindowTitle(tr("Tavrel"));
    state.tellOperator = [this](const std::string& message) {
        std::fprintf(stderr, "Tavrel: %s\n", message.c_str());
        QMessageBox::warning(this, tr("Tavrel"), QString::fromStdString(message));
    };

    auto* central = new QWidget(this);
    central->setObjectName("Form1Central");
    setCentralWidget(central);
    menu = std::make_unique<MainMenu>(menuBar());

    buildPanels(central, modem);
    layOut(central);
    buildPopups(central);
    connectHandlers(modem, comm2);
    auto* shortcuts = new MenuShortcutsFirst(menuBar(), this);
    for (QWidget* w : central->findChildren<QWidget*>())
        w->installEventFilter(shortcuts);
    layoutMemory = new LayoutMemory(state, *displaySplitter,
                                    {receive->txtRXData, receive->txtrxdata1, transmit->txtTXData}, this);
    connect(layoutMemory, &LayoutMemory::saveFailed, this,
            [this](const QString& m) { statusBar()->showMessage(m); });
    keys = new MainKeys(*this, *transmit->txtTXData, [this](int step) { layoutMemory->zoom(step); });
    connect(displaySplitter, &QSplitter::splitterMoved, this, &Form1::placePopups);
    resize(1280, 800);
}

void Form1::buildPanels(QWidget* central, Modem& modem) {
    receive = new ReceivePanel(central);
    status = new StatusPanel(central);
    radioPanel = new RadioPanel(central);
    presets = new AudioPresets(central);
    presets->setVisible(false);
    modemDisplay = modem.displayWidget();
    modemDisplay->setParent(central);
    modemDisplay->setObjectName("PskModem1");
    modemDisplay->setMinimumHeight(100);
    receiver = new ReceiverControls(central);
    transmit = new TransmitPanel(central);
    qso = new QsoButtons(central);
    entry = new EntryPanel(central);
    lookup = new LookupPanel(central);
    stationInfo = new StationInfoRow(central);

    browser = new SignalBrowser;
    browserDock = new QDockWidget(tr("Signal Browser"), this);
    browserDock->setObjectName("browserDock");
    browserDock->setWidget(browser);
    // Along the bottom, where a line has room for its text; high enough for nine stations (with
    // its title and column heads) where the screen allows.
    addDockWidget(Qt::BottomDockWidgetArea, browserDock);
    resizeDocks({browserDock}, {12 * browser->browserList->verticalHeader()->defaultSectionSize()},
                Qt::Vertical);
    browserLamp = new QToolButton(this);
    browserLamp->setObjectName("browserLamp");
    browserLamp->setText(tr("Signal Browser"));
    browserLamp->setAutoRaise(false);
    menuBar()->setCornerWidget(browserLamp, Qt::TopRightCorner);
}

void Form1::layOut(QWidget* central) {
    // The receive history on top and widest, the station's state beside it; the modem display
    // with the receiver controls beside it, the split between the two dragged by the operator;
    // then what the operator sends, and the logbook.
    auto* rig = new QVBoxLayout;
    rig->setSpacing(4);
    rig->addWidget(radioPanel);
    rig->addWidget(presets);
    rig->addStretch(1);
    auto* right = new QHBoxLayout;
    right->setSpacing(6);
    right->addWidget(status, 0, Qt::AlignTop);
    right->addLayout(rig);
    // The station's state at the top of the column beside them, the receiver controls at its foot,
    // so the split can give the display nearly all the height.
    auto* column = new QVBoxLayout;
    column->setSpacing(6);
    column->addLayout(right);
    column->addStretch(1);
    column->addWidget(receiver);
    displaySplitter = new QSplitter(Qt::Vertical, central);
    displaySplitter->setObjectName("displaySplitter");
    displaySplitter->addWidget(receive);
    displaySplitter->addWidget(modemDisplay);
    displaySplitter->setChildrenCollapsible(false);
    displaySplitter->setHandleWidth(8);
    displaySplitter->setStretchFactor(0, 3);
    displaySplitter->setStretchFactor(1, 2);
    displaySplitter->handle(1)->setToolTip(tr("Drag to give the display more or less height"));
    auto* top = new QHBoxLayout;
    top->setSpacing(6);
    top->addWidget(displaySplitter, 1);
    top->addLayout(column);

    entry->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    lookup->setSizePolicy(QSizePolicy::Preferred, QSizePolicy::Maximum);
    lookup->setMaximumHeight(entry->sizeHint().height() + 20);
    auto* bottom = new QHBoxLayout;
    bottom->addWidget(entry, 3);
    bottom->addWidget(lookup, 2);

    auto* v = new QVBoxLayout(central);
    v->setContentsMargins(6, 4, 6, 4);
    v->setSpacing(4);
    v->addLayout(top, 5);
    v->addWidget(transmit, 1);
    v->addWidget(qso);
    v->addLayout(bottom, 0);
    v->addWidget(stationInfo);
}

void Form1::buildPopups(QWidget* central) {
    logView = new LogViewPanel(this); // a window of its own beside the main one
    logView->setVisible(false);
    macroEditor = new MacroEditor(central);
    presetEntry = new PresetEntry(central);
    backup = new BackupReminder(central);
    capture = new CaptureBox(central);
    for (QWidget* w : std::initializer_list<QWidget*>{macroEditor->Frame5, macroEditor->Frame6, presetEntry,
                                                      backup, capture->Textclick}) {
        w->setVisible(false);
        w->installEventFilter(this);
    }
    setBackColour(presetEntry, palette().color(QPalette::Window));
    // Its own ground: whatever lies under it must not show through its captions.
    setBackColour(macroEditor, palette().color(QPalette::Window));
    macroEditor->setVisible(false);
}

// Each handler connects its own controls; here they get the panels and each other.
void Form1::connectHandlers(Modem& modem, SerialPort& comm2) {
    // Receive, transmit and status.
    receiveControl = new ReceiveControl(state, modem, *receive, *transmit, *capture->Textclick);
    transmitControl =
        new TransmitControl(state, modem, comm2, *transmit, *qso, *radioPanel->txrxrec, *radioPanel->txrxtx);
    statusControl = new StatusControl(state, modem, *status, *receive, *transmitControl,
                                      StatusTargets{radioPanel->txrxfreq, radioPanel->Label47,
                                                    presets->Label50, presets->Label51, receiver->Slider1});
    // Radio and receiver.
    radioControl = new RadioControl(state, modem, comm2, *radioPanel, *presets, *entry->band, this);
    connect(statusControl, &StatusControl::radioPanelDue, radioControl, [this](bool show) {
        show ? radioControl->showRadioControls() : radioControl->hideRadioControls();
    });
    connect(radioControl, &RadioControl::sidebandChanged, statusControl, &StatusControl::setLowerSideband);
    connect(menu->radio, &QAction::triggered, radioControl, &RadioControl::openSettingsWindow);
    presetControl = new PresetControl(state, modem, *presets, *presetEntry, *receiver,
                                      *macroEditor->macrotext, *status->Check1);
    receiverControl = new ReceiverControl(state, modem, *receiver);
    connect(statusControl, &StatusControl::squelchSpeedDue, receiverControl,
            &ReceiverControl::applySquelchSpeed);
    // Logbook and station information.
    stationControl = new StationInfoControl(state, *stationInfo);
    logViewControl = new LogViewControl(*logView, logTable, state.file("zizoro.tan"));
    entryControl = new EntryControl(state, logTable, *entry, *lookup, *capture, *logViewControl,
                                    *stationControl, *qso->answer);
    connect(logViewControl, &LogViewControl::logRewritten, entryControl, &EntryControl::logChanged);
    transmitControl->storeContact = [this] { return entryControl->storeAfterSignOff(); };
    qsoControl = new QsoControl(state, modem, *qso, *macroEditor, *transmit, *transmitControl, *entry,
                                *entryControl, *status->lblimd);
    connect(receiveControl, &ReceiveControl::characterShown, qsoControl, &QsoControl::signOffCheck);
    // Export, backup and menus.
    adifControl = new AdifControl(state, logTable, *logView->Command6);
    backupControl = new BackupControl(state, *backup, *entry->bu);
    menuControl = new MenuControl(state, *menu, *this);
    connect(menuControl, &MenuControl::exportRequested, adifControl, &AdifControl::adifout);
    // The signal browser: a double-clicked station's call goes into the entry panel.
    browserControl = new BrowserControl(state, modem, *browser, *browserDock, *browserLamp, *this);
    connect(browserControl, &BrowserControl::callChosen, entry->hiscall, &QLineEdit::setText);
}

Form1::~Form1() = default;

void Form1::resizeEvent(QResizeEvent* e) {
    QMainWindow::resizeEvent(e);
    placePopups();
}

// The pop-ups lie over the part of the window they belong to and follow it when it moves.
bool Form1::eventFilter(QObject* watched, QEvent* e) {
    // ShowToParent: a frame shown while its container is still hidden.
    if (e->type() == QEvent::ShowToParent || e->type() == QEvent::HideToParent) {
        macroEditor->setVisible(macroEditor->Frame5->isVisibleTo(macroEditor) ||
                                macroEditor->Frame6->isVisibleTo(macroEditor));
        capture->setVisible(capture->Textclick->isVisibleTo(capture) ||
                            capture->testclicktitle->isVisibleTo(capture));
        placePopups();
    }
    return QMainWindow::eventFilter(watched, e);
}

void Form1::placePopups() {
    auto over = [](QWidget* popup, const QRect& r) {
        popup->setGeometry(r);
        popup->raise();
    };
    // Where a panel lies in the window, however deep in the layout it sits.
    auto at = [this](const QWidget* w) { return QRect(w->mapTo(centralWidget(), QPoint(0, 0)), w->size()); };
    // The macro editor opens under the row of buttons it edits, over the logbook, clear of the
    // display and the transmit window.
    const QRect row = at(qso);
    const int editorTop = row.bottom() + 4;
    const int editorHeight =
        std::max(macroEditor->minimumSizeHint().height(), centralWidget()->height() - editorTop - 4);
    over(macroEditor, QRect(row.left(), editorTop, std::max(at(entry).width(), 560), editorHeight));
    const QRect fr = presets->isVisible() ? at(presets) : at(radioPanel);
    const QSize pe = presetEntry->sizeHint();
    over(presetEntry, QRect(fr.left(), fr.bottom() + 2, fr.width(), pe.height()));
    const QSize bs = backup->sizeHint().expandedTo(QSize(420, 180));
    over(backup, QRect(QPoint((width() - bs.width()) / 2, (height() - bs.height()) / 3), bs));
    const QRect en = at(entry);
    const QSize cs = capture->sizeHint().expandedTo(QSize(220, 0));
    over(capture, QRect(en.right() - cs.width() - 8, en.top() + 16, cs.width(), cs.height()));
}

} // namespace tavrel
