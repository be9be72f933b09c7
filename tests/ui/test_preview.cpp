// The slide show on the preview button: order, intervals, presses and removal mid-show.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QTimer>
#include <algorithm>

#include "platform/window/picture_button.h"
#include "support/dialog_harness.h"

namespace tavrel::test {
namespace {

class Preview : public ::testing::Test {
protected:
    void Tick() { h.Dlg().OnTimer(kPreviewTimerId); }
    int PendingInterval() {
        QTimer* timer = h.Dlg().PendingTimer(kPreviewTimerId);
        return timer != nullptr ? timer->interval() : -1;
    }
    bool ShowsBackground() {
        return ButtonBitmap(h.Dlg().m_btnPreview) == h.Dlg().m_hPreviewPlaceholder.get() &&
               h.Dlg().m_hPreviewBitmap == nullptr;
    }
    bool ShowsSlot(int slot) {
        return h.Dlg().m_hPreviewBitmap != nullptr &&
               ButtonBitmap(h.Dlg().m_btnPreview) == h.Dlg().m_hPreviewBitmap.get() &&
               CloseTo(h.ButtonColour(h.Dlg().m_btnPreview), kSlotColours[slot - 1]);
    }
    bool AnyShownFlag() { return std::ranges::any_of(h.Dlg().m_bSlotShown, std::identity()); }

    DialogHarness h;
};

TEST_F(Preview, WithNoPictureClearPreviewAndGenerateOnlySaySo) {
    const std::pair<int, const char*> commands[] = {
        {IDC_CLEAR, "未选择图像，不需要取消！谢谢！"},
        {IDC_PREVIEW, "预览动画之前，请先选择至少一幅图像！谢谢！"},
        {IDC_GENERATE, "生成动画之前，请先选择至少一幅图像！谢谢！"}};  // and opens no dialog
    for (const auto& [command, message] : commands) {
        h.messages.clear();
        h.Dlg().SendCommand(command);
        EXPECT_EQ(h.messages, QStringList{QString::fromUtf8(message)});
    }
    EXPECT_TRUE(ShowsBackground());
    EXPECT_EQ(PendingInterval(), -1);
}

TEST_F(Preview, FilledSlotsInOrderForOneIntervalOfTheSpeedEachThenTheBackground) {
    h.Fill({2, 4});
    for (const auto& [speed, interval] : {std::pair{"慢", 1200}, {"中", 800}, {"快", 400}}) {
        SCOPED_TRACE(interval);
        h.SelectSpeed(QString::fromUtf8(speed));
        h.Dlg().SendCommand(IDC_PREVIEW);
        EXPECT_TRUE(ShowsSlot(2));
        EXPECT_EQ(PendingInterval(), interval);
        Tick();
        EXPECT_TRUE(ShowsSlot(4));
        EXPECT_EQ(PendingInterval(), interval);
        EXPECT_FALSE(AnyShownFlag()) << "the last picture ends the show";
        Tick();
        EXPECT_TRUE(ShowsBackground());
        EXPECT_EQ(PendingInterval(), -1);
    }
    EXPECT_TRUE(h.messages.isEmpty());
}

// With the crossfade chosen, each picture fades into the next (the last into the first) in
// ten blended steps of 50 ms, as the GIF's fade frames.
TEST_F(Preview, CrossfadeBlendsEachPictureIntoTheNextAtTheGifsPace) {
    h.Dlg().ApplyChoices({.crossfade = true});
    h.Fill({2, 4});
    h.SelectSpeed("快");
    h.Dlg().SendCommand(IDC_PREVIEW);
    for (const auto& [from, to] : {std::pair{2, 4}, {4, 2}}) {
        SCOPED_TRACE(from);
        EXPECT_TRUE(ShowsSlot(from));
        EXPECT_EQ(PendingInterval(), 400);
        QColor halfway;
        for (int step = 1; step <= 10; ++step) {
            Tick();
            EXPECT_EQ(PendingInterval(), 50);
            if (step == 5) {
                halfway = h.ButtonColour(h.Dlg().m_btnPreview);
            }
        }
        // Step 5 of 10 is a blend, neither picture (the blend's weights are the fade's own).
        EXPECT_TRUE(halfway.isValid() && !CloseTo(halfway, kSlotColours[from - 1]) &&
                    !CloseTo(halfway, kSlotColours[to - 1]))
            << halfway.name().toStdString();
        Tick();
    }
    EXPECT_TRUE(ShowsBackground()) << "after the last fade the show ends";
    EXPECT_EQ(PendingInterval(), -1);
}

TEST_F(Preview, SpeedChangeWaitsForTheNextStepAndPressesStepAtOnceOrStartAgain) {
    h.Fill({1, 2, 3});
    h.SelectSpeed("慢");
    h.Dlg().OnPreview();
    h.SelectSpeed("快");
    EXPECT_EQ(PendingInterval(), 1200);
    Tick();
    EXPECT_TRUE(ShowsSlot(2));
    EXPECT_EQ(PendingInterval(), 400);

    h.Dlg().OnPreview();
    EXPECT_TRUE(ShowsSlot(3));
    h.Dlg().OnPreview();  // on the last picture
    EXPECT_TRUE(ShowsSlot(1));
    EXPECT_TRUE(h.Dlg().m_bSlotShown[0]);
}

TEST_F(Preview, RemovingAPictureEndsTheShow) {
    h.Fill({1, 2, 3});
    h.Dlg().OnPreview();
    h.PressRightButtonOn(3);
    EXPECT_EQ(PendingInterval(), -1);
    EXPECT_FALSE(AnyShownFlag());
    EXPECT_TRUE(ShowsBackground());
    EXPECT_TRUE(h.messages.isEmpty());
}

}  // namespace
}  // namespace tavrel::test
