#include "app/AppFolder.h"

#include <QDir>
#include <QFile>

namespace tavrel {

std::vector<std::string> installMissingDataFiles(const std::filesystem::path& folder) {
    std::vector<std::string> copied;
    const QDir defaults(QStringLiteral(":/data"));
    for (const QString& name : defaults.entryList(QDir::Files, QDir::Name)) {
        const std::filesystem::path target = folder / name.toStdString();
        // Whatever stands under the name, even a link that cannot be followed, is the operator's.
        std::error_code ec;
        if (std::filesystem::symlink_status(target, ec).type() != std::filesystem::file_type::not_found)
            continue;
        const QString to = QString::fromStdString(target.string());
        if (QFile::copy(defaults.filePath(name), to)) {
            // Resources are read-only; the operator's copy is his to change.
            QFile::setPermissions(to,
                                  QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup | QFile::ReadOther);
            copied.push_back(name.toStdString());
        }
    }
    return copied;
}

} // namespace tavrel
