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
#include <QWindow>
#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "busy_cursor.h"
#include "canvas_export.h"
#include "canvas_print.h"
#include "combo_label.h"
#include "core/format_write_back.h"
#include "devices/output_device.h"
#include "group_choice.h"
#include "page_view.h"
#include "render/page_composition.h"
#include "render/skipped_slots.h"
#include "screen_fit.h"
#include "session.h"

namespace kavlo {
namespace {

constexpr int kScrollMax = 100;
constexpr int kMargin = 4;
constexpr int kGap = 2;
constexpr int kRowHeight = 25;
constexpr int kBarThickness = 17;
constexpr int kHorizontalBarWidth = 241;
// Ctrl + drag: page pixels of sideways movement to one 5-degree turn.
constexpr int kDragPixelsPerTurn = 8;
// Angle units of a wheel notch.
constexpr int kNotch = 120;

int twipsToPixels(float twips) {
    return static_cast<int>(std::nearbyint(twips / kScreenTwipsPerPixel));
}

// The twips of the page an area shows: the view's own, unless the screen made the window smaller.
float shownTwips(int areaPixels, float viewTwips) {
    return areaPixels >= twipsToPixels(viewTwips)
               ? viewTwips
               : static_cast<float>(areaPixels) * kScreenTwipsPerPixel;
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
    pageView_ = new PageView(this);
    connect(pageView_, &PageView::pressed, this, &CanvasWindow::pressOnPage);
    connect(pageView_, &PageView::moved, this, &CanvasWindow::moveOnPage);
    connect(pageView_, &PageView::released, this, &CanvasWindow::releaseOnPage);
    connect(pageView_, &PageView::wheelTurned, this, &CanvasWindow::wheelOnPage);

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
    saveButton_ =
        makeCaptionButton("saveFileButton", "ファイル", "ページを PNG、PDF、SVG、EMF で保存");
    connect(saveButton_, &QPushButton::clicked, this, &CanvasWindow::saveFile);

    backButton_ = makeButton("backButton", "メイン画面に戻る");
    backButton_->setText("戻る");
    backButton_->setFixedSize(57, kRowHeight);
    connect(backButton_, &QPushButton::clicked, this, &CanvasWindow::back);

    groupChoice_ = new QComboBox(this);
    groupChoice_->setObjectName("groupChoice");
    groupChoice_->setToolTip("向きと高さを変えるグラフ");
    for (const char* text : kGroupChoiceTexts) {
        groupChoice_->addItem(text);
    }
    groupChoice_->setFixedSize(60, kRowHeight);
    QPalette yellow = groupChoice_->palette();
    yellow.setColor(QPalette::Button, QColor(255, 255, 192));
    yellow.setColor(QPalette::Base, QColor(255, 255, 192));
    groupChoice_->setPalette(yellow);
    groupLabel_ = comboLabel("グラフ", groupChoice_->toolTip(), groupChoice_);
    groupLabel_->setFixedSize(groupLabel_->sizeHint().width(), kRowHeight);

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

    verticalScrollBar_ = makeBar(Qt::Vertical, "verticalScrollBar", 2, 20, this);
    horizontalScrollBar_ = makeBar(Qt::Horizontal, "horizontalScrollBar", 5, 30, this);
    connect(verticalScrollBar_, &QScrollBar::valueChanged, this,
            &CanvasWindow::placePageVertically);
    connect(horizontalScrollBar_, &QScrollBar::valueChanged, this,
            &CanvasWindow::placePageHorizontally);

    // A line of its own under the page, as wide as the window, so every message shows whole.
    statusLine_ = new QLabel(this);
    statusLine_->setObjectName("statusLine");
    statusLine_->setFrameShape(QFrame::StyledPanel);
    statusLine_->setMargin(kGap);
    statusLine_->setAutoFillBackground(true);

    verticalScrollBar_->setAccessibleName("ページの縦の位置");
    horizontalScrollBar_->setAccessibleName("ページの横の位置");

    const auto row = rowControls();
    for (std::size_t i = 1; i < row.size(); ++i) {
        setTabOrder(row[i - 1], row[i]);
    }
    // Screen readers and UI automation find a control by its caption, else by its tip.
    for (QWidget* control : row) {
        const auto* button = qobject_cast<QPushButton*>(control);
        if (button) {
            control->setAccessibleName(button->text().isEmpty() ? control->toolTip()
                                                                : button->text());
        }
    }
    layOutControls();
}

std::array<QWidget*, 12> CanvasWindow::rowControls() const {
    return {printButton_,    metafileButton_, bitmapButton_,   saveButton_,
            backButton_,     groupChoice_,    viewButtons_[0], viewButtons_[1],
            viewButtons_[3], viewButtons_[4], viewButtons_[2], writeBackButton_};
}

void CanvasWindow::layOutControls() {
    int x = kMargin;
    for (QWidget* control : rowControls()) {
        if (control == groupChoice_) {
            groupLabel_->move(x, kMargin);
            x += groupLabel_->width() + kGap;
        }
        control->move(x, kMargin);
        x += control->width() + kGap;
    }
    // The bar gives up length rather than leave the window on the narrower sizes.
    const int barLeft = x + kMargin;
    horizontalScrollBar_->setGeometry(
        barLeft, kMargin + (kRowHeight - kBarThickness) / 2,
        std::clamp(width() - barLeft - kMargin, 0, kHorizontalBarWidth), kBarThickness);
    const int areaHeight = pageAreaHeight();
    statusLine_->setGeometry(0, areaHeight, width(), height() - areaHeight);
    const int barTop = kMargin + kRowHeight + kMargin;
    verticalScrollBar_->setGeometry(0, barTop, kBarThickness,
                                    std::max(areaHeight - barTop - kMargin, 0));
}

int CanvasWindow::statusHeight() const {
    return statusLine_->fontMetrics().height() +
           2 * (statusLine_->frameWidth() + statusLine_->margin());
}

int CanvasWindow::pageAreaHeight() const {
    return std::max(height() - statusHeight(), 0);
}

// A long path gives up its middle on the screen; the tip and screen readers have the whole text.
void CanvasWindow::showStatus(const QString& text) {
    const int room = statusLine_->contentsRect().width() - 2 * statusLine_->margin();
    statusLine_->setText(statusLine_->fontMetrics().elidedText(text, Qt::ElideMiddle, room));
    statusLine_->setToolTip(text);
    statusLine_->setAccessibleName(text);
}

void CanvasWindow::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    layOutControls();
    showStatus(statusLine_->toolTip());
}

void CanvasWindow::showPage() {
    groupChoice_->setCurrentIndex(0);
    setPrintCaption("印刷");
    showStatus({});
    selection_ = {};
    applyViewGeometry();
    matchScreenResolution();
    pageView_->setImage(session_.page);
    show();
    // The window manager may have put it on another screen than the one it was drawn for.
    connect(windowHandle(), &QWindow::screenChanged, this, &CanvasWindow::showOnNewScreen,
            Qt::UniqueConnection);
    showOnNewScreen();
    activateWindow();
    backButton_->setFocus();
}

bool CanvasWindow::matchScreenResolution() {
    const double ratio = devicePixelRatioF();
    if (ratio == session_.redraw.devicePixelRatio()) {
        return false;
    }
    const BusyCursor busy;
    session_.redraw.setDevicePixelRatio(ratio);
    // The new page no longer holds the old box.
    selection_ = {};
    session_.composeScreenPage(*messages_);
    return true;
}

void CanvasWindow::showOnNewScreen() {
    if (matchScreenResolution()) {
        pageView_->setImage(session_.page);
    }
}

// Like the page set-up: the stored size and place, the page from its top-left corner, the status
// line under the page; a screen too small takes from the size and the page scrolls further. The
// bars go back to 0 with it, so they keep telling where the page is.
void CanvasWindow::applyViewGeometry() {
    const CanvasGeometry& c = session_.canvas;
    const int viewWidth = twipsToPixels(c.viewWidth);
    placeOnScreen(this, {twipsToPixels(c.viewLeft), twipsToPixels(c.viewTop)},
                  {viewWidth, twipsToPixels(c.viewHeight) + statusHeight()});
    horizontalScrollBar_->setVisible(session_.horizontalBar || width() < viewWidth);
    layOutControls();
    verticalScrollBar_->setValue(0);
    horizontalScrollBar_->setValue(0);
    placePageVertically();
    placePageHorizontally();
}

void CanvasWindow::placePageVertically() {
    const CanvasGeometry& c = session_.canvas;
    const float top = -(c.pageHeight - shownTwips(pageAreaHeight(), c.viewHeight)) *
                      static_cast<float>(verticalScrollBar_->value()) /
                      static_cast<float>(verticalScrollBar_->maximum());
    pageView_->move(pageView_->x(), twipsToPixels(top));
}

void CanvasWindow::placePageHorizontally() {
    const CanvasGeometry& c = session_.canvas;
    const float left = -(c.pageWidth - shownTwips(width(), c.viewWidth)) *
                       static_cast<float>(horizontalScrollBar_->value()) /
                       static_cast<float>(horizontalScrollBar_->maximum());
    pageView_->move(twipsToPixels(left), pageView_->y());
}

bool CanvasWindow::scrollByKey(int key) {
    switch (key) {
        case Qt::Key_Up:
            verticalScrollBar_->triggerAction(QAbstractSlider::SliderSingleStepSub);
            return true;
        case Qt::Key_Down:
            verticalScrollBar_->triggerAction(QAbstractSlider::SliderSingleStepAdd);
            return true;
        case Qt::Key_PageUp:
            verticalScrollBar_->triggerAction(QAbstractSlider::SliderPageStepSub);
            return true;
        case Qt::Key_PageDown:
            verticalScrollBar_->triggerAction(QAbstractSlider::SliderPageStepAdd);
            return true;
        case Qt::Key_Home:
            verticalScrollBar_->triggerAction(QAbstractSlider::SliderToMinimum);
            return true;
        case Qt::Key_End:
            verticalScrollBar_->triggerAction(QAbstractSlider::SliderToMaximum);
            return true;
        case Qt::Key_Left:
            horizontalScrollBar_->triggerAction(QAbstractSlider::SliderSingleStepSub);
            return true;
        case Qt::Key_Right:
            horizontalScrollBar_->triggerAction(QAbstractSlider::SliderSingleStepAdd);
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
    // Off the page Ctrl has no graph to stretch.
    if (!(event->modifiers() & Qt::ControlModifier)) {
        scrollByWheel(event->angleDelta(), event->modifiers());
    }
    event->accept();
}

void CanvasWindow::scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers) {
    // Whole notches only; the rest waits for the next event (fine-grained wheels).
    // With Shift the wheel goes sideways, whether or not the platform has already turned it.
    if (modifiers & Qt::ShiftModifier) {
        angleDelta = QPoint(angleDelta.x() + angleDelta.y(), 0);
    }
    wheelRemainder_ += angleDelta;
    const QPoint notches(wheelRemainder_.x() / kNotch, wheelRemainder_.y() / kNotch);
    wheelRemainder_ -= notches * kNotch;
    const int lines = QApplication::wheelScrollLines();
    verticalScrollBar_->setValue(verticalScrollBar_->value() -
                                 notches.y() * lines * verticalScrollBar_->singleStep());
    if (!horizontalScrollBar_->isHidden()) {
        horizontalScrollBar_->setValue(horizontalScrollBar_->value() -
                                       notches.x() * lines * horizontalScrollBar_->singleStep());
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
    return pageView_->pos();
}

const QImage& CanvasWindow::shownPage() const {
    return pageView_->image();
}

QPoint CanvasWindow::toWindow(QPointF mm) const {
    return pageView_->pos() + PageView::mmToPixel(mm);
}

bool CanvasWindow::overScrollBar(QPoint window) const {
    return strictlyInside(verticalScrollBar_, window) ||
           strictlyInside(horizontalScrollBar_, window);
}

void CanvasWindow::dragScroll(QPoint window) {
    if (strictlyInside(verticalScrollBar_, window)) {
        const QRect r = verticalScrollBar_->geometry();
        stepTowards(verticalScrollBar_, window.y(), r.top(), r.height());
    }
    if (strictlyInside(horizontalScrollBar_, window)) {
        const QRect r = horizontalScrollBar_->geometry();
        stepTowards(horizontalScrollBar_, window.x(), r.left(), r.width());
    }
}

void CanvasWindow::pressOnPage(QPointF mm, Qt::MouseButton button,
                               Qt::KeyboardModifiers modifiers) {
    turnDrag_.reset();
    if (modifiers & Qt::ControlModifier) {
        // Ctrl turns the graph under the pointer, and selects nothing.
        const int slot = slotAtPoint(session_.pageOutcome, static_cast<float>(mm.x()),
                                     static_cast<float>(mm.y()));
        if (button == Qt::LeftButton && slot != 0) {
            turnDrag_ = TurnDrag{slot, PageView::mmToPixel(mm).x(), 0};
        }
        return;
    }
    CanvasSelection& s = selection_;
    s.DragActive = 1;
    eraseSelection();
    s.SelX1 = static_cast<float>(mm.x());
    s.SelY1 = static_cast<float>(mm.y());
}

void CanvasWindow::moveOnPage(QPointF mm, Qt::MouseButtons buttons) {
    if (turnDrag_) {
        if (buttons & Qt::LeftButton) {
            turnByDrag(mm);
        }
        return;
    }
    CanvasSelection& s = selection_;
    if (buttons != Qt::LeftButton || s.DragActive != 1) {
        return;
    }
    if (s.MouseX != 0 || s.MouseY != 0) {
        pageView_->invertBox({s.SelX1, s.SelY1}, {s.MouseX, s.MouseY});
    }
    pageView_->invertBox({s.SelX1, s.SelY1}, mm);
    s.MouseX = static_cast<float>(mm.x());
    s.MouseY = static_cast<float>(mm.y());
    dragScroll(toWindow(mm));
}

void CanvasWindow::releaseOnPage(QPointF mm) {
    if (turnDrag_) {
        turnByDrag(mm);
        turnDrag_.reset();
        return;
    }
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
                pageView_->invertBox({s.SelX1, s.SelY1}, corner);
            }
            pageView_->invertBox({s.SelX1, s.SelY1}, mm);
            s.MouseX = static_cast<float>(mm.x());
            s.MouseY = static_cast<float>(mm.y());
        }
        s.SelX2 = static_cast<float>(mm.x());
        s.SelY2 = static_cast<float>(mm.y());
    }
    s.DragActive = 0;
}

