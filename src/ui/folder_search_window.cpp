#include "folder_search_window.h"

#include <QDir>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>

#include "combo_label.h"
#include "core/path_file.h"
#include "drive_box.h"
#include "folder_browsing.h"
#include "folder_list.h"
#include "screen_fit.h"

namespace kavlo {
namespace {

std::filesystem::path pathFileIn(const QString& folder) {
    return std::filesystem::path(folder.toStdString()) / kPathFileName;
}

}  // namespace

FolderSearchWindow::FolderSearchWindow(const std::filesystem::path& startFolder, Load load,
                                       QWidget* parent)
    : QWidget(parent, Qt::Window),
      load_(std::move(load)),
      choose_(new QPushButton("選択", this)),
      drives_(new DriveBox(this)),
      folders_(new FolderList(this)) {
    setObjectName("folderSearchWindow");
    setWindowTitle("QAP Search");
    choose_->setObjectName("chooseButton");
    choose_->setDefault(true);
    QPushButton* back = makeBackButton(this);

    auto* grid = new QGridLayout(this);
    auto* driveRow = new QHBoxLayout;
    driveRow->addWidget(comboLabel("ドライブ", "ドライブ", drives_));
    driveRow->addWidget(drives_, 1);
    grid->addLayout(driveRow, 0, 0, 1, 2);
    grid->addWidget(folders_, 1, 0, 1, 2);
    grid->addWidget(choose_, 2, 0);
    grid->addWidget(back, 2, 1);
    resize(360, 420);
    setTabOrder(drives_, folders_);
    setTabOrder(folders_, choose_);
    setTabOrder(choose_, back);

    linkDriveAndFolders(drives_, folders_, [this](const QString& folder) { look(folder); });
    showFolder(drives_, folders_, QString::fromStdString(startFolder.string()));
    look(folders_->folder());
    connect(choose_, &QPushButton::clicked, this, &FolderSearchWindow::choose);
}

void FolderSearchWindow::open() {
    folders_->refresh();
    look(folders_->folder());
    keepOnScreen(this);
    show();
    raise();
    activateWindow();
    folders_->setFocus();
}

QString FolderSearchWindow::folder() const {
    return folders_->folder();
}

void FolderSearchWindow::look(const QString& folder) {
    choose_->setVisible(readPathFile(pathFileIn(folder), PageSetup{}).has_value());
}

void FolderSearchWindow::choose() {
    if (load_(pathFileIn(folder()))) {
        hide();
    } else {
        choose_->hide();  // emptied or removed since it was offered
    }
}

}  // namespace kavlo
