#pragma once
// The real main window over a temporary application folder, with FakeModem and FakeSerial.
// Tests that use it link tavrel_app.

#include "app/Form1.h"
#include "app/Startup.h"
#include "core/Settings.h"
#include "support/FakeModem.h"
#include "support/FakeSerial.h"
#include "support/TempDir.h"

#include <QApplication>
#include <QStyleFactory>
#include <clocale>
#include <memory>
#include <ostream>
#include <stdexcept>
#include <string>
#include <utility>
#include <vector>

// Readable QStrings in test failures.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace tavrel {

// One QApplication for the whole test program.
inline QApplication& testApplication() {
    static int argc = 1;
    static char arg0[] = "tavrel-tests";
    static char* argv[] = {arg0, nullptr};
    static QApplication* app = [] {
        auto* a = new QApplication(argc, argv);
        std::setlocale(LC_NUMERIC, "C"); // as the program does
        QApplication::setStyle(QStyleFactory::create(QStringLiteral("Fusion")));
        return a;
    }();
    return *app;
}

struct FormHarness {
    TempDir dir;
    FakeModem modem;
    FakeSerial comm2;
    std::unique_ptr<Form1> form;
    std::unique_ptr<Startup> startup;
    std::vector<std::string> told; // what the window told the operator

    // A fixed clock keeps dates and times in tests repeatable.
    explicit FormHarness(DateTime local = {2026, 12, 7, 14, 30, 15},
                         DateTime utc = {2026, 12, 7, 14, 30, 15}) {
        testApplication();
        form = std::make_unique<Form1>(dir.path, modem, comm2);
        form->state.clock = Clock::fixed(local, utc);
        form->state.tellOperator = [this](const std::string& message) { told.push_back(message); };
        startup = std::make_unique<Startup>(*form);
    }
    std::filesystem::path file(const char* name) const { return dir.path / name; }

    using Items = std::vector<std::pair<int, std::string>>;
    // tavrel.ini: the defaults with these items changed.
    void writeSettingsWith(const Items& items) const {
        SettingsList s = defaultSettings();
        for (const auto& [i, v] : items)
            s[static_cast<size_t>(i)] = v;
        if (const auto failure = writeSettings(file("tavrel.ini"), s)) throw std::runtime_error(*failure);
    }
    // The same list saved as a settings window saves it: the next status event re-applies it.
    void saveSettingsWith(const Items& items) const {
        SettingsList s = defaultSettings();
        for (const auto& [i, v] : items)
            s[static_cast<size_t>(i)] = v;
        if (const auto failure = form->state.settings.save(s)) throw std::runtime_error(*failure);
    }
    // Program start over those settings.
    void startWith(const Items& items = {}) {
        writeSettingsWith(items);
        startup->startup();
    }
    // ... and the first status event, which runs the re-apply the band restore asked for.
    void startSettled(const Items& items = {}) {
        startWith(items);
        modem.raiseStatus(1200, 0);
    }

    template <typename W = QWidget> W* control(const char* name) const {
        return form->findChild<W*>(QString::fromLatin1(name));
    }
};

} // namespace tavrel
