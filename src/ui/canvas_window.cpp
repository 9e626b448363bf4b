#include "canvas_window.h"

#include <QApplication>
#include <QCloseEvent>
#include <QComboBox>
#include <QFileDialog>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QScrollBar>
#include <QStyle>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "busy_cursor.h"
#include "canvas_export.h"
#include "canvas_print.h"
#include "core/format_write_back.h"
#include "group_choice.h"
#include "page_view.h"
#include "render/skipped_slots.h"
#include "session.h"

namespace kavlo {
namespace {

constexpr int kScrollMax = 100;
constexpr int kMargin = 4;
constexpr int kGap = 2;
constexpr int kRowHeight = 25;
constexpr int kBarThickness = 17;
constexpr int kHorizontalBarWidth = 241;

int twipsToPixels(float twips) {
    return static_cast<int>(std::nearbyint(twips / kScreenTwipsPerPixel));
}

QScrollBar* makeBar(Qt::Orientation orientation, const char* name, int single, int page,
                    QWidget* parent) {
    auto* bar = new QScrollBar(orientation, parent);
    bar->setObjectName(name);
    bar->setRange(0, kScrollMax);
    bar->setSingleStep(single);
    bar->setPageStep(page);
    return bar;
}

bool strictlyInside(const QScrollBar* bar, QPoint p) {
    const QRect r = bar->geometry();
    return !bar->isHidden() && r.left() < p.x() && p.x() < r.left() + r.width() &&
           r.top() < p.y() && p.y() < r.top() + r.height();
}

// One unit towards the pointer's place along the bar, none between the two thresholds.
void stepTowards(QScrollBar* bar, int pointer, int start, int length) {
    const int value = bar->value();
    const double max = bar->maximum();
    if (pointer < start + length * (value - 1) / max) {
        if (value >= 1) {
            bar->setValue(value - 1);
        }
    } else if (pointer > start + length * (value + 1) / max) {
        if (value < bar->maximum()) {
            bar->setValue(value + 1);
        }
    }
}

std::string slotList(const std::vector<int>& graphs) {
    std::string text;
    for (const int slot : graphs) {
        text += (text.empty() ? "" : "、") + std::to_string(slot);
    }
    return text;
}

std::string sharedFileText(const FileWriteBack& target) {
    return "ファイル " + target.file + " はグラフ " + slotList(target.graphs) +
           " が使っています。グラフ " + std::to_string(target.graphs.front()) +
           " の変更を書き込みました。グラフ " + slotList(target.dropped) +
           " の変更は、このファイルには保存できませんでした。";
}

QString askSavePath(QWidget* parent, const std::filesystem::path& folder, QString& filter) {
    return QFileDialog::getSaveFileName(parent, "ページを保存",
                                        QString::fromStdString((folder / "page.png").string()),
                                        pageFileFilters(), &filter);
}

}  // namespace

CanvasWindow::CanvasWindow(Session& session, QWidget* parent)
    : QWidget(parent, Qt::Window), session_(session) {
    setObjectName("canvasWindow");
    setWindowTitle("QAP Canvas");
    buildControls();
}

void CanvasWindow::buildControls() {
    picture_ = new PageView(this);
    connect(picture_, &PageView::pressed, this, &CanvasWindow::pressPicture);
    connect(picture_, &PageView::moved, this, &CanvasWindow::movePicture);
    connect(picture_, &PageView::released, this, &CanvasWindow::releasePicture);
    connect(picture_, &PageView::wheelTurned, this, &CanvasWindow::scrollByWheel);

    const auto makeButton = [this](const char* name, const QString& tip) {
        auto* button = new QPushButton(this);
        button->setObjectName(name);
        button->setToolTip(tip);
        button->setFixedSize(kRowHeight, kRowHeight);
        // Arrow keys scroll the page instead of moving the focus between buttons.
        button->installEventFilter(this);
        return button;
    };

    const auto makeCaptionButton = [&](const char* name, const char* caption, const char* tip) {
        QPushButton* button = makeButton(name, QString::fromUtf8(tip));
        button->setText(QString::fromUtf8(caption));
        button->setFixedSize(57, kRowHeight);
        return button;
    };
    printButton_ = makeCaptionButton("printButton", "印刷", "ページを既定のプリンタで印刷");
    connect(printButton_, &QPushButton::clicked, this, &CanvasWindow::print);
    metafileButton_ = makeCaptionButton("metafileButton", "MetaFile",
                                        "選択範囲かページ全体を図としてクリップボードへ");
    connect(metafileButton_, &QPushButton::clicked, this, &CanvasWindow::copyMetafile);
    bitmapButton_ =
        makeCaptionButton("bitmapButton", "BitMap", "ページを画像としてクリップボードへ");
    connect(bitmapButton_, &QPushButton::clicked, this, &CanvasWindow::copyBitmap);
    saveButton_ = makeCaptionButton("saveFileButton", "ファイル", "ページを PNG、PDF、SVG で保存");
    connect(saveButton_, &QPushButton::clicked, this, &CanvasWindow::saveFile);

    backButton_ = makeButton("backButton", "メイン画面に戻る");
    backButton_->setText("戻る");
    backButton_->setFixedSize(57, kRowHeight);
    connect(backButton_, &QPushButton::clicked, this, &CanvasWindow::back);

    groups_ = new QComboBox(this);
    groups_->setObjectName("groupChoice");
    groups_->setToolTip("向きと高さを変えるグラフ");
    for (const char* text : kGroupChoiceTexts) {
        groups_->addItem(text);
    }
    groups_->setFixedSize(60, kRowHeight);
    QPalette yellow = groups_->palette();
    yellow.setColor(QPalette::Button, QColor(255, 255, 192));
    yellow.setColor(QPalette::Base, QColor(255, 255, 192));
    groups_->setPalette(yellow);

    struct ViewButton {
        const char* name;
        QStyle::StandardPixmap icon;
        const char* tip;
    };
    static constexpr std::array<ViewButton, 5> kViewButtons{{
        {"stretchUpButton", QStyle::SP_ArrowUp, "Z 方向に伸ばす"},
        {"shrinkDownButton", QStyle::SP_ArrowDown, "Z 方向に縮める"},
        {"resetViewButton", QStyle::SP_BrowserReload, "元に戻す"},
        {"turnLeftButton", QStyle::SP_ArrowLeft, "左へ回す"},
        {"turnRightButton", QStyle::SP_ArrowRight, "右へ回す"},
    }};
    for (int index = 0; index < 5; ++index) {
        const ViewButton& entry = kViewButtons[static_cast<std::size_t>(index)];
        QPushButton* button = makeButton(entry.name, QString::fromUtf8(entry.tip));
        button->setIcon(style()->standardIcon(entry.icon));
        connect(button, &QPushButton::clicked, this, [this, index] { changeView(index); });
        viewButtons_[static_cast<std::size_t>(index)] = button;
    }

    writeBackButton_ = makeButton("writeBackButton", "表示の変更を書式データファイルに保存");
    writeBackButton_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    connect(writeBackButton_, &QPushButton::clicked, this, &CanvasWindow::writeBack);

    vScroll_ = makeBar(Qt::Vertical, "verticalScrollBar", 2, 20, this);
    hScroll_ = makeBar(Qt::Horizontal, "horizontalScrollBar", 5, 30, this);
    connect(vScroll_, &QScrollBar::valueChanged, this, &CanvasWindow::doVScroll);
    connect(hScroll_, &QScrollBar::valueChanged, this, &CanvasWindow::doHScroll);

    statusLine_ = new QLabel(this);
    statusLine_->setObjectName("statusLine");
    statusLine_->setAccessibleName("状態");

    vScroll_->setAccessibleName("ページの縦の位置");
    hScroll_->setAccessibleName("ページの横の位置");

    const auto row = rowControls();
    for (std::size_t i = 1; i < row.size(); ++i) {
        setTabOrder(row[i - 1], row[i]);
    }
    // Screen readers and UI automation find a control by its caption, else by its tip.
    for (QWidget* control : row) {
        const auto* button = qobject_cast<QPushButton*>(control);
        control->setAccessibleName(button && !button->text().isEmpty() ? button->text()
                                                                       : control->toolTip());
    }
    layOutControls();
}

std::array<QWidget*, 12> CanvasWindow::rowControls() const {
    return {printButton_,    metafileButton_, bitmapButton_,   saveButton_,
            backButton_,     groups_,         viewButtons_[0], viewButtons_[1],
            viewButtons_[3], viewButtons_[4], viewButtons_[2], writeBackButton_};
}

void CanvasWindow::layOutControls() {
    int x = kMargin;
    for (QWidget* control : rowControls()) {
        control->move(x, kMargin);
        x += control->width() + kGap;
    }
    hScroll_->setGeometry(x + kMargin, kMargin + (kRowHeight - kBarThickness) / 2,
                          kHorizontalBarWidth, kBarThickness);
    const int statusLeft = hScroll_->geometry().right() + 1 + kMargin;
    statusLine_->setGeometry(statusLeft, kMargin, std::max(width() - statusLeft - kMargin, 0),
                             kRowHeight);
    const int barTop = kMargin + kRowHeight + kMargin;
    vScroll_->setGeometry(0, barTop, kBarThickness, std::max(height() - barTop - kMargin, 40));
}

void CanvasWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOutControls();
}

