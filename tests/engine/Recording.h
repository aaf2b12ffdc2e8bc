#pragma once
// A display and an observer that remember what the engine did, in order.

#include <functional>
#include <string>
#include <vector>

#include "engine/Display.h"
#include "engine/RunObserver.h"

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
    int yields = 0;
    std::vector<std::string> unreadable;
    std::vector<std::string>* log = nullptr;
    std::function<void()> onYield;
};

}  // namespace quibex::test
