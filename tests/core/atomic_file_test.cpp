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
#include "text_checks.h"

namespace kavlo {
namespace {

namespace fs = std::filesystem;
using namespace std::string_literals;
using test::bytesOf;

int entries(const fs::path& folder) {
    return static_cast<int>(std::distance(fs::directory_iterator(folder), {}));
}

struct stat statusOf(const fs::path& file) {
    struct stat status {};
    ::stat(file.c_str(), &status);
    return status;
}

mode_t modeOf(const fs::path& file) {
    return statusOf(file).st_mode & 07777;
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

TEST(AtomicFileTest, TheTemporaryHasTheFinalModeAndOwnerAndGroupAreKept) {
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
        const std::string temporary = "/proc/self/fd/" + std::to_string(out.descriptor());
        EXPECT_EQ(modeOf(temporary), expected) << std::oct << existing;
        ASSERT_TRUE(out.write("new") && out.commit().ok());
        EXPECT_EQ(std::pair(modeOf(file), bytesOf(file)), std::pair(expected, "new"s))
            << std::oct << existing;
    }
    EXPECT_EQ(entries(dir.path()), 4) << "no temporary left";
    // Owner and group too, where this process may give a file to another user.
    if (::geteuid() == 0) {
        const fs::path file = dir.write("owned.dat", "old");
        ASSERT_EQ(::chown(file.c_str(), 65534, 65534), 0);
        ASSERT_TRUE(replaceFileAtomically(file, "new").ok());
        EXPECT_EQ(std::pair(statusOf(file).st_uid, statusOf(file).st_gid),
                  std::pair(65534u, 65534u));
    }
}

TEST(AtomicFileTest, SymbolicLinksAreKept) {
    test::TempDir dir;
    fs::create_directory(dir.path() / "sub");
    // A symbolic link (relative, into another folder) stays a link to the rewritten file.
    const fs::path target = dir.write("sub/target.dat", "old");
    const fs::path link = dir.path() / "link.dat";
    fs::create_symlink("sub/target.dat", link);
    ASSERT_TRUE(replaceFileAtomically(link, "new").ok());
    EXPECT_TRUE(fs::is_symlink(link) && bytesOf(target) == "new");
    // A link to a file not there yet creates that file.
    const fs::path dangling = dir.path() / "dangling.dat";
    fs::create_symlink("sub/later.dat", dangling);
    ASSERT_TRUE(replaceFileAtomically(dangling, "made").ok());
    EXPECT_TRUE(fs::is_symlink(dangling) && bytesOf(dir.path() / "sub/later.dat") == "made");
    EXPECT_EQ(std::pair(entries(dir.path()), entries(dir.path() / "sub")), std::pair(3, 2))
        << "no temporary left";
}

TEST(AtomicFileTest, RefusalsAndFailuresLeaveTheOldFile) {
    test::TempDir dir;
    // Read-only by its mode bits, which also holds a privileged process back.
    const fs::path readOnly = dir.write("read-only.dat", "old");
    ::chmod(readOnly.c_str(), 0444);
    const WriteResult refused = replaceFileAtomically(readOnly, "new");
    EXPECT_TRUE(test::holdsAll(refused.message, {readOnly.string(), "読み取り専用"}));
    EXPECT_EQ(std::pair(bytesOf(readOnly), modeOf(readOnly)), std::pair("old"s, 0444u));
    // Each refusal names its true cause: /proc and /sys make no files whatever errno says.
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
        EXPECT_TRUE(
            test::holdsAll(replaceFileAtomically(file, "new").message, {file.string(), reason}));
    }
    EXPECT_TRUE(fs::is_directory(dir.path() / "folder.dat"));
    // A writer that is not committed removes its temporary and leaves the file.
    const fs::path kept = dir.write("kept.dat", "old");
    {
        AtomicFile out(kept);
        ASSERT_TRUE(out.open().ok() && out.write("half"));
        EXPECT_EQ(entries(dir.path()), 4);
    }
    EXPECT_EQ(std::pair(bytesOf(kept), entries(dir.path())), std::pair("old"s, 3))
        << "no temporary left";
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
        ASSERT_TRUE(live.open().ok() && live.write("live")) << name.size();
        for (const auto& entry : fs::directory_iterator(dir.path())) {
            EXPECT_TRUE(isValidUtf8(entry.path().filename().string())) << name.size();
        }
        // A writer still at work keeps its own.
        ASSERT_TRUE(replaceFileAtomically(file, "next").ok()) << name.size();
        EXPECT_EQ(std::pair(bytesOf(file), entries(dir.path())), std::pair("next"s, targets + 1));
        ASSERT_TRUE(live.commit().ok()) << name.size();
        EXPECT_EQ(std::tuple(bytesOf(file), fs::hard_link_count(file), entries(dir.path())),
                  std::tuple("live"s, linked ? 2u : 1u, targets))
            << name.size();
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
        int ready[2];
        ASSERT_EQ(::pipe(ready), 0);
        const pid_t child = ::fork();
        if (child == 0) {
            AtomicFile out(file);
            const bool written = out.open().ok() && out.write(std::string(1 << 20, 'n'));
            ::close(ready[1]);
            ::alarm(60);  // a writer the signal does not end fails the test rather than hang it
            ::pause();
            ::_exit(written ? 3 : 4);
        }
        ::close(ready[1]);
        char byte;
        EXPECT_EQ(::read(ready[0], &byte, 1), 0);  // the child has written its temporary
        ::close(ready[0]);
        EXPECT_EQ(entries(dir.path()), 2) << "the temporary is being written";
        ::kill(child, signal);
        int status = 0;
        ::waitpid(child, &status, 0);
        EXPECT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == signal) << signal << " " << status;
        EXPECT_EQ(std::pair(entries(dir.path()), bytesOf(file)), std::pair(1, "old"s)) << signal;
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
    // A rewrite stopped halfway keeps the old content; the next write cleans up after it.
    const std::string old(65536 + 5, 'o');
    const struct {
        bool stopped;  // killed by the limit, or told and able to put the old content back
        int runs;      // a second stop finds the file torn and must keep the first backup
        int status;    // of the last run, as waitpid gives it
    } cases[] = {{true, 2, SIGXFSZ}, {false, 1, 1 << 8}};
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
        EXPECT_EQ(result, c.status);
        // The old content is kept beside the torn file, or put back and the backup removed.
        const bool backupOld = bytesOf(dir.path() / ".shared.dat.kavlo-backup") == old;
        EXPECT_EQ(std::pair(backupOld, bytesOf(other) == old), std::pair(c.stopped, !c.stopped));
        ASSERT_TRUE(replaceFileAtomically(file, "new").ok());
        EXPECT_EQ(std::pair(bytesOf(other), entries(dir.path())), std::pair("new"s, 2))
            << "no backup or temporary left";
    }
}

}  // namespace
}  // namespace kavlo
