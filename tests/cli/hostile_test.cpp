// The vexel program against files that would block it or fill its memory, and
// restore runs overlapping a compress run: it never waits for ever, a stop
// signal ends any wait, and no page is lost.
#include <gtest/gtest.h>

#include <atomic>

#include <fcntl.h>
#include <stdio.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include "tests/cli/cli_test_support.h"
#include "tests/cli/process_support.h"

namespace vexel::cli {
namespace {

using namespace support;

std::string RowsPage(int seed, std::size_t size = 3000) {
    std::string page = "<html><head><title>page " + std::to_string(seed) + "</title></head>\r\n<body>\r\n";
    for (int i = 0; page.size() < size; ++i)
        page += "<p>Row " + std::to_string(i * 7 + seed) + " of page " + std::to_string(seed) + "</p>\r\n";
    return page + "</body></html>\r\n";
}

// Runs vexel and waits at most `seconds`; a run still going then is killed and
// reported as -1.
int RunWithin(const std::vector<std::string>& args, const fs::path& folder, double seconds,
              std::string* err = nullptr) {
    ChildRun run(VexelProgram(), args, folder.string());
    int status = -1;
    if (WaitUntil([&] { return run.Finished(); }, seconds)) {
        status = run.Wait();
    } else {
        run.Kill();
        run.Wait();
    }
    if (err != nullptr)
        *err = run.Err();
    return status;
}

TEST(Blocking, AFifoNamedAsTheBackupIsRefusedAtOnce) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "page.htm", RowsPage(1));
    ASSERT_EQ(::mkfifo((dir / "page.htm_backup").c_str(), 0600), 0);
    std::string err;
    EXPECT_EQ(RunWithin({"compress", dir / "page.htm"}, dir.Path() / "run", 20, &err), kExitFailed) << err;
    EXPECT_TRUE(Contains(err, "page.htm_backup") && Contains(err, "not a regular file")) << err;
    EXPECT_EQ(ReadBytes(dir.Path() / "page.htm"), RowsPage(1));
    EXPECT_TRUE(fs::is_fifo(dir.Path() / "page.htm_backup"));
    // restore and verify too.
    EXPECT_EQ(RunWithin({"restore", dir / "page.htm"}, dir.Path() / "run", 20, &err), kExitFailed) << err;
    EXPECT_EQ(RunWithin({"verify", dir / "page.htm"}, dir.Path() / "run", 20, &err), kExitFailed) << err;
    EXPECT_EQ(ReadBytes(dir.Path() / "page.htm"), RowsPage(1));
}

TEST(Blocking, EndlessOrSpecialInputsAreRefusedWithAClearError) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "page.htm", RowsPage(2));
    ASSERT_EQ(::mkfifo((dir / "fifo.htm").c_str(), 0600), 0);
    for (const std::string& input : {std::string("/dev/zero"), dir / "fifo.htm"}) {
        for (const char* command : {"decode", "expand"}) {
            std::string err;
            EXPECT_EQ(RunWithin({command, input}, dir.Path() / "run", 20, &err), kExitFailed) << command << input;
            EXPECT_TRUE(Contains(err, input) && Contains(err, "not a regular file")) << err;
        }
    }
    // A backup that is a device.
    fs::create_symlink("/dev/zero", dir.Path() / "page.htm_backup");
    std::string err;
    EXPECT_EQ(RunWithin({"verify", dir / "page.htm"}, dir.Path() / "run", 20, &err), kExitFailed) << err;
    EXPECT_TRUE(Contains(err, "page.htm_backup")) << err;
}

TEST(Blocking, TheFirstStopSignalEndsAWaitForAPasswordFromAPipe) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "page.htm", RowsPage(3));
    const std::string fifo = dir / "password";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    // A writer that never writes: the reader would wait for ever.
    const int writer = ::open(fifo.c_str(), O_RDWR);
    ASSERT_GE(writer, 0);
    ChildRun run(VexelProgram(), {"compress", "--modern", "--encrypt", "--password-file", fifo, dir / "page.htm"},
                 (dir.Path() / "run").string());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(run.Finished()) << run.Err();
    run.Signal(SIGTERM);
    const bool ended = WaitUntil([&] { return run.Finished(); }, 10);
    EXPECT_TRUE(ended) << "the first SIGTERM did not end the wait";
    if (!ended)
        run.Kill();
    EXPECT_EQ(run.Wait(), ended ? 143 : 128 + SIGKILL) << run.Err();
    ::close(writer);
    EXPECT_EQ(ReadBytes(dir.Path() / "page.htm"), RowsPage(3));
    EXPECT_FALSE(fs::exists(dir.Path() / "page.htm_backup"));
}

