// The vexel program on a failing disk: one system call made to fail for one
// file by the LD_PRELOAD library, and what stays of the pages afterwards.
#include <gtest/gtest.h>

#include "tests/cli/cli_test_support.h"
#include "tests/cli/process_support.h"

namespace vexel::cli {
namespace {

using namespace support;

std::string ItemsPage(int seed, std::size_t size = 20000) {
    std::string page = "<html><head><title>page " + std::to_string(seed) + "</title></head>\r\n<body>\r\n";
    uint32_t x = static_cast<uint32_t>(seed) * 2654435761u + 1;
    while (page.size() < size) {
        x = x * 1103515245u + 12345u;
        page += "<p class=\"row\">Item " + std::to_string((x >> 8) % 5000) + " costs " +
                std::to_string((x >> 4) % 900) + " units.</p>\r\n";
    }
    return page + "</body></html>\r\n";
}

// Every name in the folder, so that a temporary file left behind shows.
std::vector<std::string> Names(const fs::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(folder))
        names.push_back(entry.path().filename().string());
    std::sort(names.begin(), names.end());
    return names;
}

class FaultInjection : public ::testing::Test {
protected:
    void SetUp() override {
        const char* build = std::getenv("VEXEL_BINARY_DIR");
        ASSERT_NE(build, nullptr);
        shim_ = std::string(build) + "/tests/fault_injection/libvexel_fault_shim.so";
        ASSERT_TRUE(fs::exists(shim_)) << shim_;
        fs::create_directories(site_);
        for (const char* name : {"a.htm", "b.htm"})
            WriteBytes(site_ / name, ItemsPage(name[0]));
    }

    // Runs vexel with `call` failing for files named like `file`.
    int Run(const std::vector<std::string>& args,
            const std::string& file,
            const std::string& call,
            const std::string& error = "EIO",
            long long after = 0) {
        // A program built with AddressSanitizer wants its runtime first among
        // the libraries; the shim before it still passes every call on to it.
        const char* asan = std::getenv("ASAN_OPTIONS");
        const std::string asan_options = std::string(asan != nullptr ? asan : "") +
                                         (asan != nullptr ? ":" : "") + "verify_asan_link_order=0";
        ChildRun run(VexelProgram(), args, dir_.Path().string(),
                     {{"LD_PRELOAD", shim_},
                      {"ASAN_OPTIONS", asan_options},
                      {"VEXEL_FAIL_FILE", file},
                      {"VEXEL_FAIL_CALL", call},
                      {"VEXEL_FAIL_ERRNO", error},
                      {"VEXEL_FAIL_AFTER", std::to_string(after)}});
        const int status = run.Wait();
        out_ = run.Out();
        err_ = run.Err();
        return status;
    }

    std::string Site(const std::string& name) const { return (site_ / name).string(); }

