#pragma once

#include <QByteArray>
#include <QList>
#include <QStringList>

namespace kavlo {

// A mounted file system as the drive list weighs it; `usable` when it is ready and its root is
// a folder (a bind-mounted file is none).
struct MountedVolume {
    QString root;
    QByteArray type;
    bool usable = true;
};

// The "drives" a file group can start from: the file system root, the home folder and the
// mounted volumes that hold files.
QStringList driveRoots();

// `fixed` first, then the roots of the usable `volumes` that may hold the user's files, sorted;
// each root once. Kernel, memory, container and package file systems, and mounts under /boot,
// /dev, /proc, /sys and /run (but /run/media), are left out.
QStringList driveRootsOf(const QStringList& fixed, const QList<MountedVolume>& volumes);

// The drive among `roots` that holds `folder`: the longest root that is a prefix of it.
QString driveOf(const QString& folder, const QStringList& roots);

}  // namespace kavlo
