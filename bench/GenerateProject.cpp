// Writes a deterministic synthetic VB6 project for scripts/bench: forms with
// .frx companions, modules, classes and user controls with .ctx companions,
// CR LF lines, and the headers VB6 writes, so that every member has a real
// interface part before its code. The same arguments give the same bytes.
//
// usage: GenerateProject FOLDER [MEMBERS] [MIN_LINES]
// Prints "members M lines L bytes B" for what it wrote.

#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <vector>

namespace fs = std::filesystem;

namespace {

// A fixed-seed generator, so every run writes the same project.
class Random {
public:
    std::uint32_t Next() {
        state_ = state_ * 6364136223846793005ull + 1442695040888963407ull;
        return static_cast<std::uint32_t>(state_ >> 33);
    }
    int Below(int n) { return static_cast<int>(Next() % static_cast<std::uint32_t>(n)); }
    int Between(int low, int high) { return low + Below(high - low + 1); }

private:
    std::uint64_t state_ = 0x5151BE7C0FFEEull;
};

const char* const kControls[] = {"CommandButton", "TextBox", "Label", "ComboBox", "ListBox", "CheckBox", "Frame"};
const char* const kWords[] = {"Item",  "Count", "Total", "Name",   "Value", "Index", "Record", "Buffer",
                              "Width", "State", "Owner", "Result", "Entry", "Level", "Offset", "Limit"};
const char* const kTypes[] = {"Long", "String", "Integer", "Boolean", "Double", "Variant", "Date"};

class Member {
public:
    explicit Member(Random& random) : random_(random) {}

    void Line(const std::string& text) {
        text_ += text;
        text_ += "\r\n";
        ++lines_;
    }
    long Lines() const { return lines_; }
    const std::string& Text() const { return text_; }

    std::string Word() { return kWords[random_.Below(16)]; }

    // `pattern` with "{w}" replaced by a word, "{t}" by a type name and
    // "{#}" by a number below 1000, drawn left to right (an expression of
    // several Word() calls would leave their order to the compiler).
    std::string Fill(std::string_view pattern) {
        std::string out;
        for (std::size_t i = 0; i < pattern.size(); ++i) {
            if (pattern.substr(i, 3) == "{w}") {
                out += Word();
            } else if (pattern.substr(i, 3) == "{t}") {
                out += kTypes[random_.Below(7)];
            } else if (pattern.substr(i, 3) == "{#}") {
                out += std::to_string(random_.Below(1000));
            } else {
                out += pattern[i];
                continue;
            }
            i += 2;
        }
        return out;
    }
    void Lines(std::string_view pattern) { Line(Fill(pattern)); }

    // One procedure of `body` lines, as VB6 code reads.
    void Procedure(const std::string& scope, int index, int body) {
        bool function = random_.Below(3) == 0;
        std::string kind = function ? "Function" : "Sub";
        std::string name = Fill("{w}{w}") + std::to_string(index);
        Line(scope + " " + kind + " " + name + Fill("(ByVal a{w} As {t}, Optional ByVal b{w} As Long = 0)") +
             (function ? Fill(" As {t}") : ""));
        Lines("    Dim m{w} As {t}");
        Line("    On Error GoTo Failed");
        for (int i = 0; i < body; ++i) {
            switch (random_.Below(8)) {
                case 0: Lines("    ' {w} the {w} before the {w} is read again"); break;
                case 1: Line(Fill("    If m{w} > {#} Then Exit ") + kind); break;
                case 2: Lines("    For i = 1 To {#}"); break;
                case 3: Lines("        m{w} = m{w} + Len(s{w}) * {#}"); break;
                case 4: Line("    Next i"); break;
                case 5: Line(""); break;
                case 6: Lines("    Call Log{w}(\"{w} {w} failed\", Err.Number, Err.Description)"); break;
                default: Lines("    s{w} = Trim$(Mid$(s{w}, {#}, {#}))"); break;
            }
        }
        Line("    Exit " + kind);
        Line("Failed:");
        Line("    Err.Raise Err.Number, \"" + name + "\", Err.Description");
        Line("End " + kind);
        Line("");
    }

    // Declarations and procedures up to `target` lines in all.
    void Code(int target) {
        Lines("Private m{w} As {t}");
        Lines("Private m{w} As {t}");
        Lines("Private Const MAX_{w} As Long = {#}");
        Line("");
        int index = 0;
        while (lines_ < target) {
            std::string scope = random_.Below(2) ? "Public" : "Private";
            Procedure(scope, index++, random_.Between(8, 60));
        }
    }

    void Attributes(const std::string& name, bool creatable, bool predeclared) {
        Line("Attribute VB_Name = \"" + name + "\"");
        Line("Attribute VB_GlobalNameSpace = False");
        Line(std::string("Attribute VB_Creatable = ") + (creatable ? "True" : "False"));
        Line(std::string("Attribute VB_PredeclaredId = ") + (predeclared ? "True" : "False"));
        Line("Attribute VB_Exposed = False");
    }

