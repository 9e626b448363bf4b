#include "drive_list.h"

#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>

#include "core/drive_roots.h"

namespace kavlo {
namespace {

bool isUnder(const QString& path, const QString& folder) {
    return path == folder || path.startsWith(folder + '/');
}

bool mayHoldUserFiles(const MountedVolume& volume) {
    static const QList<QByteArray> kPseudoTypes{
        "autofs",   "binfmt_misc", "bpf",     "configfs",  "debugfs",    "devpts",
        "devtmpfs", "efivarfs",    "fusectl", "hugetlbfs", "mqueue",     "nsfs",
        "overlay",  "proc",        "pstore",  "ramfs",     "rpc_pipefs", "securityfs",
        "squashfs", "sysfs",       "tmpfs",   "tracefs"};
    if (!volume.usable || volume.type.startsWith("cgroup") || kPseudoTypes.contains(volume.type)) {
        return false;
    }
    static const QStringList kSystemFolders{"/boot", "/dev", "/proc", "/run", "/sys"};
    return isUnder(volume.root, "/run/media") ||
           std::none_of(kSystemFolders.begin(), kSystemFolders.end(),
                        [&](const QString& system) { return isUnder(volume.root, system); });
}

}  // namespace

QStringList driveRootsOf(const QStringList& fixed, const QList<MountedVolume>& volumes) {
    QStringList mounted;
    for (const MountedVolume& volume : volumes) {
        if (mayHoldUserFiles(volume)) {
            mounted << volume.root;
        }
    }
    mounted.sort();
    QStringList roots;
    for (const QString& root : fixed + mounted) {
        if (!roots.contains(root)) {
            roots << root;
        }
    }
    return roots;
}

QStringList driveRoots() {
    QStringList fixed;
    for (const std::string& root : driveRootFolders()) {
        fixed << QString::fromStdString(root);
    }
    QList<MountedVolume> volumes;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes()) {
        volumes.push_back(
            {volume.rootPath(), volume.fileSystemType(),
             volume.isValid() && volume.isReady() && QFileInfo(volume.rootPath()).isDir()});
    }
    return driveRootsOf(fixed, volumes);
}

QString driveOf(const QString& folder, const QStringList& roots) {
    std::vector<std::string> plain;
    for (const QString& root : roots) {
        plain.push_back(root.toStdString());
    }
    return QString::fromStdString(driveHolding(folder.toStdString(), plain));
}

}  // namespace kavlo
