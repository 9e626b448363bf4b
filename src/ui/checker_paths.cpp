#include "checker_paths.h"

#include <QDir>
#include <QFileInfo>
#include <filesystem>

#include "core/path_file.h"

namespace kavlo {

FolderAndName splitAtLastSeparator(const QString& path) {
    const QString name = QFileInfo(path).fileName();
    return {path.chopped(name.size()), name};
}

QString withTrailingSeparator(const QString& folder) {
    QString trimmed = folder;
    while (trimmed.endsWith('/')) {
        trimmed.chop(1);
    }
    return trimmed + '/';
}

QString joinFolderAndName(const QString& folder, const QString& name) {
    return folder.isEmpty() ? name : withTrailingSeparator(folder) + name;
}

QString fileNameProblem(const QString& name) {
    if (name.isEmpty()) {
        return "ファイル名を入力してください。";
    }
    if (name.contains('/')) {
        return "ファイル名に「/」は使えません。フォルダはフォルダの欄で選んでください。";
    }
    if (breaksPathFileLine(name.toStdString())) {
        return "ファイル名に改行は使えません。";
    }
    if (name == "." || name == "..") {
        return "「" + name + "」はファイル名に使えません。";
    }
    return {};
}

bool isSameFile(const QString& a, const QString& b) {
    const std::filesystem::path pa = a.toStdString(), pb = b.toStdString();
    std::error_code error;
    if (std::filesystem::exists(pa, error) && std::filesystem::exists(pb, error)) {
        return std::filesystem::equivalent(pa, pb, error);
    }
    return QDir::cleanPath(QDir::current().absoluteFilePath(a)) ==
           QDir::cleanPath(QDir::current().absoluteFilePath(b));
}

}  // namespace kavlo
