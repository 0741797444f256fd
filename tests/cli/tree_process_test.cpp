// compress --output-dir in a process of its own, killed part-way or on a full
// disk: the source stays byte for byte, and no output file is ever part of
// one under its final name.
#include <gtest/gtest.h>

#include <random>

#include "tests/cli/cli_test_support.h"
#include "tests/cli/process_support.h"

namespace vexel::cli {
namespace {

using namespace support;

std::string TreePage(int seed, std::size_t size) {
    std::mt19937 random(static_cast<unsigned>(seed) * 7919u + 3u);
    std::string page = "<html><head><title>tree page " + std::to_string(seed) + "</title></head>\r\n<body>\r\n";
    while (page.size() < size)
        page += "<tr><td>" + std::to_string(random() % 100000) + "</td><td>" + std::to_string(random() % 977) +
                "</td></tr>\r\n";
    return page + "</body></html>\r\n";
}

bool IsTreeTemporary(const std::string& name) {
    return name.find(".vexel-") != std::string::npos && name.size() > 4 && name.substr(name.size() - 4) == ".tmp";
}

TEST(TreeProcess, KillNineLeavesTheSourceAsItWasAndOnlyWholeFilesUnderTheirNames) {
    ScratchDir dir;
    const fs::path src = dir.Path() / "src";
    for (int i = 0; i < 24; ++i)
        WriteBytes(src / ("part" + std::to_string(i % 3)) / ("page" + std::to_string(i) + ".htm"),
                   TreePage(i, 150000));
    WriteBytes(src / "data.bin", std::string(3 << 20, 'd'));
    const auto source = Snapshot(src);

    // An undisturbed run: what every output file must be, and how long it takes.
    const fs::path reference = dir.Path() / "reference";
    const auto start = std::chrono::steady_clock::now();
    {
        ChildRun run(VexelProgram(), {"compress", "-q", "-j", "2", "-O", reference.string(), src.string()},
                     dir.Path().string());
        ASSERT_EQ(run.Wait(), kExitOk) << run.Err();
    }
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    auto expected = Snapshot(reference);
    expected.erase(".vexel-tree");

    const fs::path out = dir.Path() / "out";
    // Each round starts from an empty output, so that it has as much to do as
    // the undisturbed run; a round that finished before its kill (a machine
    // whose load changed) makes the later kills come sooner.
    std::mt19937 random(20261210);
    int part_way = 0;
    double scale = seconds;
    for (int round = 0; round < 5; ++round) {
        fs::remove_all(out);
        ChildRun run(VexelProgram(), {"compress", "-q", "-j", "2", "-O", out.string(), src.string()},
                     dir.Path().string());
        std::this_thread::sleep_for(
            std::chrono::duration<double>(std::uniform_real_distribution<double>(0.05, 0.7)(random) * scale));
        run.Kill();
        run.Wait();
        ASSERT_EQ(Snapshot(src), source) << "round " << round;
        std::size_t whole = 0;
        for (const auto& [name, bytes] : Snapshot(out)) {
            if (name == ".vexel-tree" || IsTreeTemporary(name))
                continue;
            ASSERT_EQ(expected.count(name), 1u) << name;
            EXPECT_EQ(bytes, expected.at(name)) << name << " is not whole after kill " << round;
            ++whole;
        }
        if (whole < expected.size())
            ++part_way;
        else
            scale /= 2;
    }
    EXPECT_GT(part_way, 0) << "the kills came after the runs had finished";

    ChildRun last(VexelProgram(), {"compress", "-q", "-O", out.string(), src.string()}, dir.Path().string());
    ASSERT_EQ(last.Wait(), kExitOk) << last.Err();
    for (const auto& [name, bytes] : expected)
        EXPECT_EQ(ReadBytes(out / name), bytes) << name;
    // The temporary files the kills left are gone, not published with the output.
    for (const auto& [name, bytes] : Snapshot(out))
        EXPECT_FALSE(IsTreeTemporary(name)) << name;
    EXPECT_EQ(Vexel({"verify", "-q", "-O", out.string(), src.string()}).status, kExitOk);
    EXPECT_EQ(Snapshot(src), source);
}

TEST(TreeProcess, FullDiskFailsTheFileItMetNamedAndTheNextRunWritesIt) {
    const char* build = std::getenv("VEXEL_BINARY_DIR");
    ASSERT_NE(build, nullptr);
    const std::string shim = std::string(build) + "/tests/fault_injection/libvexel_fault_shim.so";
    for (const std::string failing : {"b.htm", "c.css"}) {
        ScratchDir dir;
        const fs::path src = dir.Path() / "src";
        const fs::path out = dir.Path() / "out";
        WriteBytes(src / "a.htm", TreePage(1, 30000));
        WriteBytes(src / "b.htm", TreePage(2, 30000));
        WriteBytes(src / "c.css", std::string(100000, 'c'));
        const auto source = Snapshot(src);

        ChildRun run(VexelProgram(), {"compress", "-q", "-j", "1", "-O", out.string(), src.string()},
                     dir.Path().string(),
                     {{"LD_PRELOAD", shim},
                      {"ASAN_OPTIONS", "verify_asan_link_order=0"},
                      {"VEXEL_FAIL_FILE", failing + "*"},  // its temporary file and its own name
                      {"VEXEL_FAIL_CALL", "write"},
                      {"VEXEL_FAIL_ERRNO", "ENOSPC"},
                      {"VEXEL_FAIL_AFTER", "4096"}});
        EXPECT_EQ(run.Wait(), kExitFailed) << failing;
        EXPECT_TRUE(Contains(run.Err(), "\"" + (out / failing).string() + "\": No space left on device"))
            << run.Err();
        EXPECT_EQ(Snapshot(src), source) << failing;
        // The file met by the full disk is not there at all, nor its temporary file.
        const auto written = Snapshot(out);
        EXPECT_EQ(written.count(failing), 0u) << failing;
        for (const auto& [name, bytes] : written)
            EXPECT_FALSE(IsTreeTemporary(name)) << name;
        EXPECT_EQ(written.size(), 3u) << failing;  // the two others and the manifest

        const RunResult again = Vexel({"compress", "-q", "-O", out.string(), src.string()});
        EXPECT_EQ(again.status, kExitOk) << again.err;
        EXPECT_TRUE(Contains(again.err, failing == "b.htm" ? "Pages: 1 written" : "other files: 1 copied"))
            << again.err;
        EXPECT_EQ(Vexel({"verify", "-q", "-O", out.string(), src.string()}).status, kExitOk);
    }
}

}  // namespace
}  // namespace vexel::cli
