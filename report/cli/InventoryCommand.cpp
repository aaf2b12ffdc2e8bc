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

enum OptionId { kFormat = 1, kOrphans, kSpecVersion };

constexpr Option kOptions[] = {
    {"--format", "", "text", "tables (default)", kFormat, "--format needs text, csv, json or cyclonedx"},
    {"--format", "", "csv", "one row per item, the section in the first column", kHelpRow},
    {"--format", "", "json", "everything, as one document", kHelpRow},
    {"--format", "", "cyclonedx", "a CycloneDX JSON software bill of materials", kHelpRow},
    {"--spec-version", "", "V", "the CycloneDX version it follows: 1.6 (default) or 1.5", kSpecVersion},
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
    return "Usage: quibex-report inventory [--format text|csv|json|cyclonedx] [--spec-version 1.5|1.6]\n"
           "                               [--orphans] [--code-page N] [-o FILE] [--progress|--no-progress] FILE\n";
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

// The projects read and those of the group that could not be, in the
// order of the group's lines; one not read lists no members.
std::vector<vb6::ProjectFacts> WithUnreadableProjects(std::vector<vb6::ProjectFacts> read,
                                                      const std::vector<std::size_t>& ordinals,
                                                      const std::vector<UnreadableProject>& unreadable) {
    std::vector<std::pair<std::size_t, vb6::ProjectFacts>> all;
    for (std::size_t j = 0; j < read.size(); ++j) all.emplace_back(j < ordinals.size() ? ordinals[j] : j, std::move(read[j]));
    for (const UnreadableProject& u : unreadable) {
        vb6::ProjectFacts missing;
        missing.path = u.path;
        all.emplace_back(u.ordinal, std::move(missing));
    }
    std::stable_sort(all.begin(), all.end(), [](const auto& a, const auto& b) { return a.first < b.first; });
    std::vector<vb6::ProjectFacts> projects;
    for (auto& [ordinal, facts] : all) projects.push_back(std::move(facts));
    return projects;
}

int RunInventory(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, bool stderrIsTerminal) {
    const Parsed<InventoryOptions> parsed = ParseInventoryArguments(args);
    switch (parsed.action) {
        case CommandAction::Help: return ShowHelp(kInventoryCommand, out);
        case CommandAction::Run: break;
        default: return UsageError(kInventoryCommand, parsed.error, err);
    }
    const InventoryOptions& options = parsed.options;
    OutputGuard guard(options.output);
    AnalysisRequest request;
    request.file = options.file;
    request.codePage = options.codePage;
    request.sourceModel = true;
    request.progress = options.progress;
    request.outputGuard = &guard;
    // A project of the group that cannot be read is listed as not there,
    // and the rest is read.
    request.keepGoing = true;
    Analysis analysis = Analyse(request, err, stderrIsTerminal);

    vb6::InventoryInput input;
    input.file = analysis.report.file;
    input.fullFile = analysis.absoluteFile;
    input.group = IsGroupFile(options.file);
    for (const MemberRow& row : analysis.report.members) input.records.push_back(row.record);
    if (analysis.detail) {
        input.projects = WithUnreadableProjects(std::move(analysis.detail->projects), analysis.detail->projectOrdinals,
                                                analysis.report.unreadableProjects);
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
    const int written = WriteRunOutput(
        options, guard, analysis.ReadNothing(),
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
        if (option.id == kSpecVersion) {
            if (value != "1.5" && value != "1.6") return "--spec-version needs 1.5 or 1.6";
            options.specVersion = value;
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
    if (options.specVersion && options.format != InventoryFormat::CycloneDx) {
        return usage("--spec-version is for --format cyclonedx");
    }
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
