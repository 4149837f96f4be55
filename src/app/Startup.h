#pragma once
// Start-up of the main window and the settings re-apply. Start-up runs once when Form1 is
// loaded and again at the end of every re-apply; the re-apply runs from the status handling
// whenever settingsChanged is 1.

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

    // Baud, parity, data bits, stop bits, joined by a comma and a blank.
    static std::string catSettingsText(const std::string& baud, const std::string& parity,
                                       const std::string& dataBits, const std::string& stopBits);

private:
    void run(bool programStart);
    void openCatPort(const std::string& catSettings);
    void showStatus(const std::string& text);
    Form1& m_form;
};

} // namespace tavrel
