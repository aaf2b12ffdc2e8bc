#pragma once
// Paths as text, the way every part of the program takes them apart:
// "\" and "/" both separate folders, and names compare in any letter case,
// as the engine finds files on every system.

#include <string>
#include <string_view>

namespace quibex {

// The folder part of a path: "/a/b" of "/a/b/c.frm", "/" of "/c.frm", ""
// of "c.frm".
std::string FolderOf(std::string_view path);

// The last part of a path: "c.frm" of "..\b\c.frm".
std::string FileNameOf(std::string_view path);

// Whether `file` names a project group (".vbg"), in any letter case.
bool IsGroupFile(std::string_view file);

// Whether `file` names a project (".vbp") or a project group (".vbg"), in
// any letter case.
bool HasProjectExtension(std::string_view file);

// `path` relative to `folder` when it lies below it, else `path` as it is.
// Letters compare in any case; `folder` may end in its separator ("C:\",
// "/").
std::string PathBelow(std::string_view path, std::string_view folder);

}  // namespace quibex
