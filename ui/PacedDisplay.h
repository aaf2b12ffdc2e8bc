#pragma once
// The display the engine writes into while the window runs an analysis.
// Every write lands in memory at once, so the engine's reads (the count
// labels, the list's length) always see the latest value; the window's
// controls get what changed only when the run flushes, which it does by the
// clock and at its end. Painting a label or a list entry costs far more than
// computing it, and nobody reads figures that change hundreds of times a
// second.

#include <array>
#include <chrono>
#include <string>
#include <string_view>
#include <vector>

#include "engine/Display.h"

namespace quibex {

class PacedDisplay : public IDisplay {
public:
    // Starts from what `shown` shows now.
    explicit PacedDisplay(IDisplay& shown);

    void SetCaption(Label label, std::string_view text) override;
    std::string Caption(Label label) override;
    void AddItem(std::string_view text) override;
    Figure ListCount() override;
    void SetListIndex(Figure index) override;

    // Hands what changed since the last flush on to the shown display: the
    // new entries in order, then the current entry, then each changed label.
    void Flush();

private:
    IDisplay& shown_;
    std::array<std::string, kLabelCount> captions_;
    std::array<bool, kLabelCount> changed_{};
    std::vector<std::string> newItems_;
    Figure shownCount_ = 0;
    bool indexChanged_ = false;
    Figure listIndex_ = -1;
};

// Whether enough time has passed to serve the window again: not until the
// interval has passed since it was last served. An interval of zero is
// always due.
class RefreshClock {
public:
    using Clock = std::chrono::steady_clock;
    explicit RefreshClock(Clock::duration interval) : interval_(interval) {}

    bool Due(Clock::time_point now) const { return !served_ || now - last_ >= interval_; }
    // Starts the interval again from `now`, when the window has been served.
    void Served(Clock::time_point now) {
        last_ = now;
        served_ = true;
    }

private:
    Clock::duration interval_;
    Clock::time_point last_{};
    bool served_ = false;
};

}  // namespace quibex
