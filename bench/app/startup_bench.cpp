// Start in an empty application folder to the first StatusRdy: builds the main window, runs
// start-up (default settings file written and read, modem and port set up) and waits for the
// modem's first status report. Prints the median of several runs.

#include "app/AppFolder.h"
#include "app/Form1.h"
#include "app/Startup.h"
#include "modem/PskModem.h"
#include "radio/QtSerialPort.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QEventLoop>
#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <unistd.h>
#include <vector>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    std::vector<double> ms;
    for (int run = 0; run < 15; ++run) {
        char tmpl[] = "/tmp/tavrel-bench-XXXXXX";
        const std::filesystem::path folder = mkdtemp(tmpl);
        QElapsedTimer t;
        t.start();
        tavrel::installMissingDataFiles(folder);
        tavrel::PskModem modem;
        tavrel::QtSerialPort comm2;
        tavrel::Form1 form(folder, modem, comm2);
        tavrel::Startup startup(form);
        QEventLoop loop;
        QObject::connect(&modem, &tavrel::Modem::StatusRdy, &loop, &QEventLoop::quit);
        startup.startup();
        form.show();
        loop.exec();
        ms.push_back(static_cast<double>(t.nsecsElapsed()) / 1e6);
        std::filesystem::remove_all(folder);
    }
    std::sort(ms.begin(), ms.end());
    std::printf(
        "start in an empty folder to first StatusRdy: median %.1f ms (min %.1f, max %.1f, %zu runs)\n",
        ms[ms.size() / 2], ms.front(), ms.back(), ms.size());
    return 0;
}
