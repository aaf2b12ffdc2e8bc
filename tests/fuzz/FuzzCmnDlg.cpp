// Loads the dialog control from any stored form (entries of any name and
// kind), then saves and loads it again: a load must either fail cleanly or
// give a control that survives the round trip unchanged. Also converts any
// filter text.

#include <cstdint>
#include <cstdlib>
#include <optional>
#include <stdexcept>
#include <string>

#include "dialogs/CmnDlg.h"
#include "dialogs/CmnDlgPorts.h"
#include "dialogs/CmnDlgRules.h"
#include "dialogs/PropertyStore.h"

namespace {

class NoPlatform : public quibex::CmnDlgPlatform {
public:
    bool RunFileDialog(quibex::FileDialogKind, quibex::FileDialogRequest&) override { return false; }
    std::int32_t RunShellVerb(quibex::WindowHandle, std::string_view, std::string_view, std::string_view,
                              std::string_view, std::int32_t) override {
        return 0;
    }
    std::optional<std::string> BrowseForFolder(const quibex::BrowseRequest&) override { return std::nullopt; }
    std::optional<std::int32_t> PickColor(quibex::WindowHandle, std::int32_t) override { return std::nullopt; }
    void StartProcess(const std::string&, std::int32_t) override {}
};

const char* const kNames[] = {"BrowseWhat", "BrowsePath", "CancelError", "Color",    "ControlApplet",
                              "DefaultExt", "DialogTitle", "FileName",   "Filter",   "FilterIndex",
                              "Flags",      "HelpCommand", "HelpFile",   "HelpKey",  "InitDir", "Other"};

std::string State(quibex::CmnDlg& d) {
    return std::to_string(d.BrowseWhat()) + "|" + std::to_string(d.BrowsePath()) + "|" +
           std::to_string(d.CancelError()) + "|" + std::to_string(d.Color()) + "|" +
           std::to_string(d.ControlApplet()) + "|" + d.DefaultExt() + "|" + d.DialogTitle() + "|" + d.FileName() +
           "|" + d.FileTitle() + "|" + d.Filter() + "|" + std::to_string(d.FilterIndex()) + "|" +
           std::to_string(d.Flags()) + "|" + d.InitDir() + "|" + d.LastError();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);

    std::string converted = quibex::ConvertFilter(bytes);
    if (converted.size() != bytes.size() + 1 || converted.back() != '\0') std::abort();
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (converted[i] != (bytes[i] == '|' ? '\0' : bytes[i])) std::abort();
    }

    // Entries: a byte for the name, a byte for the kind, then a value.
    quibex::MemoryPropertyStore stored;
    std::size_t pos = 0;
    while (pos + 2 <= size) {
        const char* name = kNames[data[pos] % 16];
        int kind = data[pos + 1] % 3;
        pos += 2;
        std::size_t length = pos < size ? data[pos] % 24 : 0;
        std::string value = bytes.substr(std::min(pos + 1, size), length);
        pos += 1 + length;
        std::uint32_t hash = 0;
        for (char c : value) hash = hash * 31 + static_cast<unsigned char>(c);
        auto number = static_cast<std::int32_t>(hash);
        if (kind == 0) stored.Set(name, number);
        if (kind == 1) stored.Set(name, (hash & 1) != 0);
        if (kind == 2) stored.Set(name, value);
    }

    NoPlatform platform;
    quibex::StandaloneHost host;
    quibex::CmnDlg control(host, platform);
    try {
        control.ReadProperties(stored);
    } catch (const std::runtime_error&) {
        return 0;  // an entry of the wrong kind: the load fails, nothing else
    }
    quibex::MemoryPropertyStore saved;
    control.WriteProperties(saved);
    quibex::CmnDlg again(host, platform);
    again.ReadProperties(saved);
    if (State(control) != State(again)) std::abort();
    return 0;
}
