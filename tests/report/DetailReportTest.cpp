// The reports of the source model, run in-process on the fixture projects
// and on projects written for each test.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <fstream>
#include <nlohmann/json.hpp>
#include <set>
#include <sstream>

#include "engine/MemberStatistics.h"
#include "tests/report/ReportRun.h"
#include "tests/support/TestSupport.h"

namespace quibex::report {
namespace {

using nlohmann::json;
using quibex::test::DataPath;
using quibex::test::TempDir;
using test::JsonOf;
using test::ReportRun;
using test::RunIn;
using testing::HasSubstr;


TEST(DetailReport, JsonHoldsEveryMembersModelAndTheProjectsFacts) {
    const json report = JsonOf(RunIn(DataPath("Model"), {"--detail", "--format", "json", "Model.vbp"}));
    const json& members = report["members"];
    ASSERT_EQ(members.size(), 6u);
    for (const json& m : members) {
        // The five classes cover the engine's lines, member by member.
        Figure classes = 0;
        for (const auto& [name, n] : m["lines"].items()) classes += n.get<Figure>();
        EXPECT_EQ(classes, m["interfaceLines"].get<Figure>() + m["codeLines"].get<Figure>()) << m["path"];
        EXPECT_TRUE(m["read"].get<bool>());
    }
    EXPECT_EQ(report["lines"], json::parse(R"({"designer": 43, "attribute": 9, "blank": 11, "comment": 5, "code": 71})"));

    const json& form = members[0];
    EXPECT_EQ(form["designer"], json::parse(R"({"class": "VB.Form", "name": "frmOrders"})"));
    EXPECT_EQ(form["controlCount"], 5);
    EXPECT_EQ(form["controlNames"], 4);
    EXPECT_EQ(form["controls"][2], json::parse(R"({"name": "optKind", "class": "VB.OptionButton", "index": 1,
                                                  "depth": 2, "line": 12})"));
    EXPECT_EQ(form["declares"][1], json::parse(R"({"name": "CopyMemory", "kind": "Sub", "scope": "Private",
                                                  "library": "kernel32", "alias": "RtlMoveMemory", "line": 33})"));
    EXPECT_EQ(form["procedures"][0]["complexity"], 8);
    EXPECT_EQ(form["procedures"][0]["handlerObject"], "cmdRefresh");

    const json& project = report["project"];
    EXPECT_EQ(project, report["projects"][0]);
    EXPECT_EQ(project["Name"], "Model");
    EXPECT_EQ(project["Startup"], "frmOrders");
    EXPECT_EQ(project["ExeName32"], "Model.exe");
    EXPECT_EQ(project["MajorVer"], 2);
    EXPECT_EQ(project["RevisionVer"], 14);
    EXPECT_EQ(project["CondComp"], "TRACE = 1 : DEBUG = 0");
    EXPECT_EQ(project["ResFile32"], json::parse(R"({"path": "Model.RES", "size": 32})"));
    EXPECT_EQ(project["references"][0]["description"], "OLE Automation");
    EXPECT_EQ(project["objects"][0]["file"], "MSCOMCTL.OCX");
    EXPECT_EQ(project["members"], json::parse(R"({"first": 0, "count": 6})"));
}

// A module whose procedure head and body depend on the compile constants:
// with LEVEL > 1 Pick takes two parameters, else none; Win64 adds an If
// with an Or.
constexpr const char* kConditionalModule =
    "Option Explicit\r\n"
    "DefInt I-N\r\n"
    "Dim a, b As Long\r\n"
    "#If LEVEL > 1 Then\r\n"
    "Public Function Pick(ByVal n, Optional s As String = \"x\") As Long\r\n"
    "#Else\r\n"
    "Public Function Pick() As Long\r\n"
    "#End If\r\n"
    "    Dim i\r\n"
    "    On Error GoTo Failed\r\n"
    "    If a Then Pick = 1\r\n"
    "#If Win64 Then\r\n"
    "    If a Or b Then Stop\r\n"
    "#End If\r\n"
    "Failed:\r\n"
    "End Function\r\n";

TEST(DetailReport, JsonHoldsDeclarationsAndReadsWithTheProjectsConstants) {
    TempDir dir;
    dir.Write("m.bas", kConditionalModule);
    // CondComp comes after the member lines, as VB6 writes it.
    dir.Write("P.vbp", "Module=m; m.bas\r\nCondComp=\"LEVEL = 2\"\r\n");
    const json member = JsonOf(RunIn(dir.Path(), {"--detail", "--format", "json", "P.vbp"}))["members"][0];
    EXPECT_EQ(member["options"], json::parse(R"({"explicit": true, "base": 0, "compare": "Binary",
        "privateModule": false, "defTypes": [{"letters": "I-N", "type": "Integer"}]})"));
    EXPECT_EQ(member["declarations"], json::parse(R"([
        {"name": "a", "kind": "Variable", "scope": "Private", "type": "Variant", "line": 3, "column": 5, "typeFrom": "implicit"},
        {"name": "b", "kind": "Variable", "scope": "Private", "type": "Long", "line": 3, "column": 8, "typeFrom": "As"},
        {"name": "Pick", "kind": "Function", "scope": "Public", "type": "Long", "line": 5, "column": 17, "typeFrom": "As"}])"));
    const json& pick = member["procedures"][0];
    EXPECT_EQ(pick["firstLine"], 5);
    EXPECT_EQ(pick["complexity"], 2);
    EXPECT_EQ(pick["returnType"], "Long");
    EXPECT_EQ(pick["parameters"], json::parse(R"([
        {"name": "n", "kind": "Parameter", "scope": "Local", "type": "Integer", "line": 5, "column": 28, "typeFrom": "DefType", "flags": ["ByVal"]},
        {"name": "s", "kind": "Parameter", "scope": "Local", "type": "String", "line": 5, "column": 40, "typeFrom": "As", "value": "\"x\"", "flags": ["Optional"]}])"));
    EXPECT_EQ(pick["locals"], json::parse(R"([
        {"name": "i", "kind": "Variable", "scope": "Local", "type": "Integer", "line": 9, "column": 9, "typeFrom": "DefType"},
        {"name": "Failed", "kind": "Label", "scope": "Local", "type": null, "line": 15, "column": 1}])"));
    EXPECT_EQ(pick["onError"], json::parse(R"({"goToLabel": 1, "resumeNext": 0, "goTo0": 0})"));
    EXPECT_EQ(pick["statements"], 3);

    // --define replaces the project's constant and adds one of its own.
    const json defined = JsonOf(RunIn(dir.Path(), {"--detail", "--format", "json", "--define", "LEVEL=0",
                                                   "--define=Win64=True", "P.vbp"}))["members"][0]["procedures"][0];
    EXPECT_EQ(defined["firstLine"], 7);
    EXPECT_EQ(defined["parameters"], json::array());
    EXPECT_EQ(defined["complexity"], 4);

    const ReportRun refused = RunIn(dir.Path(), {"--detail", "--define", "LEVEL", "P.vbp"});
    EXPECT_EQ(refused.exitCode, kExitUsage);
    EXPECT_THAT(refused.err, HasSubstr("--define needs NAME=VALUE"));
}

TEST(DetailReport, AFileOfSeveralProjectsIsModelledOncePerSetOfConstants) {
    TempDir dir;
    dir.Write("Shared/m.bas", kConditionalModule);
    dir.Write("A/A.vbp", "Module=m; ..\\Shared\\m.bas\r\nCondComp=\"LEVEL = 2\"\r\n");
    dir.Write("B/B.vbp", "Module=m; ..\\Shared\\m.bas\r\nModule=m; ..\\Shared\\m.bas\r\n");
    dir.Write("C/C.vbp", "Module=m; ..\\Shared\\m.bas\r\nCondComp=\"LEVEL = 2\"\r\n");
    dir.Write("G.vbg", "VBGROUP 5.0\r\nProject=A\\A.vbp\r\nProject=B\\B.vbp\r\nProject=C\\C.vbp\r\n");
    const json members = JsonOf(RunIn(dir.Path(), {"--detail", "--format", "json", "G.vbg"}))["members"];
    ASSERT_EQ(members.size(), 4u);
    // A and C read it with LEVEL = 2, B (twice) without: each listing keeps
    // the figures of its own project's constants.
    EXPECT_EQ(members[0]["procedures"][0]["firstLine"], 5);
    EXPECT_EQ(members[1]["procedures"][0]["firstLine"], 7);
    EXPECT_EQ(members[2], members[1]);
    EXPECT_EQ(members[3]["procedures"], members[0]["procedures"]);
    EXPECT_EQ(members[3]["declarations"], members[0]["declarations"]);
}

TEST(DetailReport, GroupGivesEachProjectItsMembers) {
    const json report = JsonOf(RunIn(DataPath("Group"), {"--detail", "--format=json", "Group.vbg"}));
    EXPECT_FALSE(report.contains("project"));
    std::vector<std::pair<Figure, Figure>> ranges;
    for (const json& p : report["projects"]) ranges.emplace_back(p["members"]["first"], p["members"]["count"]);
    EXPECT_EQ(ranges, (std::vector<std::pair<Figure, Figure>>{{0, 2}, {2, 1}, {3, 2}}));
    // The same file read by two projects has one full path.
    EXPECT_EQ(report["members"][1]["fullPath"], report["members"][4]["fullPath"]);
}

TEST(DetailReport, TextShowsTheSplitAndTheMostComplexProcedures) {
    const ReportRun run = RunIn(DataPath("Model"), {"--top", "2", "Model.vbp"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_THAT(run.out, HasSubstr("\nLines by class:\n"
                                   "File           Designer  Attribute  Blank  Comment  Code  Procedures  Controls\n"
                                   "frmOrders.frm        27          2      5        2    28           4         5\n"));
    EXPECT_THAT(run.out, HasSubstr("\nTotal                43          9     11        5    71          13         6\n"));
    EXPECT_THAT(run.out, HasSubstr("\nMost complex procedures:\n"
                                   "Procedure         Kind      Where                Complexity  Nesting  Lines\n"
                                   "cmdRefresh_Click  Sub       frmOrders.frm:39-53           8        4     15\n"
                                   "Quote             Function  mdlText.bas:7-18              4        1     12\n"));
}

// --top sets how many procedures the HTML page shows (25 without it) and
// adds them to the JSON report.
TEST(DetailReport, TopIsHonouredInHtmlAndJson) {
    const json report = JsonOf(RunIn(DataPath("Model"), {"--format", "json", "--top", "2", "Model.vbp"}));
    ASSERT_EQ(report["mostComplex"].size(), 2u);
    EXPECT_EQ(report["mostComplex"][0]["name"], "cmdRefresh_Click");
    EXPECT_EQ(report["mostComplex"][0]["complexity"], 8);
    EXPECT_EQ(report["mostComplex"][1]["path"], "mdlText.bas");
    EXPECT_TRUE(report["members"][0].contains("procedures"));

    auto procedureRows = [](const std::string& html) {
        const std::size_t from = html.find("<tbody>", html.find("id=\"procedures\""));
        const std::size_t to = html.find("</section>", from);
        std::size_t rows = 0;
        for (std::size_t at = from; (at = html.find("<tr>", at)) < to; ++at) ++rows;
        return rows;
    };
    const ReportRun three = RunIn(DataPath("Model"), {"--format", "html", "--top", "3", "Model.vbp"});
    EXPECT_EQ(three.exitCode, kExitOk) << three.err;
    EXPECT_EQ(procedureRows(three.out), 3u);
    EXPECT_EQ(procedureRows(RunIn(DataPath("Model"), {"--format", "html", "--detail", "Model.vbp"}).out), 13u);
}

TEST(DetailReport, ProceduresCsvHasARowPerProcedure) {
    const ReportRun run = RunIn(DataPath("Model"), {"--format", "csv", "--procedures", "--root", ".", "Model.vbp"});
    EXPECT_EQ(run.exitCode, kExitOk);
    std::istringstream rows(run.out);
    std::string header, first;
    std::getline(rows, header);
    std::getline(rows, first);
    EXPECT_EQ(header, "path,member,procedure,kind,scope,static,firstLine,lastLine,ended,designerLines,"
                      "attributeLines,blankLines,commentLines,codeLines,complexity,nesting,handler,handlerObject,project\r");
    EXPECT_EQ(first, "frmOrders.frm,frmOrders.frm,cmdRefresh_Click,Sub,Private,false,39,53,true,0,0,0,0,15,8,4,true,"
                     "cmdRefresh,Model.vbp\r");
    EXPECT_EQ(std::count(run.out.begin(), run.out.end(), '\n'), 1 + 13);
}

TEST(DetailReport, ClocJsonCountsEachFileOnceWithLayoutAndAttributesAsComments) {
    TempDir dir;
    dir.Write("f.frm", "VERSION 5.00\r\nBegin VB.Form f\r\nEnd\r\nAttribute VB_Name = \"f\"\r\n\r\n' note\r\nSub A()\r\nEnd Sub\r\n");
    dir.Write("Code/m.bas", "Dim x\n");
    dir.Write("P.vbp", "Form=f.frm\r\nModule=m; Code\\m.bas\r\nForm=F.FRM\r\nForm=Gone.frm\r\n");
    const json sum = json::parse(R"({"blank": 1, "comment": 5, "code": 3, "nFiles": 2})");
    const json plain = JsonOf(RunIn(dir.Path(), {"--format", "cloc-json", "P.vbp"}));
    EXPECT_EQ(plain["Visual Basic 6"], json::parse(R"({"nFiles": 2, "blank": 1, "comment": 5, "code": 3})"));
    EXPECT_EQ(plain["SUM"], sum);
    EXPECT_EQ(plain["header"]["n_files"], 2);
    EXPECT_EQ(plain["header"]["n_lines"], 9);
    const json byFile = JsonOf(RunIn(dir.Path(), {"--format", "cloc-json", "--by-file", "P.vbp"}));
    EXPECT_EQ(byFile["f.frm"],
              json::parse(R"({"blank": 1, "comment": 5, "code": 2, "language": "Visual Basic 6", "projects": ["P.vbp"]})"));
    // Paths as the platform writes them.
    EXPECT_EQ(byFile.value("Code/m.bas", byFile.value("Code\\m.bas", json()))["code"], 1);
    EXPECT_EQ(byFile["SUM"], sum);
    EXPECT_EQ(byFile.size(), 4u);  // header, two files, SUM
}

// tests/data/Japan/mdlJapan.bas is Shift-JIS (code page 932). Read as such,
// each double-byte character is one character, as a Japanese Windows
// counts it: interface "Attribute VB_Name = "mdlJapan"" 30 + 2 and
// "' 日本語" 5 + 2 -> 39b; code "Public Sub 表示()" 15 + 2,
// "    x = "ソ"" 11 + 2, "    y = ０r 1" 12 + 2, "End Sub" 7 + 2 -> 53b.
// Read as Windows-1252 every byte is a character: 42b and 57b.
// cloc-json --by-file names every file from the root, inside the group's
// folder or outside it.
TEST(DetailReport, ClocJsonByFileNamesFilesFromTheRoot) {
    TempDir dir;
    dir.Write("grp/G.vbg", "VBGROUP 5.0\r\nProject=app\\P.vbp\r\n");
    dir.Write("grp/app/P.vbp", "Module=m; m.bas\r\nModule=o; ..\\..\\lib\\o.bas\r\n");
    dir.Write("grp/app/m.bas", "Dim x\r\n");
    dir.Write("lib/o.bas", "Dim y\r\n");
    auto names = [](const ReportRun& run) {
        std::set<std::string> out;
        const json report = JsonOf(run);
        for (const auto& [key, value] : report.items()) {
            if (key == "header" || key == "SUM") continue;
            std::string name = key;
            std::replace(name.begin(), name.end(), '\\', '/');
            out.insert(name);
        }
        return out;
    };
    EXPECT_EQ(names(RunIn(dir.Path(), {"--format", "cloc-json", "--by-file", dir.Join("grp/G.vbg")})),
              (std::set<std::string>{"app/m.bas", "../lib/o.bas"}));
    EXPECT_EQ(names(RunIn(dir.Join("lib"), {"--format", "cloc-json", "--by-file", "--root", "..", dir.Join("grp/G.vbg")})),
              (std::set<std::string>{"grp/app/m.bas", "lib/o.bas"}));
}

TEST(DetailReport, CodePageGivesTheFiguresOfThatWindows) {
    const json japanese = JsonOf(RunIn(DataPath("Japan"), {"--code-page", "932", "--detail", "--format", "json",
                                                           "Japan.vbp"}));
    const json& member = japanese["members"][0];
    EXPECT_EQ(member["interfaceBytes"], 39);
    EXPECT_EQ(member["codeBytes"], 53);
    EXPECT_EQ(member["procedures"][0]["name"], "\u8868\u793a");
    EXPECT_EQ(member["procedures"][0]["complexity"], 1);
    const json western = JsonOf(RunIn(DataPath("Japan"), {"--code-page=1252", "--format", "json", "Japan.vbp"}));
    EXPECT_EQ(western["members"][0]["interfaceBytes"], 42);
    EXPECT_EQ(western["members"][0]["codeBytes"], 57);
}

TEST(DetailReport, OutputFileIsWrittenWholeOrLeftAsItWas) {
    TempDir dir;
    dir.Write("P.vbp", "Module=m.bas\r\n");
    dir.Write("m.bas", "Dim x\r\n");
    ReportRun run = RunIn(dir.Path(), {"--format", "json", "-o", "out/report.json", "P.vbp"});
    EXPECT_EQ(run.exitCode, kExitReadError);
    EXPECT_THAT(run.err, HasSubstr("cannot write 'out/report.json'"));
    run = RunIn(dir.Path(), {"--format", "json", "--output=report.json", "P.vbp"});
    EXPECT_EQ(run.exitCode, kExitOk);
    EXPECT_EQ(run.out, "");
    std::ifstream written(dir.Join("report.json"));
    std::stringstream text;
    text << written.rdbuf();
    EXPECT_THAT(text.str(), HasSubstr("\"path\": \"m.bas\""));
    EXPECT_EQ(RunIn(dir.Path(), {"-o", "-", "P.vbp"}).out.rfind("Project: P.vbp", 0), 0u);
}

}  // namespace
}  // namespace quibex::report
