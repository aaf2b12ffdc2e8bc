#pragma once
// What check needs to know of a project's files beyond the source model:
// the companions a form's layout names, the letter case of each path
// against the disk's, and the bytes of the project and group files.

#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "engine/FileSystem.h"
#include "engine/MemberStatistics.h"
#include "report/model/Detail.h"
#include "report/text/Utf8.h"
#include "vb6/SourceModel.h"

namespace quibex::report {

// What the checks need to know of the files beyond the source model,
// gathered while the file system that read them is at hand.
struct FileInspection {
    struct Member {
        std::vector<std::string> missingCompanions;  // as the layout names them
        std::string writtenName, diskName;           // differing in letter case only; empty when they agree
    };
    struct ListFile {  // a project or group file
        std::string fullPath;
        bool read = false;
        vb6::FileFacts facts;
        std::string writtenName, diskName;  // a group's project path against the project file
        std::vector<std::pair<Figure, std::string>> projects;  // a group's project lines: line, path
    };
    std::vector<Member> members;       // one per member record
    std::vector<ListFile> projects;    // one per project read
    std::optional<ListFile> group;     // when a group was read
};

// Looks at the files of a finished run: companions, letter case, and the
// bytes of the project and group files. Texts stay as the file system has them.
FileInspection InspectFiles(const StatisticsModel& stats, const DetailData& detail, IFileSystem& files,
                            const std::string& groupFullPath);
void ConvertToUtf8(FileInspection& inspection, const TextConverter& toUtf8);

}  // namespace quibex::report
