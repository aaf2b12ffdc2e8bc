#pragma once
// The source model of a run: each member's MemberModel, read from the same
// bytes the engine counts, and the facts of each project file read.

#include <cstddef>
#include <map>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "engine/CodePage.h"
#include "engine/FileSystem.h"
#include "engine/MemberStatistics.h"
#include "report/model/ModelWorker.h"
#include "report/model/Progress.h"
#include "report/model/Report.h"
#include "vb6/ProjectFacts.h"
#include "vb6/SourceReader.h"

namespace quibex::report {

struct DetailData {
    // One per member record, in the same order; an unreadable member's
    // model is empty.
    std::vector<vb6::MemberModel> members;
    // Each member's file as the file system names it, made absolute (empty
    // when the file could not be opened): the same file listed twice, or by
    // two projects of a group, has the same full path.
    std::vector<std::string> fullPaths;
    std::vector<vb6::ProjectFacts> projects;  // in reading order
    // Each project's file as the file system names it, made absolute.
    std::vector<std::string> projectFullPaths;
    // For each project read, which of the group's project lines named it (from 0).
    std::vector<std::size_t> projectOrdinals;
    // For each member record, the line of its project file that lists it
    // (from 1; 0 when not known).
    std::vector<Figure> listedAt;
};

// The reporter's observer when the report needs the source model: progress
// and warnings as ReportObserver, and every file's bytes into the model.
class DetailObserver : public ReportObserver {
public:
    // `defines`: the user's --define NAME=VALUE texts, which add to or
    // replace each project's CondComp constants.
    DetailObserver(const StatisticsModel& stats, IFileSystem& files, std::ostream& err, ProgressLine* progress,
                   TextConverter toUtf8, RunSurroundings around = {}, std::vector<std::string> defines = {});

    void Yield() override;
    void MemberUnreadable(std::string_view path, std::string_view reason) override;
    void ProjectBegin(const std::string& path) override;
    void ProjectLine(std::string_view line) override;
    void ProjectEnd() override;
    void MemberTextBegin(const std::string& path) override;
    void MemberText(const char* data, std::size_t size) override;
    void MemberTextEnd() override;

    // The model of the finished run, one entry per record.
    DetailData Take();

private:
    // The records listed since the last call belong to the current line.
    void NoteListedMembers();

    const StatisticsModel& stats_;
    Figure projectLine_ = 0;
    IFileSystem& files_;
    DetailData data_;
    ModelWorker worker_;
    std::vector<std::string> defines_;
    // The current project's compile constants, and what tells them apart.
    std::shared_ptr<const vb6::syntax::Constants> constants_;
    std::string constantsKey_;
    // A file that several projects of a group list is modelled once: the
    // first record that read it, by full path and constants; the records
    // that take its model.
    std::map<std::string, std::size_t> modelled_;
    std::vector<std::pair<std::size_t, std::size_t>> copies_;  // record, record it copies
    bool copying_ = false;  // the current member's bytes are not needed
};

// Every text of `detail` (names, classes, paths, libraries) turned into UTF-8.
void ConvertToUtf8(DetailData& detail, const TextConverter& toUtf8);

// The five classes summed over every member.
vb6::LineCounts TotalLines(const DetailData& detail);

// The `top` procedures of the run, most complex first: by complexity, then
// nesting, then length, then where they stand.
struct RankedProcedure {
    std::size_t member;
    const vb6::Procedure* procedure;
};
std::vector<RankedProcedure> MostComplex(const DetailData& detail, std::size_t top);

// "frmMain.frm:12-40": where a procedure is.
std::string ProcedurePlace(const MemberRow& member, const vb6::Procedure& procedure);

}  // namespace quibex::report
