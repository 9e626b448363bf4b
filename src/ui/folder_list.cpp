#include "folder_list.h"

#include <QDir>
#include <QFileInfo>

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
    // The folder and the folders above it, the root first.
    QStringList chain;
    for (QDir dir(folder_);;) {
        chain.prepend(dir.absolutePath());
        if (dir.isRoot() || !dir.cdUp()) {
            break;
        }
    }
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
    const int depth = static_cast<int>(chain.size());
    for (int k = 0; k < depth; ++k) {
        add(k == 0 ? chain[k] : QFileInfo(chain[k]).fileName(), chain[k], k, k + 1 == depth);
    }
    const QDir dir(folder_);
    for (const QString& sub : dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name)) {
        add(sub, dir.filePath(sub), depth, false);
    }
}

}  // namespace kavlo
