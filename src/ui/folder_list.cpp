#include "folder_list.h"

#include <QDir>

namespace kavlo {

FolderList::FolderList(QWidget* parent) : QListWidget(parent) {
    connect(this, &QListWidget::itemActivated, this, [this](QListWidgetItem* item) {
        if (setFolder(item->data(Qt::UserRole).toString())) {
            emit folderChosen(folder_);
        }
    });
}

bool FolderList::setFolder(const QString& path) {
    const QDir dir(path);
    if (path.isEmpty() || !dir.exists() || !dir.isReadable()) {
        return false;
    }
    folder_ = QDir::cleanPath(dir.absolutePath());
    fill();
    return true;
}

void FolderList::refresh() {
    fill();
}

void FolderList::fill() {
    clear();
    const QStringList parts = folder_.split('/', Qt::SkipEmptyParts);
    auto add = [this](const QString& text, const QString& target, int depth, bool current) {
        auto* item = new QListWidgetItem(QString(depth * 2, ' ') + text, this);
        item->setData(Qt::UserRole, target);
        if (current) {
            QFont f = item->font();
            f.setBold(true);
            item->setFont(f);
            setCurrentItem(item);
        }
    };
    add("/", "/", 0, parts.isEmpty());
    QString path = "/";
    for (int k = 0; k < parts.size(); ++k) {
        path += (k ? "/" : "") + parts[k];
        add(parts[k], path, k + 1, k + 1 == parts.size());
    }
    const QDir dir(folder_);
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        add(sub, dir.filePath(sub), static_cast<int>(parts.size()) + 1, false);
    }
}

}  // namespace kavlo
