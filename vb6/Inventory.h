#pragma once
// What a project or group is made of: the type libraries and ActiveX
// components its projects reference, the projects they reference in turn,
// the Declare statements by library, the files several projects share, the
// files whose content is the same under different paths and the source
// files on disk that no project lists. Built from a finished run's records,
// source models and project facts; files are reached through a port.

#include <cstddef>
#include <optional>
#include <string>
#include <vector>

#include "engine/MemberStatistics.h"
#include "vb6/PeVersion.h"
#include "vb6/ProjectFacts.h"
#include "vb6/SourceModel.h"

namespace quibex::vb6 {

// The files an inventory looks at, as the run's file system resolves them.
class InventoryFiles {
public:
    virtual ~InventoryFiles() = default;
    struct Found {
        std::string fullPath;
        Figure size = 0;
    };
    // The regular file `path` names, resolved against `folder` (a full
    // path) as the engine resolves member paths; nothing when there is none.
    virtual std::optional<Found> Find(const std::string& folder, const std::string& path) = 0;
    // The first `limit` bytes of the file at `fullPath`; nothing when it cannot be read.
    virtual std::optional<std::string> Read(const std::string& fullPath, std::size_t limit) = 0;
    // The full paths of the regular files below `folder`, at any depth.
    virtual std::vector<std::string> FilesBelow(const std::string& folder) = 0;
};

// What the run read, every text in one encoding (the report's UTF-8).
struct InventoryInput {
    std::string file;        // the project or group file, as given
    std::string fullFile;    // the same, made absolute
    bool group = false;
    std::vector<ProjectFacts> projects;   // in reading order, a project listed twice twice
    std::vector<MemberRecord> records;    // one per member, in reading order
    std::vector<MemberModel> models;      // one per record
    std::vector<std::string> fullPaths;   // one per record; empty when the file was not read
    bool orphans = false;                 // walk the projects' folders
};

// A referenced file as found on this machine.
struct FileState {
    bool present = false;
    std::string fullPath;
    Figure size = 0;
    std::optional<PeVersion> version;  // for a PE image with a version resource
};

struct InventoryProject {
    std::string name;      // Name=, else the file's name without extension
    std::string path;      // as the user or the group named it
    std::string fullPath;  // as written when the file is not there
    bool present = false;  // the project file was found
    std::string type;      // Type=
    std::string version;   // "1.2.3" from MajorVer, MinorVer, RevisionVer; empty when none
    std::vector<std::size_t> members;     // record indices
    std::vector<std::size_t> dependsOn;   // projects of the run it references
};

// A type library, once per GUID and version.
struct InventoryReference {
    LibraryReference reference;     // as the first project wrote it
    FileState file;
    std::vector<std::size_t> projects;
};

// A "Reference=*\A..." or "Object=*\A..." line: another project.
struct InventorySubProject {
    std::size_t from = 0;                // the project whose line it is
    std::string written;                 // the path as written
    bool object = false;                 // an Object line (a user control project)
    std::string fullPath;                // empty when the file is not there
    std::optional<std::size_t> project;  // the project of the run it names
};

// An ActiveX component, once per GUID and version.
struct InventoryComponent {
    ObjectReference object;
    FileState file;
    std::vector<std::size_t> projects;
    std::string library;  // the name its controls' classes begin with ("MSComctlLib"); empty when unknown
    Figure controls = 0;  // controls of it that the forms place
    struct Placement {
        std::size_t member;
        Figure controls;
    };
    std::vector<Placement> placedBy;
    std::vector<std::size_t> listedBy;  // members whose own Object lines name it
    bool Unused() const { return controls == 0 && listedBy.empty(); }
};

struct InventoryDeclare {
    std::string library;  // as first written
    std::string name;
    std::string alias;
    bool isFunction = false;
    std::vector<std::size_t> members;  // one per file that declares it
    bool Duplicate() const { return members.size() > 1; }
};

struct SharedFile {
    std::string fullPath;
    std::vector<std::size_t> members;   // every record of the file
    std::vector<std::size_t> projects;  // distinct
};

struct IdenticalFiles {
    Figure size = 0;
    std::vector<std::size_t> members;  // one record per distinct path
};

struct InventoryTotals {
    Figure members = 0, fileSize = 0, binarySize = 0, interfaceLines = 0, codeLines = 0;
};

struct Inventory {
    std::vector<InventoryProject> projects;  // each project file once
    std::vector<InventoryReference> references;
    std::vector<InventorySubProject> subProjects;
    std::vector<InventoryComponent> components;
    std::vector<InventoryDeclare> declares;  // by library, then name
    std::vector<SharedFile> shared;
    std::vector<IdenticalFiles> identical;
    std::vector<std::string> orphans;  // full paths, sorted
    bool orphansWalked = false;
    InventoryTotals summed;  // every record, as the window sums them
    InventoryTotals once;    // each file once
    std::vector<std::size_t> memberProject;  // the project of each record
};

// The inventory of a run.
Inventory BuildInventory(const InventoryInput& input, InventoryFiles& files);

}  // namespace quibex::vb6
