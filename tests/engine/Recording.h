#pragma once
// A display and an observer that remember what the engine did, in order,
// and an engine over the real file system that reports to them.

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "engine/Display.h"
#include "engine/FileSystem.h"
#include "engine/MemberStatistics.h"
#include "engine/RunObserver.h"
#include "engine/mdlFill.h"
#include "tests/support/TestSupport.h"

namespace quibex::test {

class RecordingDisplay : public MemoryDisplay {
public:
    void SetCaption(Label label, std::string_view text) override {
        MemoryDisplay::SetCaption(label, text);
        if (log) log->push_back(std::string(LabelName(label)) + "=" + std::string(text));
    }
    void AddItem(std::string_view text) override {
        MemoryDisplay::AddItem(text);
        if (log) log->push_back("add " + std::string(text));
    }
    void SetListIndex(Figure index) override {
        MemoryDisplay::SetListIndex(index);
        if (log) log->push_back("index " + std::to_string(index));
    }
    std::vector<std::string>* log = nullptr;
};

class RecordingObserver : public IRunObserver {
public:
    void Yield() override {
        ++yields;
        if (log) log->push_back("yield");
        if (onYield) onYield();
    }
    void MemberUnreadable(std::string_view path, std::string_view reason) override {
        unreadable.push_back(std::string(path) + ": " + std::string(reason));
    }
    bool ProjectUnreadable(const std::string& path, std::string_view reason, bool opened) override {
        unreadableProjects.push_back(path + (opened ? " (opened): " : " (not opened): ") + std::string(reason));
        return keepGoing;
    }
    int yields = 0;
    bool keepGoing = false;
    std::vector<std::string> unreadable;
    std::vector<std::string> unreadableProjects;
    std::vector<std::string>* log = nullptr;
    std::function<void()> onYield;
};

// The engine over the real file system with an in-memory display, its
// figures reset; the current directory, which the readers change, is
// restored on destruction.
struct RealFilesEngine {
    StatisticsModel stats;
    RecordingDisplay display;
    RecordingObserver observer;
    std::unique_ptr<IFileSystem> files = MakePlatformFileSystem();
    mdlFill fill{stats, display, *files, observer};
    CurrentDirGuard dirGuard;

    RealFilesEngine() { display.ResetFigures(); }
};

}  // namespace quibex::test
