#include "report/model/FileInspection.h"

#include <exception>

#include "engine/CodePage.h"
#include "engine/mdlFill.h"
#include "report/text/Strings.h"
#include "vb6/SourceReader.h"

namespace quibex::report {

namespace {

// The facts of a project or group file's bytes; its text too when asked.
vb6::FileFacts ReadFacts(IFileSystem& files, const std::string& path, bool& read, std::string* text) {
    read = false;
    try {
        std::unique_ptr<ByteSource> source = files.OpenForReading(path);
        vb6::SourceReader reader(files.TextCodePage());
        std::vector<char> buffer(64 * 1024);
        while (std::size_t n = source->Read(buffer.data(), buffer.size())) {
            reader.Feed(buffer.data(), n);
            if (text) text->append(buffer.data(), n);
        }
        read = true;
        return reader.Finish().file;
    } catch (const std::exception&) {
        return {};
    }
}

// The folders and name a path names from its end: "." dropped, ".." taking
// away the folder before it (or, at the start, nothing that could be compared).
std::vector<std::string> NamedParts(std::string_view path, const CodePage& codePage) {
    std::vector<std::string> parts;
    std::string part;
    auto end = [&] {
        if (part == "..") {
            if (!parts.empty()) parts.pop_back();
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        part.clear();
    };
    for (std::size_t i = 0; i < path.size(); ++i) {
        const auto c = static_cast<unsigned char>(path[i]);
        if (codePage.doubleByte && codePage.IsLeadByte(c) && i + 1 < path.size()) {
            part += path[i];
            part += path[++i];
        } else if (c == '\\' || c == '/') {
            end();
        } else {
            part += path[i];
        }
    }
    end();
    return parts;
}

// Whether `written` names `full` with some name in another letter case;
// then the written path and the disk's names of the same parts.
bool CaseDiffers(const std::string& written, const std::string& full, const CodePage& codePage,
                 std::string& writtenName, std::string& diskName) {
    const std::vector<std::string> w = NamedParts(written, codePage);
    const std::vector<std::string> f = NamedParts(full, codePage);
    if (w.empty() || w.size() > f.size()) return false;
    bool differs = false;
    std::string disk;
    for (std::size_t i = 0; i < w.size(); ++i) {
        const std::string& onDisk = f[f.size() - w.size() + i];
        if (!EqualsIgnoringCase(w[i], onDisk)) return false;  // not the same names: nothing to compare
        differs = differs || w[i] != onDisk;
        disk += (i ? "/" : "") + onDisk;
    }
    if (!differs) return false;
    writtenName = written;
    diskName = disk;
    return true;
}

}  // namespace

FileInspection InspectFiles(const StatisticsModel& stats, const DetailData& detail, IFileSystem& files,
                            const std::string& groupFullPath) {
    const CodePage& codePage = files.TextCodePage();
    FileInspection inspection;
    inspection.members.resize(detail.members.size());
    for (std::size_t i = 0; i < detail.members.size() && i < detail.fullPaths.size(); ++i) {
        const std::string& full = detail.fullPaths[i];
        if (full.empty()) continue;
        FileInspection::Member& member = inspection.members[i];
        const MemberRecord& record = stats.Members(static_cast<Figure>(i + 1));
        CaseDiffers(record.Path, full, codePage, member.writtenName, member.diskName);
        const std::size_t sep = LastSeparator(full, codePage, files.SlashSeparatesFolders());
        const std::string folder = sep == std::string::npos ? std::string() : full.substr(0, sep + 1);
        for (const std::string& binary : detail.members[i].binaryFiles) {
            if (!files.RegularFileSize(folder + binary)) member.missingCompanions.push_back(binary);
        }
    }
    if (!groupFullPath.empty()) {
        FileInspection::ListFile& group = inspection.group.emplace();
        group.fullPath = groupFullPath;
        std::string text;
        group.facts = ReadFacts(files, groupFullPath, group.read, &text);
        // The lines that name projects, as the group reader reads them.
        Figure line = 0;
        std::size_t pos = 0;
        while (pos < text.size()) {
            std::size_t end = text.find_first_of("\r\n", pos);
            if (end == std::string::npos) end = text.size();
            ++line;
            const std::string_view lineText(text.data() + pos, end - pos);
            const std::size_t eq = lineText.find('=');
            if (eq != std::string_view::npos) {
                const std::string key = AsciiLower(Trim(lineText.substr(0, eq)));
                if (key == "project" || key == "startupproject") group.projects.emplace_back(line, Trim(lineText.substr(eq + 1)));
            }
            pos = end < text.size() && text[end] == '\r' && end + 1 < text.size() && text[end + 1] == '\n' ? end + 2 : end + 1;
        }
    }
    for (std::size_t j = 0; j < detail.projectFullPaths.size(); ++j) {
        FileInspection::ListFile& project = inspection.projects.emplace_back();
        project.fullPath = detail.projectFullPaths[j];
        project.facts = ReadFacts(files, project.fullPath, project.read, nullptr);
        if (inspection.group && j < inspection.group->projects.size()) {
            CaseDiffers(inspection.group->projects[j].second, project.fullPath, codePage, project.writtenName,
                        project.diskName);
        }
    }
    return inspection;
}

void ConvertToUtf8(FileInspection& inspection, const TextConverter& toUtf8) {
    auto convert = [&](std::string& text) {
        if (!text.empty()) text = toUtf8(text);
    };
    for (FileInspection::Member& m : inspection.members) {
        for (std::string& name : m.missingCompanions) convert(name);
        convert(m.writtenName);
        convert(m.diskName);
    }
    auto convertList = [&](FileInspection::ListFile& file) {
        convert(file.fullPath);
        convert(file.writtenName);
        convert(file.diskName);
        for (auto& [line, path] : file.projects) convert(path);
    };
    for (FileInspection::ListFile& p : inspection.projects) convertList(p);
    if (inspection.group) convertList(*inspection.group);
}

}  // namespace quibex::report