TEST(Blocking, AFifoNamedAsAnOutputIsRefusedAtOnce) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "page.htm", RowsPage(4));
    ASSERT_EQ(RunWithin({"compress", "-q", dir / "page.htm"}, dir.Path() / "run", 20), kExitOk);
    const std::string fifo = dir / "nobody-reads";
    ASSERT_EQ(::mkfifo(fifo.c_str(), 0600), 0);
    const std::vector<std::vector<std::string>> runs = {
        {"decode", "-o", fifo, dir / "page.htm"},
        {"compress", "--log", fifo, dir / "page.htm"},
    };
    for (const auto& args : runs) {
        std::string err;
        EXPECT_EQ(RunWithin(args, dir.Path() / "run", 20, &err), kExitFailed) << args[0] << ": " << err;
        EXPECT_TRUE(Contains(err, fifo + "\": not a regular file")) << err;
    }
    EXPECT_TRUE(fs::is_fifo(fifo));
}

// A list or a password from a FIFO is read to its end, also when its writer
// comes a moment after the program opened it.
TEST(Blocking, AFifoWhoseWriterComesLaterIsReadToItsEnd) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "page.htm", RowsPage(5));
    const std::string list = dir / "list";
    const std::string password = dir / "password";
    ASSERT_EQ(::mkfifo(list.c_str(), 0600), 0);
    ASSERT_EQ(::mkfifo(password.c_str(), 0600), 0);
    ChildRun run(VexelProgram(),
                 {"compress", "--modern", "--encrypt", "--iterations", "600000", "--password-file", password,
                  "--files0-from", list},
                 (dir.Path() / "run").string());
    // Opened without waiting: a program that no longer reads must not hold the test.
    const auto write_later = [](const std::string& fifo, const std::string& text) {
        std::this_thread::sleep_for(std::chrono::milliseconds(400));
        int fd = -1;
        WaitUntil([&] { return (fd = ::open(fifo.c_str(), O_WRONLY | O_NONBLOCK)) >= 0; }, 10);
        ASSERT_GE(fd, 0) << "nobody reads " << fifo;
        ::fcntl(fd, F_SETFL, 0);
        EXPECT_EQ(::write(fd, text.data(), text.size()), static_cast<ssize_t>(text.size()));
        ::close(fd);
    };
    write_later(password, "a long enough password\n");
    write_later(list, (dir / "page.htm") + std::string(1, '\0'));
    const bool ended = WaitUntil([&] { return run.Finished(); }, 60);
    if (!ended)
        run.Kill();
    EXPECT_EQ(run.Wait(), kExitOk) << run.Err();
    EXPECT_TRUE(Contains(run.Err(), "Pages: 1 written")) << run.Err();
    EXPECT_EQ(ReadBytes(dir.Path() / "page.htm_backup"), RowsPage(5));
}

TEST(Blocking, TheFirstStopSignalEndsAWaitForAWriterThatNeverComes) {
    ScratchDir dir;
    const std::string list = dir / "list";
    ASSERT_EQ(::mkfifo(list.c_str(), 0600), 0);
    ChildRun run(VexelProgram(), {"compress", "--files0-from", list}, (dir.Path() / "run").string());
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(run.Finished()) << run.Err();
    run.Signal(SIGINT);
    const bool ended = WaitUntil([&] { return run.Finished(); }, 10);
    EXPECT_TRUE(ended) << "the first SIGINT did not end the wait";
    if (!ended)
        run.Kill();
    EXPECT_EQ(run.Wait(), ended ? 130 : 128 + SIGKILL) << run.Err();
    EXPECT_TRUE(Contains(run.Err(), list)) << run.Err();

    // The list from standard input, a pipe whose writer never writes.
    ChildRun piped(VexelProgram(), {"compress", "--files0-from", "-"}, (dir.Path() / "run").string(), {}, list);
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_FALSE(piped.Finished()) << piped.Err();
    piped.Signal(SIGTERM);
    const bool piped_ended = WaitUntil([&] { return piped.Finished(); }, 10);
    EXPECT_TRUE(piped_ended) << "the first SIGTERM did not end the wait for standard input";
    if (!piped_ended)
        piped.Kill();
    EXPECT_EQ(piped.Wait(), piped_ended ? 143 : 128 + SIGKILL) << piped.Err();
}

