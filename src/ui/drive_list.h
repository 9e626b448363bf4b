#pragma once

#include <QStringList>

namespace kavlo {

// The "drives" a file group can start from: the file system root, the home folder and the
// mounted volumes under /media, /mnt and /run/media.
QStringList driveRoots();

// The drive among `roots` that holds `folder`: the longest root that is a prefix of it.
QString driveOf(const QString& folder, const QStringList& roots);

}  // namespace kavlo