void CanvasWindow::showPage() {
    if (!session_.horizontalBar) {
        hScroll_->hide();
    }
    groups_->setCurrentIndex(0);
    setPrintCaption("印刷");
    statusLine_->clear();
    selection_ = {};
    applyViewGeometry();
    picture_->setImage(session_.page);
    show();
    activateWindow();
    backButton_->setFocus();
}

// Like the page set-up: the stored size and place, the page from its top-left corner. The bars
// go back to 0 with it, so they keep telling where the page is.
void CanvasWindow::applyViewGeometry() {
    const CanvasGeometry& c = session_.canvas;
    resize(twipsToPixels(c.viewWidth), twipsToPixels(c.viewHeight));
    move(twipsToPixels(c.viewLeft), twipsToPixels(c.viewTop));
    vScroll_->setValue(0);
    hScroll_->setValue(0);
    doVScroll();
    doHScroll();
}

void CanvasWindow::doVScroll() {
    const CanvasGeometry& c = session_.canvas;
    const float top = -(c.pageHeight - c.viewHeight) * static_cast<float>(vScroll_->value()) /
                      static_cast<float>(vScroll_->maximum());
    picture_->move(picture_->x(), twipsToPixels(top));
}

void CanvasWindow::doHScroll() {
    const CanvasGeometry& c = session_.canvas;
    const float left = -(c.pageWidth - c.viewWidth) * static_cast<float>(hScroll_->value()) /
                       static_cast<float>(hScroll_->maximum());
    picture_->move(twipsToPixels(left), picture_->y());
}

