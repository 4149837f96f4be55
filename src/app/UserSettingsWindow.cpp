#include "app/UserSettingsWindow.h"

#include "core/Numeric.h"
#include "core/QtText.h"
#include "core/StatusLine.h"
#include "modem/SoundChoice.h"
#include "radio/PortNames.h"

#include <QAudioDevice>
#include <QCloseEvent>
#include <QFormLayout>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QMediaDevices>
#include <QVBoxLayout>

namespace tavrel {

namespace {

QGroupBox* frame(QWidget* parent, const char* name, const QString& title) {
    auto* g = new QGroupBox(title, parent);
    g->setObjectName(QString::fromLatin1(name));
    g->setLayout(new QFormLayout);
    return g;
}

QRadioButton* option(QWidget* parent, const char* name, const QString& text) {
    auto* r = new QRadioButton(text, parent);
    r->setObjectName(QString::fromLatin1(name));
    return r;
}

// Checks `chosen` alone in its group; with no choice every button of the group is left unchecked.
void selectOnly(std::initializer_list<QRadioButton*> group, QRadioButton* chosen) {
    for (QRadioButton* b : group)
        b->setAutoExclusive(false);
    for (QRadioButton* b : group)
        b->setChecked(b == chosen);
    for (QRadioButton* b : group)
        b->setAutoExclusive(true);
}

} // namespace

UserSettingsWindow::UserSettingsWindow(MainState& state, QWidget* parent)
    : QWidget(parent, Qt::Window), m_state(state) {
    setObjectName("formusersettings");
    setWindowTitle(tr("User Settings"));

    Frame1 = frame(this, "Frame1", tr("Operators Details"));
    mycall = textBox(Frame1, "mycall", tr("Callsign"), Item::OwnCall);
    myname = textBox(Frame1, "myname", tr("Name"), Item::OwnName);

    Frame2 = frame(this, "Frame2", tr("Station Equipment Details"));
    mycomputer = textBox(Frame2, "mycomputer", tr("Computer"), Item::OwnComputer);
    myrig = textBox(Frame2, "myrig", tr("Rig"), Item::OwnRig);
    mypower = textBox(Frame2, "mypower", tr("Power"), Item::OwnPower);
    myantenna = textBox(Frame2, "myantenna", tr("Antenna"), Item::OwnAntenna);

    Frame3 = frame(this, "Frame3", tr("QTH Details"));
    mytown = textBox(Frame3, "mytown", tr("Town"), Item::OwnTown);
    myarea = textBox(Frame3, "myarea", tr("Area"), Item::OwnArea);
    mylocator = textBox(Frame3, "mylocator", tr("Locator"), Item::OwnLocator);
    mylat = textBox(Frame3, "mylat", tr("Lattitude"), Item::OwnLatitude);
    mylong = textBox(Frame3, "mylong", tr("Longtitude"), Item::OwnLongitude);
    gmt = textBox(Frame3, "gmt", tr("GMT Offset east + west -"), Item::GmtOffset);
    auto* help1 = new QLabel(tr("Enter south and east as negative i.e. -29.7"), Frame3);
    help1->setObjectName("Label13");
    auto* help2 = new QLabel(tr("Enter as degrees.degrees, not degrees.minutes"), Frame3);
    help2->setObjectName("Label14");
    static_cast<QFormLayout*>(Frame3->layout())->addRow(help1);
    static_cast<QFormLayout*>(Frame3->layout())->addRow(help2);

    comm = frame(this, "comm", tr("PTT Serial Port Settings"));
    Combo1 = new QComboBox(comm);
    Combo1->setObjectName("Combo1");
    Combo1->setEditable(true);
    Combo1->setInsertPolicy(QComboBox::NoInsert);
    for (const char* n : {"0", "1", "2", "3", "4"})
        Combo1->addItem(QString::fromLatin1(n));
    for (const std::string& port : availableSerialPorts())
        Combo1->addItem(QString::fromStdString(port));
    auto* portLabel = new QLabel(tr("Port Number"), comm);
    portLabel->setObjectName("Label11");
    static_cast<QFormLayout*>(comm->layout())->addRow(portLabel, Combo1);
    Option1 = option(comm, "Option1", tr("Use RTS"));
    Option2 = option(comm, "Option2", tr("Use DTR"));
    Option3 = option(comm, "Option3", tr("Use RTS + DTR"));
    Option4 = option(comm, "Option4", tr("Use CAT"));
    Option4->setToolTip(tr("Key the transmitter with a command to the rig (Hamlib rigs)"));
    for (QRadioButton* o : {Option1, Option2, Option3, Option4})
        static_cast<QFormLayout*>(comm->layout())->addRow(o);

    Frame4 = frame(this, "Frame4", tr("Programme Options"));
    Frame5 = new QGroupBox(tr("Tavrel Display Range"), Frame4);
    Frame5->setObjectName("Frame5");
    rangenormal = option(Frame5, "rangenormal", tr("Normal"));
    rangewide = option(Frame5, "rangewide", tr("Wide"));
    rangecustom = option(Frame5, "rangecustom", tr("Custom"));
    rangebottom = new QLineEdit(QStringLiteral("300"), Frame5);
    rangebottom->setObjectName("rangebottom");
    rangetop = new QLineEdit(QStringLiteral("3000"), Frame5);
    rangetop->setObjectName("rangetop");
    auto* range = new QGridLayout(Frame5);
    range->addWidget(rangenormal, 0, 0);
    range->addWidget(rangewide, 1, 0);
    range->addWidget(rangecustom, 2, 0);
    range->addWidget(rangebottom, 2, 1);
    range->addWidget(rangetop, 2, 2);
    static_cast<QFormLayout*>(Frame4->layout())->addRow(Frame5);

    logcqcalls = new QGroupBox(this);
    logcqcalls->setObjectName("logcqcalls");
    cqtick = new QCheckBox(logcqcalls);
    cqtick->setObjectName("cqtick");
    cqlog = new QLabel(tr("Log CQ Calls ?"), logcqcalls);
    cqlog->setObjectName("cqlog");
    auto* cq = new QHBoxLayout(logcqcalls);
    cq->addWidget(cqtick);
    cq->addWidget(cqlog, 1);

    soundcard = frame(this, "soundcard", tr("Sound Card"));
    soundin = deviceBox("soundin", tr("Input (receive)"), true);
    soundout = deviceBox("soundout", tr("Output (transmit)"), false);
    txdrive = new QSpinBox(soundcard);
    txdrive->setObjectName("txdrive");
    txdrive->setRange(0, 100);
    txdrive->setSuffix(QStringLiteral(" %"));
    txdrive->setToolTip(tr("Transmit audio level; set it so the rig's ALC barely moves"));
    static_cast<QFormLayout*>(soundcard->layout())->addRow(tr("Transmit drive"), txdrive);

    Command1 = new QPushButton(tr("Save Settings"), this);
    Command1->setObjectName("Command1");

    welcome = new QLabel(tr("Welcome to Tavrel! Please enter your station's details, your call sign first, "
                            "and press Save Settings."),
                         this);
    welcome->setObjectName("welcome");
    QFont bold = welcome->font();
    bold.setBold(true);
    welcome->setFont(bold);
    welcome->setVisible(false);
    auto* outer = new QVBoxLayout(this);
    outer->addWidget(welcome);
    auto* grid = new QGridLayout;
    outer->addLayout(grid);
    grid->addWidget(Frame1, 0, 0);
    grid->addWidget(Frame2, 1, 0);
    grid->addWidget(Frame3, 0, 1, 2, 1);
    grid->addWidget(comm, 2, 0);
    grid->addWidget(Frame4, 2, 1);
    grid->addWidget(logcqcalls, 3, 0);
    grid->addWidget(soundcard, 3, 1);
    grid->addWidget(Command1, 4, 1, Qt::AlignRight);

    load();

    // Edits go straight into the window's list; nothing reaches the file before "Save Settings".
    auto take26 = [this] { m_list[Item::PttPort] = toBytes(Combo1->currentText()); };
    connect(Combo1, &QComboBox::activated, this, take26);
    // A typed port path counts once the operator leaves the box or presses Enter.
    connect(Combo1->lineEdit(), &QLineEdit::editingFinished, this, take26);
    const std::pair<QRadioButton*, const char*> lines[] = {
        {Option1, "1"}, {Option2, "2"}, {Option3, "3"}, {Option4, "4"}};
    for (auto [b, v] : lines)
        connect(b, &QRadioButton::clicked, this, [this, b, v] {
            if (b->isChecked()) m_list[Item::PttLine] = v;
        });
    const std::pair<QRadioButton*, const char*> ranges[] = {
        {rangenormal, "1"}, {rangewide, "2"}, {rangecustom, "3"}};
    for (auto [b, v] : ranges)
        connect(b, &QRadioButton::clicked, this, [this, b, v] {
            if (b->isChecked()) m_list[Item::DisplayRange] = v;
        });
    connect(rangebottom, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_list[Item::CustomRangeBottom] = toBytes(t); });
    connect(rangetop, &QLineEdit::textChanged, this,
            [this](const QString& t) { m_list[Item::CustomRangeTop] = toBytes(t); });
    connect(cqtick, &QCheckBox::clicked, this,
            [this] { m_list[Item::LogCqCalls] = cqtick->isChecked() ? "1" : "0"; });
    connect(Command1, &QPushButton::clicked, this, [this] { Command1_Click(); });
    for (auto [box, item] : {std::pair{soundin, Item::InputDevice}, std::pair{soundout, Item::OutputDevice}})
        connect(box, &QComboBox::activated, this,
                [this, box, item] { m_list[item] = toBytes(box->currentData().toString()); });
    connect(txdrive, &QSpinBox::valueChanged, this,
            [this](int v) { m_list[Item::TxDrive] = std::to_string(v); });
}

