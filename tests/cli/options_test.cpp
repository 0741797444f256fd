// Argument parsing, help and the exit status of bad usage.
#include <gtest/gtest.h>

#include "tests/cli/cli_test_support.h"
#include "cli/options.h"

namespace vexel::cli {
namespace {

using support::Vexel;

TEST(Options, CompressDefaultsMatchTheProgramStart) {
    const Invocation inv = ParseArguments({"compress", "site"});
    EXPECT_EQ(inv.command, Command::Compress);
    EXPECT_EQ(inv.paths, std::vector<std::string>{"site"});
    EXPECT_FALSE(inv.vbscript);
    EXPECT_FALSE(inv.keepWhitespace);
    EXPECT_FALSE(inv.keepHighBytes);
    EXPECT_FALSE(inv.passwordSet);
    EXPECT_FALSE(inv.highSpeed);
    EXPECT_FALSE(inv.recursive);
    EXPECT_FALSE(inv.dryRun);
    EXPECT_EQ(inv.jobs, 0);
}

TEST(Options, CompressOptionsInAnyPlaceAndForm) {
    const Invocation inv =
        ParseArguments({"compress", "a.htm", "--vbscript", "--keep-whitespace", "--keep-high-bytes", "--password",
                        "", "--high-speed", "--log=run.log", "-j3", "b", "-r", "-q", "-n"});
    EXPECT_EQ(inv.paths, (std::vector<std::string>{"a.htm", "b"}));
    EXPECT_TRUE(inv.vbscript);
    EXPECT_TRUE(inv.keepWhitespace);
    EXPECT_TRUE(inv.keepHighBytes);
    EXPECT_TRUE(inv.passwordSet);  // an empty password is still a password
    EXPECT_EQ(inv.password, "");
    EXPECT_TRUE(inv.highSpeed);
    EXPECT_EQ(inv.logFile, "run.log");
    EXPECT_EQ(inv.jobs, 3);
    EXPECT_TRUE(inv.recursive);
    EXPECT_TRUE(inv.quiet);
    EXPECT_TRUE(inv.dryRun);

    EXPECT_EQ(ParseArguments({"compress", "--jobs", "12", "x"}).jobs, 12);
    EXPECT_EQ(ParseArguments({"compress", "--jobs=256", "x"}).jobs, 256);
    EXPECT_EQ(ParseArguments({"compress", "--password=a b=c", "x"}).password, "a b=c");
}

TEST(Options, DoubleDashEndsTheOptions) {
    const Invocation inv = ParseArguments({"compress", "--", "--odd name.htm", "-q"});
    EXPECT_EQ(inv.paths, (std::vector<std::string>{"--odd name.htm", "-q"}));
    EXPECT_FALSE(inv.quiet);
}

TEST(Options, ExpandAndDecodeTakeOneFileAndAnOutput) {
    const Invocation expand = ParseArguments({"expand", "data.raw", "-o", "out.txt"});
    EXPECT_EQ(expand.command, Command::Expand);
    EXPECT_EQ(expand.paths, std::vector<std::string>{"data.raw"});
    EXPECT_EQ(expand.output, "out.txt");
    EXPECT_EQ(ParseArguments({"decode", "--output=x", "p.htm"}).output, "x");
    EXPECT_EQ(ParseArguments({"decode", "-ox", "p.htm"}).output, "x");
}

TEST(Options, BadUsageIsRejected) {
    const std::vector<std::vector<std::string>> bad = {
        {},
        {"squash", "x"},
        {"--frobnicate"},
        {"compress"},
        {"compress", "--frobnicate", "x"},
        {"compress", "--jobs", "0", "x"},
        {"compress", "--jobs", "-1", "x"},
        {"compress", "--jobs", "many", "x"},
        {"compress", "--jobs", "257", "x"},
        {"compress", "--jobs=", "x"},
        {"compress", "x", "--jobs"},
        {"compress", "x", "--password"},
        {"compress", "x", "--log"},
        {"compress", "--quiet=yes", "x"},
        {"compress", "-rq", "x"},
        {"compress", "-o", "out", "x"},  // an option of another command
        {"restore", "--vbscript", "x"},
        {"expand"},
        {"expand", "a", "b"},
        {"expand", "--recursive", "a"},
        {"decode", "a", "-o"},
        {"help", "squash"},
    };
    for (const auto& args : bad) {
        std::string joined;
        for (const auto& a : args)
            joined += "[" + a + "]";
        EXPECT_THROW(ParseArguments(args), UsageError) << joined;
    }
}

TEST(Options, HelpForTheToolAndEachCommand) {
    EXPECT_TRUE(ParseArguments({"--help"}).help);
    EXPECT_TRUE(ParseArguments({"-h"}).help);
    EXPECT_TRUE(ParseArguments({"--version"}).version);
    // Help wins over missing arguments.
    const Invocation inv = ParseArguments({"compress", "--help"});
    EXPECT_TRUE(inv.help);
    EXPECT_EQ(inv.command, Command::Compress);
    EXPECT_EQ(ParseArguments({"help", "restore"}).command, Command::Restore);
}

TEST(ExitStatus, BadUsageIsTwoWithAHintOnStandardError) {
    auto result = Vexel({"compress", "--jobs", "0", "site"});
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_TRUE(result.out.empty());
    EXPECT_EQ(result.err.rfind("vexel: bad --jobs value '0'", 0), 0u) << result.err;
    EXPECT_NE(result.err.find("vexel compress --help"), std::string::npos);

    result = Vexel({"compress", "--no-such-option", "site"});
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_NE(result.err.find("'--no-such-option'"), std::string::npos) << result.err;

    result = Vexel({});
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_EQ(result.err.rfind("vexel: ", 0), 0u);

    result = Vexel({"expand"});
    EXPECT_EQ(result.status, kExitUsage);
    EXPECT_NE(result.err.find("DATAFILE"), std::string::npos);
}

TEST(ExitStatus, HelpAndVersionGoToStandardOutput) {
    auto result = Vexel({"--help"});
    EXPECT_EQ(result.status, kExitOk);
    for (const char* command : {"compress", "restore", "decode", "expand"})
        EXPECT_NE(result.out.find(command), std::string::npos) << command;

    result = Vexel({"compress", "--help"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.out.rfind("Usage: vexel compress", 0), 0u);
    for (const char* option : {"--vbscript", "--keep-whitespace", "--keep-high-bytes", "--password", "--high-speed",
                               "--log", "--quiet", "--jobs", "--dry-run", "--recursive"})
        EXPECT_NE(result.out.find(option), std::string::npos) << option;
    EXPECT_TRUE(result.err.empty());

    EXPECT_EQ(Vexel({"decode", "-h"}).out.rfind("Usage: vexel decode", 0), 0u);
    EXPECT_EQ(Vexel({"help", "expand"}).out.rfind("Usage: vexel expand", 0), 0u);

    result = Vexel({"--version"});
    EXPECT_EQ(result.status, kExitOk);
    EXPECT_EQ(result.out.rfind("vexel ", 0), 0u);
}

}  // namespace
}  // namespace vexel::cli
