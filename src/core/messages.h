#pragma once

#include <string>
#include <vector>

namespace kavlo {

enum class MessageIcon { None, Exclamation, Information, Question, Critical };
enum class MessageButtons { Ok, OkCancel, YesNo, YesNoCancel };
enum class MessageAnswer { Ok, Cancel, Yes, No };

struct Message {
    std::string title;
    std::string text;
    MessageIcon icon = MessageIcon::Exclamation;
    MessageButtons buttons = MessageButtons::Ok;
    friend bool operator==(const Message&, const Message&) = default;
};

// Where user-facing messages go: message boxes in the GUI, stderr or JSON on the command line,
// nowhere for the printer and metafile passes, a list in tests.
class MessageSink {
  public:
    virtual ~MessageSink() = default;
    virtual MessageAnswer show(const Message& message) = 0;
};

// The answer a message gets when nobody is asked: the first button's.
MessageAnswer defaultAnswer(MessageButtons buttons);

class SilentMessages final : public MessageSink {
  public:
    MessageAnswer show(const Message& message) override { return defaultAnswer(message.buttons); }
};

class RecordedMessages final : public MessageSink {
  public:
    MessageAnswer show(const Message& message) override {
        messages.push_back(message);
        return defaultAnswer(message.buttons);
    }
    std::vector<Message> messages;
};

}  // namespace kavlo
