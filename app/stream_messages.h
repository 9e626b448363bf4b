#pragma once

#include <ostream>

#include "core/messages.h"

namespace kavlo {

// Messages for the command line: one `title: text` line each.
class StreamMessages final : public MessageSink {
  public:
    explicit StreamMessages(std::ostream& out) : out_(out) {}
    MessageAnswer show(const Message& message) override {
        out_ << message.title << ": " << message.text << "\n";
        return defaultAnswer(message.buttons);
    }

  private:
    std::ostream& out_;
};

}  // namespace kavlo
