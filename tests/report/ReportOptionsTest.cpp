#include <gtest/gtest.h>

#include "report/cli/ReportOptions.h"

namespace quibex::report {
namespace {

struct ParseCase {
    std::vector<std::string> args;
    CommandAction action;
    ReportFormat format = ReportFormat::Text;
    ProgressMode progress = ProgressMode::Auto;
    std::string file = {};
};

TEST(ParseArguments, AcceptsEveryFormOfAValidCommandLine) {
    const ParseCase cases[] = {
        {{"P.vbp"}, CommandAction::Run, ReportFormat::Text, ProgressMode::Auto, "P.vbp"},
        {{"--format", "json", "P.vbp"}, CommandAction::Run, ReportFormat::Json, ProgressMode::Auto, "P.vbp"},
        {{"--format=csv", "G.vbg"}, CommandAction::Run, ReportFormat::Csv, ProgressMode::Auto, "G.vbg"},
        {{"P.vbp", "--format", "text"}, CommandAction::Run, ReportFormat::Text, ProgressMode::Auto, "P.vbp"},
        {{"--progress", "P.vbp"}, CommandAction::Run, ReportFormat::Text, ProgressMode::On, "P.vbp"},
        {{"--no-progress", "P.vbp"}, CommandAction::Run, ReportFormat::Text, ProgressMode::Off, "P.vbp"},
        // The last of contradicting options wins.
        {{"--progress", "--no-progress", "--format", "csv", "--format", "json", "P.vbp"}, CommandAction::Run,
         ReportFormat::Json, ProgressMode::Off, "P.vbp"},
        // Extensions in any letter case, paths with folders of either kind.
        {{"C:\\Projects\\APP.VBP"}, CommandAction::Run, ReportFormat::Text, ProgressMode::Auto, "C:\\Projects\\APP.VBP"},
        {{"/src/Group.VbG"}, CommandAction::Run, ReportFormat::Text, ProgressMode::Auto, "/src/Group.VbG"},
        {{".VBG"}, CommandAction::Run, ReportFormat::Text, ProgressMode::Auto, ".VBG"},
        // After "--" a file may start with "-".
        {{"--", "-odd.vbp"}, CommandAction::Run, ReportFormat::Text, ProgressMode::Auto, "-odd.vbp"},
        // --help and --version win wherever they stand, even beside errors.
        {{"--help"}, CommandAction::Help},
        {{"-h", "P.vbp"}, CommandAction::Help},
        {{"P.vbp", "--version"}, CommandAction::Version},
        {{"--version", "--bogus"}, CommandAction::Version},
    };
    for (const ParseCase& c : cases) {
        SCOPED_TRACE(testing::PrintToString(c.args));
        ParsedCommand parsed = ParseArguments(c.args);
        ASSERT_EQ(parsed.action, c.action) << parsed.error;
        if (c.action != CommandAction::Run) continue;
        EXPECT_EQ(parsed.options.format, c.format);
        EXPECT_EQ(parsed.options.progress, c.progress);
        EXPECT_EQ(parsed.options.file, c.file);
    }
}

TEST(ParseArguments, RejectsUsageErrorsWithAReason) {
    const std::pair<std::vector<std::string>, std::string> cases[] = {
        {{}, "no project or group file"},
        {{"--format", "json"}, "no project or group file"},
        {{"--format"}, "--format needs a value"},
        {{"--format", "xml", "P.vbp"}, "unknown format 'xml'"},
        {{"--format=", "P.vbp"}, "unknown format ''"},
        {{"--format", "JSON", "P.vbp"}, "unknown format 'JSON'"},
        {{"--bogus", "P.vbp"}, "unknown option '--bogus'"},
        {{"-x", "P.vbp"}, "unknown option '-x'"},
        {{"P.vbp", "Q.vbp"}, "more than one file"},
        {{"P.txt"}, "'P.txt' is neither"},
        {{"P.vbpx"}, "'P.vbpx' is neither"},
        {{"vbp"}, "'vbp' is neither"},
        {{"-"}, "'-' is neither"},
        {{"P.frm"}, "'P.frm' is neither"},
        {{"P.vbp.bak"}, "'P.vbp.bak' is neither"},
        {{"--code-page", "1200", "P.vbp"}, "unknown code page '1200'"},
        {{"--code-page=shift-jis", "P.vbp"}, "unknown code page 'shift-jis'"},
        {{"--code-page"}, "--code-page needs a number"},
        {{"--top", "-1", "P.vbp"}, "--top needs a number"},
        {{"--top", "3", "--format", "csv", "P.vbp"}, "--top needs --format text"},
        {{"--procedures", "P.vbp"}, "--procedures needs --format csv"},
        {{"--by-file", "--format", "json", "P.vbp"}, "--by-file needs --format cloc-json"},
        {{"-o", "P.vbp"}, "no project or group file"},
        {{"P.vbp", "-o"}, "-o needs a file name"},
    };
    for (const auto& [args, reason] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        ParsedCommand parsed = ParseArguments(args);
        EXPECT_EQ(parsed.action, CommandAction::UsageError);
        EXPECT_NE(parsed.error.find(reason), std::string::npos) << parsed.error;
    }
}

TEST(ParseArguments, SourceModelOptions) {
    ParsedCommand parsed = ParseArguments({"--detail", "--code-page", "932", "-o", "r.json", "P.vbp"});
    ASSERT_EQ(parsed.action, CommandAction::Run) << parsed.error;
    EXPECT_TRUE(parsed.options.detail);
    EXPECT_EQ(parsed.options.codePage, 932);
    EXPECT_EQ(parsed.options.output, "r.json");

    // The model is read only when the report shows it; --top asks for it.
    const std::pair<std::vector<std::string>, bool> cases[] = {
        {{"P.vbp"}, false},
        {{"--format", "json", "P.vbp"}, false},
        {{"--top=3", "P.vbp"}, true},
        {{"--format", "csv", "--procedures", "P.vbp"}, true},
        {{"--format", "cloc-json", "P.vbp"}, true},
        {{"--format=cloc-json", "--by-file", "P.vbp"}, true},
    };
    for (const auto& [args, model] : cases) {
        SCOPED_TRACE(testing::PrintToString(args));
        parsed = ParseArguments(args);
        ASSERT_EQ(parsed.action, CommandAction::Run) << parsed.error;
        EXPECT_EQ(parsed.options.NeedsSourceModel(), model);
    }
}

}  // namespace
}  // namespace quibex::report
