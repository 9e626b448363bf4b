#pragma once

#include <QPoint>
#include <QRectF>
#include <QWidget>
#include <array>
#include <functional>
#include <optional>

#include "message_boxes.h"

class QComboBox;
class QLabel;
class QPushButton;
class QScrollBar;

namespace kavlo {

class PageView;
struct Session;

// The rubber-band selection on the canvas, page mm. SelX2 = SelY2 = 0: nothing selected;
// MouseX = MouseY = 0: no rubber band shown.
struct CanvasSelection {
    float SelX1 = 0, SelY1 = 0;
    float SelX2 = 0, SelY2 = 0;
    float MouseX = 0, MouseY = 0;
    int DragActive = 0;
};

// The window that shows the composed page, scrolls it, lets the user select a part of it and
// turns or stretches chosen graph groups.
class CanvasWindow final : public QWidget {
    Q_OBJECT

  public:
    explicit CanvasWindow(Session& session, QWidget* parent = nullptr);

    // Shows session.page at the stored window size and place, view buttons for all groups.
    void showPage();
    // Removes the selection box from the picture and forgets it.
    void eraseSelection();

    const CanvasSelection& selectionFields() const { return selection_; }
    // Normalised, page mm.
    QRectF selection() const;
    // Where the page's top-left corner is in the client area, pixels.
    QPoint pictureOffset() const;
    // The page as shown, selection box included.
    const QImage& shownPage() const;

    // Messages go here instead of to message boxes (tests).
    void setMessageSink(MessageSink& sink) { messages_ = &sink; }
    // Asks where "ファイル" saves the page: the path and the chosen file type's filter; an
    // empty path cancels. A save dialog unless replaced (tests).
    using SavePathChooser = std::function<QString(QString& filter)>;
    void setSavePathChooser(SavePathChooser chooser) { chooseSavePath_ = std::move(chooser); }

  signals:
    void backPressed();
    void closedByUser();

  protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    void buildControls();
    // Left to right.
    std::array<QWidget*, 12> rowControls() const;
    void layOutControls();
    int statusHeight() const;
    // The window above the status line.
    int pageAreaHeight() const;
    void showStatus(const QString& text);
    void applyViewGeometry();
    // Composes the page again when the window's screen wants another resolution than it has.
    bool matchScreenResolution();
    void showOnNewScreen();
    void placePageVertically();
    void placePageHorizontally();
    bool scrollByKey(int key);
    void scrollByWheel(QPoint angleDelta, Qt::KeyboardModifiers modifiers);
    QPoint toWindow(QPointF mm) const;
    bool overScrollBar(QPoint window) const;
    void dragScroll(QPoint window);

    void pressOnPage(QPointF mm, Qt::MouseButton button, Qt::KeyboardModifiers modifiers);
    void moveOnPage(QPointF mm, Qt::MouseButtons buttons);
    void releaseOnPage(QPointF mm);
    void wheelOnPage(QPoint angleDelta, Qt::KeyboardModifiers modifiers, QPointF mm);
    void turnByDrag(QPointF mm);
    void stretchByWheel(int angleDelta, QPointF mm);
    // Turns and stretches one slot by steps and draws the page again from that slot.
    void changeSlotView(int slot, int turnSteps, int zoomSteps);

    void changeView(int index);
    void print();
    void setPrintCaption(const QString& caption);
    void copyMetafile();
    void copyBitmap();
    void saveFile();
    void writeBack();
    void back();

    Session& session_;
    MessageBoxes boxes_{this};
    MessageSink* messages_ = &boxes_;
    SavePathChooser chooseSavePath_;
    CanvasSelection selection_;
    QPoint wheelRemainder_;
    // A Ctrl + left drag turning the slot it started on: where it started (page pixels) and the
    // steps it has turned so far.
    struct TurnDrag {
        int slot = 0;
        int startX = 0;
        int turned = 0;
    };
    std::optional<TurnDrag> turnDrag_;
    // Ctrl + wheel: the slot it last stretched and the part of a notch not yet used.
    int stretchSlot_ = 0;
    int stretchRemainder_ = 0;

    PageView* pageView_ = nullptr;
    QPushButton* printButton_ = nullptr;
    QPushButton* metafileButton_ = nullptr;
    QPushButton* bitmapButton_ = nullptr;
    QPushButton* saveButton_ = nullptr;
    QPushButton* backButton_ = nullptr;
    QLabel* groupLabel_ = nullptr;
    QComboBox* groupChoice_ = nullptr;
    std::array<QPushButton*, 5> viewButtons_{};
    QPushButton* writeBackButton_ = nullptr;
    QScrollBar* verticalScrollBar_ = nullptr;
    QScrollBar* horizontalScrollBar_ = nullptr;
    QLabel* statusLine_ = nullptr;
};

}  // namespace kavlo
