// RxCharRdy with a full history: how many received characters a second the receive windows
// take, on the real main window (offscreen), with lines of typical length and the history held
// near its 4950-character trim.

#include "support/FormHarness.h"

#include <QElapsedTimer>
#include <cstdio>
#include <string>

int main() {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    tavrel::testApplication();
    tavrel::FormHarness h;
    h.startup->startup();
    h.form->show();
    const std::string line =
        "CQ CQ CQ de DL1ABC DL1ABC DL1ABC pse k - name is Hans, QTH Bonn near Koeln 0123\r\n";
    // Fill the history to the trim first.
    while (h.form->receiveControl->windows().history.size() < 4900)
        for (unsigned char c : line)
            h.modem.raiseRxChar(c);
    const int total = 200000;
    QElapsedTimer t;
    t.start();
    int sent = 0;
    while (sent < total)
        for (unsigned char c : line) {
            h.modem.raiseRxChar(c);
            ++sent;
        }
    const double seconds = static_cast<double>(t.nsecsElapsed()) / 1e9;
    std::printf("RxCharRdy with a full history: %d characters in %.2f s = %.0f characters/s "
                "(PSK31 brings about 50)\n",
                sent, seconds, sent / seconds);
    return 0;
}
