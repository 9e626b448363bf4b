#pragma once

#include <QEvent>
#include <QObject>
#include <QPushButton>
#include <QStringList>

namespace kavlo::test {

// The captions a button showed on screen, one a paint.
class PaintedCaptions : public QObject {
  public:
    explicit PaintedCaptions(QPushButton* button) : button_(button) {
        button->installEventFilter(this);
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint) {
            captions.push_back(button_->text());
        }
        return QObject::eventFilter(watched, event);
    }
    QStringList captions;

  private:
    QPushButton* button_;
};

}  // namespace kavlo::test
