#include "core/atomic_file.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/file.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <iterator>
#include <string>

#include "core/text_decoding.h"
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

// Runs `work` in a forked child and returns its wait status.
int statusOfChild(const std::function<int()>& work) {
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(work());
    }
    int status = -1;
    ::waitpid(child, &status, 0);
    return status;
}

// The file as a reader taking turns with the writers sees it.
std::string lockedBytesOf(const fs::path& file) {
    const int descriptor = ::open(file.c_str(), O_RDONLY | O_CLOEXEC);
    ::flock(descriptor, LOCK_SH);
    std::string bytes = bytesOf(file);
    ::close(descriptor);
    return bytes;
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
    // The existing file's mode (0: no file yet) and the one expected.
    const std::pair<mode_t, mode_t> cases[] = {{0600, 0600}, {0640, 0640}, {0666, 0666}, {0, 0644}};
    for (const auto& [existing, expected] : cases) {
        const fs::path file = dir.path() / ("f" + std::to_string(existing));
        if (existing != 0) {
            dir.write(file.filename(), "old");
            ::chmod(file.c_str(), existing);
        }
        AtomicFile out(file);
        ASSERT_TRUE(out.open().ok());
        struct stat status {};
        ASSERT_EQ(::fstat(out.descriptor(), &status), 0);
        EXPECT_EQ(status.st_mode & 07777, expected) << std::oct << existing;
        ASSERT_TRUE(out.write("new"));
        ASSERT_TRUE(out.commit().ok());
        EXPECT_EQ(modeOf(file), expected) << std::oct << existing;
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
    EXPECT_EQ(std::pair(status.st_uid, status.st_gid), std::pair(65534u, 65534u));
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
    // Each refusal names its true cause: /proc and /sys are there but make no files, which
    // their ENOENT and EACCES do not tell; only the mode bits hold back all but root.
    fs::create_directory(dir.path() / "folder.dat");
    const std::string makesNoFiles = ::geteuid() == 0 ? "このフォルダーにはファイルを作れません。"
                                                      : "書き込む権限がありません。";
    const std::pair<fs::path, std::string> refusals[] = {
        {dir.path() / "folder.dat", "は通常のファイルではない"},
        {dir.path() / "missing" / "f.dat", "フォルダーが存在しません。"},
        {readOnly / "f.dat", readOnly.string() + " はフォルダーではありません。"},
        {readOnly / "sub" / "f.dat", readOnly.string() + " はフォルダーではありません。"},
        {"/proc/kavlo-test.png", makesNoFiles},
        {"/sys/kavlo-test.png", makesNoFiles},
    };
    for (const auto& [file, reason] : refusals) {
        const WriteResult result = replaceFileAtomically(file, "new");
        EXPECT_NE(result.message.find(file.string()), std::string::npos) << result.message;
        EXPECT_NE(result.message.find(reason), std::string::npos) << result.message;
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

TEST(AtomicFileTest, LeftoversOfDeadWritersAreRemovedAndLongNamesFit) {
    test::TempDir dir;
    fs::create_directory(dir.path() / "links");
    const std::string japanese = "\u6570\u5024\u30b0\u30e9\u30d5";  // 3 bytes a character
    // clang-format off
    const std::pair<std::string, bool> cases[] = {  // names, and whether another link is kept
        {"page.svg", false}, {"linked.svg", true}, {std::string(236, 'p') + ".svg", false},
        {std::string(236, 'l') + ".svg", true}, {std::string(251, 'r') + ".svg", false},
        {std::string(251, 's') + ".svg", true},
        {std::string(215, 'q') + japanese + std::string(21, 'q') + ".png", true}};
    // clang-format on
    for (const auto& [name, linked] : cases) {
        const fs::path file = dir.path() / name;
        if (linked) {
            dir.write(name, "old");
            fs::create_hard_link(file, dir.path() / "links" / std::to_string(entries(dir.path())));
        }
        const auto targets = entries(dir.path()) + (linked ? 0 : 1);
        // A writer that dies leaves its temporary file; the next writer removes it.
        const int status = statusOfChild([&] {
            AtomicFile out(file);
            if (out.open().ok() && out.write("dead")) {
                ::_exit(0);
            }
            return 1;
        });
        ASSERT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << name.size();
        AtomicFile live(file);
        ASSERT_TRUE(live.open().ok()) << name.size();
        ASSERT_TRUE(live.write("live"));
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            EXPECT_TRUE(isValidUtf8(entry.path().filename().string())) << name.size();
        }
        // A writer still at work keeps its own.
        ASSERT_TRUE(replaceFileAtomically(file, "next").ok()) << name.size();
        EXPECT_EQ(bytesOf(file), "next");
        EXPECT_EQ(entries(dir.path()), targets + 1) << name.size();
        ASSERT_TRUE(live.commit().ok()) << name.size();
        EXPECT_EQ(bytesOf(file), "live");
        EXPECT_EQ(fs::hard_link_count(file), linked ? 2u : 1u);
        EXPECT_EQ(entries(dir.path()), targets) << name.size();
    }
}

TEST(AtomicFileTest, EndingSignalsRemoveTheTemporary) {
    test::TempDir dir;
    const fs::path file = dir.write("page.svg", "old");
    for (const int signal : {SIGINT, SIGTERM, SIGHUP}) {
        struct sigaction current {};
        ::sigaction(signal, nullptr, &current);
        if (current.sa_handler == SIG_IGN) {
            continue;  // ignored by whoever started the tests, and so rightly by the writer
        }
        int ready[2], hold[2];
        ASSERT_EQ(::pipe(ready) | ::pipe(hold), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            ::close(ready[0]);
            ::close(hold[1]);
            AtomicFile out(file);
            const bool written = out.open().ok() && out.write(std::string(1 << 20, 'n'));
            ::close(ready[1]);
            char byte;
            // Returns when the test lets go: the signal should have ended this process first.
            [[maybe_unused]] const auto got = ::read(hold[0], &byte, 1);
            ::_exit(written ? 3 : 4);
        }
        ::close(ready[1]);
        ::close(hold[0]);
        char byte;
        EXPECT_EQ(::read(ready[0], &byte, 1), 0);  // the child has written its temporary
        EXPECT_EQ(entries(dir.path()), 2) << "the temporary is being written";
        ::kill(child, signal);
        ::close(hold[1]);
        int status = 0;
        ::waitpid(child, &status, 0);
        ::close(ready[0]);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal << " " << status;
        EXPECT_EQ(entries(dir.path()), 1) << signal;
        EXPECT_EQ(bytesOf(file), "old");
    }
}

TEST(AtomicFileTest, HardLinkedTargetsAreRewrittenWhole) {
    test::TempDir dir;
    const fs::path file = dir.write("shared.dat", "old");
    fs::create_directory(dir.path() / "links");
    const fs::path other = dir.path() / "links" / "shared.dat";
    fs::create_hard_link(file, other);
    // Two writers at once: every turn leaves one writer's whole content, never a mix.
    const std::string first(16 * 65536 + 1000, 'a');
    const std::string second(12 * 65536 + 17, 'b');
    const auto rewrite = [&](const std::string& mine) {
        int torn = 0;
        for (int turn = 0; turn < 20; ++turn) {
            torn += replaceFileAtomically(file, mine).ok() ? 0 : 1;
            for (int look = 0; look < 3; ++look) {
                const std::string seen = lockedBytesOf(other);
                torn += seen == first || seen == second ? 0 : 1;
            }
        }
        return torn;
    };
    const pid_t child = ::fork();
    if (child == 0) {
        ::_exit(std::min(rewrite(second), 100));
    }
    EXPECT_EQ(rewrite(first), 0);
    int status = -1;
    ::waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << status;
    EXPECT_EQ(fs::hard_link_count(file), 2u);
    // A rewrite stopped halfway (here by the file size limit) leaves the old content, beside
    // the file or put back; the next write cleans up after it.
    const std::string old(65536 + 5, 'o');
    const struct {
        bool stopped;  // killed by the limit, or told and able to put the old content back
        int runs;      // a second stop finds the file torn and must keep the first backup
    } cases[] = {{true, 2}, {false, 1}};
    for (const auto& c : cases) {
        ASSERT_TRUE(replaceFileAtomically(file, old).ok());
        int result = -1;
        for (int run = 0; run < c.runs; ++run) {
            result = statusOfChild([&] {
                AtomicFile out(file);
                if (!out.open().ok() || !out.write(std::string(4 * 65536 + 100, 'n'))) {
                    return 2;
                }
                const rlimit noCore{0, 0}, limit{2 * 65536, 2 * 65536};
                ::setrlimit(RLIMIT_CORE, &noCore);
                ::setrlimit(RLIMIT_FSIZE, &limit);
                if (!c.stopped) {
                    ::signal(SIGXFSZ, SIG_IGN);
                }
                return out.commit().ok() ? 0 : 1;
            });
        }
        const fs::path backup = dir.path() / ".shared.dat.kavlo-backup";
        if (c.stopped) {
            EXPECT_TRUE(WIFSIGNALED(result) && WTERMSIG(result) == SIGXFSZ) << result;
            EXPECT_TRUE(bytesOf(backup) == old) << "the old content is kept beside the file";
        } else {
            EXPECT_TRUE(WIFEXITED(result) && WEXITSTATUS(result) == 1) << result;
            EXPECT_TRUE(bytesOf(other) == old) << "the old content is put back";
            EXPECT_FALSE(fs::exists(backup));
        }
        ASSERT_TRUE(replaceFileAtomically(file, "new").ok());
        EXPECT_EQ(bytesOf(other), "new");
        EXPECT_EQ(entries(dir.path()), 2) << "no backup or temporary left";
    }
}

}  // namespace
}  // namespace kavlo
