// quibex-report: measures a VB6 project or group from the command line with
// the same engine as the Quibex window.

#include <exception>
#include <iostream>
#include <string>
#include <vector>

#include "report/platform/Platform.h"
#include "report/cli/Reporter.h"
#include "report/text/Utf8.h"

int main(int argc, char** argv) {
    using namespace quibex::report;
    ConsoleSession console;
    std::ios::sync_with_stdio(false);
    try {
        std::vector<std::string> args(argv + (argc > 0 ? 1 : 0), argv + argc);
        return RunReporter(args, std::cout, std::cerr, StderrIsTerminal());
    } catch (const std::exception& e) {
        std::cerr << "quibex-report: " << PrintableText(TextToUtf8(e.what())) << '\n';
    } catch (...) {
        std::cerr << "quibex-report: unexpected failure\n";
    }
    return kExitReadError;
}
