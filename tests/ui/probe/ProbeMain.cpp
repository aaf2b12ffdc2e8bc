// quibex-probe: drives the real Quibex.exe from outside, as a user would,
// and reports what its main window shows.
//
//   quibex-probe open FILE --exe QUIBEX.EXE [--select I,J,...] [--out JSON] [--keep]
//       Starts the program, chooses FILE through File > Open in the real open
//       dialog, waits for the run to end, clicks the given list entries (the
//       first plainly, the others with Ctrl) and writes one JSON object:
//       {"caption", "entries", "selected", "enabled", "labels"}, on standard
//       output or, once every step has succeeded, into the file --out names.
//       Then closes the program and checks that it ended, unless --keep.
//   quibex-probe about --exe QUIBEX.EXE [--hover email|url] [--out JSON] [--keep]
//       Starts the program with the mouse pointer away from its windows,
//       opens Help > About, and with --hover moves the pointer over that link
//       and waits for its underline. Writes one JSON object: {"caption",
//       "labels", "underlined", "client", "window", "mainEnabled"}, the
//       underline as the screen shows it. Then closes the About window with
//       Esc, checks that the main window is enabled again, and closes the
//       program, unless --keep.
//   quibex-probe close
//       Closes a running Quibex and waits for it to end.
//   quibex-probe same-labels A.json B.json
//       Compares the "labels" objects of two JSON documents.
#include "ui/Win32.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <initializer_list>
#include <map>
#include <optional>
#include <sstream>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Display.h"
#include "tests/ui/probe/Driver.h"
#include "tests/ui/probe/Json.h"
#include "tests/ui/probe/Underline.h"
#include "ui/AboutRules.h"
#include "ui/ControlIds.h"
#include "ui/Handles.h"
#include "ui/resource.h"

