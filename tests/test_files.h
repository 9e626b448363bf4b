#pragma once

#include <algorithm>
#include <deque>
#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

#include "core/messages.h"
#include "core/page_setup.h"

namespace kavlo::test {

// A fresh folder for one test, removed with it.
class TempDir {
  public:
    TempDir();
    ~TempDir();
    TempDir(const TempDir&) = delete;
    TempDir& operator=(const TempDir&) = delete;

    const std::filesystem::path& path() const { return path_; }
    // Writes `bytes` as they stand to a file in the folder and returns its full path.
    std::string write(const std::string& name, std::string_view bytes) const;

  private:
    std::filesystem::path path_;
};

// The CP932 bytes Windows writes for a UTF-8 text.
std::string toCp932(std::string_view utf8);

// The whole file as it stands; empty when it cannot be read.
std::string bytesOf(const std::filesystem::path& file);

// The names in `folder`, sorted.
std::vector<std::string> folderListing(const std::filesystem::path& folder);

// A working folder copied from Windows, `dir`/W: on disk FRMQAP1.DAT (a format file) and G01.DAT
// (a grid); its path file, CP932, names C:\KAVLO\frmqap1.dat, C:\KAVLO\g01.dat and
// C:\KAVLO\cmtqap1.txt, which was not copied. Names the samples hold too, in another case.
std::filesystem::path copiedWindowsFolder(const TempDir& dir);

// Records every message; gives the scripted `answers` first, then each question of Yes and No
// `answer` and any other its first button.
struct AnsweringMessages final : MessageSink {
    explicit AnsweringMessages(MessageAnswer a = MessageAnswer::Yes) : answer(a) {}
    MessageAnswer show(const Message& message) override {
        messages.push_back(message);
        if (!answers.empty()) {
            const MessageAnswer next = answers.front();
            answers.pop_front();
            return next;
        }
        return message.buttons == MessageButtons::YesNo ? answer : defaultAnswer(message.buttons);
    }
    std::size_t count(const std::string& text) const {
        return std::ranges::count(messages, text, &Message::text);
    }
    std::vector<Message> messages;
    std::deque<MessageAnswer> answers;
    MessageAnswer answer;
};

// A format file of 20 lines with the given value lines; the other lines are comments.
struct FormatLines {
    std::string frame = "100, 80, 60, 10, 5, 3, 0";  // line 4
    std::string tilt = "30, 30, 1, 2, 1";            // line 6
    std::string xLabels = "3, 1, 0, 10";             // line 9
    std::string yLabels = "3, 1, 0, 8";              // line 11
    std::string zLabels = "3, 2, 0, 0";              // line 13
    std::string xTitle = "4, X axis";                // line 16
    std::string yTitle = "4, Y axis";                // line 18
    std::string zTitle = "4, Z axis";                // line 20
    std::string text(std::string_view lineEnd = "\r\n") const;
};

// A shaded bump on a grid of n x n nodes, alone in slot 1 of a page.
PageSetup shadedSurfacePage(const TempDir& dir, int n);
// The same bump as a mesh of white cells edged in black, nearer ones hiding farther ones.
PageSetup hiddenMeshPage(const TempDir& dir, int n);

}  // namespace kavlo::test
