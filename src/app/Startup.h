#pragma once
// Start-up of the main window and the settings re-apply. Start-up runs once when Form1 is
// loaded and again at the end of every re-apply; the re-apply runs from the status handling
// at the first status event after the settings store announced a save.

#include <QObject>
#include <functional>
#include <optional>
#include <string>
#include <utility>

namespace tavrel {

class Form1;

// A problem that must end the program: the settings or the log are there but cannot be used as
// they are, and going on would write over them. Nothing has been written when it is met.
struct StartProblem {
    std::string title;   // what cannot be used, for the message box
    std::string message; // names the file and the reason
    std::string advice;  // what the operator can do before starting again
};

class Startup : public QObject {
    Q_OBJECT
public:
    // Hands the re-apply to the status handling.
    explicit Startup(Form1& form);

    // Program start: start-up with the entry panel emptied and the contact's state reset. Stops
    // at a problem that must end the program and returns it; main() tells it and ends.
    std::optional<StartProblem> startup();
    // Reads the settings again and runs start-up over them, leaving the contact in progress (the
    // entry panel, a held sign-off, a due store) as it is. Stops at a problem as startup() does.
    std::optional<StartProblem> reapplySettings();
    // A damaged settings file, told once a run; the default writes it to standard error and
    // keeps it in the window's status line.
    std::function<void(const std::string& message)> onSettingsDamaged;

    // Baud, parity, data bits, stop bits, joined by a comma and a blank.
    static std::string catSettingsText(const std::string& baud, const std::string& parity,
                                       const std::string& dataBits, const std::string& stopBits);
    // The display's span in Hz for the range choice: "1" normal, "2" wide, "3" the custom bottom
    // and top; any other choice keeps the span it had.
    static std::pair<int, int> displayRange(const std::string& choice, const std::string& bottom,
                                            const std::string& top, std::pair<int, int> previous);

signals:
    // A re-apply at a status event, or the reload of the log after a store, met a problem that
    // must end the program.
    void stopped(const tavrel::StartProblem& problem);

private:
    std::optional<StartProblem> run(bool programStart);
    void takeTodaysDate();
    void applyDisplayRange();
    void applyModemSettings();
    void connectRig();
    void openCatPort(const std::string& catSettings);
    std::optional<StartProblem> readSettingsFile();
    void showStatus(const std::string& text);
    Form1& m_form;
    bool m_damageTold = false;
    std::pair<int, int> m_range{0, 0}; // the display's span, Hz
};

} // namespace tavrel