bool CanvasWindow::scrollByKey(int key) {
    switch (key) {
        case Qt::Key_Up:
            vScroll_->triggerAction(QAbstractSlider::SliderSingleStepSub);
            return true;
        case Qt::Key_Down:
            vScroll_->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            return true;
        case Qt::Key_PageUp:
            vScroll_->triggerAction(QAbstractSlider::SliderPageStepSub);
            return true;
        case Qt::Key_PageDown:
            vScroll_->triggerAction(QAbstractSlider::SliderPageStepAdd);
            return true;
        case Qt::Key_Home:
            vScroll_->triggerAction(QAbstractSlider::SliderToMinimum);
            return true;
        case Qt::Key_End:
            vScroll_->triggerAction(QAbstractSlider::SliderToMaximum);
            return true;
        case Qt::Key_Left:
            hScroll_->triggerAction(QAbstractSlider::SliderSingleStepSub);
            return true;
        case Qt::Key_Right:
            hScroll_->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            return true;
        default:
            return false;
    }
}

bool CanvasWindow::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && scrollByKey(static_cast<QKeyEvent*>(event)->key())) {
        return true;
    }
    return QWidget::eventFilter(watched, event);
}

void CanvasWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        back();
    } else if (!scrollByKey(event->key())) {
        QWidget::keyPressEvent(event);
    }
}

void CanvasWindow::wheelEvent(QWheelEvent* event) {
    scrollByWheel(event->angleDelta(), event->modifiers());
    event->accept();
}

void CanvasWindow::scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
    // Whole notches only; the rest waits for the next event (fine-grained wheels).
    constexpr int kNotch = 120;
    // With Shift the wheel goes sideways, whether or not the platform has already turned it.
    if (modifiers & Qt::ShiftModifier) {
        angleDelta = QPoint(angleDelta.x() + angleDelta.y(), 0);
    }
    wheelRemainder_ += angleDelta;
    const QPoint notches(wheelRemainder_.x() / kNotch, wheelRemainder_.y() / kNotch);
    wheelRemainder_ -= notches * kNotch;
    const int lines = QApplication::wheelScrollLines();
    vScroll_->setValue(vScroll_->value() - notches.y() * lines * vScroll_->singleStep());
    if (!hScroll_->isHidden()) {
        hScroll_->setValue(hScroll_->value() - notches.x() * lines * hScroll_->singleStep());
    }
}

