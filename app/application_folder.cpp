#include "application_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

// The samples and the help live in a static library, whose resources are registered only on
// request.
static void registerResources() {
    Q_INIT_RESOURCE(samples);
    Q_INIT_RESOURCE(help);
}

namespace kavlo {

bool seedApplicationFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        return false;
    }
    registerResources();
    const QDir target(QString::fromStdString(folder.string()));
    for (const char* bundle : {":/samples", ":/help"}) {
        for (QDirIterator it(bundle); it.hasNext();) {
            const QString resource = it.next();
            const QString destination = target.filePath(QFileInfo(resource).fileName());
            if (!QFileInfo::exists(destination) && QFile::copy(resource, destination)) {
                // Copies of resources are read-only; users edit their samples.
                QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner |
                                                       QFile::ReadGroup | QFile::ReadOther);
            }
        }
    }
    return true;
}

}  // namespace kavlo
