#include <gtest/gtest.h>

#include <chrono>
#include <vector>

#include "ui/PacedDisplay.h"

namespace quibex {
namespace {

// A memory display that counts what reaches it.
struct CountingDisplay : MemoryDisplay {
    int captionWrites = 0;
    void SetCaption(Label label, std::string_view text) override {
        ++captionWrites;
        MemoryDisplay::SetCaption(label, text);
    }
};

// What a run writes between two flushes: a member listed and counted.
void ListMember(IDisplay& d, const std::string& name) {
    d.AddItem(name);
    d.SetListIndex(d.ListCount() - 1);
    d.SetCaption(Label::LabelFormT, std::to_string(std::stoi(d.Caption(Label::LabelFormT)) + 1));
    d.SetCaption(Label::LabelFileT, name);
    for (int lines = 1; lines <= 3; ++lines) d.SetCaption(Label::LabelCodeT, std::to_string(d.ListCount() * 10 + lines));
}

TEST(PacedDisplay, ReadsSeeTheLatestWritesAndAFlushShowsWhatDirectWritesWould) {
    MemoryDisplay direct;
    CountingDisplay shown;
    direct.ResetFigures();
    shown.ResetFigures();
    shown.captionWrites = 0;
    PacedDisplay paced(shown);

    const std::vector<std::vector<std::string>> batches = {{"frmA.frm"}, {"frmB.frm", "frmC.frm", "frmD.frm"}, {}};
    for (const auto& batch : batches) {
        for (const std::string& name : batch) {
            ListMember(direct, name);
            ListMember(paced, name);
            EXPECT_EQ(paced.Caption(Label::LabelFormT), direct.Text(Label::LabelFormT));
            EXPECT_EQ(paced.ListCount(), direct.ListCount());
        }
        if (!batch.empty()) {
            EXPECT_LT(shown.Items().size(), direct.Items().size());  // nothing shown before the flush
        }
        paced.Flush();
        EXPECT_EQ(shown.Items(), direct.Items());
        EXPECT_EQ(shown.ListIndex(), direct.ListIndex());
        for (Label label : AllLabels()) EXPECT_EQ(shown.Text(label), direct.Text(label)) << LabelName(label);
    }
    // Each changed label reached the shown display once per flush, however
    // often it was written: FormT, FileT and CodeT in each of two flushes.
    EXPECT_EQ(shown.captionWrites, 6);
}

TEST(PacedDisplay, AnIndexPastTheEndIsRefusedAsTheListWouldRefuseIt) {
    MemoryDisplay shown;
    shown.AddItem("frmA.frm");
    PacedDisplay paced(shown);
    paced.SetListIndex(1);  // no such entry yet
    paced.AddItem("frmB.frm");
    paced.Flush();
    EXPECT_EQ(shown.ListIndex(), -1);
    paced.SetListIndex(1);
    paced.Flush();
    EXPECT_EQ(shown.ListIndex(), 1);
}

TEST(RefreshClock, DueFirstThenOnlyOnceTheIntervalHasPassedSinceServed) {
    using namespace std::chrono_literals;
    const RefreshClock::Clock::time_point t0{};
    RefreshClock clock(25ms);
    EXPECT_TRUE(clock.Due(t0 + 5ms));
    clock.Served(t0 + 10ms);
    EXPECT_FALSE(clock.Due(t0 + 34ms));
    EXPECT_TRUE(clock.Due(t0 + 35ms));
    RefreshClock always(0ms);
    always.Served(t0);
    EXPECT_TRUE(always.Due(t0));
}

}  // namespace
}  // namespace quibex