// Standard output that cannot take what is written (a full disk) is an error
// with the reason, for the log, --json and decode alike.
TEST(Outputs, AFailedWriteToStandardOutputIsAnError) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "page.htm", RowsPage(6, 200000));
    const std::vector<std::vector<std::string>> runs = {
        {"compress", "--dry-run", dir / "page.htm"},
        {"compress", "--json", "--dry-run", dir / "page.htm"},
        {"decode", dir / "page.htm"},
    };
    ASSERT_EQ(RunWithin({"compress", "-q", dir / "page.htm"}, dir.Path() / "run", 20), kExitOk);
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const auto& args = runs[i];
        const fs::path folder = dir.Path() / ("full-" + std::to_string(i));
        fs::create_directories(folder);
        fs::create_symlink("/dev/full", folder / "out.txt");  // ChildRun's standard output
        ChildRun run(VexelProgram(), args, folder.string());
        const bool ended = WaitUntil([&] { return run.Finished(); }, 20);
        if (!ended)
            run.Kill();
        EXPECT_EQ(run.Wait(), kExitFailed) << args[1] << ": " << run.Err();
        EXPECT_TRUE(Contains(run.Err(), "Cannot write to standard output: No space left on device")) << run.Err();
    }
}

// A file size limit (ulimit -f) below the backup's size: the write error is
// reported, the page kept, and no temporary file left.
TEST(Outputs, AFileSizeLimitIsAWriteErrorNotTheEnd) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "site" / "page.htm", RowsPage(7, 100000));
    rlimit saved{};
    ASSERT_EQ(::getrlimit(RLIMIT_FSIZE, &saved), 0);
    rlimit small = saved;
    small.rlim_cur = 20000;
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &small), 0);
    ChildRun run(VexelProgram(), {"compress", (dir.Path() / "site").string()}, (dir.Path() / "run").string());
    ASSERT_EQ(::setrlimit(RLIMIT_FSIZE, &saved), 0);
    const bool ended = WaitUntil([&] { return run.Finished(); }, 30);
    if (!ended)
        run.Kill();
    EXPECT_EQ(run.Wait(), kExitFailed) << run.Err();
    EXPECT_TRUE(Contains(run.Err(), "page.htm") && Contains(run.Err(), "File too large")) << run.Err();
    EXPECT_EQ(Snapshot(dir.Path() / "site"), (std::map<std::string, std::string>{{"page.htm", RowsPage(7, 100000)}}));
}

enum class State { Original, Compressed, Lost };

State StateOf(const fs::path& page, const std::string& original);

