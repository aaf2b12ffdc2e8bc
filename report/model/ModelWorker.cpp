#include "report/model/ModelWorker.h"

#include <algorithm>
#include <cstdint>

#include "vb6/SourceReader.h"

namespace quibex::report {

ModelWorker::ModelWorker(const CodePage& codePage, unsigned threads) : codePage_(codePage) {
    if (threads == 0) threads = std::clamp(std::thread::hardware_concurrency(), 1u, 8u);
    for (unsigned i = 0; i < threads; ++i) {
        Lane& lane = *lanes_.emplace_back(std::make_unique<Lane>());
        lane.thread = std::thread([this, &lane] { Run(lane); });
    }
}

ModelWorker::~ModelWorker() {
    if (!finished_) {
        try {
            Finish();
        } catch (...) {
        }
    }
}

void ModelWorker::Put(Lane& lane, Item item) {
    std::unique_lock lock(lane.mutex);
    lane.changed.wait(lock, [&] { return lane.waiting.size() < kMaxWaiting; });
    lane.waiting.push_back(std::move(item));
    lane.changed.notify_all();
}

void ModelWorker::Begin(std::size_t index, std::shared_ptr<const vb6::syntax::Constants> constants) {
    // The lane with the least work waiting takes the member.
    current_ = lanes_.front().get();
    std::size_t least = SIZE_MAX;
    for (const auto& lane : lanes_) {
        std::lock_guard lock(lane->mutex);
        if (lane->waiting.size() < least) {
            least = lane->waiting.size();
            current_ = lane.get();
        }
    }
    Put(*current_, {Item::Kind::Begin, index, {}, std::move(constants)});
}

void ModelWorker::Bytes(const char* data, std::size_t size) {
    if (!current_) return;
    std::vector<char> bytes;
    {
        std::lock_guard lock(current_->mutex);
        if (!current_->spare.empty()) {
            bytes = std::move(current_->spare.back());
            current_->spare.pop_back();
        }
    }
    bytes.assign(data, data + size);
    Put(*current_, {Item::Kind::Bytes, 0, std::move(bytes), {}});
}

void ModelWorker::End() {
    if (current_) Put(*current_, {Item::Kind::End, 0, {}, {}});
    current_ = nullptr;
}

std::vector<vb6::MemberModel> ModelWorker::Finish() {
    if (!finished_) {
        finished_ = true;
        for (const auto& lane : lanes_) Put(*lane, {Item::Kind::Stop, 0, {}, {}});
        for (const auto& lane : lanes_) lane->thread.join();
    }
    std::vector<vb6::MemberModel> models;
    for (const auto& lane : lanes_) {
        if (lane->failure) std::rethrow_exception(lane->failure);
        for (auto& [index, model] : lane->models) {
            if (models.size() <= index) models.resize(index + 1);
            models[index] = std::move(model);
        }
        lane->models.clear();
    }
    return models;
}

void ModelWorker::Run(Lane& lane) {
    std::unique_ptr<vb6::SourceReader> reader;
    std::size_t index = 0;
    for (;;) {
        Item item;
        {
            std::unique_lock lock(lane.mutex);
            lane.changed.wait(lock, [&] { return !lane.waiting.empty(); });
            item = std::move(lane.waiting.front());
            lane.waiting.pop_front();
            lane.changed.notify_all();
        }
        if (item.kind == Item::Kind::Stop) return;
        // After a failure the rest is only taken off the queue, so that the
        // engine is never kept waiting.
        if (lane.failure) continue;
        try {
            switch (item.kind) {
                case Item::Kind::Begin:
                    index = item.index;
                    reader = item.constants ? std::make_unique<vb6::SourceReader>(codePage_, *item.constants)
                                            : std::make_unique<vb6::SourceReader>(codePage_);
                    break;
                case Item::Kind::Bytes:
                    if (reader) reader->Feed(item.bytes.data(), item.bytes.size());
                    {
                        std::lock_guard lock(lane.mutex);
                        if (lane.spare.size() < kMaxWaiting) lane.spare.push_back(std::move(item.bytes));
                    }
                    break;
                case Item::Kind::End:
                    if (reader) {
                        lane.models.emplace_back(index, reader->Finish());
                        reader.reset();
                    }
                    break;
                case Item::Kind::Stop: break;
            }
        } catch (...) {
            lane.failure = std::current_exception();
        }
    }
}

}  // namespace quibex::report
