// The command line's modern pages, encryption, passwords, verify, and the
// warnings of the classic formats.
#include <gtest/gtest.h>

#include <filesystem>

#include "cli/options.h"
#include "tests/cli/cli_test_support.h"

namespace vexel::cli {
namespace {

using namespace support;

TEST(ModernOptions, ParsedWithTheirValues) {
    const Invocation inv = ParseArguments(
        {"compress", "--modern", "--encrypt", "--password-file", "pw.txt", "--iterations=1000000", "site"});
    EXPECT_TRUE(inv.modern);
    EXPECT_TRUE(inv.encrypt);
    EXPECT_EQ(inv.passwordFile, "pw.txt");
    EXPECT_EQ(inv.iterations, 1000000u);
    EXPECT_EQ(inv.codec, "");  // the smaller page of the two
    EXPECT_EQ(ParseArguments({"compress", "--modern", "--codec", "deflate", "s"}).codec, "deflate");
    const Invocation verify = ParseArguments({"verify", "-r", "-q", "--password", "x", "a", "b"});
    EXPECT_EQ(verify.command, Command::Verify);
    EXPECT_EQ(verify.paths, (std::vector<std::string>{"a", "b"}));
    EXPECT_TRUE(verify.recursive && verify.quiet && verify.passwordSet);
    EXPECT_EQ(ParseArguments({"decode", "--password", "x", "p.htm"}).password, "x");
    EXPECT_EQ(ParseArguments({"expand", "--password-file=f", "p.htm"}).passwordFile, "f");
}

TEST(ModernOptions, CombinationsThatCannotWorkAreBadUsage) {
    const std::vector<std::pair<std::vector<std::string>, std::string>> bad = {
        {{"compress", "--encrypt", "--password", "x", "s"}, "--encrypt needs --modern"},
        {{"compress", "--modern", "--encrypt", "s"}, "--encrypt needs --password"},
        {{"compress", "--modern", "--password", "x", "s"}, "add --encrypt"},
        {{"compress", "--modern", "--vbscript", "s"}, "--vbscript is for the classic pages"},
        {{"compress", "--modern", "--keep-whitespace", "s"}, "--keep-whitespace"},
        {{"compress", "--modern", "--keep-high-bytes", "s"}, "--keep-high-bytes"},
        {{"compress", "--modern", "--high-speed", "s"}, "--high-speed"},
        {{"compress", "--modern", "--encrypt", "--password", "x", "--iterations", "599999", "s"}, "600000"},
        {{"compress", "--modern", "--encrypt", "--password", "x", "--iterations", "100000001", "s"},
         "600000"},
        {{"compress", "--modern", "--encrypt", "--password", "x", "--iterations", "6e5", "s"},
         "--iterations"},
        {{"compress", "--iterations", "700000", "s"}, "--iterations goes with --encrypt"},
        {{"compress", "--codec", "deflate", "s"}, "--codec goes with --modern"},
        {{"compress", "--modern", "--codec", "brotli", "s"}, "expected deflate or lzma"},
        {{"compress", "--modern", "--codec=", "s"}, "expected deflate or lzma"},
        {{"compress", "--site", "r", "s"}, "--site goes with --modern"},
        {{"compress", "--modern", "--retrain", "s"}, "--retrain goes with --site"},
        {{"compress", "--modern", "--site", "r", "--codec", "deflate", "s"}, "leave out --codec deflate"},
        {{"compress", "--modern", "--site", "r", "--encrypt", "--password", "x", "s"}, "a page of its own"},
        {{"decode", "--password", "a", "--password-file", "f", "p"}, "not both"},
        {{"restore", "--password", "a", "p"}, "unknown option"},
        {{"verify"}, "no PATH"},
    };
    for (const auto& [args, words] : bad) {
        const auto result = Vexel(args);
        EXPECT_EQ(result.status, kExitUsage) << words;
        EXPECT_TRUE(Contains(result.err, words)) << result.err;
    }
    ScratchDir dir;
    WriteBytes(dir.Path() / "p.htm", "<html><body>x</body></html>");
    for (const std::string& password : {std::string(""), std::string("caf\xE9")}) {
        const auto result =
            Vexel({"compress", "--modern", "--encrypt", "--password", password, dir / "p.htm"});
        EXPECT_EQ(result.status, kExitUsage) << result.err;
        EXPECT_EQ(ReadBytes(dir.Path() / "p.htm"), "<html><body>x</body></html>");
    }
}

TEST(Modern, PagesComeBackThroughDecodeExpandAndVerify) {
    ScratchDir dir;
    const fs::path site = dir.CopyExamples();
    const auto result = Vexel({"compress", "--modern", "-r", site.string()});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(Contains(result.err, "0 broken off")) << result.err;  // fragments are pages too
    EXPECT_FALSE(Contains(result.err, "Warnings:"));
    // A fragment of 1 KB would grow: it is left as it is, and counted.
    EXPECT_TRUE(Contains(result.err, ", 1 left as they were (not smaller)")) << result.err;
    EXPECT_EQ(ReadBytes(site / "nav-fragment.htm"), ReadBytes(ExamplesDir() / "nav-fragment.htm"));
    EXPECT_FALSE(fs::exists(site / "nav-fragment.htm_backup"));
    for (const char* name : {"index.html", "price-list.htm", "manual/Tools.htm"}) {
        const std::string original = ReadBytes(ExamplesDir() / name);
        const std::string page = (site / name).string();
        EXPECT_LT(ReadBytes(page).size(), original.size()) << name;
        const auto decoded = Vexel({"decode", page});
        EXPECT_EQ(decoded.status, kExitOk) << decoded.err;
        EXPECT_EQ(decoded.out, original) << name;
        const auto expanded = Vexel({"expand", page});
        EXPECT_EQ(expanded.out, original) << name;
    }
    const auto verified = Vexel({"verify", "-r", site.string()});
    EXPECT_EQ(verified.status, kExitOk) << verified.err;
    EXPECT_TRUE(Contains(verified.out, (site / "index.html").string() + ": OK (modern page, byte for byte)"))
        << verified.out;
    EXPECT_TRUE(Contains(verified.err, "Pages: 9 OK, 0 mismatch, 0 not checked, 0 failed")) << verified.err;
}

TEST(Modern, PagesOfASiteFindTheirSharedFileByTheirPath) {
    ScratchDir dir;
    const fs::path site = dir.CopyExamples();
    const auto result = Vexel({"compress", "--modern", "--site", site.string(), "-r", site.string()});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(Contains(result.out, "Site file: ")) << result.out;
    std::vector<fs::path> shared;
    for (const auto& entry : fs::directory_iterator(site)) {
        if (entry.path().extension() == ".js") {
            shared.push_back(entry.path());
        }
    }
    ASSERT_EQ(shared.size(), 1u);
    const fs::path page = site / "manual" / "Tools.htm";
    EXPECT_TRUE(Contains(ReadBytes(page), "<script src=\"../" + shared[0].filename().string() + "\">"));
    EXPECT_EQ(Vexel({"decode", page.string()}).out, ReadBytes(ExamplesDir() / "manual" / "Tools.htm"));
    EXPECT_EQ(Vexel({"expand", page.string()}).out, ReadBytes(ExamplesDir() / "manual" / "Tools.htm"));
    const auto verified = Vexel({"verify", "-r", site.string()});
    EXPECT_EQ(verified.status, kExitOk) << verified.out;

    fs::rename(shared[0], dir.Path() / "elsewhere.js");
    const auto decoded = Vexel({"decode", page.string()});
    EXPECT_EQ(decoded.status, kExitFailed);
    EXPECT_TRUE(Contains(decoded.err, shared[0].filename().string() + "\", which is missing")) << decoded.err;
    EXPECT_EQ(Vexel({"verify", page.string()}).status, kExitFailed);
    // restore needs no shared file.
    EXPECT_EQ(Vexel({"restore", page.string()}).status, kExitOk);
    EXPECT_EQ(ReadBytes(page), ReadBytes(ExamplesDir() / "manual" / "Tools.htm"));
}

TEST(Modern, EncryptedPageTakesItsPasswordFromAFileAndHoldsNeitherItNorTheText) {
    ScratchDir dir;
    const std::string original =
        "<html><head><title>Board minutes</title></head><body><p>The merger closes on "
        "Friday.</p></body></html>";
    WriteBytes(dir.Path() / "m.htm", original);
    WriteBytes(dir.Path() / "pw.txt", "tr\xC3\xA8s secret\r\nsecond line\r\n");
    const auto result =
        Vexel({"compress", "--modern", "--encrypt", "--password-file", dir / "pw.txt", "-q", dir / "m.htm"});
    ASSERT_EQ(result.status, kExitOk) << result.err;
    const std::string page = ReadBytes(dir.Path() / "m.htm");
    for (const char* secret : {"merger", "Board minutes", "tr\xC3\xA8s secret", "second line"})
        EXPECT_FALSE(Contains(page, secret)) << secret;
    EXPECT_TRUE(Contains(page, "iterations:600000,"));

    auto decoded = Vexel({"decode", dir / "m.htm"});
    EXPECT_EQ(decoded.status, kExitFailed);
    EXPECT_TRUE(Contains(decoded.err, "give --password")) << decoded.err;
    EXPECT_TRUE(decoded.out.empty());
    decoded = Vexel({"decode", "--password", "tr\xC3\xA8s secreT", dir / "m.htm"});
    EXPECT_EQ(decoded.status, kExitFailed);
    EXPECT_TRUE(Contains(decoded.err, "wrong password")) << decoded.err;
    decoded = Vexel({"decode", "--password", "tr\xC3\xA8s secret", dir / "m.htm"});
    EXPECT_EQ(decoded.status, kExitOk) << decoded.err;
    EXPECT_EQ(decoded.out, original);

    const auto missing = Vexel({"decode", "--password-file", dir / "none.txt", dir / "m.htm"});
    EXPECT_EQ(missing.status, kExitFailed);
    EXPECT_TRUE(Contains(missing.err, "none.txt")) << missing.err;
}

TEST(Modern, PasswordFileWithAByteOrderMarkSealsWithThePasswordAlone) {
    ScratchDir dir;
    const std::string original = "<html><body><p>notes</p></body></html>";
    WriteBytes(dir.Path() / "m.htm", original);
    WriteBytes(dir.Path() / "pw.txt", "\xEF\xBB\xBFs3cret\r\n");
    ASSERT_EQ(
        Vexel({"compress", "--modern", "--encrypt", "--password-file", dir / "pw.txt", "-q", dir / "m.htm"}).status,
        kExitOk);
    const auto decoded = Vexel({"decode", "--password", "s3cret", dir / "m.htm"});
    EXPECT_EQ(decoded.status, kExitOk) << decoded.err;
    EXPECT_EQ(decoded.out, original);
    EXPECT_EQ(Vexel({"decode", "--password-file", dir / "pw.txt", dir / "m.htm"}).out, original);
}

TEST(Modern, EmptyOrNonUtf8PasswordIsAUsageErrorForEveryCommand) {
    ScratchDir dir;
    WriteBytes(dir.Path() / "p.htm", "<html><body><p>text</p></body></html>");
    WriteBytes(dir.Path() / "empty.txt", "\xEF\xBB\xBF\r\nsecond line");
    for (const std::vector<std::string>& args :
         {std::vector<std::string>{"compress", "--password", "", dir / "p.htm"},
          std::vector<std::string>{"compress", "--modern", "--encrypt", "--password-file", dir / "empty.txt",
                                   dir / "p.htm"},
          std::vector<std::string>{"compress", "--password", "tr\xE8s", dir / "p.htm"},
          std::vector<std::string>{"decode", "--password-file", dir / "empty.txt", dir / "p.htm"}}) {
        const auto result = Vexel(args);
        EXPECT_EQ(result.status, kExitUsage) << args[1] << " " << args[2];
        EXPECT_TRUE(Contains(result.err, "the password is")) << result.err;
    }
    EXPECT_EQ(ReadBytes(dir.Path() / "p.htm"), "<html><body><p>text</p></body></html>");
    EXPECT_FALSE(std::filesystem::exists(dir.Path() / "p.htm_backup"));
}

TEST(Verify, MismatchesAndPagesNotCheckedAreListedAndExitOne) {
    ScratchDir dir;
    const std::string page = "<html><body><p>" + std::string(3000, 'a') + "</p></body></html>";
    for (const char* name : {"classic.htm", "modern.htm", "sealed.htm", "changed.htm"})
        WriteBytes(dir.Path() / name, page);
    ASSERT_EQ(Vexel({"compress", "-q", dir / "classic.htm", dir / "changed.htm"}).status, kExitOk);
    ASSERT_EQ(Vexel({"compress", "-q", "--modern", dir / "modern.htm"}).status, kExitOk);
    ASSERT_EQ(
        Vexel({"compress", "-q", "--modern", "--encrypt", "--password", "pw", dir / "sealed.htm"}).status,
        kExitOk);
    WriteBytes(dir.Path() / "changed.htm_backup", page + " ");

    auto result = Vexel({"verify", dir.Path().string()});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.out, dir / "classic.htm" + ": OK (JavaScript page, byte for byte, as written with"))
        << result.out;
    EXPECT_TRUE(Contains(result.out, dir / "modern.htm" + ": OK")) << result.out;
    EXPECT_TRUE(Contains(result.out, dir / "changed.htm" + ": MISMATCH (JavaScript page): ")) << result.out;
    EXPECT_TRUE(Contains(result.out, dir / "sealed.htm" + ": NOT CHECKED (encrypted modern page)"))
        << result.out;
    EXPECT_TRUE(Contains(result.err, "Pages: 2 OK, 1 mismatch, 1 not checked, 0 failed")) << result.err;

