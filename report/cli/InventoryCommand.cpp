#include "report/cli/InventoryCommand.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "engine/CodePage.h"
#include "engine/FileSystem.h"
#include "report/model/Analysis.h"
#include "report/writers/InventoryWriter.h"
#include "report/cli/OptionParsing.h"
#include "report/platform/Platform.h"
#include "report/cli/ReportOptions.h"
#include "report/cli/Reporter.h"
#include "report/text/Utf8.h"

namespace quibex::report {

namespace {

enum class InventoryFormat { Text, Csv, Json, CycloneDx };

constexpr std::pair<std::string_view, InventoryFormat> kFormats[] = {
    {"text", InventoryFormat::Text},
    {"csv", InventoryFormat::Csv},
    {"json", InventoryFormat::Json},
    {"cyclonedx", InventoryFormat::CycloneDx},
};

struct InventoryOptions : CommonOptions {
    InventoryFormat format = InventoryFormat::Text;
    bool orphans = false;
    std::string file;
    std::optional<std::string> specVersion;  // of CycloneDX
};

std::string InventoryUsage() {
    return "Usage: quibex-report inventory [--format text|csv|json|cyclonedx] [--spec-version 1.5|1.6]\n"
           "                               [--orphans] [--code-page N] [-o FILE] [--progress|--no-progress] FILE\n";
}

std::string InventoryHelp() {
    return InventoryUsage() +
           "\n"
           "Lists what the project (.vbp) or group (.vbg) FILE is made of: the type\n"
           "libraries of its Reference lines and the projects they name, the ActiveX\n"
           "components of its Object lines with the controls the forms place of each\n"
           "(a component no form uses is flagged), every Declare by library, the files\n"
           "several projects of a group list, the files with the same content under\n"
           "different paths, and the group's figures summed and with each file once.\n"
           "A referenced file found on this machine shows its size and, for a PE\n"
           "image, its file version.\n"
           "\n"
           "  --format text       tables (default)\n"
           "  --format csv        one row per item, the section in the first column\n"
           "  --format json       everything, as one document\n"
           "  --format cyclonedx  a CycloneDX JSON software bill of materials\n"
           "  --spec-version V    the CycloneDX version it follows: 1.6 (default) or 1.5\n"
           "  --orphans           also list the .frm, .bas, .cls, .ctl, .pag and .dob\n"
           "                      files under the projects' folders that no project lists\n" +
           std::string(CommonOptionsHelp()) +
           "  --help              print this help and exit\n"
           "\n"
           "Exit status as for the plain report: 0, 1 when a project or group file\n"
           "could not be read or the report not written, 2 for a usage error.\n";
}

// The run's file system, as the inventory asks it about files: the project
// folders are entered as the engine enters them, so paths resolve alike.
// The inventory's texts are UTF-8 and the file system's are in the
// project's code page: a name is tried as it is, then in that code page.
class PlatformInventoryFiles : public vb6::InventoryFiles {
public:
    PlatformInventoryFiles(std::unique_ptr<IFileSystem> files, TextConverter toUtf8, TextConverter fromUtf8)
        : files_(std::move(files)), toUtf8_(std::move(toUtf8)), fromUtf8_(std::move(fromUtf8)) {}

    std::optional<Found> Find(const std::string& folder, const std::string& path) override {
        if (auto found = FindAsIs(folder, path)) return found;
        return FindAsIs(fromUtf8_(folder), fromUtf8_(path));
    }

    std::optional<std::string> Read(const std::string& fullPath, std::size_t limit) override {
        if (auto bytes = ReadAsIs(fullPath, limit)) return bytes;
        return ReadAsIs(fromUtf8_(fullPath), limit);
    }

    std::vector<std::string> FilesBelow(const std::string& folder) override {
        namespace fs = std::filesystem;
        std::error_code ec;
        const std::string native = fs::is_directory(fs::path(folder), ec) ? folder : fromUtf8_(folder);
        std::vector<std::string> paths;
        // Links to folders are not followed: a link to a parent would never end.
        fs::recursive_directory_iterator it(fs::path(native), fs::directory_options::skip_permission_denied, ec);
        for (; !ec && it != fs::recursive_directory_iterator(); it.increment(ec)) {
            std::error_code typeError;
            if (it->is_regular_file(typeError)) paths.push_back(toUtf8_(it->path().string()));
        }
        return paths;
    }

private:
    std::optional<Found> FindAsIs(const std::string& folder, const std::string& path) {
        if (!folder.empty() && !files_->ChangeDirectory(folder)) return std::nullopt;
        const std::optional<Figure> size = files_->RegularFileSize(path);
        if (!size) return std::nullopt;
        return Found{toUtf8_(files_->FullPath(path)), *size};
    }

