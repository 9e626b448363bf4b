#include "application_folder.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>

#include "core/atomic_file.h"
#include "core/path_file.h"

// The samples and the help live in static libraries, whose resources are registered only on
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
    // A folder with a path file is the user's: a sample there would be found before the user's
    // file of the same name in another case, and stand in for a file the user lost.
    if (holdsPathFile(folder)) {
        return true;
    }
    registerResources();
    const QDir target(QString::fromStdString(folder.string()));
    for (const char* bundle : {":/samples", ":/help"}) {
        for (QDirIterator it(bundle); it.hasNext();) {
            const QString resource = it.next();
            const QString destination = target.filePath(QFileInfo(resource).fileName());
            if (QFileInfo::exists(destination)) {
                continue;
            }
            // Written anew rather than copied: copies of resources are read-only, and users
            // edit their samples.
            QFile bundled(resource);
            if (bundled.open(QIODevice::ReadOnly)) {
                const QByteArray bytes = bundled.readAll();
                (void)replaceFileAtomically(destination.toStdString(),
                                            std::string_view(bytes.constData(), bytes.size()));
            }
        }
    }
    return true;
}

}  // namespace kavlo
