#include "report/writers/CheckFormats.h"

#include "report/writers/CodeClimateWriter.h"
#include "report/writers/JUnitWriter.h"
#include "report/writers/JsonReportWriter.h"
#include "report/writers/SarifWriter.h"
#include "report/writers/SonarQubeWriter.h"
#include "report/writers/TextWriter.h"

namespace quibex::report {

namespace {

void WriteText(const std::vector<Finding>& findings, const FindingsContext&, std::ostream& out) {
    WriteFindingsText(findings, out);
}

void WriteJson(const std::vector<Finding>& findings, const FindingsContext& context, std::ostream& out) {
    WriteFindingsJson(context.file, findings, out);
}

}  // namespace

const std::vector<CheckFormat>& CheckFormats() {
    static const std::vector<CheckFormat> formats = {
        {"text", &WriteText},
        {"json", &WriteJson},
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
