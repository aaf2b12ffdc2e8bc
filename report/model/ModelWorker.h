#pragma once
// Builds the members' source models on threads of their own, so that a
// detailed report takes about as long as the engine's reading alone: the
// engine hands each piece of a member file over as it reads it and goes on,
// and each member is read by one of a few threads, the members side by
// side. At most a few pieces wait at any time, so memory stays bounded
// however large the files are.

#include <condition_variable>
#include <cstddef>
#include <deque>
#include <exception>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "engine/CodePage.h"
#include "vb6/SourceModel.h"
#include "vb6/syntax/Conditions.h"

namespace quibex::report {

class ModelWorker {
public:
    // `threads` 0: one per processor.
    explicit ModelWorker(const CodePage& codePage, unsigned threads = 0);
    ~ModelWorker();
    ModelWorker(const ModelWorker&) = delete;
    ModelWorker& operator=(const ModelWorker&) = delete;

    // Member `index` (from 0) begins, read with the compile constants of
    // its project; its next bytes, its end. Called in that order for one
    // member at a time.
    void Begin(std::size_t index, std::shared_ptr<const vb6::syntax::Constants> constants);
    void Bytes(const char* data, std::size_t size);
    void End();

    // Waits for the models and gives them, indexed as given to Begin (a
    // member that never began has an empty model). Rethrows what a thread
    // failed with.
    std::vector<vb6::MemberModel> Finish();

    static constexpr std::size_t kMaxWaiting = 8;  // pieces handed to a thread but not yet read

private:
    struct Item {
        enum class Kind { Begin, Bytes, End, Stop } kind;
        std::size_t index = 0;
        std::vector<char> bytes;
        std::shared_ptr<const vb6::syntax::Constants> constants;
    };
    struct Lane {
        std::mutex mutex;
        std::condition_variable changed;
        std::deque<Item> waiting;
        std::vector<std::vector<char>> spare;  // buffers of read pieces, to be used again
        std::vector<std::pair<std::size_t, vb6::MemberModel>> models;
        std::exception_ptr failure;
        std::thread thread;
    };
    void Put(Lane& lane, Item item);
    void Run(Lane& lane);

    CodePage codePage_;
    std::vector<std::unique_ptr<Lane>> lanes_;
    Lane* current_ = nullptr;  // the lane of the member being read
    bool finished_ = false;
};

}  // namespace quibex::report