// The devices Qt Multimedia lists, by description; the item keeps the device's id.
QComboBox* UserSettingsWindow::deviceBox(const char* name, const QString& label, bool input) {
    auto* box = new QComboBox(soundcard);
    box->setObjectName(QString::fromLatin1(name));
    box->addItem(tr("(system default)"), QString());
    for (const QAudioDevice& d : input ? QMediaDevices::audioInputs() : QMediaDevices::audioOutputs())
        box->addItem(d.description(), QString::fromUtf8(d.id()));
    static_cast<QFormLayout*>(soundcard->layout())->addRow(label, box);
    return box;
}

QLineEdit* UserSettingsWindow::textBox(QGroupBox* frame, const char* name, const QString& label, Item item) {
    auto* e = new QLineEdit(frame);
    e->setObjectName(QString::fromLatin1(name));
    auto* l = new QLabel(label, frame);
    l->setObjectName(QString::fromLatin1(name) + "Label");
    static_cast<QFormLayout*>(frame->layout())->addRow(l, e);
    connect(e, &QLineEdit::textChanged, this, [this, item](const QString& t) { m_list[item] = toBytes(t); });
    return e;
}

void UserSettingsWindow::load() {
    m_list = readSettings(m_state.settings.file());
    const std::pair<QLineEdit*, Item> boxes[] = {
        {myantenna, Item::OwnAntenna},   {myarea, Item::OwnArea},       {mycall, Item::OwnCall},
        {mycomputer, Item::OwnComputer}, {mylocator, Item::OwnLocator}, {myname, Item::OwnName},
        {mypower, Item::OwnPower},       {myrig, Item::OwnRig},         {mytown, Item::OwnTown},
        {mylong, Item::OwnLongitude},    {mylat, Item::OwnLatitude},    {gmt, Item::GmtOffset}};
    // Setting a box copies its text back into the list, so take the values first.
    const SettingsList read = m_list;
    for (auto [box, item] : boxes)
        box->setText(toQString(read[item]));
    const double line = numberValue(read[Item::PttLine]);
    selectOnly({Option1, Option2, Option3, Option4}, line == 4   ? Option4
                                                     : line == 3 ? Option3
                                                     : line == 2 ? Option2
                                                     : line == 1 ? Option1
                                                                 : nullptr);
    cqtick->setChecked(wholeNumber16(read[Item::LogCqCalls]) == 1);
    // A chosen device that is not plugged in now stays chosen, marked as missing.
    for (auto [box, item] :
         {std::pair{soundin, Item::InputDevice}, std::pair{soundout, Item::OutputDevice}}) {
        const QString chosen = toQString(read[item]);
        int at = chosen.isEmpty() ? 0 : box->findData(chosen);
        if (at < 0) at = box->findText(chosen);
        if (at < 0) {
            box->addItem(tr("%1 (not found)").arg(chosen), chosen);
            at = box->count() - 1;
        }
        box->setCurrentIndex(at);
    }
    txdrive->setValue(holdsNumber(read[Item::TxDrive]) ? wholeNumber16(read[Item::TxDrive])
                                                       : percentFromDrive(driveFromPercent("")));
    Combo1->setCurrentText(toQString(read[Item::PttPort]));
    rangebottom->setText(toQString(read[Item::CustomRangeBottom]));
    rangetop->setText(toQString(read[Item::CustomRangeTop]));
    const std::string& range = read[Item::DisplayRange];
    selectOnly({rangenormal, rangewide, rangecustom}, range == "3"   ? rangecustom
                                                      : range == "2" ? rangewide
                                                      : range == "1" ? rangenormal
                                                                     : nullptr);
    m_list = read;
}

void UserSettingsWindow::Command1_Click() {
    if (auto failure = m_state.settings.save(m_list)) {
        m_state.tell(*failure);
        return;
    }
    showInStatusLine(
        this, tr("Settings saved to %1").arg(QString::fromStdString(m_state.settings.file().string())));
    hide();
}

void UserSettingsWindow::closeEvent(QCloseEvent* e) {
    setAttribute(Qt::WA_DeleteOnClose);
    emit unloaded();
    QWidget::closeEvent(e);
}

} // namespace tavrel
