#pragma once

#include <QImage>
#include <QString>
#include <QTimer>
#include <QWidget>

#include "devices/text_extent_cache.h"

class QPlainTextEdit;

namespace kavlo {

// The graph a format file in `editor` describes, drawn as the canvas draws it and drawn again
// as soon as the events of a change are handled, however quickly the user types: edits that
// arrive together make one drawing. Shrunk to fit, never enlarged.
class GraphPreviewView final : public QWidget {
    Q_OBJECT
  public:
    GraphPreviewView(QPlainTextEdit* editor, QWidget* parent);

    // Follows the editor as the format file of slot `slot` (1..6), plotted with the numeric file
    // at `numericPath` (frame and labels only when it is empty); slot 0 stops following.
    void follow(int slot, const QString& numericPath);
    // What the view shows, at the page's own size; null when nothing of the graph is drawn.
    const QImage& image() const { return image_; }

  signals:
    void redrawn();

  protected:
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;

  private:
    void scheduleRedraw();
    void redraw();

    QPlainTextEdit* editor_;
    QTimer pending_;
    TextExtentCache extents_;
    int slot_ = 0;
    QString numericPath_;
    QImage image_;
};

}  // namespace kavlo
