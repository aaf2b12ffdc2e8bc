#include "tests/report/RunProcess.h"

#include <fstream>
#include <iterator>
#include <sstream>
#include <stdexcept>

#include "tests/support/TestSupport.h"

#ifdef _WIN32
#include <windows.h>

#include "engine/WideText_win.h"
#else
#include <cerrno>
#include <fcntl.h>
#include <sys/wait.h>
#include <unistd.h>
#endif

namespace quibex::test {

namespace {

std::string ReadAll(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

#ifdef _WIN32
using win::Widen;

// One argument quoted as the C runtime's command-line parser reads it back.
std::wstring QuoteArgument(const std::wstring& arg) {
    if (!arg.empty() && arg.find_first_of(L" \t\"") == std::wstring::npos) return arg;
    std::wstring out = L"\"";
    std::size_t backslashes = 0;
    for (wchar_t c : arg) {
        if (c == L'\\') {
            ++backslashes;
            continue;
        }
        if (c == L'"') out.append(backslashes * 2 + 1, L'\\');
        else out.append(backslashes, L'\\');
        backslashes = 0;
        out += c;
    }
    out.append(backslashes * 2, L'\\');
    out += L'"';
    return out;
}

HANDLE OpenInheritable(const std::string& path, bool write) {
    SECURITY_ATTRIBUTES sa{sizeof sa, nullptr, TRUE};
    return CreateFileW(Widen(path).c_str(), write ? GENERIC_WRITE : GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE,
                       &sa, write ? CREATE_ALWAYS : OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
}
#endif

}  // namespace

std::string ReporterProgram() {
    std::string path = QUIBEX_REPORT_EXE;
#ifdef _WIN32
    if (!path.empty() && path[0] == '/') path = "Z:" + path;
    for (char& c : path) {
        if (c == '/') c = '\\';
    }
#endif
    return path;
}

ProcessResult RunProcess(const std::string& program, const std::vector<std::string>& args,
                         const std::string& workDir) {
    TempDir streams;
    std::string outPath = streams.Join("out.txt");
    std::string errPath = streams.Join("err.txt");
    ProcessResult result;
#ifdef _WIN32
    std::wstring commandLine = QuoteArgument(Widen(program));
    for (const std::string& arg : args) commandLine += L" " + QuoteArgument(Widen(arg));
    HANDLE in = OpenInheritable("NUL", false);
    HANDLE out = OpenInheritable(outPath, true);
    HANDLE err = OpenInheritable(errPath, true);
    STARTUPINFOW si{};
    si.cb = sizeof si;
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdInput = in;
    si.hStdOutput = out;
    si.hStdError = err;
    PROCESS_INFORMATION pi{};
    BOOL started = CreateProcessW(Widen(program).c_str(), commandLine.data(), nullptr, nullptr, TRUE,
                                  CREATE_NO_WINDOW, nullptr, Widen(workDir).c_str(), &si, &pi);
    DWORD startError = GetLastError();
    for (HANDLE h : {in, out, err}) {
        if (h != INVALID_HANDLE_VALUE) CloseHandle(h);
    }
    if (!started) throw std::runtime_error("cannot start " + program + ": error " + std::to_string(startError));
    WaitForSingleObject(pi.hProcess, INFINITE);
    DWORD code = 0;
    GetExitCodeProcess(pi.hProcess, &code);
    CloseHandle(pi.hThread);
    CloseHandle(pi.hProcess);
    result.exitCode = static_cast<int>(code);
#else
    pid_t pid = ::fork();
    if (pid < 0) throw std::runtime_error("cannot fork");
    if (pid == 0) {
        int in = ::open("/dev/null", O_RDONLY);
        int out = ::open(outPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        int err = ::open(errPath.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
        if (in < 0 || out < 0 || err < 0 || ::chdir(workDir.c_str()) != 0) ::_exit(126);
        ::dup2(in, 0);
        ::dup2(out, 1);
        ::dup2(err, 2);
        std::vector<char*> argv;
        argv.push_back(const_cast<char*>(program.c_str()));
        for (const std::string& arg : args) argv.push_back(const_cast<char*>(arg.c_str()));
        argv.push_back(nullptr);
        ::execv(program.c_str(), argv.data());
        ::_exit(127);
    }
    int status = 0;
    while (::waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    result.exitCode = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
#endif
    result.out = ReadAll(outPath);
    result.err = ReadAll(errPath);
    return result;
}

}  // namespace quibex::test
