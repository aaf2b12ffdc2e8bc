#include "report/cli/OptionParsing.h"

#include "engine/CodePage.h"
#include "report/text/Strings.h"

namespace quibex::report {

bool ValueOption::Is(std::string_view name, std::string& value, bool& missing, std::string_view shortName) {
    const std::string& arg = args_[i_];
    if (arg == name || (!shortName.empty() && arg == shortName)) {
        if (i_ + 1 == args_.size()) {
            missing = true;
        } else {
            value = args_[++i_];
        }
        return true;
    }
    if (arg.size() > name.size() && arg.compare(0, name.size(), name) == 0 && arg[name.size()] == '=') {
        value = arg.substr(name.size() + 1);
        return true;
    }
    return false;
}

OptionResult TakeCommonOption(const std::vector<std::string>& args, std::size_t& i, CommonOptions& options,
                              std::string& error) {
    const std::string& arg = args[i];
    std::string value;
    bool missing = false;
    ValueOption option(args, i);
    if (arg == "--progress") {
        options.progress = ProgressMode::On;
    } else if (arg == "--no-progress") {
        options.progress = ProgressMode::Off;
    } else if (option.Is("--code-page", value, missing)) {
        if (missing) {
            error = "--code-page needs a number, such as 1252 or 932";
            return OptionResult::Error;
        }
        auto number = WholeNumber(value);
        if (!number || *number > 65535 || !CodePageFromNumber(static_cast<int>(*number))) {
            error = "unknown code page '" + value + "': use one of " + std::string(KnownCodePages());
            return OptionResult::Error;
        }
        options.codePage = static_cast<int>(*number);
    } else if (option.Is("--output", value, missing, "-o")) {
        if (missing || value.empty()) {
            error = "-o needs a file name, or - for standard output";
            return OptionResult::Error;
        }
        options.output = value;
    } else {
        return OptionResult::NotCommon;
    }
    return OptionResult::Taken;
}

std::string_view CommonOptionsHelp() {
    return "  --code-page N       the ANSI code page the project was written in (default\n"
           "                      1252; 932, 936, 949 and 950 are double-byte). On Windows\n"
           "                      the default is the system's code page\n"
           "  -o, --output FILE   write the report to FILE (- for standard output); a\n"
           "                      report that cannot be written whole leaves FILE as it was\n"
           "  --progress          show members and lines read so far on stderr\n"
           "                      (the default when stderr is a terminal)\n"
           "  --no-progress       show no progress\n";
}

}  // namespace quibex::report
