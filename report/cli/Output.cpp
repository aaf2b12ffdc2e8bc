#include "report/cli/Output.h"

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "report/cli/Reporter.h"
#include "report/platform/Platform.h"
#include "report/text/Utf8.h"

namespace quibex::report {

int WriteOutput(const CommonOptions& options, const std::function<void(std::ostream&)>& write, std::ostream& out,
                std::ostream& err) {
    auto fail = [&](const std::string& why) {
        err << "quibex-report: " << PrintableText(TextToUtf8(why)) << '\n' << std::flush;
        return kExitReadError;
    };
    if (options.ToStandardOutput()) {
        write(out);
        out.flush();
        // A report that did not reach its reader is no success.
        return out ? kExitOk : fail("cannot write the report to standard output");
    }
    // A link is followed, so the new report replaces the file it names and
    // not the link. A device or a pipe (-o /dev/null) is written straight
    // through: a file put in its place would replace the device itself.
    namespace fs = std::filesystem;
    std::error_code statusError;
    std::string path = options.output;
    if (fs::is_symlink(fs::symlink_status(path, statusError))) {
        const fs::path target = fs::weakly_canonical(path, statusError);
        if (!statusError) path = target.string();
    }
    const fs::file_status status = fs::status(path, statusError);
    if (!statusError && fs::exists(status) && !fs::is_regular_file(status) && !fs::is_directory(status)) {
        std::ofstream device(path, std::ios::binary);
        if (!device) return fail("cannot write '" + options.output + "': it cannot be opened");
        write(device);
        device.flush();
        return device ? kExitOk : fail("cannot write '" + options.output + "': the report could not be written whole");
    }
    const std::string temporary = path + ".quibex-partial";
    {
        std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
        if (!file) return fail("cannot write '" + path + "': the file cannot be created");
        write(file);
        file.flush();
        if (!file) {
            file.close();
            std::remove(temporary.c_str());
            return fail("cannot write '" + path + "': the disk refused the report");
        }
    }
    std::error_code ec;
    std::filesystem::rename(temporary, path, ec);
    if (ec) {
        std::remove(temporary.c_str());
        return fail("cannot write '" + path + "': " + ec.message());
    }
    return kExitOk;
}

}  // namespace quibex::report
