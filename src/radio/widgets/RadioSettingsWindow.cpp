#include "radio/widgets/RadioSettingsWindow.h"

#include "core/Controls.h"
#include "core/Numeric.h"
#include "core/QtText.h"
#include "core/StatusLine.h"
#include "radio/PortNames.h"
#include "radio/RigSetup.h"
#include "radio/widgets/HamlibPicker.h"
#include "radio/widgets/PortBox.h"
#include "radio/widgets/RigControl.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QMessageBox>
#include <QVBoxLayout>

namespace tavrel {

namespace {

// Every box can be typed into; what it shows is stored as it stands.
QComboBox* comboBox(QWidget* parent, const char* name, const QStringList& list, const QString& text) {
    auto* c = named<QComboBox>(parent, name);
    c->setEditable(true);
    c->setInsertPolicy(QComboBox::NoInsert);
    c->addItems(list);
    c->setCurrentText(text);
    return c;
}

QString modeName(RigMode mode) {
    switch (mode) {
    case RigMode::Usb:
        return QStringLiteral("USB");
    case RigMode::Lsb:
        return QStringLiteral("LSB");
    case RigMode::UsbData:
        return QStringLiteral("USB data");
    case RigMode::LsbData:
        return QStringLiteral("LSB data");
    case RigMode::Other:
        break;
    }
    return QStringLiteral("another mode");
}

QString readingText(const RigReading& r) {
    return QStringLiteral("%1 MHz, %2").arg(static_cast<double>(r.hz) / 1e6, 0, 'f', 6).arg(modeName(r.mode));
}

} // namespace

RadioSettingsWindow::RadioSettingsWindow(MainState& state, QWidget* parent, RigControl* station,
                                         std::optional<std::vector<std::string>> devices)
    : QWidget(parent, Qt::Window), m_state(state), m_station(station), m_probe(new RigControl(this)) {
    setObjectName("Form4");
    setWindowTitle(tr("Radio Settings"));

    Frame1 = named<QGroupBox>(this, "Frame1");
    Frame1->setTitle(tr("Radio Setings"));

    Frame4 = named<QGroupBox>(Frame1, "Frame4");
    Frame4->setTitle(tr("Select Radio"));
    ic735 = named<QRadioButton>(Frame4, "ic735");
    ic735->setText(tr("Icom 735"));
    ft900 = named<QRadioButton>(Frame4, "ft900");
    ft900->setText(tr("Yaesu FT-900"));
    ts440 = named<QRadioButton>(Frame4, "ts440");
    ts440->setText(tr("Kenwood TS-440S"));
    hamlib = named<QRadioButton>(Frame4, "hamlib");
    hamlib->setText(tr("Hamlib"));
    rcyesLabel = namedLabel(Frame4, "rcyesLabel", tr("Use Radio Control ?"));
    rcyes = comboBox(Frame4, "rcyes", {"Yes", "No"}, QString());
    auto* f4 = new QGridLayout(Frame4);
    f4->addWidget(ic735, 0, 0, 1, 2);
    f4->addWidget(ft900, 1, 0, 1, 2);
    f4->addWidget(ts440, 2, 0, 1, 2);
    f4->addWidget(hamlib, 3, 0, 1, 2);
    f4->addWidget(rcyesLabel, 4, 0);
    f4->addWidget(rcyes, 4, 1);

    Frame2 = named<QGroupBox>(Frame1, "Frame2");
    Frame2->setTitle(tr("Com port settings"));
    comportr = comboBox(Frame2, "comportr", {}, QStringLiteral("2"));
    fillPortBox(*comportr, devices ? *devices : availableSerialPorts());
    comportr->setMinimumContentsLength(12);
    comportr->setToolTip(tr("1 to 4, a device path, or host:port of a network rig (Hamlib)"));
    baud = comboBox(Frame2, "baud", {"300", "1200", "2400", "4800", "9600"}, QStringLiteral("1200"));
    Databits = comboBox(Frame2, "Databits", {"8", "7"}, QStringLiteral("8"));
    parity = comboBox(Frame2, "parity", {"N", "E"}, QStringLiteral("N"));
    stopbits = comboBox(Frame2, "stopbits", {"1", "2"}, QStringLiteral("1"));
    auto* f2 = new QGridLayout(Frame2);
    const std::pair<const char*, QComboBox*> lines[] = {{"Com port", comportr},
                                                        {"Baud Rate", baud},
                                                        {"Data Bits", Databits},
                                                        {"Parity", parity},
                                                        {"Stop Bits", stopbits}};
    int row = 0;
    for (auto [label, box] : lines) {
        f2->addWidget(new QLabel(tr(label), Frame2), row, 0);
        f2->addWidget(box, row, 1);
        ++row;
    }

    Frame3 = named<QGroupBox>(Frame1, "Frame3");
    Frame3->setTitle(tr("Radio Presets"));
    fortypre = named<QLineEdit>(Frame3, "fortypre");
    twentypre = named<QLineEdit>(Frame3, "twentypre");
    fifteenpre = named<QLineEdit>(Frame3, "fifteenpre");
    tenpre = named<QLineEdit>(Frame3, "tenpre");
    Command1 = namedButton(Frame3, "Command1", tr("Update Settings"));
    auto* f3 = new QGridLayout(Frame3);
    struct Preset {
        const char* label;
        const char* prefix;
        const char* prefixName;
        QLineEdit* box;
        Item item;
    };
    // The boxes hold the kHz that follow the band's MHz shown in front of them.
    const Preset presets[] = {{"40 Metres", "7.", "fortyMHz", fortypre, Item::BandPreset40},
                              {"20 Metres", "14.", "twentyMHz", twentypre, Item::BandPreset20},
                              {"15 Metres", "21.", "fifteenMHz", fifteenpre, Item::BandPreset15},
                              {"10 Metres", "28.", "tenMHz", tenpre, Item::BandPreset10}};
    row = 0;
    for (const Preset& p : presets) {
        f3->addWidget(new QLabel(tr(p.label), Frame3), row, 0);
        QLabel* prefix = namedLabel(Frame3, p.prefixName, QString::fromLatin1(p.prefix));
        prefix->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        f3->addWidget(prefix, row, 1);
        f3->addWidget(p.box, row, 2);
        // Each edit goes into the list at once.
        connect(p.box, &QLineEdit::textChanged, this,
                [this, item = p.item](const QString& t) { m_settings[item] = toBytes(t); });
        ++row;
    }
    f3->addWidget(Command1, row, 0, 1, 3);

    hamlibRig = new HamlibPicker(Frame1);
    connect(hamlibRig, &HamlibPicker::modelChosen, this,
            [this](int number) { m_settings[Item::HamlibModel] = std::to_string(number); });
    connect(hamlibRig->hamdata, &QCheckBox::clicked, this,
            [this](bool on) { m_settings[Item::HamlibDataMode] = on ? "1" : "0"; });
    onClick(hamlibRig->rigtest, [this] { rigtest_Click(); });
    connect(hamlib, &QRadioButton::toggled, hamlibRig, &QWidget::setEnabled);
    hamlibRig->setEnabled(false);

    const std::pair<QRadioButton*, const char*> models[] = {
        {ic735, "1"}, {ft900, "2"}, {ts440, "3"}, {hamlib, "4"}};
    for (auto [button, model] : models)
        connect(button, &QRadioButton::clicked, this, [this, button, model] {
            if (button->isChecked()) m_settings[Item::RadioModel] = model;
        });
    onClick(Command1, [this] { Command1_Click(); });

    auto* inner = new QGridLayout(Frame1);
    auto* left = new QVBoxLayout;
    left->addWidget(Frame4);
    left->addWidget(Frame2);
    inner->addLayout(left, 0, 0);
    inner->addWidget(Frame3, 0, 1, Qt::AlignTop);
    inner->addWidget(hamlibRig, 1, 0, 1, 2);
    auto* v = new QVBoxLayout(this);
    v->addWidget(Frame1);

    load();
}

void RadioSettingsWindow::load() {
    m_settings = readSettings(m_state.settings.file());
    const auto item = [this](Item i) { return toQString(m_settings[i]); };
    rcyes->setCurrentText(item(Item::RadioControl));
    comportr->setCurrentText(item(Item::CatPort));
    baud->setCurrentText(item(Item::CatBaud));
    Databits->setCurrentText(item(Item::CatDataBits));
    parity->setCurrentText(item(Item::CatParity));
    stopbits->setCurrentText(item(Item::CatStopBits));
    fortypre->setText(item(Item::BandPreset40));
    twentypre->setText(item(Item::BandPreset20));
    fifteenpre->setText(item(Item::BandPreset15));
    tenpre->setText(item(Item::BandPreset10));
    const std::string& model = m_settings[Item::RadioModel];
    ic735->setChecked(model == "1");
    ft900->setChecked(model == "2");
    ts440->setChecked(model == "3");
    hamlib->setChecked(model == "4");
    // Taken before selecting, which writes the selection back into the list.
    const int rigModel = wholeNumber32(m_settings[Item::HamlibModel]);
    const bool dataMode = m_settings[Item::HamlibDataMode] == "1";
    hamlibRig->selectModel(rigModel);
    hamlibRig->hamdata->setChecked(dataMode);
}

void RadioSettingsWindow::Command1_Click() {
    const auto put = [this](Item i, const QComboBox* box) { m_settings[i] = toBytes(box->currentText()); };
    put(Item::RadioControl, rcyes);
    put(Item::CatStopBits, stopbits);
    put(Item::CatBaud, baud);
    put(Item::CatDataBits, Databits);
    put(Item::CatParity, parity);
    put(Item::CatPort, comportr);
    // Not saved: the window stays up with the operator's values, for another try.
    if (auto failure = m_state.settings.save(m_settings)) {
        m_state.tell(*failure);
        return;
    }
    showInStatusLine(
        this, tr("Radio settings saved to %1").arg(QString::fromStdString(m_state.settings.file().string())));
    hide();
}

void RadioSettingsWindow::rigtest_Click() {
    QLabel* result = hamlibRig->rigtestresult;
    const std::string port = toBytes(comportr->currentText());
    const std::string baudText = toBytes(baud->currentText());
    RigSetup setup = hamlibSetup({m_settings[Item::HamlibModel], port, baudText, {}, {}});
    if (!setup.config) {
        result->setText(QString::fromStdString(setup.problem));
        return;
    }
    // The test only listens: it never keys the rig.
    setup.config->ptt = RigPtt::None;
    // The station's own rig is not opened a second time: what it last said is the answer.
    if (m_station && m_station->config()) {
        RigConfig station = *m_station->config();
        station.ptt = RigPtt::None;
        if (station == *setup.config) {
            if (!m_station->notResponding().isEmpty())
                result->setText(m_station->notResponding());
            else if (m_station->reading())
                result->setText(tr("Rig answers: %1").arg(readingText(*m_station->reading())));
            else
                result->setText(tr("The rig is being opened; try again in a moment."));
            return;
        }
    }
    result->setText(tr("Testing..."));
    hamlibRig->rigtest->setEnabled(false);
    m_probe->probe(*setup.config, [this, result](std::optional<RigReading> reading, QString trouble) {
        hamlibRig->rigtest->setEnabled(true);
        result->setText(reading ? tr("Rig answers: %1").arg(readingText(*reading)) : trouble);
    });
}

} // namespace tavrel
