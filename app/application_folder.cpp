#include "application_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

// The samples live in a static library, whose resources are registered only on request.
static void registerSampleResources() {
    Q_INIT_RESOURCE(samples);
}

namespace kavlo {

bool seedApplicationFolder(const std::filesystem::path& folder) {
    std::error_code ec;
    std::filesystem::create_directories(folder, ec);
    if (!std::filesystem::is_directory(folder, ec)) {
        return false;
    }
    registerSampleResources();
    const QDir target(QString::fromStdString(folder.string()));
    for (QDirIterator it(":/samples"); it.hasNext();) {
        const QString resource = it.next();
        const QString destination = target.filePath(QFileInfo(resource).fileName());
        if (!QFileInfo::exists(destination) && QFile::copy(resource, destination)) {
            // Copies of resources are read-only; users edit their samples.
            QFile::setPermissions(destination, QFile::ReadOwner | QFile::WriteOwner |
                                                   QFile::ReadGroup | QFile::ReadOther);
        }
    }
    return true;
}

}  // namespace kavlo
