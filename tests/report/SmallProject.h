#pragma once
// A small project written for the reporter's tests, with figures worked out
// by hand from the counting rules (see the comments).

#include <string>

#include "tests/support/TestSupport.h"

namespace quibex::test {

// Writes Small.vbp and its members into `dir`:
//
// frmA.frm, CR LF lines (size 73):
//   "VERSION 5.00"            12 chars -> 14  interface
//   "Begin VB.Form frmA"      18       -> 20  interface
//   "End"                      3       ->  5  interface
//   "Private Sub Form_Load()" 23       -> 25  code ("private ", "sub ")
//   "End Sub"                  7       ->  9  code
//   -> 3 interface lines 39b, 2 code lines 34b; frmA.frx 1536 bytes.
// Code\mdlA.bas, LF-only lines, the last without terminator (size 68):
//   "Attribute VB_Name = "mdlA""  26 -> 28  interface
//   "Option Explicit"             15 -> 17  interface
//   "Dim x As Long"               13 -> 15  code ("dim ")
//   "Const Y = 1"                 11 -> 13  code (no terminator, still + 2)
//   -> 2 interface lines 45b, 2 code lines 28b.
// CThing.cls, CR-only lines (size 82):
//   "VERSION 1.0 CLASS"             17 -> 19  interface
//   "Attribute VB_Name = "CThing""  28 -> 30  interface
//   "' Dimensions"                  12 -> 14  interface ("dim" without space)
//   "Public Name As String"         21 -> 23  code
//   -> 3 interface lines 63b, 1 code line 23b.
// "a,b.bas": an empty module (no lines); "Gone.frm": listed, missing.
//
// Totals: binary 1536; interface 8 lines 147b; code 5 lines 85b; the
// project total 13 lines, 1536 + 147 + 85 = 1768b = 172.65 hundredths of a
// Kb -> "13 (1.72Kb)".
inline std::string WriteSmallProject(const TempDir& dir) {
    dir.Write("frmA.frm", "VERSION 5.00\r\nBegin VB.Form frmA\r\nEnd\r\nPrivate Sub Form_Load()\r\nEnd Sub\r\n");
    dir.Write("frmA.frx", std::string(1536, '\0'));
    dir.Write("Code/mdlA.bas", "Attribute VB_Name = \"mdlA\"\nOption Explicit\nDim x As Long\nConst Y = 1");
    dir.Write("CThing.cls", "VERSION 1.0 CLASS\rAttribute VB_Name = \"CThing\"\r' Dimensions\rPublic Name As String\r");
    dir.Write("a,b.bas", "");
    return dir.Write("Small.vbp",
                     "Type=Exe\r\n"
                     "Form=frmA.frm\r\n"
                     "Module=mdlA; Code\\mdlA.bas\r\n"
                     "Class=CThing; CThing.cls\r\n"
                     "Module=Odd; a,b.bas\r\n"
                     "Form=Gone.frm\r\n"
                     "Name=\"Small\"\r\n");
}

// The JSON report of Small.vbp given as "Small.vbp" (figures as above; the
// labels are those the engine wrote last: the missing Gone.frm as the
// current member, the counts, and the totals).
inline const char* kSmallProjectJson = R"json({
  "file": "Small.vbp",
  "members": [
    {"path": "frmA.frm", "name": "frmA.frm", "type": "Form", "fileSize": 73, "binarySize": 1536, "interfaceLines": 3, "interfaceBytes": 39, "codeLines": 2, "codeBytes": 34, "project": "Small.vbp"},
    {"path": "Code\\mdlA.bas", "name": "mdlA.bas", "type": "Module", "fileSize": 68, "binarySize": 0, "interfaceLines": 2, "interfaceBytes": 45, "codeLines": 2, "codeBytes": 28, "project": "Small.vbp"},
    {"path": "CThing.cls", "name": "CThing.cls", "type": "Class Module", "fileSize": 82, "binarySize": 0, "interfaceLines": 3, "interfaceBytes": 63, "codeLines": 1, "codeBytes": 23, "project": "Small.vbp"},
    {"path": "a,b.bas", "name": "a,b.bas", "type": "Module", "fileSize": 0, "binarySize": 0, "interfaceLines": 0, "interfaceBytes": 0, "codeLines": 0, "codeBytes": 0, "project": "Small.vbp"},
    {"path": "Gone.frm", "name": "Gone.frm", "type": "Form", "fileSize": 0, "binarySize": 0, "interfaceLines": 0, "interfaceBytes": 0, "codeLines": 0, "codeBytes": 0, "project": "Small.vbp"}
  ],
  "counts": {"Form": 2, "MDI Form": 0, "Module": 2, "Class Module": 1, "User Control": 0, "Property Page": 0, "User Document": 0},
  "totals": {"binary": 1536, "interfaceLines": 8, "interfaceBytes": 147, "codeLines": 5, "codeBytes": 85},
  "labels": {
    "LabelFileT": "Gone.frm",
    "LabelTypeT": "Form",
    "LabelSizeT": "0b",
    "LabelBinaryT": "0b",
    "LabelTotalT": "0b",
    "LabelInterfaceT": "0 (0b)",
    "LabelCodeT": "0 (0b)",
    "LabelLineT": "0 (0b)",
    "LabelFormT": "2",
    "LabelMDIFormT": "0",
    "LabelModuleT": "2",
    "LabelClassModuleT": "1",
    "LabelUserControlT": "0",
    "LabelPropertyPageT": "0",
    "LabelUserDocumentT": "0",
    "LabelBinaryTotalT": "1.5Kb",
    "LabelInterfaceTotalT": "8 (147b)",
    "LabelCodeTotalT": "5 (85b)",
    "LabelTotalFileT": "13 (1.72Kb)"
  },
  "error": null,
  "unreadableProjects": []
}
)json";

}  // namespace quibex::test
