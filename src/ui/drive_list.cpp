#include "drive_list.h"

#include "core/drive_roots.h"

namespace kavlo {

QStringList driveRoots() {
    QStringList roots;
    for (const std::string& root : driveRootFolders()) {
        roots << QString::fromStdString(root);
    }
    return roots;
}

QString driveOf(const QString& folder, const QStringList& roots) {
    std::vector<std::string> plain;
    for (const QString& root : roots) {
        plain.push_back(root.toStdString());
    }
    return QString::fromStdString(driveHolding(folder.toStdString(), plain));
}

}  // namespace kavlo
