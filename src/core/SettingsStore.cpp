#include "core/SettingsStore.h"

namespace tavrel {

SettingsStore::SettingsStore(std::filesystem::path file, QObject* parent)
    : QObject(parent), m_file(std::move(file)) {}

SettingsRead SettingsStore::load() {
    SettingsRead read = loadSettings(m_file);
    if (read.error) return read;
    if (read.missing) writeDefaultSettings(m_file);
    m_list = read.list;
    return read;
}

std::optional<std::string> SettingsStore::save(const SettingsList& copy) {
    return write(copy, true);
}

std::optional<std::string> SettingsStore::saveOwn() {
    return write(m_list, true);
}

std::optional<std::string> SettingsStore::saveQuietly() {
    return write(m_list, false);
}

std::optional<std::string> SettingsStore::saveQuietly(const SettingsList& list) {
    return write(list, false);
}

std::optional<std::string> SettingsStore::write(const SettingsList& list, bool announce) {
    if (auto failure = writeSettings(m_file, list)) return failure;
    if (announce) {
        m_changePending = true;
        emit changed();
    }
    return std::nullopt;
}

} // namespace tavrel
