#include "drive_list.h"

#include <QDir>

namespace kavlo {
namespace {

// Mount points are the folders right under these, and for /run/media one level deeper.
void addMounts(QStringList& roots, const QString& base, int depth) {
    const QDir dir(base);
    for (const QString& name : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        const QString path = dir.filePath(name);
        if (depth > 1) {
            addMounts(roots, path, depth - 1);
        } else {
            roots << path;
        }
    }
}

}  // namespace

QStringList driveRoots() {
    QStringList roots{"/", QDir::homePath()};
    addMounts(roots, "/media", 1);
    addMounts(roots, "/mnt", 1);
    addMounts(roots, "/run/media", 2);
    roots.removeDuplicates();
    return roots;
}

QString driveOf(const QString& folder, const QStringList& roots) {
    QString best = "/";
    for (const QString& root : roots) {
        const bool holds =
            folder == root || folder.startsWith(root.endsWith('/') ? root : root + '/');
        if (holds && root.size() > best.size()) {
            best = root;
        }
    }
    return best;
}

}  // namespace kavlo
