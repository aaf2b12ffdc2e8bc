// Every command's options read from a list of strings, through the one
// option parser; the one shape of a usage error; help for each command.
#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <sstream>

#include "report/cli/CheckCommand.h"
#include "report/cli/Commands.h"
#include "report/cli/DiffCommand.h"
#include "report/cli/InventoryCommand.h"
#include "report/cli/Reporter.h"

namespace quibex::report {
namespace {

using testing::HasSubstr;
using Args = std::vector<std::string>;

struct Outcome {
    int exitCode;
    std::string out, err;
};

Outcome Reporter(const Args& args) {
    std::ostringstream out, err;
    const int code = RunReporter(args, out, err, false);
    return {code, out.str(), err.str()};
}

TEST(CheckArguments, FillEveryOptionFromStrings) {
    const Parsed<CheckOptions> parsed =
        ParseCheckArguments({"--format=sarif", "--select", "line-endings, encoding", "--ignore=companion", "--fail-on",
                             "member.lines>3,procedure.nesting>=4", "--baseline", "b.json", "--git", "HEAD~1",
                             "--config", "q.toml", "--no-config", "--code-page", "932", "-o", "r.sarif", "P.vbp"});
    ASSERT_EQ(parsed.action, CommandAction::Run) << parsed.error;
    const CheckOptions& o = parsed.options;
    EXPECT_EQ(o.file, "P.vbp");
    EXPECT_EQ(o.format, "sarif");
    EXPECT_EQ(o.select, (std::vector<std::string>{"line-endings", "encoding"}));
    EXPECT_EQ(o.ignore, (std::vector<std::string>{"companion"}));
    EXPECT_EQ(o.failOn, (std::vector<std::string>{"member.lines>3", "procedure.nesting>=4"}));
    EXPECT_EQ(o.baseline, "b.json");
    EXPECT_EQ(o.git, "HEAD~1");
    EXPECT_EQ(o.configFile, "q.toml");
    EXPECT_TRUE(o.noConfig);
    EXPECT_EQ(o.codePage, 932);
    EXPECT_EQ(o.output, "r.sarif");
    // What is not given stays open for the settings file.
    const Parsed<CheckOptions> bare = ParseCheckArguments({"P.vbp"});
    EXPECT_FALSE(bare.options.format || bare.options.select || bare.options.baseline);
}

TEST(DiffArguments, NameEachSideAndItsRevision) {
    struct Case {
        Args args;
        std::string oldFile, newFile, oldGit, newGit;
        DiffFormat format;
    } cases[] = {
        {{"a.vbp", "b.vbg"}, "a.vbp", "b.vbg", "", "", DiffFormat::Text},
        {{"--format", "cloc-json", "a.json", "b.vbp"}, "a.json", "b.vbp", "", "", DiffFormat::ClocJson},
        {{"--git", "main", "App.vbp"}, "App.vbp", "App.vbp", "main", "", DiffFormat::Text},
        {{"--git=v1", "--format=json", "--git", "v2", "App.vbp"}, "App.vbp", "App.vbp", "v1", "v2", DiffFormat::Json},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        const Parsed<DiffOptions> parsed = ParseDiffArguments(c.args);
        ASSERT_EQ(parsed.action, CommandAction::Run) << parsed.error;
        EXPECT_EQ(parsed.options.oldFile, c.oldFile);
        EXPECT_EQ(parsed.options.newFile, c.newFile);
        EXPECT_EQ(parsed.options.oldGit, c.oldGit);
        EXPECT_EQ(parsed.options.newGit, c.newGit);
        EXPECT_EQ(parsed.options.format, c.format);
    }
}

TEST(InventoryArguments, FormatAndOrphans) {
    const Parsed<InventoryOptions> parsed = ParseInventoryArguments({"--orphans", "--format", "cyclonedx", "G.VBG"});
    ASSERT_EQ(parsed.action, CommandAction::Run) << parsed.error;
    EXPECT_EQ(parsed.options.format, InventoryFormat::CycloneDx);
    EXPECT_TRUE(parsed.options.orphans);
    EXPECT_EQ(parsed.options.file, "G.VBG");
}

// One table for every command's refusals: the reason each gives.
TEST(CommandArguments, RefuseWithAReason) {
    using Parse = CommandAction (*)(const Args&, std::string&);
    const auto check = +[](const Args& a, std::string& e) { auto p = ParseCheckArguments(a); e = p.error; return p.action; };
    const auto diff = +[](const Args& a, std::string& e) { auto p = ParseDiffArguments(a); e = p.error; return p.action; };
    const auto inventory = +[](const Args& a, std::string& e) {
        auto p = ParseInventoryArguments(a);
        e = p.error;
        return p.action;
    };
    const std::tuple<Parse, Args, std::string> cases[] = {
        {check, {}, "no project or group file given"},
        {check, {"a.vbp", "b.vbp"}, "one project or group only: 'a.vbp' and 'b.vbp'"},
        {check, {"--git=", "a.vbp"}, "--git needs a revision"},
        {check, {"a.vbp", "--select"}, "--select needs a value"},
        {check, {"--bogus", "a.vbp"}, "unknown option '--bogus'"},
        {check, {"--no-config=yes", "a.vbp"}, "unknown option '--no-config=yes'"},  // a flag takes no value
        {check, {"-o", "", "a.vbp"}, "-o needs a file name"},
        {diff, {"a.vbp"}, "one file needs --git"},
        {diff, {"a", "b", "c"}, "give OLD and NEW"},
        {diff, {"--git", "1", "--git", "2", "--git", "3", "a.vbp"}, "at most two revisions"},
        {diff, {"--format", "csv", "a", "b"}, "unknown format 'csv'"},
        {diff, {"a", "b", "--code-page", "7"}, "unknown code page '7'"},
        {inventory, {"--format", "sarif", "G.vbg"}, "--format needs text, csv, json or cyclonedx"},
        {inventory, {"G.vbg", "--format"}, "--format needs text, csv, json or cyclonedx"},
        {inventory, {"G.txt"}, "'G.txt' is neither"},
        {inventory, {"a.vbp", "b.vbp"}, "more than one file given"},
    };
    for (const auto& [parse, args, reason] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        std::string error;
        EXPECT_EQ(parse(args, error), CommandAction::UsageError);
        EXPECT_THAT(error, HasSubstr(reason));
    }
    // --help wins where it stands; after "--" everything is an operand.
    std::string error;
    EXPECT_EQ(check({"-h", "--bogus"}, error), CommandAction::Help);
    EXPECT_EQ(diff({"a", "b", "--help"}, error), CommandAction::Help);
    EXPECT_EQ(inventory({"--", "--help"}, error), CommandAction::UsageError);
    EXPECT_THAT(error, HasSubstr("'--help' is neither"));
}

TEST(Commands, EachIsRegisteredOnceAndListedInTheHelp) {
    const std::string help = Reporter({"--help"}).out;
    for (const Command* command : Commands()) {
        if (command->name.empty()) continue;
        EXPECT_EQ(FindCommand(command->name), command);
        const std::string line = "  " + std::string(command->name) + " ";
        EXPECT_EQ(help.find(line), help.rfind(line)) << command->name;
        EXPECT_THAT(help, HasSubstr(line));
    }
    EXPECT_EQ(FindCommand("nosuch"), nullptr);
}

TEST(Commands, HelpCommandGivesEachCommandsHelp) {
    for (const Command* command : Commands()) {
        SCOPED_TRACE(std::string(command->name));
        const Args viaHelp = command->name.empty() ? Args{"help"} : Args{"help", std::string(command->name)};
        const Args viaOption = command->name.empty() ? Args{"--help"} : Args{std::string(command->name), "--help"};
        const Outcome help = Reporter(viaHelp);
        EXPECT_EQ(help.exitCode, kExitOk);
        EXPECT_EQ(help.out, Reporter(viaOption).out);
        EXPECT_THAT(help.out, testing::StartsWith(command->usage()));
        EXPECT_THAT(help.out, HasSubstr("\nOptions:\n"));
        EXPECT_THAT(help.out, HasSubstr("  -h, --help          print this help and exit\n"));
    }
    const Outcome unknown = Reporter({"help", "nosuch"});
    EXPECT_EQ(unknown.exitCode, kExitUsage);
    EXPECT_THAT(unknown.err, HasSubstr("unknown command 'nosuch'"));
}

TEST(Commands, EveryUsageErrorHasOneShape) {
    for (const Command* command : Commands()) {
        const std::string title = CommandTitle(*command);
        SCOPED_TRACE(title);
        Args args = {"--bogus", "P.vbp"};
        if (!command->name.empty()) args.insert(args.begin(), std::string(command->name));
        const Outcome run = Reporter(args);
        EXPECT_EQ(run.exitCode, kExitUsage);
        EXPECT_EQ(run.out, "");
        EXPECT_EQ(run.err, title + ": unknown option '--bogus'\n" + command->usage() + "Run '" + title +
                               " --help' for more.\n");
        EXPECT_THAT(command->usage(), testing::StartsWith("Usage: quibex-report"));
    }
}

}  // namespace
}  // namespace quibex::report