void CanvasWindow::closeEvent(QCloseEvent* event) {
    event->accept();
    emit closedByUser();
}

QRectF CanvasWindow::selection() const {
    const CanvasSelection& s = selection_;
    return QRectF(QPointF(s.SelX1, s.SelY1), QPointF(s.SelX2, s.SelY2)).normalized();
}

QPoint CanvasWindow::pictureOffset() const {
    return picture_->pos();
}

const QImage& CanvasWindow::shownPage() const {
    return picture_->image();
}

QPoint CanvasWindow::toWindow(QPointF mm) const {
    return picture_->pos() + PageView::mmToPixel(mm);
}

bool CanvasWindow::overScrollBar(QPoint window) const {
    return strictlyInside(vScroll_, window) || strictlyInside(hScroll_, window);
}

void CanvasWindow::dragScroll(QPoint window) {
    if (strictlyInside(vScroll_, window)) {
        const QRect r = vScroll_->geometry();
        stepTowards(vScroll_, window.y(), r.top(), r.height());
    }
    if (strictlyInside(hScroll_, window)) {
        const QRect r = hScroll_->geometry();
        stepTowards(hScroll_, window.x(), r.left(), r.width());
    }
}

void CanvasWindow::pressPicture(QPointF mm) {
    CanvasSelection& s = selection_;
    s.DragActive = 1;
    eraseSelection();
    s.SelX1 = static_cast<float>(mm.x());
    s.SelY1 = static_cast<float>(mm.y());
}

void CanvasWindow::movePicture(QPointF mm, Qt::MouseButtons buttons) {
    CanvasSelection& s = selection_;
    if (buttons != Qt::LeftButton || s.DragActive != 1) {
        return;
    }
    if (s.MouseX != 0 || s.MouseY != 0) {
        picture_->invertBox({s.SelX1, s.SelY1}, {s.MouseX, s.MouseY});
    }
    picture_->invertBox({s.SelX1, s.SelY1}, mm);
    s.MouseX = static_cast<float>(mm.x());
    s.MouseY = static_cast<float>(mm.y());
    dragScroll(toWindow(mm));
}

void CanvasWindow::releasePicture(QPointF mm) {
    CanvasSelection& s = selection_;
    if (s.DragActive != 1) {
        return;
    }
    if (overScrollBar(toWindow(mm))) {
        s.SelX2 = s.MouseX;
        s.SelY2 = s.MouseY;
    } else {
        // A release away from the last drawn corner (no move event before it, or another
        // button) still leaves the box on the picture that the next press erases.
        const bool shown = s.MouseX != 0 || s.MouseY != 0;
        const QPointF corner = shown ? QPointF(s.MouseX, s.MouseY) : QPointF(s.SelX1, s.SelY1);
        if (PageView::mmToPixel(mm) != PageView::mmToPixel(corner)) {
            if (shown) {
                picture_->invertBox({s.SelX1, s.SelY1}, corner);
            }
            picture_->invertBox({s.SelX1, s.SelY1}, mm);
            s.MouseX = static_cast<float>(mm.x());
            s.MouseY = static_cast<float>(mm.y());
        }
        s.SelX2 = static_cast<float>(mm.x());
        s.SelY2 = static_cast<float>(mm.y());
    }
    s.DragActive = 0;
}

void CanvasWindow::eraseSelection() {
    CanvasSelection& s = selection_;
    if (s.SelX2 != 0 || s.SelY2 != 0) {
        picture_->invertBox({s.SelX1, s.SelY1}, {s.SelX2, s.SelY2});
        s.SelX2 = s.SelY2 = s.MouseX = s.MouseY = 0;
    }
}

void CanvasWindow::changeView(int index) {
    ViewSteps& steps = session_.steps;
    for (const int group : chosenGroups(groups_->currentIndex())) {
        const auto slot = static_cast<std::size_t>(group);
        switch (index) {
            case 0:
                steps.zoom[slot] -= 1;
                break;
            case 1:
                steps.zoom[slot] += 1;
                break;
            case 2:
                steps.zoom[slot] = 0;
                steps.turn[slot] = 0;
                break;
            case 3:
                steps.turn[slot] += 1;
                break;
            case 4:
                steps.turn[slot] -= 1;
                break;
            default:
                break;
        }
    }
    const BusyCursor busy;
    statusLine_->clear();
    // The new page no longer holds the old box.
    selection_ = {};
    applyViewGeometry();
    session_.composeScreenPage(*messages_);
    picture_->setImage(session_.page);
    show();
    backButton_->setFocus();
}

