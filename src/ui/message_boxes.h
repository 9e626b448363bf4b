#pragma once

#include "core/messages.h"

class QWidget;

namespace kavlo {

// Shows each message in a modal message box over `parent`.
class MessageBoxes final : public MessageSink {
  public:
    explicit MessageBoxes(QWidget* parent) : parent_(parent) {}
    MessageAnswer show(const Message& message) override;

  private:
    QWidget* parent_;
};

}  // namespace kavlo
