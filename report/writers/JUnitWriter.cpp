// check --format junit: the JUnit XML that CI systems show as a test
// report. Each rule is a test suite (with its summary, level and help link
// as properties) and each file it looked at a test case, so a report tells
// the files that pass as well as those that fail.

#include "report/writers/JUnitWriter.h"

#include <algorithm>
#include <map>
#include <set>

#include "report/model/Rules.h"
#include "report/text/Escape.h"

namespace quibex::report {

void WriteFindingsJUnit(const std::vector<Finding>& findings, const FindingsContext& context, std::ostream& out) {
    std::vector<std::string_view> rules = context.rulesRun;
    std::vector<std::string_view> files(context.files.begin(), context.files.end());
    std::set<std::string_view> knownFiles(files.begin(), files.end());
    std::map<std::pair<std::string_view, std::string_view>, std::vector<const Finding*>> byCase;
    for (const Finding& f : findings) {
        if (std::find(rules.begin(), rules.end(), f.rule) == rules.end()) rules.push_back(f.rule);
        if (knownFiles.insert(f.path).second) files.push_back(f.path);
        byCase[{f.rule, f.path}].push_back(&f);
    }

    struct Tally {
        std::size_t cases = 0, failures = 0;
    };
    auto fails = [](const std::vector<const Finding*>& list) {
        return std::any_of(list.begin(), list.end(), [](const Finding* f) { return f->severity == Severity::Error; });
    };
    std::vector<Tally> tallies(rules.size());
    Tally total;
    for (std::size_t r = 0; r < rules.size(); ++r) {
        tallies[r].cases = files.size();
        for (std::string_view file : files) {
            auto found = byCase.find({rules[r], file});
            if (found != byCase.end() && fails(found->second)) ++tallies[r].failures;
        }
        total.cases += tallies[r].cases;
        total.failures += tallies[r].failures;
    }

    std::string xml = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    xml += "<testsuites name=\"" + XmlText("quibex-report check " + context.file) + "\" tests=\"" +
           std::to_string(total.cases) + "\" failures=\"" + std::to_string(total.failures) + "\" errors=\"0\">\n";
    for (std::size_t r = 0; r < rules.size(); ++r) {
        const std::string rule = XmlText(rules[r]);
        xml += "  <testsuite name=\"" + rule + "\" tests=\"" + std::to_string(tallies[r].cases) + "\" failures=\"" +
               std::to_string(tallies[r].failures) + "\" errors=\"0\" skipped=\"0\">\n";
        if (const CheckRule* known = FindCheckRule(rules[r])) {
            xml += "    <properties>\n";
            xml += "      <property name=\"summary\" value=\"" + XmlText(known->summary) + "\"/>\n";
            xml += "      <property name=\"level\" value=\"" + std::string(SeverityName(known->level)) + "\"/>\n";
            xml += "      <property name=\"help\" value=\"" + XmlText(RuleHelpUri(*known)) + "\"/>\n";
            xml += "    </properties>\n";
        }
        for (std::string_view file : files) {
            const std::string path = XmlText(file);
            xml += "    <testcase classname=\"" + rule + "\" name=\"" + path + "\" file=\"" + path + "\"";
            auto found = byCase.find({rules[r], file});
            if (found == byCase.end()) {
                xml += "/>\n";
                continue;
            }
            xml += ">\n";
            // Readers take the first <failure> of a case and no more: every
            // finding goes into one, a line each (escaped one by one, so the
            // line breaks between them stay plain).
            std::string lines, firstError;
            std::size_t errors = 0;
            for (const Finding* f : found->second) {
                if (!lines.empty()) lines += '\n';
                // As the text format writes it: "path:line: warning: message".
                std::string line(file);
                if (f->line > 0) line.append(":").append(std::to_string(f->line));
                line.append(": ").append(f->severity == Severity::Warning ? "warning: " : "").append(f->message);
                lines += XmlText(line);
                if (f->severity == Severity::Error && errors++ == 0) firstError = f->message;
            }
            // Warnings do not fail the check, nor the test case.
            if (errors > 0) {
                if (errors > 1) firstError += " (and " + std::to_string(errors - 1) + " more)";
                xml +=
                    "      <failure type=\"error\" message=\"" + XmlText(firstError) + "\">" + lines + "</failure>\n";
            } else {
                xml += "      <system-out>" + lines + "</system-out>\n";
            }
            xml += "    </testcase>\n";
        }
        xml += "  </testsuite>\n";
    }
    xml += "</testsuites>\n";
    out << xml;
}

}  // namespace quibex::report
