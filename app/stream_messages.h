#pragma once

#include <ostream>
#include <string>
#include <string_view>

#include "core/messages.h"

namespace kavlo {

// Text from files and arguments made safe for a terminal: control characters (C0 but tab and
// line feed, DEL, C1) are shown as \x1b or \u009b and bytes that are not UTF-8 as \xff, so that
// a file name cannot clear the screen or retitle the window. Other text is kept as it is.
std::string terminalText(std::string_view text);

// Messages for the command line: one `title: text` line each, after `prefix` (the page of a
// batch that they are about).
class StreamMessages final : public MessageSink {
  public:
    explicit StreamMessages(std::ostream& out, std::string prefix = {})
        : out_(out), prefix_(std::move(prefix)) {}
    MessageAnswer show(const Message& message) override {
        out_ << prefix_ << terminalText(message.title) << ": " << terminalText(message.text)
             << "\n";
        return defaultAnswer(message.buttons);
    }

  private:
    std::ostream& out_;
    std::string prefix_;
};

}  // namespace kavlo