// A second program keeps swapping a sub-folder of the tree with a link to a
// folder outside it (one atomic exchange of the two names) while compress
// and restore run over the tree: nothing outside is ever written, and no page
// of the tree is lost. A bounded number of rounds.
TEST(Swaps, AFolderSwappedForALinkNeverLeadsAWriteOutsideTheTree) {
    ScratchDir dir;
    const fs::path tree = dir.Path() / "tree";
    const fs::path outside = dir.Path() / "outside";
    std::map<std::string, std::string> originals;
    for (int i = 0; i < 30; ++i) {
        const std::string name = "page" + std::to_string(i) + ".htm";
        originals["sub/" + name] = RowsPage(i, 20000);
        WriteBytes(tree / "sub" / name, originals["sub/" + name]);
        WriteBytes(outside / name, RowsPage(100 + i, 20000));
    }
    fs::create_symlink(outside, tree / "swap");
    const auto outside_before = Snapshot(outside);
    for (int round = 0; round < 4; ++round) {
        std::atomic<bool> done{false};
        std::thread swapper([&] {
            while (!done) {
                ::renameat2(AT_FDCWD, (tree / "sub").c_str(), AT_FDCWD, (tree / "swap").c_str(), RENAME_EXCHANGE);
                std::this_thread::sleep_for(std::chrono::microseconds(200));
            }
        });
        for (const char* command : {"compress", "restore"}) {
            std::vector<std::string> args = {command, "-q", "-r", tree.string()};
            if (std::string(command) == "compress")
                args.insert(args.begin() + 1, {"--jobs", "2"});
            ChildRun run(VexelProgram(), args, (dir.Path() / "run").string());
            const bool ended = WaitUntil([&] { return run.Finished(); }, 120);
            if (!ended)
                run.Kill();
            const int status = run.Wait();
            // A page whose folder was a link at its turn is "changed during the run".
            EXPECT_TRUE(status == kExitOk || status == kExitFailed) << command << ": " << run.Err();
        }
        done = true;
        swapper.join();
        if (fs::is_symlink(tree / "sub"))
            ::renameat2(AT_FDCWD, (tree / "sub").c_str(), AT_FDCWD, (tree / "swap").c_str(), RENAME_EXCHANGE);
        // Names of files outside that were made, changed or removed.
        const auto outside_after = Snapshot(outside);
        std::string touched;
        for (const auto& [name, bytes] : outside_after)
            if (outside_before.count(name) == 0 || outside_before.at(name) != bytes)
                touched += " " + name;
        for (const auto& [name, bytes] : outside_before)
            if (outside_after.count(name) == 0)
                touched += " -" + name;
        ASSERT_EQ(touched, "") << "written outside the tree in round " << round;
        for (const auto& [name, original] : originals)
            EXPECT_NE(StateOf(tree / name, original), State::Lost) << name << " after round " << round;
        for (const auto& [name, bytes] : Snapshot(tree))
            EXPECT_EQ(name.find(".tmp"), std::string::npos) << name;
    }
}

// A page is its original without a backup (never compressed, or restored), or
// compressed beside a backup that is its original (compressed, or in hand).
State StateOf(const fs::path& page, const std::string& original) {
    const fs::path backup = page.string() + "_backup";
    const std::string bytes = fs::exists(page) ? ReadBytes(page) : "<missing>";
    if (!fs::exists(backup))
        return bytes == original ? State::Original : State::Lost;
    if (ReadBytes(backup) != original)
        return State::Lost;
    return State::Compressed;  // the page itself may still be its original: a run in hand of it
}

TEST(Overlap, RestoreRunsDuringACompressRunLoseNoPage) {
    ScratchDir dir;
    const fs::path site = dir.Path() / "site";
    std::map<std::string, std::string> originals;
    for (int i = 0; i < 60; ++i) {
        char name[32];
        std::snprintf(name, sizeof name, "page%02d.htm", i);
        originals[name] = RowsPage(i, 60000);
        WriteBytes(site / name, originals[name]);
    }
    for (int round = 0; round < 3; ++round) {
        ChildRun compress(VexelProgram(), {"compress", "-q", "--jobs", "2", site.string()},
                          (dir.Path() / "compress").string());
        int restores = 0;
        while (!compress.Finished()) {
            ChildRun restore(VexelProgram(), {"restore", "-q", site.string()}, (dir.Path() / "restore").string());
            const int status = restore.Wait();
            EXPECT_TRUE(status == kExitOk || status == kExitFailed) << restore.Err();
            ++restores;
        }
        const int status = compress.Wait();
        // A page restored under its feet is "changed during the run": 1.
        EXPECT_TRUE(status == kExitOk || status == kExitFailed) << compress.Err();
        EXPECT_GT(restores, 0);
        for (const auto& [name, original] : originals) {
            EXPECT_NE(StateOf(site / name, original), State::Lost) << name << " after round " << round;
        }
        // Whatever stands compressed verifies against its backup.
        ChildRun verify(VexelProgram(), {"verify", "-q", site.string()}, (dir.Path() / "verify").string());
        EXPECT_EQ(verify.Wait(), kExitOk) << verify.Out() << verify.Err();
    }
}

}  // namespace
}  // namespace vexel::cli
