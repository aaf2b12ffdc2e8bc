#include "report/writers/CheckFormats.h"

namespace quibex::report {

const std::vector<CheckFormat>& CheckFormats() {
    static const std::vector<CheckFormat> formats = {
        {"text", [](const std::vector<Finding>& findings, const CheckRun&, std::ostream& out) {
             WriteFindingsText(findings, out);
         }},
        {"json", [](const std::vector<Finding>& findings, const CheckRun& run, std::ostream& out) {
             WriteFindingsJson(run.file, findings, out);
         }},
        {"sarif", &WriteFindingsSarif},
        {"sonarqube", &WriteFindingsSonarQube},
        {"codeclimate", &WriteFindingsCodeClimate},
        {"junit", &WriteFindingsJUnit},
    };
    return formats;
}

const CheckFormat* FindCheckFormat(std::string_view name) {
    for (const CheckFormat& format : CheckFormats()) {
        if (format.name == name) return &format;
    }
    return nullptr;
}

std::string CheckFormatNames() {
    std::string names;
    for (const CheckFormat& format : CheckFormats()) names += (names.empty() ? "" : ", ") + std::string(format.name);
    return names;
}

}  // namespace quibex::report
