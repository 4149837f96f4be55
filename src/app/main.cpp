// Tavrel: a PSK31 terminal with a logbook.

#include "app/AppFolder.h"
#include "app/Form1.h"
#include "app/Startup.h"
#include "modem/PskModem.h"
#include "radio/QtSerialPort.h"

#include <QApplication>
#include <QMessageBox>
#include <QScreen>
#include <QStatusBar>
#include <QStyleFactory>
#include <clocale>
#include <cstdio>
#include <cstdlib>

namespace {

// Settings or a log that cannot be used as they are end the program before anything is written.
void tellStop(QWidget& window, const tavrel::StartProblem& problem) {
    std::fprintf(stderr, "Tavrel: %s\n", problem.message.c_str());
    QMessageBox::critical(&window, QString::fromStdString(problem.title),
                          QString::fromStdString(problem.message + "\n\n" + problem.advice));
}

} // namespace

int main(int argc, char** argv) {
    int rc = 0;
    {
        QApplication app(argc, argv);
        // Qt took the environment's locale; numbers in C functions stay in C notation. Hamlib also
        // saves and restores this category around its calls in a way that is only safe while it
        // is "C".
        std::setlocale(LC_NUMERIC, "C");
        QApplication::setApplicationName(QStringLiteral("Tavrel"));
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));

        const std::filesystem::path folder = QCoreApplication::applicationDirPath().toStdString();
        tavrel::installMissingDataFiles(folder);

        tavrel::PskModem modem;
        tavrel::QtSerialPort comm2;
        tavrel::Form1 form(folder, modem, comm2);
        tavrel::Startup startup(form);
        // Trouble with the sound card is told in the window's status line as well as on the display.
        QObject::connect(&modem, &tavrel::PskModem::audioStatusChanged, &form,
                         [&form](const QString& text) { form.statusBar()->showMessage(text); });
        QObject::connect(&modem, &tavrel::PskModem::pttStatusChanged, &form,
                         [&form](const QString& text) { form.statusBar()->showMessage(text); });
        QObject::connect(&startup, &tavrel::Startup::stopped, &form,
                         [&form](const tavrel::StartProblem& problem) {
                             tellStop(form, problem);
                             QApplication::exit(2);
                         });
        if (const auto problem = startup.startup()) {
            tellStop(form, *problem);
            rc = 2;
        } else {
            // The whole screen is the operator's: start as large as it allows.
            if (const QScreen* screen = form.screen()) form.resize(screen->availableGeometry().size());
            form.showMaximized();
            form.menuControl->welcomeIfNoCall();
            rc = QApplication::exec();
        }
    } // everything of ours closes here: the modem unkeys PTT, the ports close
    // Qt's PulseAudio backend can deadlock in its own exit-time destructor when the sound server
    // went away while we ran; nothing is left to save, so skip the library's exit handlers.
    std::fflush(nullptr);
    std::_Exit(rc);
}