    ScratchDir dir_;
    fs::path site_ = dir_.Path() / "site";
    std::string shim_;
    std::string out_;
    std::string err_;
};

// --- the backup is never partial ----------------------------------------------

TEST_F(FaultInjection, FullDiskWhileBackingUpLeavesNoBackupNoTemporaryFileAndSaysWhy) {
    const int status =
        Run({"compress", "--jobs", "1", site_.string()}, "a.htm_backup.vexel-*", "write", "ENOSPC", 4096);
    EXPECT_EQ(status, kExitFailed);
    EXPECT_EQ(ReadBytes(site_ / "a.htm"), ItemsPage('a'));
    EXPECT_EQ(Names(site_), (std::vector<std::string>{"a.htm", "b.htm", "b.htm_backup"}));
    EXPECT_TRUE(Contains(err_, "vexel: Cannot copy file \"" + Site("a.htm") + "\" to \"" +
                                   Site("a.htm_backup") + "\": No space left on device"))
        << err_;
    EXPECT_TRUE(Contains(out_, "No space left on device (Skip)")) << out_;
    EXPECT_TRUE(Contains(err_, "1 written")) << err_;
}

TEST_F(FaultInjection, BackupThatCannotBeFlushedOrNamedIsNotLeftBehind) {
    for (const char* call : {"fsync", "rename"}) {
        const char* file = std::string(call) == "fsync" ? "a.htm_backup.vexel-*" : "a.htm_backup";
        EXPECT_EQ(Run({"compress", Site("a.htm")}, file, call, "EIO"), kExitFailed) << call;
        EXPECT_EQ(ReadBytes(site_ / "a.htm"), ItemsPage('a')) << call;
        EXPECT_EQ(Names(site_), (std::vector<std::string>{"a.htm", "b.htm"})) << call;
        EXPECT_TRUE(Contains(err_, "Input/output error")) << call << ": " << err_;
    }
}

// --- the page is replaced only once its new content is on the disk -----------

TEST_F(FaultInjection, PageThatCannotBeWrittenStaysWithoutBackupOrTemporaryFile) {
    const struct {
        const char* file;
        const char* call;
        const char* error;
    } faults[] = {{"a.htm.vexel-*", "write", "ENOSPC"},
                  {"a.htm.vexel-*", "fsync", "EIO"},
                  {"a.htm", "rename", "EACCES"}};
    for (const auto& fault : faults) {
        EXPECT_EQ(Run({"compress", Site("a.htm")}, fault.file, fault.call, fault.error), kExitFailed)
            << fault.call;
        EXPECT_EQ(ReadBytes(site_ / "a.htm"), ItemsPage('a')) << fault.call;
        // The page is its original, so the backup made for it went again.
        EXPECT_EQ(Names(site_), (std::vector<std::string>{"a.htm", "b.htm"})) << fault.call;
        EXPECT_TRUE(Contains(err_, Site("a.htm"))) << err_;
    }
    EXPECT_TRUE(Contains(err_, "Permission denied")) << err_;
}

// --- read errors are errors -----------------------------------------------------

TEST_F(FaultInjection, ReadErrorPartWayStopsThePageInsteadOfCompressingAPrefix) {
    const int status = Run({"compress", site_.string()}, "a.htm", "read", "EIO", 8192);
    EXPECT_EQ(status, kExitFailed);
    EXPECT_EQ(ReadBytes(site_ / "a.htm"), ItemsPage('a'));
    EXPECT_FALSE(fs::exists(site_ / "a.htm_backup"));
    EXPECT_TRUE(Contains(err_, "Cannot read file \"" + Site("a.htm") + "\": Input/output error")) << err_;
    EXPECT_TRUE(Contains(err_, "Pages: 1 written")) << err_;  // b.htm
    EXPECT_TRUE(Contains(err_, "1 failed")) << err_;
}

TEST_F(FaultInjection, ReadErrorInARawDataFileOrAPageToDecodeIsExitOne) {
    WriteBytes(dir_.Path() / "data.raw", std::string(20000, 'x'));
    EXPECT_EQ(Run({"expand", "-o", (dir_.Path() / "text").string(), (dir_.Path() / "data.raw").string()},
                  "data.raw", "read", "EIO", 4096),
              kExitFailed);
    EXPECT_TRUE(Contains(err_, "data.raw\": Input/output error")) << err_;
    EXPECT_FALSE(fs::exists(dir_.Path() / "text"));

    ASSERT_EQ(Vexel({"compress", "-q", Site("a.htm")}).status, kExitOk);
    EXPECT_EQ(Run({"decode", Site("a.htm")}, "a.htm", "read", "EIO", 100), kExitFailed);
    EXPECT_TRUE(out_.empty());
    EXPECT_TRUE(Contains(err_, "Input/output error")) << err_;
}

TEST_F(FaultInjection, ReadErrorInTheBackupOfAStoppedRunNamesTheBackup) {
    // A run stopped between the backup and the page: the page is taken up
    // again, which reads the backup.
    WriteBytes(site_ / "a.htm_backup", ItemsPage('a'));
    EXPECT_EQ(Run({"compress", Site("a.htm")}, "a.htm_backup", "read", "EIO"), kExitFailed);
    EXPECT_TRUE(Contains(err_, "Cannot read file \"" + Site("a.htm_backup") + "\"")) << err_;
    EXPECT_EQ(ReadBytes(site_ / "a.htm"), ItemsPage('a'));
    EXPECT_EQ(ReadBytes(site_ / "a.htm_backup"), ItemsPage('a'));
}

// --- restore --------------------------------------------------------------------

TEST_F(FaultInjection, RestoredPageWhoseBackupStaysIsCountedWithAWarning) {
    ASSERT_EQ(Vexel({"compress", "-q", Site("a.htm")}).status, kExitOk);
    // The backup cannot take the page's name nor be removed: its bytes are
    // written into the page, and the backup stays.
    const int status = Run({"restore", Site("a.htm")}, "a.htm*", "rename,unlink", "EACCES");
    EXPECT_EQ(status, kExitFailed);
    EXPECT_EQ(ReadBytes(site_ / "a.htm"), ItemsPage('a'));
    EXPECT_EQ(ReadBytes(site_ / "a.htm_backup"), ItemsPage('a'));
    EXPECT_EQ(out_, "Restored: " + Site("a.htm") + "\n");
    EXPECT_TRUE(Contains(err_, "vexel: warning: Restored \"" + Site("a.htm") + "\", but cannot remove \"" +
                                   Site("a.htm_backup") + "\": Permission denied"))
        << err_;
    EXPECT_TRUE(Contains(err_, "Pages restored: 1")) << err_;
}

}  // namespace
}  // namespace vexel::cli