void CanvasWindow::wheelOnPage(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPointF mm) {
    if (modifiers & Qt::ControlModifier) {
        stretchByWheel(angleDelta.y(), mm);
    } else {
        scrollByWheel(angleDelta, modifiers);
    }
}

// Right is the way the right-turn button turns; a step a few pixels, so the graph follows the hand.
void CanvasWindow::turnByDrag(QPointF mm) {
    TurnDrag& drag = *turnDrag_;
    const int steps = (PageView::mmToPixel(mm).x() - drag.startX) / kDragPixelsPerTurn;
    if (steps != drag.turned) {
        const int change = steps - drag.turned;
        drag.turned = steps;
        changeSlotView(drag.slot, -change, 0);
    }
}

// Up is the way the stretch button stretches; a fine-grained wheel gathers whole notches.
void CanvasWindow::stretchByWheel(int angleDelta, QPointF mm) {
    const int slot =
        slotAtPoint(session_.pageOutcome, static_cast<float>(mm.x()), static_cast<float>(mm.y()));
    if (slot != stretchSlot_) {
        stretchSlot_ = slot;
        stretchRemainder_ = 0;
    }
    if (slot == 0) {
        return;
    }
    stretchRemainder_ += angleDelta;
    const int notches = stretchRemainder_ / kNotch;
    stretchRemainder_ -= notches * kNotch;
    if (notches != 0) {
        changeSlotView(slot, 0, -notches);
    }
}

