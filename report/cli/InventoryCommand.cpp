// quibex-report inventory FILE: the references, components, declares,
// shared, identical and orphaned files of a project or group.

#include "report/cli/InventoryCommand.h"

#include <algorithm>
#include <filesystem>
#include <memory>
#include <optional>

#include "engine/CodePage.h"
#include "engine/FileSystem.h"
#include "engine/Paths.h"
#include "report/cli/Commands.h"
#include "report/cli/Output.h"
#include "report/cli/Reporter.h"
#include "report/model/Analysis.h"
#include "report/platform/Platform.h"
#include "report/text/Utf8.h"
#include "report/writers/CycloneDxWriter.h"
#include "report/writers/InventoryWriter.h"

namespace quibex::report {

namespace {

enum OptionId { kFormat = 1, kOrphans };

constexpr Option kOptions[] = {
    {"--format", "", "text", "tables (default)", kFormat, "--format needs text, csv, json or cyclonedx"},
    {"--format", "", "csv", "one row per item, the section in the first column", kHelpRow},
    {"--format", "", "json", "everything, as one document", kHelpRow},
    {"--format", "", "cyclonedx", "a CycloneDX 1.5 JSON software bill of materials", kHelpRow},
    {"--orphans", "", "",
     "also list the .frm, .bas, .cls, .ctl, .pag and .dob\n"
     "files under the projects' folders that no project lists",
     kOrphans},
};
constexpr OptionTable kTable = {kOptions};

constexpr std::pair<std::string_view, InventoryFormat> kFormats[] = {
    {"text", InventoryFormat::Text},
    {"csv", InventoryFormat::Csv},
    {"json", InventoryFormat::Json},
    {"cyclonedx", InventoryFormat::CycloneDx},
};

std::string Usage() {
    return "Usage: quibex-report inventory [--format text|csv|json|cyclonedx] [--orphans]\n"
           "                               [--code-page N] [-o FILE] [--progress|--no-progress] FILE\n";
}

std::string Help() {
    return CommandHelp(kInventoryCommand,
                       "Lists what the project (.vbp) or group (.vbg) FILE is made of: the type\n"
                       "libraries of its Reference lines and the projects they name, the ActiveX\n"
                       "components of its Object lines with the controls the forms place of each\n"
                       "(a component no form uses is flagged), every Declare by library, the files\n"
                       "several projects of a group list, the files with the same content under\n"
                       "different paths, and the group's figures summed and with each file once.\n"
                       "A referenced file found on this machine shows its size and, for a PE\n"
                       "image, its file version.\n",
                       kTable,
                       "Exit status as for the plain report: 0, 1 when a project or group file\n"
                       "could not be read or the report not written, 2 for a usage error.\n");
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

int RunInventory(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal) {
    const Parsed<InventoryOptions> parsed = ParseInventoryArguments(args);
    switch (parsed.action) {
        case CommandAction::Help: return ShowHelp(kInventoryCommand, out);
        case CommandAction::Run: break;
        default: return UsageError(kInventoryCommand, parsed.error, err);
    }
    const InventoryOptions& options = parsed.options;
    AnalysisRequest request;
    request.file = options.file;
    request.codePage = options.codePage;
    request.sourceModel = true;
    request.progress = options.progress;
    Analysis analysis = Analyse(request, err, stderrIsTerminal);

    vb6::InventoryInput input;
    input.file = analysis.report.file;
    input.fullFile = analysis.absoluteFile;
    input.group = IsGroupFile(options.file);
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
    const BomStamp stamp = NewBomStamp();
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

}  // namespace

Parsed<InventoryOptions> ParseInventoryArguments(const std::vector<std::string>& args) {
    Parsed<InventoryOptions> parsed;
    InventoryOptions& options = parsed.options;
    auto take = [&](const Option& option, const std::string& value) -> std::string {
        if (option.id == kOrphans) {
            options.orphans = true;
            return {};
        }
        const auto* known = std::find_if(std::begin(kFormats), std::end(kFormats),
                                         [&](const auto& format) { return format.first == value; });
        if (known == std::end(kFormats)) return std::string(option.missing);
        options.format = known->second;
        return {};
    };
    std::vector<std::string> files;
    parsed.action = ReadArguments(args, kTable, options, take, files, parsed.error);
    if (parsed.action != CommandAction::Run) return parsed;
    auto usage = [&](std::string error) {
        parsed.action = CommandAction::UsageError;
        parsed.error = std::move(error);
        return parsed;
    };
    if (files.empty()) return usage("no project or group file given");
    if (files.size() > 1) return usage("more than one file given ('" + files[0] + "', '" + files[1] + "')");
    if (!HasProjectExtension(files[0])) {
        return usage("'" + files[0] + "' is neither a project (.vbp) nor a project group (.vbg)");
    }
    options.file = files[0];
    return parsed;
}

const Command kInventoryCommand = {"inventory",
                                   "FILE: references, components, declares, shared and orphaned files; an SBOM",
                                   &Usage, &Help, &RunInventory};

}  // namespace quibex::report
