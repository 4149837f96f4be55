#include "radio/widgets/RadioSettingsWindow.h"

#include "app/Controls.h"
#include "app/QtText.h"
#include "radio/PortNames.h"
#include "radio/widgets/PortBox.h"

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

} // namespace

RadioSettingsWindow::RadioSettingsWindow(std::filesystem::path iniFile, QWidget* parent)
    : RadioSettingsWindow(std::move(iniFile), parent, availableSerialPorts()) {}

RadioSettingsWindow::RadioSettingsWindow(std::filesystem::path iniFile, QWidget* parent,
                                         const std::vector<std::string>& devices)
    : QWidget(parent, Qt::Window), m_iniFile(std::move(iniFile)) {
    setObjectName("Form4");
    setWindowTitle(tr("Radio Settings"));
    tellOperator = [this](const QString& text) { QMessageBox::warning(this, tr("Radio Settings"), text); };

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
    rcyesLabel = namedLabel(Frame4, "rcyesLabel", tr("Use Radio Control ?"));
    rcyes = comboBox(Frame4, "rcyes", {"Yes", "No"}, QString());
    auto* f4 = new QGridLayout(Frame4);
    f4->addWidget(ic735, 0, 0, 1, 2);
    f4->addWidget(ft900, 1, 0, 1, 2);
    f4->addWidget(ts440, 2, 0, 1, 2);
    f4->addWidget(rcyesLabel, 3, 0);
    f4->addWidget(rcyes, 3, 1);

    Frame2 = named<QGroupBox>(Frame1, "Frame2");
    Frame2->setTitle(tr("Com port settings"));
    comportr = comboBox(Frame2, "comportr", {}, QStringLiteral("2"));
    fillPortBox(*comportr, devices);
    comportr->setMinimumContentsLength(12);
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
        int item;
    };
    // The boxes hold the kHz that follow the band's MHz shown in front of them.
    const Preset presets[] = {{"40 Metres", "7.", "fortyMHz", fortypre, 46},
                              {"20 Metres", "14.", "twentyMHz", twentypre, 47},
                              {"15 Metres", "21.", "fifteenMHz", fifteenpre, 48},
                              {"10 Metres", "28.", "tenMHz", tenpre, 49}};
    row = 0;
    for (const Preset& p : presets) {
        f3->addWidget(new QLabel(tr(p.label), Frame3), row, 0);
        QLabel* prefix = namedLabel(Frame3, p.prefixName, QString::fromLatin1(p.prefix));
        prefix->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        f3->addWidget(prefix, row, 1);
        f3->addWidget(p.box, row, 2);
        // Each edit goes into the list at once.
        connect(p.box, &QLineEdit::textChanged, this, [this, item = p.item](const QString& t) {
            m_settings[static_cast<size_t>(item)] = toBytes(t);
        });
        ++row;
    }
    f3->addWidget(Command1, row, 0, 1, 3);

    const std::pair<QRadioButton*, const char*> models[] = {{ic735, "1"}, {ft900, "2"}, {ts440, "3"}};
    for (auto [button, model] : models)
        connect(button, &QRadioButton::clicked, this, [this, button, model] {
            if (button->isChecked()) m_settings[63] = model;
        });
    onClick(Command1, [this] { Command1_Click(); });

    auto* inner = new QHBoxLayout(Frame1);
    auto* left = new QVBoxLayout;
    left->addWidget(Frame4);
    left->addWidget(Frame2);
    inner->addLayout(left);
    inner->addWidget(Frame3, 0, Qt::AlignTop);
    auto* v = new QVBoxLayout(this);
    v->addWidget(Frame1);

    load();
}

void RadioSettingsWindow::load() {
    m_settings = readSettings(m_iniFile);
    const auto item = [this](int i) { return toQString(m_settings[static_cast<size_t>(i)]); };
    rcyes->setCurrentText(item(40));
    comportr->setCurrentText(item(41));
    baud->setCurrentText(item(42));
    Databits->setCurrentText(item(43));
    parity->setCurrentText(item(44));
    stopbits->setCurrentText(item(45));
    fortypre->setText(item(46));
    twentypre->setText(item(47));
    fifteenpre->setText(item(48));
    tenpre->setText(item(49));
    const std::string& model = m_settings[63];
    ic735->setChecked(model == "1");
    ft900->setChecked(model == "2");
    ts440->setChecked(model == "3");
}

void RadioSettingsWindow::Command1_Click() {
    const auto put = [this](int i, const QComboBox* box) {
        m_settings[static_cast<size_t>(i)] = toBytes(box->currentText());
    };
    put(40, rcyes);
    put(45, stopbits);
    put(42, baud);
    put(43, Databits);
    put(44, parity);
    put(41, comportr);
    // Not saved: the window stays up with the operator's values, for another try.
    if (auto failure = writeSettings(m_iniFile, m_settings)) {
        tellOperator(QString::fromStdString(*failure));
        return;
    }
    settingsChanged = 1;
    hide();
}

} // namespace tavrel
