#pragma once
// Main-window state that several panels share. Owned by Form1 and handed by reference to the
// panels that need it; flags hold 0 or 1.

#include "core/Clock.h"
#include "core/SettingsStore.h"

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

namespace tavrel {

struct MainState {
    explicit MainState(std::filesystem::path folder)
        : appFolder(std::move(folder)), settings(appFolder / "tavrel.ini") {}

    std::filesystem::path appFolder; // the folder holding the executable and every data file

    Clock clock = Clock::system();

    SettingsStore settings;  // the main window's list and the one writer of tavrel.ini
    std::string currentBand; // "10", "15", "20" or "40"

    std::string utcTime;                               // hh:mm:ss
    std::string qsoYear, qsoMonth, qsoDay, qsoDateKey; // qsoDateKey: yyyymmdd

    std::string sep3 = "   ";

    // Transmit side
    std::string pendingTx; // operator text not yet handed to the modem
    int txState = 0;
    int liveTyping = 0;
    int btuTailDue = 0;

    // Sign-off and logging
    int signOffHeld = 0;
    int logAfterTx = 0;

    // Receive side
    int slashZero = 1;
    int rxDisplayOn = 1;
    int keepTxFocus = 0;
    int netOn = 1;

    // The call being typed
    std::string hisCallUpper;
    std::string callHead; // first four characters of hisCallUpper

    Item macroEditItem = Item::OwnCall;

    std::string rxAbsFreq, txAbsFreq;

    // Tells the operator what went wrong (a settings file that could not be written): a warning
    // box on the main window.
    std::function<void(const std::string& message)> tellOperator;
    void tell(const std::string& message) const {
        if (tellOperator) tellOperator(message);
    }

    std::filesystem::path file(const char* name) const { return appFolder / name; }
    const std::string& item(Item i) const { return settings[i]; }

    // The main window's save after a band, a preset or a macro edit: the band goes in first.
    std::optional<std::string> saveSettings() {
        settings[Item::Band] = currentBand;
        return settings.saveOwn();
    }
};

} // namespace tavrel
