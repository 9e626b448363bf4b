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
    RecordedMessages messages;
    EXPECT_EQ(readFormatFile(1, big, messages, {}).outcome, FormatReadOutcome::Read);
    EXPECT_TRUE(messages.messages.empty());
}

// A FIFO, a device or a folder is refused at once with a message, on every pass; only a missing
// file empties its box. A hang here shows as the test's timeout.
TEST(SpecialFileTest, EveryReaderRefusesWhatIsNoRegularFile) {
    TempDir dir;
    const std::string fifo = (dir.path() / "fifo").string();
    const std::string missing = (dir.path() / "gone").string();
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::string format = dir.write("f.dat", FormatLines().text());
    for (const bool screen : {true, false}) {
        const ReadRules rules{screen};
        for (const std::string& path : {fifo, dir.path().string(), std::string("/dev/zero")}) {
            RecordedMessages messages;
            EXPECT_EQ(readFormatFile(1, path, messages, rules).outcome, FormatReadOutcome::Failed);
            const FormatRead read = readFormatFile(2, format, messages, rules);
            ASSERT_EQ(read.outcome, FormatReadOutcome::Read);
            EXPECT_EQ(readNumericFile(2, path, read.settings, messages, rules).outcome,
                      NumericReadOutcome::Aborted);
            EXPECT_EQ(readCommentFile(path).access, FileAccess::NotRegular);
            EXPECT_EQ(messages.messages,
                      (std::vector<Message>{{" 1st Format Data Error", kNotRegular},
                                            {" 2nd Graph Data Error", kNotRegular}}))
                << path;
        }
        RecordedMessages messages;
        EXPECT_EQ(readFormatFile(1, missing, messages, rules).outcome,
                  screen ? FormatReadOutcome::Missing : FormatReadOutcome::Failed);
        EXPECT_EQ(messages.messages.at(0).text, kMissing);
    }
    EXPECT_FALSE(readPathFile(fifo, PageSetup{}));
    EXPECT_EQ(probeDataFile(fifo), FileAccess::NotRegular);
    EXPECT_EQ(probeDataFile(missing), FileAccess::Missing);
    EXPECT_EQ(probeDataFile(format), FileAccess::Ok);
}

}  // namespace
}  // namespace kavlo