    std::optional<std::string> ReadAsIs(const std::string& fullPath, std::size_t limit) {
        try {
            std::unique_ptr<ByteSource> source = files_->OpenForReading(fullPath);
            std::string bytes;
            std::vector<char> buffer(1 << 16);
            while (bytes.size() < limit) {
                const std::size_t n = source->Read(buffer.data(), std::min(buffer.size(), limit - bytes.size()));
                if (n == 0) break;
                bytes.append(buffer.data(), n);
            }
            return bytes;
        } catch (const FileError&) {
            return std::nullopt;
        }
    }

    std::unique_ptr<IFileSystem> files_;
    TextConverter toUtf8_;
    TextConverter fromUtf8_;
};

int Usage(std::ostream& err, const std::string& error) {
    err << "quibex-report inventory: " << PrintableText(TextToUtf8(error)) << '\n'
        << InventoryUsage() << "Run 'quibex-report inventory --help' for more.\n"
        << std::flush;
    return kExitUsage;
}

}  // namespace

int RunInventory(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal) {
    InventoryOptions options;
    std::vector<std::string> files;
    bool optionsEnded = false;
    for (std::size_t i = 0; i < args.size(); ++i) {
        const std::string& arg = args[i];
        std::string value;
        bool missing = false;
        ValueOption option(args, i);
        if (optionsEnded || arg.size() < 2 || arg[0] != '-') {
            files.push_back(arg);
        } else if (arg == "--") {
            optionsEnded = true;
        } else if (arg == "--help" || arg == "-h") {
            out << InventoryHelp() << std::flush;
            return out ? kExitOk : kExitReadError;
        } else if (arg == "--orphans") {
            options.orphans = true;
        } else if (option.Is("--format", value, missing)) {
            bool known = false;
            for (const auto& [name, format] : kFormats) {
                if (name == value) {
                    options.format = format;
                    known = true;
                }
            }
            if (missing || !known) return Usage(err, "--format needs text, csv, json or cyclonedx");
        } else if (option.Is("--spec-version", value, missing)) {
            if (missing || (value != "1.5" && value != "1.6")) return Usage(err, "--spec-version needs 1.5 or 1.6");
            options.specVersion = value;
        } else {
            std::string error;
            switch (TakeCommonOption(args, i, options, error)) {
                case OptionResult::Taken: break;
                case OptionResult::Error: return Usage(err, error);
                case OptionResult::NotCommon: return Usage(err, "unknown option '" + arg + "'");
            }
        }
    }
    if (options.specVersion && options.format != InventoryFormat::CycloneDx) {
        return Usage(err, "--spec-version is for --format cyclonedx");
    }
    if (files.empty()) return Usage(err, "no project or group file given");
    if (files.size() > 1) return Usage(err, "more than one file given ('" + files[0] + "', '" + files[1] + "')");
    if (!HasProjectExtension(files[0])) {
        return Usage(err, "'" + files[0] + "' is neither a project (.vbp) nor a project group (.vbg)");
    }
    options.file = files[0];

    AnalysisRequest request;
    request.file = options.file;
    request.codePage = options.codePage;
    request.sourceModel = true;
    request.progress = options.progress;
    Analysis analysis = Analyse(request, err, stderrIsTerminal);

    vb6::InventoryInput input;
    input.file = analysis.report.file;
    input.fullFile = analysis.absoluteFile;
    input.group = EqualsIgnoringCase(std::string_view(options.file).substr(options.file.size() - 4), ".vbg");
    for (const MemberRow& row : analysis.report.members) input.records.push_back(row.record);
    if (analysis.detail) {
        input.projects = std::move(analysis.detail->projects);
        input.models = std::move(analysis.detail->members);
        input.fullPaths = std::move(analysis.detail->fullPaths);
    }
    input.models.resize(input.records.size());
    input.fullPaths.resize(input.records.size());
    input.orphans = options.orphans;

    std::optional<CodePage> codePage;
    if (options.codePage) codePage = CodePageFromNumber(*options.codePage);
    PlatformInventoryFiles inventoryFiles(MakePlatformFileSystem(codePage ? &*codePage : nullptr),
                                          TextConverterFor(options.codePage.value_or(0)),
                                          TextConverterFromUtf8(options.codePage.value_or(0)));
    const vb6::Inventory inventory = vb6::BuildInventory(input, inventoryFiles);
    BomStamp stamp = NewBomStamp();
    if (options.specVersion) stamp.specVersion = *options.specVersion;
    const int written = WriteOutput(
        options,
        [&](std::ostream& stream) {
            switch (options.format) {
                case InventoryFormat::Text: WriteInventoryText(input, inventory, stream); break;
                case InventoryFormat::Csv: WriteInventoryCsv(input, inventory, stream); break;
                case InventoryFormat::Json: WriteInventoryJson(input, inventory, stream); break;
                case InventoryFormat::CycloneDx: WriteInventoryCycloneDx(input, inventory, stamp, stream); break;
            }
        },
        out, err);
    if (written != kExitOk) return written;
    return analysis.Complete() ? kExitOk : kExitReadError;
}

}  // namespace quibex::report