    // The layout block of a form or user control: nested controls.
    void Layout(const std::string& kind, const std::string& name, int controls) {
        Line("Begin " + kind + " " + name);
        Line("   BorderStyle     =   1  'Fixed Single");
        Lines("   Caption         =   \"{w} {w}\"");
        Lines("   ClientHeight    =   {#}0");
        Line("   ClientLeft      =   45");
        Line("   ClientTop       =   330");
        Lines("   ClientWidth     =   {#}0");
        Line("   LinkTopic       =   \"Form1\"");
        Line("   ScaleHeight     =   5235");
        Line("   ScaleWidth      =   6465");
        Line("   StartUpPosition =   3  'Windows Default");
        for (int c = 0; c < controls; ++c) {
            std::string control = kControls[random_.Below(7)];
            Line("   Begin VB." + control + " ctl" + Word() + std::to_string(c));
            Lines("      Caption         =   \"{w}\"");
            Lines("      Height          =   {#}5");
            Lines("      Left            =   {#}0");
            Line("      TabIndex        =   " + std::to_string(c));
            Lines("      Top             =   {#}0");
            Lines("      Width           =   {#}5");
            Line("   End");
        }
        Line("End");
    }

private:
    Random& random_;
    std::string text_;
    long lines_ = 0;
};

void WriteFile(const fs::path& path, const std::string& bytes) {
    fs::create_directories(path.parent_path());
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    if (!out) {
        std::fprintf(stderr, "cannot write %s\n", path.string().c_str());
        std::exit(1);
    }
}

std::string BinaryBytes(Random& random, int size) {
    std::string bytes(static_cast<std::size_t>(size), '\0');
    for (char& b : bytes) b = static_cast<char>(random.Next() & 0xFF);
    return bytes;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) {
        std::fprintf(stderr, "usage: GenerateProject FOLDER [MEMBERS] [MIN_LINES]\n");
        return 2;
    }
    fs::path root = argv[1];
    int members = argc > 2 ? std::atoi(argv[2]) : 1200;
    long minLines = argc > 3 ? std::atol(argv[3]) : 2000000;
    fs::remove_all(root);
    Random random;

    // Lines per member so that the project reaches minLines in all.
    long perMember = minLines * 11 / 10 / members + 1;
    std::string vbp = "Type=Exe\r\n"
                      "Reference=*\\G{00020430-0000-0000-C000-000000000046}#2.0#0#"
                      "..\\..\\Windows\\system32\\stdole2.tlb#OLE Automation\r\n"
                      "Object={831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0; MSCOMCTL.OCX\r\n";
    long totalLines = 0, totalBytes = 0;
    for (int m = 0; m < members; ++m) {
        Member member(random);
        // Around the mean, never below it on average: the minimum is reached.
        int target = static_cast<int>(perMember / 2 + random.Below(static_cast<int>(perMember)) + 1);
        std::string number = std::to_string(1000 + m);
        int kind = m % 20;  // 7 forms, 8 modules, 4 classes, 1 user control in every 20
        std::string projectLine;
        fs::path file;
        if (kind < 7) {
            std::string name = "frm" + member.Word() + number;
            member.Line("VERSION 5.00");
            member.Line("Object = \"{831FDD16-0C5C-11D2-A9FC-0000F8754DA1}#2.0#0\"; \"MSCOMCTL.OCX\"");
            member.Layout("VB.Form", name, random.Between(4, 40));
            member.Attributes(name, false, true);
            member.Line("Option Explicit");
            member.Line("");
            member.Code(target);
            file = fs::path("Forms") / (name + ".frm");
            // Now and then the project names a file in another letter case,
            // as projects written on Windows do.
            std::string written = "Forms\\" + name + ".frm";
            if (m % 50 == 3) written = "FORMS\\" + name + ".FRM";
            projectLine = "Form=" + written;
            WriteFile(root / "Forms" / (name + ".frx"), BinaryBytes(random, random.Between(64, 24000)));
        } else if (kind < 15) {
            std::string name = "mdl" + member.Word() + number;
            member.Attributes(name, false, false);
            member.Line("Option Explicit");
            for (int c = random.Between(2, 12); c > 0; --c) {
                member.Lines("' {w}: keeps the {w} of every {w}");
            }
            member.Line("");
            member.Code(target);
            file = fs::path("Modules") / (name + ".bas");
            projectLine = "Module=" + name + "; Modules\\" + name + ".bas";
        } else if (kind < 19) {
            std::string name = "C" + member.Word() + number;
            member.Line("VERSION 1.0 CLASS");
            member.Line("BEGIN");
            member.Line("  MultiUse = -1  'True");
            member.Line("  Persistable = 0  'NotPersistable");
            member.Line("  DataBindingBehavior = 0  'vbNone");
            member.Line("  DataSourceBehavior  = 0  'vbNone");
            member.Line("  MTSTransactionMode  = 0  'NotAnMTSObject");
            member.Line("END");
            member.Attributes(name, true, false);
            member.Line("Option Explicit");
            member.Line("");
            member.Code(target);
            file = fs::path("Classes") / (name + ".cls");
            projectLine = "Class=" + name + "; Classes\\" + name + ".cls";
        } else {
            std::string name = "uc" + member.Word() + number;
            member.Line("VERSION 5.00");
            member.Layout("VB.UserControl", name, random.Between(2, 20));
            member.Attributes(name, true, false);
            member.Line("Option Explicit");
            member.Line("");
            member.Code(target);
            file = fs::path("Controls") / (name + ".ctl");
            projectLine = "UserControl=Controls\\" + name + ".ctl";
            WriteFile(root / "Controls" / (name + ".ctx"), BinaryBytes(random, random.Between(64, 8000)));
        }
        WriteFile(root / file, member.Text());
        vbp += projectLine + "\r\n";
        totalLines += member.Lines();
        totalBytes += static_cast<long>(member.Text().size());
    }
    vbp += "Startup=\"Sub Main\"\r\nName=\"Bench\"\r\nExeName32=\"Bench.exe\"\r\nCompatibleMode=\"0\"\r\n";
    WriteFile(root / "Bench.vbp", vbp);
    std::printf("members %d lines %ld bytes %ld\n", members, totalLines, totalBytes);
    return totalLines >= minLines ? 0 : 1;
}
