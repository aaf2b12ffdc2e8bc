// quibex-report inventory, run in-process on the Inventory fixture group:
// App references a missing and a present type library, uses two ActiveX
// components (one on no form) and the user control project Controls; the
// two projects share Shared\mdlShared.bas (written in another letter case
// by Controls), App\mdlCopy.bas and Controls\mdlTwin.bas hold the same
// bytes, and App\frmOld.frm is listed by no project.

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <nlohmann/json.hpp>
#include <sstream>

#include "engine/MemberStatistics.h"

#include "tests/report/ReportRun.h"
#include "tests/support/PeImage.h"
#include "tests/support/TestSupport.h"

namespace quibex::report {
namespace {

using nlohmann::json;
using quibex::test::DataPath;
using quibex::test::TempDir;
using test::ReportRun;
using test::RunIn;
using testing::HasSubstr;

// Windows names the fixture's folders with "\\"; the expectations use "/".
// In JSON text a backslash is written twice.
std::string Slashes(std::string text, std::string_view backslash = "\\\\") {
    for (std::size_t at; (at = text.find(backslash)) != std::string::npos;) text.replace(at, backslash.size(), "/");
    return text;
}

json Inventory(const std::vector<std::string>& extra = {}, const std::string& file = "Inventory.vbg") {
    std::vector<std::string> args{"inventory", "--format", "json"};
    args.insert(args.end(), extra.begin(), extra.end());
    args.push_back(file);
    const ReportRun run = RunIn(DataPath("Inventory"), args);
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    return json::parse(Slashes(run.out));
}

// The entries of `list` with `key` equal to `value`.
json Where(const json& list, const std::string& key, const std::string& value) {
    json found = json::array();
    for (const json& item : list) {
        if (item.value(key, json()) == value) found.push_back(item);
    }
    return found;
}

TEST(Inventory, ReferencesSayWhichFilesAreHereAndWhoUsesThem) {
    const json inv = Inventory();
    const json& refs = inv["references"];
    ASSERT_EQ(refs.size(), 2u);
    EXPECT_EQ(refs[0]["description"], "OLE Automation");
    EXPECT_EQ(refs[0]["present"], false);
    EXPECT_EQ(refs[1]["guid"], "{2A005C00-A5DE-11CF-9E66-00AA00A3F464}");
    EXPECT_EQ(refs[1]["locale"], "409");
    EXPECT_EQ(refs[1]["present"], true);
    EXPECT_EQ(refs[1]["size"], 40);
    EXPECT_EQ(refs[1]["fileVersion"], nullptr);  // a type library is no PE image
    EXPECT_EQ(refs[1]["projects"], json::array({"App"}));
}

TEST(Inventory, SubProjectReferencesResolveToTheProjectOfTheGroup) {
    const json inv = Inventory();
    for (const json& sub : inv["subProjects"]) {
        EXPECT_EQ(sub["from"], "App");
        EXPECT_EQ(sub["project"], "Controls") << sub["line"];
    }
    EXPECT_EQ(inv["subProjects"].size(), 2u);  // a Reference and an Object line
    EXPECT_EQ(Where(inv["projects"], "name", "App")[0]["references"], json::array({"Controls"}));
    // Read alone, App still finds the file, outside the run.
    const json alone = Inventory({}, "App/App.vbp");
    EXPECT_EQ(alone["projects"][0]["path"], "App/App.vbp");  // as given, not made absolute
    EXPECT_EQ(alone["subProjects"][0]["project"], nullptr);
    EXPECT_THAT(alone["subProjects"][0]["fullPath"].get<std::string>(), HasSubstr("Controls.vbp"));
}

TEST(Inventory, ComponentsCountTheControlsFormsPlaceAndFlagTheUnused) {
    for (const std::string file : {"Inventory.vbg", "App/App.vbp"}) {
        const json inv = Inventory({}, file);
        const json comctl = Where(inv["components"], "file", "MSCOMCTL.OCX")[0];
        EXPECT_EQ(comctl["library"], "MSComctlLib") << file;
        // The user control of Controls is not one of MSCOMCTL's controls.
        EXPECT_EQ(comctl["controls"], 2) << file;
        EXPECT_EQ(comctl["placedBy"].size(), 1u) << file;
        EXPECT_EQ(comctl["unused"], false);
        const json dialogs = Where(inv["components"], "file", "COMDLG32.OCX")[0];
        EXPECT_EQ(dialogs["controls"], 0);
        EXPECT_EQ(dialogs["unused"], true);
    }
}

TEST(Inventory, ComponentLibrariesFollowFromTheFormsThatListThem) {
    // Form a lists both components, form b only the first: GridLib is the
    // first's, so ChartLib is the second's, whatever order they come in.
    TempDir dir;
    const std::string grid = "{AAAAAAAA-0000-0000-0000-000000000001}", chart = "{BBBBBBBB-0000-0000-0000-000000000002}";
    auto form = [](const std::string& name, const std::vector<std::string>& guids,
                   const std::vector<std::string>& classes) {
        std::string text = "VERSION 5.00\r\n";
        for (const std::string& g : guids) text += "Object = \"" + g + "#1.0#0\"; \"X.OCX\"\r\n";
        text += "Begin VB.Form " + name + "\r\n";
        for (std::size_t i = 0; i < classes.size(); ++i) {
            text += "   Begin " + classes[i] + " c" + std::to_string(i) + "\r\n   End\r\n";
        }
        return text + "End\r\nAttribute VB_Name = \"" + name + "\"\r\n";
    };
    dir.Write("a.frm", form("a", {chart, grid}, {"ChartLib.Chart", "GridLib.Grid", "GridLib.Grid"}));
    dir.Write("b.frm", form("b", {grid}, {"GridLib.Grid"}));
    dir.Write("P.vbp", "Type=Exe\r\nObject=" + grid + "#1.0#0; Grid.ocx\r\nObject=" + chart +
                           "#1.0#0; Chart.ocx\r\nForm=a.frm\r\nForm=b.frm\r\n");
    const ReportRun run = RunIn(dir.Path(), {"inventory", "--format=json", "P.vbp"});
    ASSERT_EQ(run.exitCode, kExitOk) << run.err;
    const json components = json::parse(run.out)["components"];
    EXPECT_EQ(Where(components, "file", "Grid.ocx")[0]["library"], "GridLib");
    EXPECT_EQ(Where(components, "file", "Grid.ocx")[0]["controls"], 3);
    EXPECT_EQ(Where(components, "file", "Chart.ocx")[0]["library"], "ChartLib");
    EXPECT_EQ(Where(components, "file", "Chart.ocx")[0]["controls"], 1);
}

// A group whose first project cannot be read: the inventory holds the rest,
// and the missing project as not present.
TEST(Inventory, GroupKeepsGoingPastAMissingProject) {
    TempDir dir;
    dir.Write("G.vbg", "VBGROUP 5.0\r\nProject=Missing.vbp\r\nProject=a\\A.vbp\r\n");
    dir.Write("a/A.vbp", "Type=Exe\r\nModule=m; m.bas\r\nName=\"A\"\r\n");
    dir.Write("a/m.bas", "Declare Sub Sleep Lib \"kernel32\" (ByVal ms As Long)\r\n");
    const ReportRun run = RunIn(dir.Path(), {"inventory", "--format", "json", "G.vbg"});
    EXPECT_EQ(run.exitCode, kExitReadError);
    const json inv = json::parse(run.out);
    ASSERT_EQ(inv["projects"].size(), 2u);
    EXPECT_EQ(inv["projects"][0]["present"], false);
    EXPECT_EQ(inv["projects"][1]["name"], "A");
    EXPECT_EQ(inv["projects"][1]["members"], 1);
    EXPECT_EQ(inv["declares"].size(), 1u);
}

// A user control project of the group named like a compiled component
// that another project places, without referencing the project: its
// controls are the component's. Both projects list MSCOMCTL.
TEST(Inventory, GroupCountsTheControlsOfAComponentNamedLikeOneOfItsProjects) {
    TempDir dir;
    const std::string comctl = "Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCTL.OCX\r\n";
    dir.Write("G.vbg", "VBGROUP 5.0\r\nProject=Gauges\\Gauges.vbp\r\nStartupProject=App\\App.vbp\r\n");
    dir.Write("Gauges/Gauges.vbp", "Type=Control\r\n" + comctl + "UserControl=Dial.ctl\r\nName=\"Gauges\"\r\n");
    dir.Write("Gauges/Dial.ctl", "VERSION 5.00\r\nBegin VB.UserControl Dial\r\nEnd\r\nAttribute VB_Name = \"Dial\"\r\n");
    dir.Write("App/App.vbp", "Type=Exe\r\nObject={0A0B0C0D-0000-0000-0000-000000000001}#1.0#0; Gauges.ocx\r\n" + comctl +
                                 "Form=Form3.frm\r\nName=\"App\"\r\n");
    dir.Write("App/Form3.frm",
              "VERSION 5.00\r\nObject = \"{0A0B0C0D-0000-0000-0000-000000000001}#1.0#0\"; \"Gauges.ocx\"\r\n"
              "Object = \"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0\"; \"MSCOMCTL.OCX\"\r\n"
              "Begin VB.Form Form3\r\n   Begin Gauges.Dial d1\r\n   End\r\n   Begin Gauges.Dial d2\r\n   End\r\n"
              "   Begin MSComctlLib.ProgressBar p\r\n   End\r\nEnd\r\nAttribute VB_Name = \"Form3\"\r\n");
    for (const std::string file : {"G.vbg", "App/App.vbp"}) {
        SCOPED_TRACE(file);
        const ReportRun run = RunIn(dir.Path(), {"inventory", "--format", "json", file});
        ASSERT_EQ(run.exitCode, kExitOk) << run.err;
        const json components = json::parse(Slashes(run.out))["components"];
        const json gauges = Where(components, "file", "Gauges.ocx")[0];
        EXPECT_EQ(gauges["controls"], 2);
        ASSERT_EQ(gauges["placedBy"].size(), 1u);
        EXPECT_THAT(gauges["placedBy"][0]["member"].get<std::string>(), HasSubstr("Form3.frm"));
        EXPECT_EQ(Where(components, "file", "MSCOMCTL.OCX")[0]["controls"], 1);
    }
}

TEST(Inventory, DeclaresByLibraryWithDuplicatesAcrossFilesOnly) {
    const json inv = Inventory();
    // "kernel32" and "KERNEL32.DLL" are one library.
    const json ticks = Where(inv["declares"], "name", "GetTickCount")[0];
    EXPECT_EQ(ticks["members"], json::array({"App:frmMain.frm", "App:mdlCopy.bas", "Controls:mdlTwin.bas"}));
    EXPECT_EQ(ticks["duplicate"], true);
    // Sleep is declared once, in the one file both projects list.
    const json sleep = Where(inv["declares"], "name", "Sleep")[0];
    EXPECT_EQ(sleep["members"].size(), 1u);
    EXPECT_EQ(sleep["duplicate"], false);
}

TEST(Inventory, SharedFilesOnceWithTheirProjectsAndTotalsBothWays) {
    const json inv = Inventory();
    ASSERT_EQ(inv["shared"].size(), 1u);
    const json& shared = inv["shared"][0];
    EXPECT_EQ(shared["projects"], json::array({"App", "Controls"}));
    EXPECT_EQ(shared["members"].size(), 2u);
    const json& summed = inv["totals"]["summed"];
    const json& once = inv["totals"]["once"];
    EXPECT_EQ(summed["members"], 6);
    EXPECT_EQ(once["members"], 5);
    // The difference is the shared file, counted a second time.
    const json report = json::parse(RunIn(DataPath("Inventory"), {"--format", "json", "Inventory.vbg"}).out);
    EXPECT_EQ(summed["codeLines"], report["totals"]["codeLines"]);
    EXPECT_EQ(summed["fileSize"].get<Figure>() - once["fileSize"].get<Figure>(),
              report["members"][1]["fileSize"].get<Figure>());
}

TEST(Inventory, IdenticalContentUnderDifferentPaths) {
    const json inv = Inventory();
    ASSERT_EQ(inv["identical"].size(), 1u);
    EXPECT_EQ(inv["identical"][0]["files"], json::array({"App/mdlCopy.bas", "Controls/mdlTwin.bas"}));
}

TEST(Inventory, OrphansOnlyWhenAskedFor) {
    EXPECT_EQ(Inventory()["orphans"], nullptr);
    EXPECT_EQ(Inventory({"--orphans"})["orphans"], json::array({"App/frmOld.frm"}));
}

TEST(Inventory, PresentImagesShowTheirFileVersion) {
    TempDir dir;
    dir.Write("Helper.dll", quibex::test::PeImage(quibex::test::VersionResource(6, 1, 98, 39, "Olvek Ltd")));
    // The path as written, and with the number of the type library inside the image.
    for (const char* path : {"Helper.dll", "HELPER.DLL\\3"}) {
        dir.Write("P.vbp", std::string("Type=Exe\r\nReference=*\\G{11111111-2222-3333-4444-555555555555}#1.0#0#") +
                               path + "#Helper\r\nObject={66666666-2222-3333-4444-555555555555}#1.0#0; Helper.dll\r\n");
        const ReportRun run = RunIn(dir.Path(), {"inventory", "--format=json", "P.vbp"});
        ASSERT_EQ(run.exitCode, kExitOk) << run.err;
        const json inv = json::parse(run.out);
        for (const json& entry : {inv["references"][0], inv["components"][0]}) {
            EXPECT_EQ(entry["present"], true) << path;
            EXPECT_EQ(entry["fileVersion"]["file"], "6.1.98.39") << path;
            EXPECT_EQ(entry["fileVersion"]["company"], "Olvek Ltd") << path;
        }
    }
}

TEST(Inventory, NamesOutsideAsciiAreFoundInTheProjectsCodePage) {
    // The project file and the disk name the files in Windows-1252; the
    // report's texts are UTF-8.
    TempDir dir;
    dir.Write("Caf\xE9.tlb", "MSFT");
    const std::string module = "Attribute VB_Name = \"m\"\r\nSub S()\r\nEnd Sub\r\n";
    dir.Write("R\xE9sum\xE9.bas", module);
    dir.Write("Copy.bas", module);
    dir.Write("P.vbp", "Type=Exe\r\nReference=*\\G{11111111-2222-3333-4444-555555555555}#1.0#0#Caf\xE9.tlb#T\r\n"
                       "Module=a; R\xE9sum\xE9.bas\r\nModule=b; Copy.bas\r\n");
    const ReportRun run = RunIn(dir.Path(), {"inventory", "--format=json", "--code-page=1252", "P.vbp"});
    ASSERT_EQ(run.exitCode, kExitOk) << run.err;
    const json inv = json::parse(run.out);
    EXPECT_EQ(inv["references"][0]["path"], "Caf\u00e9.tlb");
    EXPECT_EQ(inv["references"][0]["present"], true);
    ASSERT_EQ(inv["identical"].size(), 1u);
    EXPECT_EQ(inv["identical"][0]["files"], json::array({"R\u00e9sum\u00e9.bas", "Copy.bas"}));
}

TEST(Inventory, TextAndCsvShowEverySection) {
    const ReportRun text = RunIn(DataPath("Inventory"), {"inventory", "--orphans", "Inventory.vbg"});
    for (const char* part : {"References:", "Sub-project references:", "Components:", "unused", "Declares:",
                             "duplicate", "Shared files:", "Identical files:", "App/frmOld.frm", "each file once"}) {
        EXPECT_THAT(Slashes(text.out, "\\"), HasSubstr(part));
    }
    const ReportRun csv = RunIn(DataPath("Inventory"), {"inventory", "--orphans", "--format", "csv", "Inventory.vbg"});
    std::map<std::string, int> rows;
    std::istringstream lines(csv.out);
    for (std::string line; std::getline(lines, line);) ++rows[line.substr(0, line.find(','))];
    EXPECT_EQ(rows, (std::map<std::string, int>{{"section", 1}, {"reference", 2}, {"subproject", 2}, {"component", 2},
                                                {"declare", 2}, {"shared", 1}, {"identical", 1}, {"orphan", 1}}));
}

TEST(Inventory, BillOfMaterialsHasTheGroupProjectsAndTheirDependencies) {
    const ReportRun run = RunIn(DataPath("Inventory"), {"inventory", "--format", "cyclonedx", "Inventory.vbg"});
    ASSERT_EQ(run.exitCode, kExitOk) << run.err;
    const json bom = json::parse(run.out);
    EXPECT_EQ(bom["specVersion"], "1.6");
    EXPECT_EQ(bom["metadata"]["component"]["bom-ref"], "group:Inventory");
    std::map<std::string, json> dependsOn;
    for (const json& d : bom["dependencies"]) dependsOn[d["ref"]] = d["dependsOn"];
    EXPECT_EQ(dependsOn["group:Inventory"], json::array({"project:App", "project:Controls"}));
    EXPECT_EQ(dependsOn["project:App"].size(), 5u);  // two libraries, two components, Controls
    EXPECT_EQ(dependsOn["project:App"].back(), "project:Controls");
    EXPECT_EQ(dependsOn["project:Controls"], json::array());
}

#ifndef _WIN32
TEST(Inventory, OutputThroughALinkReplacesTheFileItNamesNotTheLink) {
    TempDir dir;
    dir.Write("P.vbp", "Type=Exe\r\n");
    dir.Write("old.txt", "an older report");
    std::filesystem::create_symlink("old.txt", dir.Join("latest.txt"));
    const ReportRun run = RunIn(dir.Path(), {"inventory", "-o", "latest.txt", "P.vbp"});
    EXPECT_EQ(run.exitCode, kExitOk) << run.err;
    EXPECT_TRUE(std::filesystem::is_symlink(dir.Join("latest.txt")));
    std::ifstream written(dir.Join("old.txt"));
    std::stringstream text;
    text << written.rdbuf();
    EXPECT_THAT(text.str(), HasSubstr("Inventory of P.vbp"));
}
#endif

TEST(Inventory, UsageErrors) {
    for (const std::vector<std::string>& args : std::vector<std::vector<std::string>>{
             {"inventory"}, {"inventory", "--format", "xml", "Inventory.vbg"}, {"inventory", "Inventory.txt"},
             {"inventory", "--bogus", "Inventory.vbg"}, {"inventory", "a.vbp", "b.vbp"}}) {
        const ReportRun run = RunIn(DataPath("Inventory"), args);
        EXPECT_EQ(run.exitCode, kExitUsage) << args.back();
        EXPECT_THAT(run.err, HasSubstr("quibex-report inventory:"));
    }
}

}  // namespace
}  // namespace quibex::report
