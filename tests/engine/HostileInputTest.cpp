// Large and hostile input: nothing may crash, hang, or take memory in
// proportion to a file or a line.

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <memory>

#include "engine/mdlFill.h"
#include "tests/engine/Recording.h"
#include "tests/support/MemoryFileSystem.h"
#include "tests/support/TestSupport.h"


namespace quibex {
namespace {

struct EngineRun {
    StatisticsModel stats;
    MemoryDisplay display;
    test::RecordingObserver observer;
    std::unique_ptr<IFileSystem> files;
    std::unique_ptr<mdlFill> fill;
    test::CurrentDirGuard dirGuard;

    explicit EngineRun(std::unique_ptr<IFileSystem> fs) : files(std::move(fs)) {
        display.ResetFigures();
        fill = std::make_unique<mdlFill>(stats, display, *files, observer);
    }
};

TEST(HostileInput, HundredThousandMembers) {
    auto memory = std::make_unique<test::MemoryFileSystem>();
    std::string project;
    for (int i = 0; i < 100000; ++i) project += "Module=m" + std::to_string(i) + ".bas\r\n";
    memory->Add("/P/P.vbp", project);
    memory->Add("/P/m99999.bas", "Dim x\r\n");
    EngineRun run(std::move(memory));
    run.fill->ReadProjectFile("/P/P.vbp");
    EXPECT_EQ(run.stats.RecordCount(), 100000);
    EXPECT_EQ(run.display.ListCount(), 100000);
    EXPECT_EQ(run.display.Text(Label::LabelModuleT), "100000");
    EXPECT_EQ(run.display.Items().back(), "m99999.bas");
    EXPECT_EQ(run.stats.CodeLinesTotal, 1);
    EXPECT_EQ(run.observer.unreadable.size(), 99999u);
}

TEST(HostileInput, GroupThatNamesItself) {
    test::TempDir dir;
    std::string group = dir.Write("G.vbg", "VBGROUP 5.0\r\nStartupProject=G.vbg\r\nProject=G.vbg\r\nProject=P.vbp\r\n");
    dir.Write("P.vbp", "Form=f.frm\r\n");
    dir.Write("f.frm", "Dim x\r\n");
    EngineRun run(MakePlatformFileSystem());
    // Read as a project, the group has no member lines: it adds nothing,
    // and it is not read again and again.
    run.fill->ReadGroupFile(group);
    EXPECT_EQ(run.display.Items(), std::vector<std::string>{"f.frm"});
}

TEST(HostileInput, MembersThatAreNoFiles) {
    test::TempDir dir;
#ifdef _WIN32
    const char* devices = "Form=CON\r\nForm=NUL\r\nModule=COM1\r\nModule=\\\\.\\NUL\r\n";
#else
    const char* devices = "Form=/dev/zero\r\nForm=/dev/null\r\nModule=/dev/urandom\r\nModule=/proc/self/mem\r\n";
#endif
    dir.Write("Folder.frm/inside.txt", "x");
    std::string vbp = dir.Write("P.vbp", std::string(devices) + "Form=Folder.frm\r\n");
    EngineRun run(MakePlatformFileSystem());
    run.fill->ReadProjectFile(vbp);
    ASSERT_EQ(run.stats.RecordCount(), 5);
    for (const MemberRecord& r : run.stats.Records()) {
        EXPECT_EQ(r.FileSize + r.BinarySize + r.InterfaceLines + r.CodeLines, 0) << r.Path;
    }
    EXPECT_EQ(run.observer.unreadable.size(), 5u);
}

TEST(HostileInput, NulBytesAreCharacters) {
    test::TempDir dir;
    dir.Write("n.bas", std::string("a\0b\r\nDim\0 x\r\nsub\0\r\n", 18));
    std::string vbp = dir.Write("P.vbp", "Module=n.bas\r\n");
    EngineRun run(MakePlatformFileSystem());
    run.fill->ReadProjectFile(vbp);
    const MemberRecord& r = run.stats.Members(1);
    // "Dim<NUL> x" holds no "dim " and "sub<NUL>" no "sub ": all interface.
    EXPECT_EQ(r.InterfaceLines, 3);
    EXPECT_EQ(r.InterfaceBytes, (3 + 2) + (6 + 2) + (4 + 2));
    EXPECT_EQ(r.FileSize, 18);
}

#ifndef _WIN32
// Sparse files: gigabytes on paper, nothing on the disk. Only where the
// file system makes them sparse (Wine would write every zero).
TEST(HostileInput, GigabyteMemberAndLineInBoundedMemory) {
    test::TempDir dir;
    // One line of 2 GiB (past the 32-bit border) whose keyword comes at its
    // very end, then one more line; a companion of 3 GiB that is only sized.
    const Figure gib = 1LL << 30;
    const Figure longLine = 2 * gib + 10;
    {
        std::ofstream out(dir.Write("big.frm", ""), std::ios::binary);
        out.seekp(2 * gib);
        out << " private x\r\nEnd Sub\r\n";
    }
    std::filesystem::resize_file(dir.Write("big.frx", ""), static_cast<std::uintmax_t>(3 * gib));
    std::string vbp = dir.Write("P.vbp", "Form=big.frm\r\n");

    EngineRun run(MakePlatformFileSystem());
    long before = test::PeakKiB();
    run.fill->ReadProjectFile(vbp);
    long grown = test::PeakKiB() - before;

    const MemberRecord& form = run.stats.Members(1);
    EXPECT_EQ(form.FileSize, longLine + 2 + 9);
    EXPECT_EQ(form.BinarySize, 3 * gib);
    EXPECT_EQ(form.InterfaceLines, 0);
    EXPECT_EQ(form.CodeLines, 2);
    EXPECT_EQ(form.CodeBytes, (longLine + 2) + (7 + 2));
    EXPECT_EQ(run.display.Text(Label::LabelSizeT), "2048Mb");
    EXPECT_EQ(run.display.Text(Label::LabelBinaryTotalT), "3072Mb");
    EXPECT_EQ(run.display.Text(Label::LabelCodeTotalT), "2 (2048Mb)");
    EXPECT_EQ(run.display.Text(Label::LabelTotalFileT), "2 (5120Mb)");
    EXPECT_LT(grown, 64 * 1024) << "KiB of peak memory grown while reading";
}
#endif

}  // namespace
}  // namespace quibex
