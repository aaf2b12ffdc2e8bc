#pragma once
// frmAbout's layout and the rules behind it: the version text, where the
// pointer is in twips, and what a click on a link hands to the shell.
// Portable: no <windows.h>.

#include <string>
#include <string_view>

#include "ui/Twips.h"
#include "ui/resource.h"

namespace quibex {

// The About window's client area, in twips.
inline constexpr int kAboutClientWidth = 3900;
inline constexpr int kAboutClientHeight = 1680;

// tmrUnderline polls the pointer this often.
inline constexpr unsigned kUnderlineIntervalMs = 50;

enum class AboutFont {
    Default,     // the window's: MS Sans Serif 8.25 pt, regular
    Title,       // 12 pt bold
    Bold,        // 8.25 pt bold
    BoldItalic,  // 8.25 pt bold italic
};

// One label of the window. `text` is what it holds when created; the load
// step replaces the placeholders and fills the maker's labels.
struct AboutLabel {
    std::string_view name;
    int id;
    TwipsRect rect;
    std::string_view text;
    AboutFont font;
    bool centred;
    bool link;
};

inline constexpr AboutLabel kAboutLabels[] = {
    {"lblTitle", IDC_LBLTITLE, {0, 60, 3900, 300}, "Title", AboutFont::Title, true, false},
    {"lblVersion", IDC_LBLVERSION, {0, 360, 3900, 195}, "Version", AboutFont::Default, true, false},
    {"lblAuthorC", IDC_LBLAUTHORC, {60, 690, 600, 195}, "Author:", AboutFont::Default, false, false},
    {"lblAuthor", IDC_LBLAUTHOR, {660, 690, 3180, 195}, "", AboutFont::Bold, false, false},
    {"lblEmailC", IDC_LBLEMAILC, {60, 900, 600, 195}, "E-mail:", AboutFont::Default, false, false},
    {"lblEmail", IDC_LBLEMAIL, {660, 900, 1380, 195}, "", AboutFont::Bold, false, true},
    {"lblURLC", IDC_LBLURLC, {60, 1110, 600, 195}, "URL:", AboutFont::Default, false, false},
    {"lblURL", IDC_LBLURL, {660, 1110, 2670, 195}, "", AboutFont::Bold, false, true},
    {"lblCopyright", IDC_LBLCOPYRIGHT, {0, 1470, 3900, 210}, "Copyright", AboutFont::BoldItalic, true, false},
};

// The label with that control number; nullptr when there is none.
const AboutLabel* FindAboutLabel(int id);

// The version as the About window shows it: major "." minor "." revision,
// the minor number with a leading "0" below 10, the revision padded with
// "0" to four digits (a longer one stays whole), the major never padded.
// The numbers are those of a version resource, 0 to 65535.
std::string VersionText(int major, int minor, int revision);

// Twips for a length in pixels at `dpi` dots per inch, rounded to the
// nearest twip (halves away from zero). A dpi of 0 or less counts as 96.
int PixelsToTwips(int pixels, int dpi);

// Whether the point (x, y), in twips of the same client area, lies on the
// label: all four edges count as on it.
bool IsOver(const TwipsRect& label, int x, int y);

// What a click on lblEmail opens: nothing in it is escaped.
std::string MailtoLink(std::string_view address, std::string_view subject);

// What a click on lblURL opens: its tag text when it has one, else its text.
std::string UrlLink(std::string_view tag, std::string_view text);

}  // namespace quibex
