#include "core/bounded_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include "core/comment_file.h"
#include "core/format_reader.h"
#include "core/numeric_reader.h"
#include "core/path_file.h"
#include "test_files.h"

namespace kavlo {
namespace {

using test::FormatLines;
using test::TempDir;
using Lines = std::vector<std::string>;

const std::string kNotRegular = "通常のファイルではないため読み込めません。ご確認ください。 ";
const std::string kMissing = "ファイルが存在しません。ご確認ください。 ";
const std::string kLineTooLong = "ファイルに長すぎる行があります。ご確認ください。 ";

// Every line the reader gives, then why it stopped.
std::pair<Lines, FileAccess> readLines(const std::string& path, DataFileKind kind) {
    BoundedLineReader reader(path, kind);
    Lines lines;
    std::string line;
    while (reader.nextLine(line)) {
        lines.push_back(line);
    }
    return {lines, reader.access()};
}

TEST(BoundedFileTest, LinesEndAtEveryLineEndWithinTheLimitsOfTheirKind) {
    TempDir dir;
    const auto ok = [](Lines lines) { return std::pair(std::move(lines), FileAccess::Ok); };
    EXPECT_EQ(readLines(dir.write("a", "a\r\nb\nc\rd"), DataFileKind::Format),
              ok({"a", "b", "c", "d"}));
    EXPECT_EQ(readLines(dir.write("b", "\r\n\n\r\r\nx\n"), DataFileKind::Format),
              ok({"", "", "", "", "x"}));
    EXPECT_EQ(readLines(dir.write("c", ""), DataFileKind::Format), ok({}));
    // A CR LF split across two reads is one line end.
    const std::string wide(65535, 'w');
    EXPECT_EQ(readLines(dir.write("d", wide + "\r\nz\r"), DataFileKind::Numeric), ok({wide, "z"}));

    // A numeric row longer than its limit stops the reading; a comment line may be longer.
    const std::string row = "1\r\n" + std::string(5 << 20, '7');
    const std::string rowFile = dir.write("row", row);
    EXPECT_EQ(readLines(rowFile, DataFileKind::Numeric),
              std::pair(Lines{"1"}, FileAccess::LineTooLong));
    EXPECT_EQ(readBoundedFile(rowFile, DataFileKind::Comment).bytes, row);

    // A format file past its cap: its leading lines read, the whole file does not.
    const std::string big = dir.write("big", FormatLines().text() + std::string(2 << 20, '\n'));
    EXPECT_EQ(readLines(big, DataFileKind::Format).second, FileAccess::TooLarge);
    EXPECT_EQ(readBoundedFile(big, DataFileKind::Format).access, FileAccess::TooLarge);
    GraphState g;
    RecordedMessages messages;
    EXPECT_EQ(readFormatFile(g, 1, big, 25, 10, messages, {}), FormatReadOutcome::Read);
    EXPECT_TRUE(messages.messages.empty());
}

struct SpecialFiles {
    TempDir dir;
    std::string fifo = (dir.path() / "fifo").string();
    std::string folder = dir.path().string();
    std::string missing = (dir.path() / "gone").string();
    SpecialFiles() { EXPECT_EQ(::mkfifo(fifo.c_str(), 0600), 0); }
};

// A FIFO, a device or a folder is refused at once, with a message that says so, on the screen
// and on the silent passes alike; a box is emptied only for a file that is not there. A hang
// here shows as the test's timeout.
TEST(SpecialFileTest, EveryReaderRefusesWhatIsNoRegularFile) {
    SpecialFiles files;
    const std::string format = files.dir.write("f.dat", FormatLines().text());
    for (const bool screen : {true, false}) {
        const ReadRules rules{screen};
        for (const std::string& path : {files.fifo, files.folder, std::string("/dev/zero")}) {
            GraphState g;
            RecordedMessages messages;
            EXPECT_EQ(readFormatFile(g, 1, path, 25, 10, messages, rules),
                      FormatReadOutcome::Failed);
            ASSERT_EQ(readFormatFile(g, 2, format, 25, 10, messages, rules),
                      FormatReadOutcome::Read);
            EXPECT_EQ(readNumericFile(g, 2, path, messages, rules), NumericReadOutcome::Aborted);
            EXPECT_EQ(readCommentFile(path).access, FileAccess::NotRegular);
            ASSERT_EQ(messages.messages.size(), 2u) << path;
            EXPECT_EQ(messages.messages[0].title, " 1st Format Data Error");
            EXPECT_EQ(messages.messages[1].title, " 2nd Graph Data Error");
            EXPECT_EQ(messages.messages[0].text, kNotRegular);
            EXPECT_EQ(messages.messages[1].text, kNotRegular);
        }
        GraphState g;
        RecordedMessages messages;
        EXPECT_EQ(readFormatFile(g, 1, files.missing, 25, 10, messages, rules),
                  screen ? FormatReadOutcome::Missing : FormatReadOutcome::Failed);
        EXPECT_EQ(messages.messages.at(0).text, kMissing);
    }
    EXPECT_FALSE(readPathFile(files.fifo, PageSetup{}));
    EXPECT_EQ(probeDataFile(files.fifo), FileAccess::NotRegular);
    EXPECT_EQ(probeDataFile(files.missing), FileAccess::Missing);
    EXPECT_EQ(probeDataFile(format), FileAccess::Ok);
}

TEST(SpecialFileTest, AnOverLongRowAbortsTheGraphSayingWhy) {
    TempDir dir;
    GraphState g;
    g.ZND = 2;
    RecordedMessages messages;
    const std::string row = "2, 2\n" + std::string(5 << 20, ' ') + "1, 2, 3, 4\n";
    EXPECT_EQ(readNumericFile(g, 1, dir.write("g.dat", row), messages, {}),
              NumericReadOutcome::Aborted);
    ASSERT_EQ(messages.messages.size(), 1u);
    EXPECT_EQ(messages.messages[0].text, kLineTooLong);
}

}  // namespace
}  // namespace kavlo
