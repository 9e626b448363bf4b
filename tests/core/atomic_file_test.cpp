#include "core/atomic_file.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "test_files.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;

using test::bytesOf;

std::ptrdiff_t entries(const fs::path& folder) {
    return std::distance(fs::directory_iterator(folder), {});
}

mode_t modeOf(const fs::path& file) {
    struct stat status {};
    return ::stat(file.c_str(), &status) == 0 ? status.st_mode & 07777 : 0;
}

// Sets the process umask for one test.
struct ScopedUmask {
    explicit ScopedUmask(mode_t mask) : old(::umask(mask)) {}
    ~ScopedUmask() { ::umask(old); }
    mode_t old;
};

TEST(AtomicFileTest, TemporaryHasTheFinalModeFromTheStart) {
    const ScopedUmask umask(022);
    test::TempDir dir;
    const struct {
        mode_t existing;  // 0: no file yet
        mode_t expected;
    } cases[] = {{0600, 0600}, {0640, 0640}, {0666, 0666}, {0, 0644}};
    for (const auto& c : cases) {
        const fs::path file = dir.path() / ("f" + std::to_string(c.existing));
        if (c.existing != 0) {
            dir.write(file.filename(), "old");
            ::chmod(file.c_str(), c.existing);
        }
        AtomicFile out(file);
        ASSERT_TRUE(out.open().ok());
        struct stat status {};
        ASSERT_EQ(::fstat(out.descriptor(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, c.expected) << std::oct << c.existing;
        ASSERT_TRUE(out.write("new"));
        ASSERT_TRUE(out.commit().ok());
        EXPECT_EQ(modeOf(file), c.expected) << std::oct << c.existing;
        EXPECT_EQ(bytesOf(file), "new");
    }
    EXPECT_EQ(entries(dir.path()), 4) << "no temporary left";
}

TEST(AtomicFileTest, OwnerAndGroupAreKeptWhereAllowed) {
    if (::geteuid() != 0) {
        GTEST_SKIP() << "only a privileged process may give a file to another user";
    }
    test::TempDir dir;
    const fs::path file = dir.write("owned.dat", "old");
    ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
    ASSERT_TRUE(replaceFileAtomically(file, "new").ok());
    struct stat status {};
    ASSERT_EQ(::stat(file.c_str(), &status), 0);
    EXPECT_EQ(status.st_uid, 65534u);
    EXPECT_EQ(status.st_gid, 65534u);
}

TEST(AtomicFileTest, LinksAreKept) {
    test::TempDir dir;
    fs::create_directory(dir.path() / "sub");
    // A second hard link sees the new content and stays the same file.
    const fs::path first = dir.write("first.dat", "old content, longer than the new");
    const fs::path second = dir.path() / "sub" / "second.dat";
    fs::create_hard_link(first, second);
    ASSERT_TRUE(replaceFileAtomically(first, "new").ok());
    EXPECT_EQ(bytesOf(first), "new");
    EXPECT_EQ(bytesOf(second), "new");
    EXPECT_EQ(fs::hard_link_count(first), 2u);
    EXPECT_TRUE(fs::equivalent(first, second));
    // A symbolic link (relative, into another folder) stays a link to the rewritten file.
    const fs::path target = dir.write("sub/target.dat", "old");
    const fs::path link = dir.path() / "link.dat";
    fs::create_symlink("sub/target.dat", link);
    ASSERT_TRUE(replaceFileAtomically(link, "new").ok());
    EXPECT_TRUE(fs::is_symlink(link));
    EXPECT_EQ(bytesOf(target), "new");
    // A link to a file not there yet creates that file.
    const fs::path dangling = dir.path() / "dangling.dat";
    fs::create_symlink("sub/later.dat", dangling);
    ASSERT_TRUE(replaceFileAtomically(dangling, "made").ok());
    EXPECT_TRUE(fs::is_symlink(dangling));
    EXPECT_EQ(bytesOf(dir.path() / "sub" / "later.dat"), "made");
    EXPECT_EQ(entries(dir.path()), 4);
    EXPECT_EQ(entries(dir.path() / "sub"), 3) << "no temporary left";
}

TEST(AtomicFileTest, RefusalsAndFailuresLeaveTheOldFile) {
    test::TempDir dir;
    // Read-only by its mode bits, which also holds a privileged process back.
    const fs::path readOnly = dir.write("read-only.dat", "old");
    ::chmod(readOnly.c_str(), 0444);
    const WriteResult refused = replaceFileAtomically(readOnly, "new");
    EXPECT_NE(refused.message.find(readOnly.string()), std::string::npos) << refused.message;
    EXPECT_NE(refused.message.find("読み取り専用"), std::string::npos) << refused.message;
    EXPECT_EQ(bytesOf(readOnly), "old");
    EXPECT_EQ(modeOf(readOnly), 0444u);
    // A folder in the way, a missing folder.
    fs::create_directory(dir.path() / "folder.dat");
    for (const fs::path& file : {dir.path() / "folder.dat", dir.path() / "missing" / "f.dat"}) {
        const WriteResult result = replaceFileAtomically(file, "new");
        EXPECT_NE(result.message.find(file.string()), std::string::npos) << result.message;
    }
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder.dat"));
    // A writer that is not committed removes its temporary and leaves the file.
    const fs::path kept = dir.write("kept.dat", "old");
    {
        AtomicFile out(kept);
        ASSERT_TRUE(out.open().ok());
        ASSERT_TRUE(out.write("half"));
        EXPECT_EQ(entries(dir.path()), 4);
    }
    EXPECT_EQ(bytesOf(kept), "old");
    EXPECT_EQ(entries(dir.path()), 3) << "no temporary left";
}

}  // namespace
}  // namespace kavlo
