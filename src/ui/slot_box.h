#pragma once

#include <QLineEdit>

namespace kavlo {

// One slot's file-name box: a click arms it for the next file picked from the lists, and so does
// reaching it by keyboard; a double click steps to the next file, and a file dropped from a file
// manager fills it.
class SlotBox : public QLineEdit {
    Q_OBJECT
  public:
    SlotBox(int slot, QWidget* parent = nullptr);
    int slot() const { return slot_; }

  signals:
    void armed(int slot);
    void stepRequested(int slot);

  protected:
    void focusInEvent(QFocusEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

  private:
    int slot_;
};

}  // namespace kavlo
