#include "report/writers/CsvWriter.h"

#include "report/text/Escape.h"

namespace quibex::report {

void WriteCsv(const ReportData& report, std::ostream& out) {
    // RFC 4180 ends every record with CR LF.
    out << "path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes\r\n";
    for (const MemberRow& m : report.members) {
        const MemberRecord& r = m.record;
        out << CsvField(r.Path) << ',' << CsvField(m.name) << ',' << CsvField(r.TypeName) << ',' << r.FileSize << ','
            << r.BinarySize << ',' << r.InterfaceLines << ',' << r.InterfaceBytes << ',' << r.CodeLines << ','
            << r.CodeBytes << "\r\n";
    }
}

void WriteDetailCsv(const ReportData& report, const DetailData& detail, std::ostream& out) {
    out << "path,name,type,fileSize,binarySize,interfaceLines,interfaceBytes,codeLines,codeBytes,"
           "designerLines,attributeLines,blankLines,commentLines,sourceCodeLines,procedures,controls\r\n";
    for (std::size_t i = 0; i < report.members.size(); ++i) {
        const MemberRow& m = report.members[i];
        const MemberRecord& r = m.record;
        out << CsvField(r.Path) << ',' << CsvField(m.name) << ',' << CsvField(r.TypeName) << ',' << r.FileSize << ','
            << r.BinarySize << ',' << r.InterfaceLines << ',' << r.InterfaceBytes << ',' << r.CodeLines << ','
            << r.CodeBytes;
        const vb6::MemberModel empty;
        const vb6::MemberModel& model = i < detail.members.size() ? detail.members[i] : empty;
        for (vb6::LineClass c : vb6::kLineClasses) out << ',' << model.lines[c];
        out << ',' << model.procedures.size() << ',' << model.controlCount << "\r\n";
    }
}

void WriteProceduresCsv(const ReportData& report, const DetailData& detail, std::ostream& out) {
    out << "path,member,procedure,kind,scope,static,firstLine,lastLine,ended,designerLines,attributeLines,"
           "blankLines,commentLines,codeLines,complexity,nesting,handler,handlerObject\r\n";
    for (std::size_t i = 0; i < report.members.size() && i < detail.members.size(); ++i) {
        const MemberRow& m = report.members[i];
        for (const vb6::Procedure& p : detail.members[i].procedures) {
            out << CsvField(m.record.Path) << ',' << CsvField(m.name) << ',' << CsvField(p.name) << ','
                << vb6::ProcedureKindName(p.kind) << ',' << vb6::ScopeName(p.scope) << ','
                << (p.isStatic ? "true" : "false") << ',' << p.firstLine << ',' << p.lastLine << ','
                << (p.ended ? "true" : "false");
            for (vb6::LineClass c : vb6::kLineClasses) out << ',' << p.lines[c];
            out << ',' << p.complexity << ',' << p.nesting << ',' << (p.handler ? "true" : "false") << ','
                << CsvField(p.handlerObject) << "\r\n";
        }
    }
}

}  // namespace quibex::report