    result = Vexel({"verify", "-q", "--password", "pw", dir / "sealed.htm", dir / "modern.htm"});
    EXPECT_EQ(result.status, kExitOk) << result.out << result.err;
    EXPECT_TRUE(result.out.empty()) << result.out;

    result = Vexel({"verify", dir / "unknown.htm"});
    EXPECT_EQ(result.status, kExitFailed);
    EXPECT_TRUE(Contains(result.err, "unknown.htm")) << result.err;
    EXPECT_TRUE(Contains(result.err, "1 failed")) << result.err;
}

TEST(Warnings, ClassicPagesThatWillSufferAreCountedInTheSummary) {
    ScratchDir dir;
    const std::string utf8 =
        "<html><head><meta charset=utf-8></head><body><p>\xE6\x97\xA5\xE6\x9C\xAC\xE8\xAA\x9E</p>" +
        std::string(2000, '.') + "</body></html>";
    WriteBytes(dir.Path() / "utf8.htm", utf8);
    WriteBytes(dir.Path() / "plain.htm", "<html><body>" + std::string(2000, '.') + "</body></html>");
    auto result = Vexel({"compress", dir / "utf8.htm", dir / "plain.htm"});
    EXPECT_EQ(result.status, kExitOk) << result.err;
    EXPECT_TRUE(Contains(result.out, "Warning: the page is in utf-8 (from its <meta> tag)")) << result.out;
    EXPECT_TRUE(Contains(result.err, "Warnings: 1 page(s) will open slowly or lose non-ASCII text"))
        << result.err;

    // Quiet runs still say so; modern pages have nothing to warn of.
    WriteBytes(dir.Path() / "again.htm", utf8);
    result = Vexel({"compress", "-q", dir / "again.htm"});
    EXPECT_TRUE(Contains(result.err, "Warnings: 1 page(s)")) << result.err;
    WriteBytes(dir.Path() / "modern.htm", utf8);
    result = Vexel({"compress", "--modern", dir / "modern.htm"});
    EXPECT_FALSE(Contains(result.out + result.err, "Warning")) << result.out << result.err;
}

}  // namespace
}  // namespace vexel::cli
