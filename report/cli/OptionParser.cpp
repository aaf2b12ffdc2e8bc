#include "report/cli/OptionParser.h"

#include <algorithm>

#include "engine/CodePage.h"
#include "report/text/Strings.h"

namespace quibex::report {

namespace {

enum CommonId { kCodePage = -100, kOutput, kProgress, kNoProgress, kHelp, kVersion };

constexpr Option kCommonOptions[] = {
    {"--code-page", "", "N",
     "the ANSI code page the project was written in (default\n"
     "1252; 932, 936, 949 and 950 are double-byte). On Windows\n"
     "the default is the system's code page",
     kCodePage, "--code-page needs a number, such as 1252 or 932"},
    {"--output", "-o", "FILE",
     "write the report to FILE (- for standard output); a\n"
     "report that cannot be written whole leaves FILE as it was",
     kOutput, "-o needs a file name, or - for standard output"},
    {"--progress", "", "",
     "show members and lines read so far on stderr\n"
     "(the default when stderr is a terminal)",
     kProgress},
    {"--no-progress", "", "", "show no progress", kNoProgress},
};
constexpr Option kVersionOption = {"--version", "", "", "print the version and exit", kVersion};
constexpr Option kHelpOption = {"--help", "-h", "", "print this help and exit", kHelp};

// Whether args[i] is `option`; its value, then, in `value` (i moved past a
// value given as the next argument), or `missing` set.
bool Matches(const Option& option, const std::vector<std::string>& args, std::size_t& i, std::string& value,
             bool& missing) {
    const std::string& arg = args[i];
    if (arg == option.name || (!option.shortName.empty() && arg == option.shortName)) {
        if (!option.TakesValue()) return true;
        if (i + 1 == args.size()) {
            missing = true;
        } else {
            value = args[++i];
        }
        return true;
    }
    const std::string_view name = option.name;
    return option.TakesValue() && arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 &&
           arg[name.size()] == '=' && (value = arg.substr(name.size() + 1), true);
}

// The common options' values, or the reason one is refused.
std::string TakeCommon(const Option& option, const std::string& value, CommonOptions& common) {
    switch (option.id) {
        case kProgress: common.progress = ProgressMode::On; break;
        case kNoProgress: common.progress = ProgressMode::Off; break;
        case kCodePage: {
            const std::optional<long long> number = NumberValue(value, 65535);
            if (!number || !CodePageFromNumber(static_cast<int>(*number))) {
                return "unknown code page '" + value + "': use one of " + std::string(KnownCodePages());
            }
            common.codePage = static_cast<int>(*number);
            break;
        }
        case kOutput:
            if (value.empty()) return std::string(option.missing);
            common.output = value;
            break;
        default: break;
    }
    return {};
}

// The help column starts here, as in every command's help.
constexpr std::size_t kHelpColumn = 22;

void AddHelpRow(std::string& help, const Option& option) {
    std::string left = "  ";
    if (!option.shortName.empty()) left += std::string(option.shortName) + ", ";
    left += option.name;
    if (!option.argument.empty()) left += " " + std::string(option.argument);
    left += std::string(left.size() < kHelpColumn ? kHelpColumn - left.size() : 1, ' ');
    std::string_view text = option.help;
    for (bool first = true;; first = false) {
        const std::size_t end = text.find('\n');
        help += first ? left : std::string(kHelpColumn, ' ');
        help += text.substr(0, end);
        help += '\n';
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
}

}  // namespace

std::optional<long long> NumberValue(const std::string& value, long long most) {
    const std::optional<long long> number = WholeNumber(value);
    if (!number || *number > most) return std::nullopt;
    return number;
}

CommandAction ReadArguments(const std::vector<std::string>& args, const OptionTable& table, CommonOptions& common,
                            const std::function<std::string(const Option&, const std::string&)>& take,
                            std::vector<std::string>& operands, std::string& error) {
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            operands.push_back(arg);
            continue;
        }
        if (arg == "--") {
            optionsEnded = true;
            continue;
        }
        std::string value;
        bool missing = false;
        if (Matches(kHelpOption, args, i, value, missing)) return CommandAction::Help;
        if (table.version && Matches(kVersionOption, args, i, value, missing)) return CommandAction::Version;
        const Option* met = nullptr;
        bool isCommon = false;
        for (const Option& option : table.own) {
            if (option.id != kHelpRow && Matches(option, args, i, value, missing)) {
                met = &option;
                break;
            }
        }
        for (const Option& option : kCommonOptions) {
            if (met) break;
            if (Matches(option, args, i, value, missing)) {
                met = &option;
                isCommon = true;
            }
        }
        if (!met) {
            error = "unknown option '" + arg + "'";
            return CommandAction::UsageError;
        }
        if (missing) {
            error = met->missing.empty() ? arg + " needs a value" : std::string(met->missing);
            return CommandAction::UsageError;
        }
        error = isCommon ? TakeCommon(*met, value, common) : take(*met, value);
        if (!error.empty()) return CommandAction::UsageError;
    }
    return CommandAction::Run;
}

std::string OptionsHelp(const OptionTable& table) {
    std::string help;
    for (const Option& option : table.own) AddHelpRow(help, option);
    for (const Option& option : kCommonOptions) AddHelpRow(help, option);
    if (table.version) AddHelpRow(help, kVersionOption);
    AddHelpRow(help, kHelpOption);
    return help;
}

}  // namespace quibex::report
