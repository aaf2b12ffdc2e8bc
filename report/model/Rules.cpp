#include "report/model/Rules.h"

#include "common/Version.h"

namespace quibex::report {

std::string_view RuleKindName(RuleKind kind) {
    switch (kind) {
        case RuleKind::Breakage: return "breakage";
        case RuleKind::Portability: return "portability";
        case RuleKind::Complexity: return "complexity";
        case RuleKind::Clarity: return "clarity";
        case RuleKind::Convention: return "convention";
        case RuleKind::Formatting: return "formatting";
        case RuleKind::Pitfall: return "pitfall";
        case RuleKind::Security: return "security";
    }
    return "breakage";
}

const std::vector<CheckRule>& CheckRules() {
    // The examples are quoted in the README under a heading named after the
    // rule; a test holds the two together.
    static const std::vector<CheckRule> rules = {
        {
            .name = "missing-member",
            .kind = RuleKind::Breakage,
            .summary = "a member file, or a project of a group, that cannot be read",
            .description = "A project lists a member file that is not there or cannot be read, or a group lists a "
                           "project that cannot be read. The IDE does not load it and the compiler cannot build the "
                           "project. The finding is at the line of the project or group file that lists it.",
            .bad = "App.vbp:   Module=mdlTax; Tax.bas\ncheckout:  App.vbp  frmOrder.frm      (never committed)",
            .good = "App.vbp:   Module=mdlTax; Tax.bas\ncheckout:  App.vbp  frmOrder.frm  Tax.bas",
            .effortMinutes = 10,
        },
        {
            .name = "line-endings",
            .kind = RuleKind::Portability,
            .summary = "a member, project or group file whose lines do not all end in CR LF",
            .description = "The VB6 IDE reads CR LF line ends only: a form or module saved with LF or CR ends (by an "
                           "editor, or by a git checkout without eol=crlf) loads as garbage or not at all. The finding "
                           "is at the first line that does not end in CR LF.",
            .bad = "VERSION 5.00<LF>\nBegin VB.Form frmMain<LF>",
            .good = "VERSION 5.00<CR><LF>\nBegin VB.Form frmMain<CR><LF>\n\n"
                    "# .gitattributes, so that every checkout keeps them\n"
                    "*.frm text eol=crlf\n*.bas text eol=crlf\n*.cls text eol=crlf\n*.vbp text eol=crlf",
        },
        {
            .name = "encoding",
            .kind = RuleKind::Portability,
            .summary = "a NUL byte, a UTF-8 byte order mark or an invalid double-byte sequence",
            .description = "The IDE reads source files in the system's ANSI code page. A UTF-8 byte order mark shows "
                           "as text before the first line and breaks it; NUL bytes come from a file saved as UTF-16; "
                           "a byte sequence that is not valid in the double-byte code page given with --code-page "
                           "(932, 936, 949, 950) is a character cut in half.",
            .bad = "<EF BB BF>Attribute VB_Name = \"mdlMain\"      (saved as UTF-8 with a byte order mark)",
            .good = "Attribute VB_Name = \"mdlMain\"      (saved in the project's code page, such as Windows-1252)",
        },
        {
            .name = "case-mismatch",
            .kind = RuleKind::Portability,
            .summary = "a member or project path whose letter case differs from the file's",
            .description = "Windows finds a file whatever the letter case of its name; a checkout on a case-sensitive "
                           "file system (Linux, most CI runners) does not, and the build fails there. The finding is "
                           "at the line of the project or group file that names the file.",
            .bad = "Form=Forms\\FRMMAIN.FRM       (the file is Forms/frmMain.frm)",
            .good = "Form=Forms\\frmMain.frm",
        },
        {
            .name = "vb6-limits",
            .kind = RuleKind::Breakage,
            .summary = "a member over the IDE's limits of lines, control names, control nesting or declares",
            .description = "The IDE refuses a member of more than 65,534 lines, a form with more than 254 distinct "
                           "control names or controls nested more than 25 deep, and more than 1,500 Declare "
                           "statements. From 90% of a limit the finding is a warning, while there is still time to "
                           "split the member.",
            .bad = "Begin VB.TextBox txtItem1\n...\nBegin VB.TextBox txtItem260      (260 control names)",
            .good = "Begin VB.TextBox txtItem\n   Index = 0\n...\nBegin VB.TextBox txtItem\n   Index = 259      "
                    "(one control array, one name)",
            .effortMinutes = 120,
        },
        {
            .name = "companion",
            .kind = RuleKind::Breakage,
            .summary = "a form or user control that refers to a missing .frx or .ctx",
            .description = "A form, user control, property page or user document keeps its pictures and list items in "
                           "a binary companion file (.frx, .ctx, .pgx, .dox). When the layout refers to one that does "
                           "not exist, the IDE loads the form without them or not at all.",
            .bad = "Picture = \"frmMain.frx\":0000      (*.frx is in .gitignore)",
            .good = "frmMain.frx committed beside frmMain.frm, and in .gitattributes:\n*.frx binary",
            .effortMinutes = 10,
        },
        {
            .name = "threshold",
            .kind = RuleKind::Complexity,
            .summary = "a figure over a limit given with --fail-on",
            .description = "A figure of a member or a procedure over a limit of the team's own, such as "
                           "procedure.complexity>40. The rule runs only when limits are given. From 90% of a limit "
                           "the finding is a warning.",
            .bad = "--fail-on 'procedure.complexity>20', and Function CalcTax of complexity 34",
            .good = "CalcTax split into three functions of complexity 12, 9 and 15",
            .effortMinutes = 60,
            .parameters = {{"fail-on", "",
                            "limits FIGURE>N or FIGURE>=N, comma-separated (member.codeLines>5000, "
                            "procedure.complexity>40); none by default"}},
        },
    };
    return rules;
}

const CheckRule* FindCheckRule(std::string_view name) {
    for (const CheckRule& rule : CheckRules()) {
        if (rule.name == name) return &rule;
    }
    return nullptr;
}

bool IsCheckRule(std::string_view name) { return FindCheckRule(name) != nullptr; }

std::string RuleHelpUri(const CheckRule& rule) {
    // Each rule has a heading of its own name in the README, which is its anchor.
    return std::string(QUIBEX_HOME_PAGE) + "quibex-report/README.md#" + std::string(rule.name);
}

std::string RuleIdentifier(const CheckRule& rule) {
    std::string id;
    bool upper = true;
    for (char c : rule.name) {
        if (c == '-') {
            upper = true;
            continue;
        }
        id += upper && c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
        upper = false;
    }
    return id;
}

std::string RuleHelpText(const CheckRule& rule) {
    return std::string(rule.description) + "\n\nBad:\n" + std::string(rule.bad) + "\n\nGood:\n" +
           std::string(rule.good) + "\n";
}

std::string RuleHelpMarkdown(const CheckRule& rule) {
    return std::string(rule.description) + "\n\nBad:\n\n```\n" + std::string(rule.bad) + "\n```\n\nGood:\n\n```\n" +
           std::string(rule.good) + "\n```\n";
}

}  // namespace quibex::report