// Screen readers and UI automation read the caption the button shows now.
void CanvasWindow::setPrintCaption(const QString& caption) {
    printButton_->setText(caption);
    printButton_->setAccessibleName(caption);
}

void CanvasWindow::print() {
    eraseSelection();
    setPrintCaption("計算中");
    // Shown before the long draw starts.
    printButton_->repaint();
    const PrintedPage printed = [&] {
        const BusyCursor busy;
        return printCanvasPage(session_.pageRequest(), session_.appFolder);
    }();
    setPrintCaption(printed.printed ? "再印刷" : "印刷");
    if (printed.message) {
        messages_->show(*printed.message);
    }
}

void CanvasWindow::copyMetafile() {
    metafileButton_->setText("計算中");
    // Shown before the long draw starts.
    metafileButton_->repaint();
    const BusyCursor busy;
    // The selection stays on the canvas for the next copy.
    const PageOutcome outcome = copyPictureToClipboard(canvasPageRequest(session_, selection_));
    metafileButton_->setText("MetaFile");
    if (const auto message = skippedSlotsMessage(outcome, "コピー")) {
        messages_->show(*message);
    }
}

void CanvasWindow::copyBitmap() {
    eraseSelection();
    bitmapButton_->setText("BitMap");
    copyPageImageToClipboard(picture_->image());
}

void CanvasWindow::saveFile() {
    QString filter;
    const QString chosen =
        chooseSavePath_ ? chooseSavePath_(filter) : askSavePath(this, session_.appFolder, filter);
    if (chosen.isEmpty()) {
        return;
    }
    const std::filesystem::path path = pageFilePath(chosen, filter);
    PageOutcome outcome;
    WriteResult result;
    {
        const BusyCursor busy;
        result = savePageFile(canvasPageRequest(session_, selection_), path, outcome);
    }
    if (!result.ok()) {
        messages_->show({"ファイル", result.message, MessageIcon::Exclamation});
        return;
    }
    statusLine_->setText(QString::fromStdString(path.string()) + " に保存しました。");
    if (const auto message = skippedSlotsMessage(outcome, "保存")) {
        messages_->show(*message);
    }
}

void CanvasWindow::writeBack() {
    ViewSteps& steps = session_.steps;
    std::vector<SlotView> views;
    for (int group = 1; group <= kSlotCount; ++group) {
        const auto slot = static_cast<std::size_t>(group);
        const std::string& file = session_.setup.file(FileKind::Format, group);
        if (file.empty()) {
            steps.turn[slot] = 0;
            steps.zoom[slot] = 0;
        } else {
            views.push_back({group,
                             file,
                             {steps.turn[slot],
                              steps.zoom[slot],
                              {steps.screenZMin[slot], steps.screenZMax[slot]}}});
        }
    }
    int written = 0;
    for (const FileWriteBack& target : groupByFile(views)) {
        const WriteBackResult result = writeBackView(target.file, target.change);
        if (result.failure) {
            // The steps stay, so the user can mend the file and save again.
            messages_->show({"書式データファイル", *result.failure, MessageIcon::Exclamation});
            continue;
        }
        ++written;
        // The next draw shows what the file now holds.
        for (const int group : target.graphs) {
            steps.turn[static_cast<std::size_t>(group)] = 0;
            steps.zoom[static_cast<std::size_t>(group)] = 0;
        }
        std::string text = result.note.value_or("");
        if (!target.dropped.empty()) {
            text += sharedFileText(target);
        }
        if (!text.empty()) {
            messages_->show({"書式データファイル", text, MessageIcon::Exclamation});
        }
    }
    statusLine_->setText(QString("%1 個のファイルに書き込みました。").arg(written));
}

void CanvasWindow::back() {
    ViewSteps& steps = session_.steps;
    for (const int group : chosenGroups(groups_->currentIndex())) {
        steps.zoom[static_cast<std::size_t>(group)] = 0;
        steps.turn[static_cast<std::size_t>(group)] = 0;
    }
    eraseSelection();
    session_.canvas.viewLeft = static_cast<float>(x() * kScreenTwipsPerPixel);
    session_.canvas.viewTop = static_cast<float>(y() * kScreenTwipsPerPixel);
    hide();
    emit backPressed();
}

}  // namespace kavlo
