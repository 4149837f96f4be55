#pragma once
// The main window's settings list and the one writer of tavrel.ini.
//
// The list is what the main window runs with: read at start-up and again at every re-apply. The
// settings windows edit copies of their own and hand them to save(); the main window's own edits
// (a band, a preset, a macro) go into the list and are written with saveOwn(). Every save writes
// the whole list, so the last writer wins for every item. A save that changes what the program
// should run with is announced: changed() is emitted, and the main window re-applies the file at
// its next status event, reading it back into the list.

#include "core/Settings.h"

#include <QObject>
#include <filesystem>
#include <optional>
#include <string>

namespace tavrel {

class SettingsStore : public QObject {
    Q_OBJECT
public:
    explicit SettingsStore(std::filesystem::path file, QObject* parent = nullptr);

    const std::filesystem::path& file() const { return m_file; }

    const SettingsList& list() const { return m_list; }
    const std::string& operator[](Item i) const { return m_list[i]; }
    std::string& operator[](Item i) { return m_list[i]; }

    // Reads the file into the list; a missing file is made with the defaults first. An unreadable
    // file leaves the list as it was (the caller must not go on to write it).
    SettingsRead load();

    // Each returns the operator's message when the file could not be written; the change is then
    // not announced, so no re-apply reads the old file over the list in memory.
    // A settings window's copy, as the whole file; announced.
    std::optional<std::string> save(const SettingsList& copy);
    // The main window's own list; announced.
    std::optional<std::string> saveOwn();
    // The main window's own list, or a list of the main window's making, without announcing it:
    // the backup's date and the window's layout change nothing the re-apply would take up.
    std::optional<std::string> saveQuietly();
    std::optional<std::string> saveQuietly(const SettingsList& list);

    // A save has been announced and not yet taken by a re-apply.
    bool changePending() const { return m_changePending; }
    // The re-apply (or a start-up) has taken it.
    void takeChange() { m_changePending = false; }

signals:
    void changed();

private:
    std::optional<std::string> write(const SettingsList& list, bool announce);

    std::filesystem::path m_file;
    SettingsList m_list = defaultSettings();
    bool m_changePending = false;
};

} // namespace tavrel
