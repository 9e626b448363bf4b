#include "data_save_window.h"

#include <QDateTime>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "busy_cursor.h"
#include "combo_label.h"
#include "core/working_folder.h"
#include "drive_box.h"
#include "folder_browsing.h"
#include "folder_list.h"
#include "screen_fit.h"

namespace kavlo {
namespace {

const char* const kPrompt =
    "右フォルダ下にフォルダを作成しファイルを保存します。"
    "フォルダ名は下記のものでいいでしょうか。";

QString text(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// The busy cursor gives way to the arrow while a question or a message waits for the user.
class ArrowWhileAsking final : public MessageSink {
  public:
    explicit ArrowWhileAsking(MessageSink& to) : to_(to) {}
    MessageAnswer show(const Message& message) override {
        QGuiApplication::setOverrideCursor(Qt::ArrowCursor);
        const MessageAnswer answer = to_.show(message);
        QGuiApplication::restoreOverrideCursor();
        return answer;
    }

  private:
    MessageSink& to_;
};

}  // namespace

DataSaveWindow::DataSaveWindow(std::filesystem::path appFolder,
                               std::function<PageSetup()> currentSetup, MessageSink& messages,
                               QWidget* parent)
    : QWidget(parent, Qt::Window),
      appFolder_(std::move(appFolder)),
      currentSetup_(std::move(currentSetup)),
      messages_(messages),
      name_(new QLineEdit(this)),
      target_(new QLabel(this)),
      save_(new QPushButton("保存", this)),
      drives_(new DriveBox(this)),
      folders_(new FolderList(this)) {
    setObjectName("dataSaveWindow");
    setWindowTitle(kDataSaveTitle);
    auto* prompt = new QLabel(kPrompt, this);
    prompt->setObjectName("promptLabel");
    prompt->setWordWrap(true);
    prompt->setBuddy(name_);
    name_->setObjectName("folderNameBox");
    name_->setAccessibleName("フォルダ名");
    target_->setObjectName("targetLabel");
    target_->setAccessibleName("保存先");
    target_->setWordWrap(true);
    target_->setTextInteractionFlags(Qt::TextSelectableByMouse);
    save_->setObjectName("saveButton");
    save_->setDefault(true);
    QPushButton* back = makeBackButton(this);

    auto* grid = new QGridLayout(this);
    grid->addWidget(prompt, 0, 0, 1, 2);
    grid->addWidget(name_, 1, 0, 1, 2);
    grid->addWidget(target_, 2, 0, 1, 2);
    grid->addWidget(save_, 3, 0);
    grid->addWidget(back, 3, 1);
    grid->setRowStretch(4, 1);
    auto* driveRow = new QHBoxLayout;
    driveRow->addWidget(comboLabel("ドライブ", "ドライブ", drives_));
    driveRow->addWidget(drives_, 1);
    grid->addLayout(driveRow, 0, 2);
    grid->addWidget(folders_, 1, 2, 4, 1);
    grid->setColumnStretch(2, 1);
    resize(560, 260);
    setTabOrder(name_, save_);
    setTabOrder(save_, back);
    setTabOrder(back, drives_);
    setTabOrder(drives_, folders_);

    linkDriveAndFolders(drives_, folders_, [](const QString&) {});
    showFolder(drives_, folders_, text(appFolder_));
    connect(name_, &QLineEdit::textChanged, this, &DataSaveWindow::showTarget);
    connect(save_, &QPushButton::clicked, this, &DataSaveWindow::save);
}

void DataSaveWindow::open() {
    name_->setText(QDateTime::currentDateTime().toString("MMdd-hhmm"));
    folders_->refresh();
    keepOnScreen(this);
    show();
    raise();
    activateWindow();
    name_->setFocus();
}

// Where the folder will be made, since the lists beside the name only browse.
void DataSaveWindow::showTarget() {
    target_->setText("保存先: " + text(appFolder_ / name_->text().toStdString()));
}

void DataSaveWindow::save() {
    ArrowWhileAsking messages(messages_);
    const WorkingFolderSave result = [&] {
        const BusyCursor busy;
        return saveWorkingFolder(currentSetup_(), appFolder_, name_->text().toStdString(),
                                 messages);
    }();
    switch (result.result) {
        case SaveResult::Saved:
            folders_->refresh();
            hide();
            emit saved();
            break;
        case SaveResult::NothingToSave:
            hide();
            break;
        case SaveResult::Refused:
        case SaveResult::Failed:
            name_->setFocus();
            break;
    }
}

}  // namespace kavlo
