#include "ui/AboutWindow.h"

#include <QCoreApplication>
#include <QVBoxLayout>

namespace tavrel {

AboutWindow::AboutWindow(QWidget* parent) : QWidget(parent, Qt::Window) {
    setObjectName("Form3");
    setWindowTitle(tr("About Tavrel"));
    Text1 = new QPlainTextEdit(this);
    Text1->setObjectName("Text1");
    Text1->setReadOnly(true);
    Text1->setPlainText(tr("Tavrel %1\n"
                           "A PSK31 terminal with a logbook for the amateur bands.\n\n"
                           "Keyboard-to-keyboard contacts in BPSK31 and QPSK31 through the sound card, "
                           "rig control over a serial line, a logbook with look-up of earlier contacts, "
                           "country and beam heading, ADIF export and backups.\n\n"
                           "Country prefixes from the AD1C country files.\n"
                           "Built with Qt, liquid-dsp and FFTW.\n\n"
                           "73 and good DX.")
                            .arg(QCoreApplication::applicationVersion()));
    auto* v = new QVBoxLayout(this);
    v->addWidget(Text1);
    resize(420, 260);
}

} // namespace tavrel
