#include "report/model/Report.h"

#include "engine/mdlFill.h"

namespace quibex::report {

ReportData CollectReport(const std::string& file, const StatisticsModel& stats, const MemoryDisplay& display,
                        const std::string& error, const TextConverter& toUtf8) {
    ReportData report;
    report.file = toUtf8(file);
    const std::vector<std::string>& items = display.Items();
    for (std::size_t i = 0; i < stats.Records().size(); ++i) {
        MemberRow row;
        row.record = stats.Records()[i];
        row.record.Path = toUtf8(row.record.Path);
        row.record.TypeName = toUtf8(row.record.TypeName);
        // List entry i belongs to record i + 1; the engine lists every record.
        if (i < items.size()) row.name = toUtf8(items[i]);
        report.members.push_back(std::move(row));
    }
    for (Label label : AllLabels()) report.labels[static_cast<int>(label)] = toUtf8(display.Text(label));
    report.binaryTotal = stats.BinaryTotal;
    report.interfaceLinesTotal = stats.InterfaceLinesTotal;
    report.interfaceBytesTotal = stats.InterfaceBytesTotal;
    report.codeLinesTotal = stats.CodeLinesTotal;
    report.codeBytesTotal = stats.CodeBytesTotal;
    report.error = toUtf8(error);
    return report;
}

}  // namespace quibex::report
