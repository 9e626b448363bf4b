#pragma once

#include <QString>

namespace kavlo {

// A path split at its last "/": the folder keeps that "/", the name is the rest. A path without
// "/" is all name.
struct FolderAndName {
    QString folder;
    QString name;
};
FolderAndName splitAtLastSeparator(const QString& path);

// The folder with exactly one "/" at its end; the root stays "/".
QString withTrailingSeparator(const QString& folder);

// The folder and the name with one "/" between them; an empty folder gives the name alone.
QString joinFolderAndName(const QString& folder, const QString& name);

// Why a file cannot be saved under `name` (a user-facing sentence), or empty when it can.
QString fileNameProblem(const QString& name);

// Whether two paths name one file: the same file on disk when both exist, else the same path.
bool isSameFile(const QString& a, const QString& b);

}  // namespace kavlo
