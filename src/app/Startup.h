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

    void startup();
    void reapplySettings();

    // Baud, parity, data bits, stop bits, joined by a comma and a blank.
    static std::string catSettingsText(const std::string& baud, const std::string& parity,
                                       const std::string& dataBits, const std::string& stopBits);

private:
    void openCatPort(const std::string& catSettings);
    Form1& m_form;
};

} // namespace tavrel
