#pragma once
// Start-up of the main window and the settings re-apply. Start-up runs once when Form1 is
// loaded and again at the end of every re-apply; the re-apply runs from the status handling
// whenever settingsChanged is 1.

#include <functional>
#include <string>

namespace tavrel {

class Form1;

class Startup {
public:
    // Hands the re-apply to the status handling, which runs it when settingsChanged is 1.
    explicit Startup(Form1& form);

    // Program start: start-up with the entry panel emptied and the contact's state reset.
    void startup();
    // Reads the settings again and runs start-up over them, leaving the contact in progress (the
    // entry panel, a held sign-off, a due store) as it is.
    void reapplySettings();

    // A settings file that is there but cannot be read is left alone and ends the program: the
    // default tells the operator (message box and standard error) and exits. Tests put their own.
    std::function<void(const std::string& message)> onSettingsUnreadable;
    // A damaged settings file, told once a run; the default writes it to standard error and
    // keeps it in the window's status line.
    std::function<void(const std::string& message)> onSettingsDamaged;

    // Baud, parity, data bits, stop bits, joined by a comma and a blank.
    static std::string catSettingsText(const std::string& baud, const std::string& parity,
                                       const std::string& dataBits, const std::string& stopBits);

private:
    void run(bool programStart);
    void openCatPort(const std::string& catSettings);
    bool readSettingsFile();
    void showStatus(const std::string& text);
    Form1& m_form;
    bool m_damageTold = false;
};

} // namespace tavrel