namespace {

using namespace std::chrono_literals;
using namespace quibex::probe;

constexpr auto kStartTimeout = 60s;
constexpr auto kRunTimeout = 300s;
constexpr auto kEndTimeout = 30s;
constexpr auto kPoll = 50ms;

// Returns once the program's thread has served a message: it is then idle in
// its message loop or inside a yield of a run.
void RoundTrip(HWND main) {
    DWORD_PTR ignored = 0;
    SendMessageTimeoutW(main, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &ignored);
}

void Click(HWND list, int index, bool control) {
    DWORD_PTR count = 0;
    SendMessageTimeoutW(list, LB_GETCOUNT, 0, 0, SMTO_NORMAL, 10000, &count);
    if (index < 0 || static_cast<DWORD_PTR>(index) >= count) {
        throw Failure("no list entry " + std::to_string(index) + " (the list has " + std::to_string(count) + ")");
    }
    SendMessageW(list, LB_SETTOPINDEX, static_cast<WPARAM>(index), 0);
    RECT item{};
    SendMessageW(list, LB_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
    const LPARAM at = MAKELPARAM((item.left + item.right) / 2, (item.top + item.bottom) / 2);
    const WPARAM keys = control ? MK_CONTROL : 0;
    SendMessageW(list, WM_MOUSEMOVE, keys, at);
    SendMessageW(list, WM_LBUTTONDOWN, keys | MK_LBUTTON, at);
    SendMessageW(list, WM_LBUTTONUP, keys, at);
}

std::string Report(HWND main) {
    HWND list = GetDlgItem(main, IDC_LISTITEM);
    std::ostringstream out;
    out << "{\"caption\": " << JsonString(Utf8(TextOf(main)));

    out << ", \"entries\": [";
    const LRESULT count = SendMessageW(list, LB_GETCOUNT, 0, 0);
    for (LRESULT i = 0; i < count; ++i) {
        const LRESULT length = SendMessageW(list, LB_GETTEXTLEN, static_cast<WPARAM>(i), 0);
        std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
        const LRESULT copied =
            SendMessageW(list, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(copied > 0 ? copied : 0));
        out << (i ? ", " : "") << JsonString(Utf8(text));
    }

    out << "], \"selected\": [";
    bool first = true;
    for (LRESULT i = 0; i < count; ++i) {
        if (SendMessageW(list, LB_GETSEL, static_cast<WPARAM>(i), 0) > 0) {
            out << (first ? "" : ", ") << i;
            first = false;
        }
    }
    out << "], \"enabled\": " << (IsWindowEnabled(main) ? "true" : "false");

    out << ", \"labels\": {";
    first = true;
    for (quibex::Label label : quibex::AllLabels()) {
        HWND value = GetDlgItem(main, quibex::ValueLabelId(label));
        if (!value) throw Failure("no value label " + std::string(quibex::LabelName(label)));
        out << (first ? "" : ", ") << JsonString(quibex::LabelName(label)) << ": " << JsonString(Utf8(TextOf(value)));
        first = false;
    }
    out << "}}\n";
    return out.str();
}

std::vector<int> ParseIndices(const std::string& text) {
    std::vector<int> indices;
    std::stringstream in(text);
    std::string piece;
    while (std::getline(in, piece, ',')) {
        if (piece.empty() || piece.find_first_not_of("0123456789") != std::string::npos) {
            throw Failure("--select takes entry numbers from 0, separated by commas: '" + text + "'");
        }
        indices.push_back(std::stoi(piece));
    }
    return indices;
}

void WriteAnswer(const std::string& report, const std::string& outPath) {
    // Written only at the end, so that a file there means every step succeeded.
    if (outPath.empty()) {
        std::fwrite(report.data(), 1, report.size(), stdout);
        std::fflush(stdout);
        return;
    }
    std::ofstream out(outPath + ".part", std::ios::binary);
    out << report;
    out.close();
    if (!out || !MoveFileExW(Widen(outPath + ".part").c_str(), Widen(outPath).c_str(), MOVEFILE_REPLACE_EXISTING)) {
        throw Failure("cannot write '" + outPath + "'");
    }
}

// The started program's main window. A program that never shows one is
// ended, --keep or not: there is nothing to keep, and "close" could not
// find it.
HWND MainWindowOf(const Program& program) {
    try {
        return WaitForMainWindow(program.pid, kStartTimeout, kPoll);
    } catch (...) {
        TerminateProcess(program.process.Get(), 1);
        throw;
    }
}

int Open(const std::string& file, const std::string& exe, const std::string& select, const std::string& outPath,
         bool keep) {
    const std::vector<int> indices = select.empty() ? std::vector<int>{} : ParseIndices(select);

    const Program program = Start(exe);
    const DWORD pid = program.pid;
    HWND main = MainWindowOf(program);
    try {
        HWND dialog = FillOpenDialog(pid, main, Widen(file), kStartTimeout, kPoll);
        AcceptOpenDialog(dialog, kStartTimeout, kPoll);

        // The run is over when the program's thread, at a message it serves,
        // has the main window enabled and no processing window.
        WaitUntil(
            [&] {
                RoundTrip(main);
                return IsWindowEnabled(main) && !FindTopLevel(pid, L"Quibex.frmProcess");
            },
            kRunTimeout, "the run to end", kPoll);

        HWND list = GetDlgItem(main, IDC_LISTITEM);
        for (std::size_t i = 0; i < indices.size(); ++i) Click(list, indices[i], i > 0);
        RoundTrip(main);

        const std::string report = Report(main);
        if (!keep) CloseAndWait(main, program.process.Get(), kEndTimeout);
        WriteAnswer(report, outPath);
        return 0;
    } catch (...) {
        if (!keep) TerminateProcess(program.process.Get(), 1);
        throw;
    }
}

constexpr wchar_t kAboutClass[] = L"Quibex.frmAbout";

// What a link label shows on the screen now.
InkReading ReadLink(HWND label) {
    RECT r{};
    if (!GetWindowRect(label, &r) || r.right <= r.left || r.bottom <= r.top) return {};
    const int width = r.right - r.left;
    const int height = r.bottom - r.top;
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof bi.bmiHeader;
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top row first
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    quibex::WindowDC screen(nullptr);
    void* bits = nullptr;
    HBITMAP picture = CreateDIBSection(screen.Get(), &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!picture || !bits) throw Failure("cannot make a picture of a link");
    HDC dc = CreateCompatibleDC(screen.Get());
    HGDIOBJ old = SelectObject(dc, picture);
    BitBlt(dc, 0, 0, width, height, screen.Get(), r.left, r.top, SRCCOPY);
    GdiFlush();
    const COLORREF ink = GetSysColor(COLOR_HIGHLIGHT);  // COLORREF is 0xBBGGRR, the picture 0xRRGGBB
    const InkReading reading = ReadInk(
        static_cast<const std::uint32_t*>(bits), width, height,
        (GetRValue(ink) << 16) | (GetGValue(ink) << 8) | GetBValue(ink));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(picture);
    return reading;
}

void PostKey(HWND to, WPARAM key) {
    const LPARAM scan = static_cast<LPARAM>(MapVirtualKeyW(static_cast<UINT>(key), MAPVK_VK_TO_VSC)) << 16;
    PostMessageW(to, WM_KEYDOWN, key, scan | 1);
    PostMessageW(to, WM_KEYUP, key, scan | 1 | (1 << 30) | (1u << 31));
}

int About(const std::string& exe, const std::string& hover, const std::string& outPath, bool keep) {
    int hoverId = 0;
    if (hover == "email") hoverId = IDC_LBLEMAIL;
    if (hover == "url") hoverId = IDC_LBLURL;
    if (!hover.empty() && !hoverId) throw Failure("--hover takes email or url, not '" + hover + "'");

    // The pointer in a corner, away from where the About window will be.
    SetCursorPos(0, 0);
    const Program program = Start(exe);
    HWND main = MainWindowOf(program);
    try {
        PostMessageW(main, WM_COMMAND, MAKEWPARAM(IDM_HELPABOUT, 0), 0);
        HWND about = WaitFor([&] { return FindTopLevel(program.pid, std::wstring(kAboutClass), main); },
                             kStartTimeout, "the About window", kPoll);
        HWND email = GetDlgItem(about, IDC_LBLEMAIL);
        HWND url = GetDlgItem(about, IDC_LBLURL);
        if (!email || !url) throw Failure("the About window has no link labels");

        if (hoverId) {
            RECT r{};
            GetWindowRect(GetDlgItem(about, hoverId), &r);
            SetCursorPos((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        }
        // Until both links are painted and the hovered one, if any, shows
        // its underline after a tick of the window's timer.
        InkReading emailInk, urlInk;
        WaitUntil(
            [&] {
                RoundTrip(about);
                emailInk = ReadLink(email);
                urlInk = ReadLink(url);
                if (!emailInk.inked || !urlInk.inked) return false;
                if (hoverId == IDC_LBLEMAIL && !emailInk.underlined) return false;
                if (hoverId == IDC_LBLURL && !urlInk.underlined) return false;
                return true;
            },
            kStartTimeout, hoverId ? "the link's underline" : "the links to be painted", kPoll);

        std::ostringstream out;
        out << "{\"caption\": " << JsonString(Utf8(TextOf(about))) << ", \"labels\": {";
        bool first = true;
        for (const quibex::AboutLabel& label : quibex::kAboutLabels) {
            HWND control = GetDlgItem(about, label.id);
            if (!control) throw Failure("the About window has no " + std::string(label.name));
            out << (first ? "" : ", ") << JsonString(label.name) << ": " << JsonString(Utf8(TextOf(control)));
            first = false;
        }
        out << "}, \"underlined\": {\"lblEmail\": " << (emailInk.underlined ? "true" : "false")
            << ", \"lblURL\": " << (urlInk.underlined ? "true" : "false") << "}";
        RECT client{}, frame{};
        GetClientRect(about, &client);
        GetWindowRect(about, &frame);
        out << ", \"client\": {\"width\": " << client.right << ", \"height\": " << client.bottom << "}";
        out << ", \"window\": {\"left\": " << frame.left << ", \"top\": " << frame.top
            << ", \"width\": " << frame.right - frame.left << ", \"height\": " << frame.bottom - frame.top << "}";
        out << ", \"mainEnabled\": " << (IsWindowEnabled(main) ? "true" : "false") << "}\n";

        if (!keep) {
            PostKey(about, VK_ESCAPE);
            WaitUntil([&] { return !IsWindow(about); }, kEndTimeout, "Esc to close the About window", kPoll);
            RoundTrip(main);
            if (!IsWindowEnabled(main)) throw Failure("the main window stayed disabled after the About window");
            CloseAndWait(main, program.process.Get(), kEndTimeout);
        }
        WriteAnswer(out.str(), outPath);
        return 0;
    } catch (...) {
        if (!keep) TerminateProcess(program.process.Get(), 1);
        throw;
    }
}

int Close() {
    HWND main = FindTopLevel(0, L"Quibex.frmMain");
    if (!main) throw Failure("no Quibex main window is open");
    DWORD pid = 0;
    GetWindowThreadProcessId(main, &pid);
    const quibex::UniqueKernelHandle process(OpenProcess(SYNCHRONIZE | PROCESS_TERMINATE, FALSE, pid));
    if (!process) throw Failure("cannot reach the Quibex process");
    CloseAndWait(main, process.Get(), kEndTimeout);
    return 0;
}

std::string ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    if (!in) throw Failure("cannot open '" + path + "'");
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

int SameLabels(const std::string& a, const std::string& b) {
    std::string error;
    const auto left = StringObject(ReadFile(a), "labels", &error);
    if (!left) throw Failure(a + ": " + error);
    const auto right = StringObject(ReadFile(b), "labels", &error);
    if (!right) throw Failure(b + ": " + error);
    int differences = 0;
    for (quibex::Label label : quibex::AllLabels()) {
        const std::string name(quibex::LabelName(label));
        const auto l = left->find(name);
        const auto r = right->find(name);
        const std::string lt = l == left->end() ? "<missing>" : JsonString(l->second);
        const std::string rt = r == right->end() ? "<missing>" : JsonString(r->second);
        if (lt != rt) {
            std::fprintf(stderr, "%s: %s in %s, %s in %s\n", name.c_str(), lt.c_str(), a.c_str(), rt.c_str(), b.c_str());
            ++differences;
        }
    }
    if (left->size() != right->size()) {
        std::fprintf(stderr, "%zu labels in %s, %zu in %s\n", left->size(), a.c_str(), right->size(), b.c_str());
        ++differences;
    }
    return differences == 0 ? 0 : 1;
}

// The options of a command from args[from] on: --keep, and each of `valued`
// followed by its value (the last one counts when given twice). Nothing when
// an option is unknown or lacks its value.
struct Options {
    std::map<std::string, std::string> values;
    bool keep = false;

    std::string Value(const std::string& name) const {
        const auto found = values.find(name);
        return found == values.end() ? std::string() : found->second;
    }
};

std::optional<Options> ReadOptions(const std::vector<std::string>& args, std::size_t from,
                                   std::initializer_list<std::string_view> valued) {
    Options options;
    for (std::size_t i = from; i < args.size(); ++i) {
        if (args[i] == "--keep") {
            options.keep = true;
        } else if (i + 1 < args.size() && std::find(valued.begin(), valued.end(), args[i]) != valued.end()) {
            options.values[args[i]] = args[i + 1];
            ++i;
        } else {
            return std::nullopt;
        }
    }
    return options;
}

int Usage() {
    std::fputs(
        "usage: quibex-probe open FILE --exe QUIBEX.EXE [--select I,J,...] [--out JSON] [--keep]\n"
        "       quibex-probe about --exe QUIBEX.EXE [--hover email|url] [--out JSON] [--keep]\n"
        "       quibex-probe close\n"
        "       quibex-probe same-labels A.json B.json\n",
        stderr);
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    const std::vector<std::string> args(argv + 1, argv + argc);
    try {
        if (args.size() >= 2 && args[0] == "open") {
            const auto options = ReadOptions(args, 2, {"--exe", "--select", "--out"});
            if (!options || options->Value("--exe").empty()) return Usage();
            return Open(args[1], options->Value("--exe"), options->Value("--select"), options->Value("--out"),
                        options->keep);
        }
        if (!args.empty() && args[0] == "about") {
            const auto options = ReadOptions(args, 1, {"--exe", "--hover", "--out"});
            if (!options || options->Value("--exe").empty()) return Usage();
            return About(options->Value("--exe"), options->Value("--hover"), options->Value("--out"), options->keep);
        }
        if (args.size() == 1 && args[0] == "close") return Close();
        if (args.size() == 3 && args[0] == "same-labels") return SameLabels(args[1], args[2]);
        return Usage();
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quibex-probe: %s\n", e.what());
        return 1;
    }
}