// The page stays where it is under the pointer, unlike after a button.
void CanvasWindow::changeSlotView(int slot, int turnSteps, int zoomSteps) {
    const auto index = static_cast<std::size_t>(slot);
    session_.steps.turn[index] += turnSteps;
    session_.steps.zoom[index] += zoomSteps;
    // The new page no longer holds the old box.
    selection_ = {};
    session_.redrawScreenPage(*messages_, slot);
    pageView_->setImage(session_.page);
    showStatus(turnSteps != 0 ? QString("グラフ %1 を回しました。").arg(slot)
                              : QString("グラフ %1 を Z 方向に伸縮しました。").arg(slot));
}

void CanvasWindow::eraseSelection() {
    CanvasSelection& s = selection_;
    if (s.SelX2 != 0 || s.SelY2 != 0) {
        pageView_->invertBox({s.SelX1, s.SelY1}, {s.SelX2, s.SelY2});
        s.SelX2 = s.SelY2 = s.MouseX = s.MouseY = 0;
    }
}

void CanvasWindow::changeView(int index) {
    ViewSteps& steps = session_.steps;
    const std::vector<int> groups = chosenGroups(groupChoice_->currentIndex());
    for (const int group : groups) {
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
    showStatus({});
    // The new page no longer holds the old box.
    selection_ = {};
    applyViewGeometry();
    // The groups are in order: the page before the first of them stays as it was.
    session_.redrawScreenPage(*messages_, groups.empty() ? 1 : groups.front());
    pageView_->setImage(session_.page);
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
    if (session_.redraw.dpi() == kScreenDpi || session_.page.isNull()) {
        copyPageImageToClipboard(pageView_->image());
        return;
    }
    // The clipboard has the 96-DPI page whatever the screen shows.
    const BusyCursor busy;
    SilentMessages silent;
    PageOutcome outcome;
    copyPageImageToClipboard(renderScreenImage(session_.pageRequest(), silent, outcome));
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
        result = savePageFile(canvasPageRequest(session_, selection_), path, outcome,
                              session_.redraw.dpi());
    }
    if (!result.ok()) {
        messages_->show({"ファイル", result.message, MessageIcon::Exclamation});
        return;
    }
    showStatus(QString::fromStdString(path.string()) + " に保存しました。");
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
    // The files now hold the turns: the next redraw reads them afresh.
    session_.redraw.forget();
    showStatus(QString("%1 個のファイルに書き込みました。").arg(written));
}

void CanvasWindow::back() {
    ViewSteps& steps = session_.steps;
    for (const int group : chosenGroups(groupChoice_->currentIndex())) {
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
