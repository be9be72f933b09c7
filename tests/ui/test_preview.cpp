// The slide show on the preview button: order, intervals, presses and removal mid-show.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "platform/bitmap_loader.h"
#include "support/dialog_harness.h"

namespace tavrel::test {
namespace {

const QColor kSlotColours[kSlotCount] = {Qt::red, Qt::green, Qt::blue, Qt::yellow, Qt::magenta};

class Preview : public ::testing::Test {
protected:
    void Fill(std::initializer_list<int> slotNumbers) {
        for (int slot : slotNumbers) {
            h.Choose(slot,
                     h.MakePicture(QStringLiteral("in/%1.png").arg(slot), kSlotColours[slot - 1]));
        }
    }
    void Tick() { h.Dlg().OnTimer(kPreviewTimerId); }
    int PendingInterval() {
        QTimer* timer = h.Dlg().PendingTimer(kPreviewTimerId);
        return timer != nullptr ? timer->interval() : -1;
    }
    bool ShowsBackground() {
        return ButtonBitmap(h.Dlg().m_btnPreview) == h.Dlg().m_hWorkBitmap.get() &&
               h.Dlg().m_hPreviewBitmap == nullptr;
    }
    // True when the preview button shows the picture of that slot.
    bool ShowsSlot(int slot) {
        const DibSection* shown = ButtonBitmap(h.Dlg().m_btnPreview);
        if (shown == nullptr || shown != h.Dlg().m_hPreviewBitmap.get()) {
            return false;
        }
        const QImage image = DibToImage(*shown);
        return CloseTo(image.pixelColor(image.width() / 2, image.height() / 2),
                       kSlotColours[slot - 1]);
    }
    bool AnyShownFlag() {
        for (bool shown : h.Dlg().m_bSlotShown) {
            if (shown) {
                return true;
            }
        }
        return false;
    }

    DialogHarness h;
};

TEST_F(Preview, WithNoPictureShowsTheBackgroundAndSaysSo) {
    h.Dlg().SendCommand(IDC_PREVIEW);
    EXPECT_EQ(h.messages,
              QStringList{QStringLiteral("预览动画之前，请先选择至少一幅图像！谢谢！")});
    EXPECT_TRUE(ShowsBackground());
    EXPECT_EQ(PendingInterval(), -1);
}

TEST_F(Preview, FilledSlotsOneIntervalEachThenTheBackground) {
    Fill({1, 3});  // speed "中" after start-up

    h.Dlg().SendCommand(IDC_PREVIEW);
    EXPECT_TRUE(ShowsSlot(1));
    EXPECT_EQ(PendingInterval(), 800);
    EXPECT_EQ(h.Dlg().m_nFrameDelay, 800);

    Tick();
    EXPECT_TRUE(ShowsSlot(3));
    EXPECT_EQ(PendingInterval(), 800);
    EXPECT_FALSE(AnyShownFlag()) << "the last picture ends the show";

    Tick();
    EXPECT_TRUE(ShowsBackground());
    EXPECT_EQ(PendingInterval(), -1);
    EXPECT_TRUE(h.messages.isEmpty());
}

TEST_F(Preview, IntervalFollowsTheSpeed) {
    Fill({1, 2, 3, 4, 5});
    h.SelectSpeed("快");
    h.Dlg().OnPreview();
    for (int slot = 1; slot <= 5; ++slot) {
        EXPECT_TRUE(ShowsSlot(slot)) << slot;
        EXPECT_EQ(PendingInterval(), 400);
        Tick();
    }
    EXPECT_TRUE(ShowsBackground());

    h.SelectSpeed("慢");
    h.PressRightButtonOn(1);
    h.Dlg().OnPreview();
    EXPECT_TRUE(ShowsSlot(2));
    EXPECT_EQ(PendingInterval(), 1200);
}

TEST_F(Preview, PressDuringAShowStepsAtOnce) {
    Fill({1, 2, 3});
    h.Dlg().OnPreview();
    h.Dlg().OnPreview();
    EXPECT_TRUE(ShowsSlot(2));
    EXPECT_EQ(PendingInterval(), 800);

    Tick();
    EXPECT_TRUE(ShowsSlot(3));
    // A press on the last picture starts a new show.
    h.Dlg().OnPreview();
    EXPECT_TRUE(ShowsSlot(1));
    EXPECT_TRUE(h.Dlg().m_bSlotShown[0]);
}

TEST_F(Preview, SpeedChangeMidShowTakesEffectAtTheNextStep) {
    Fill({1, 2, 3});
    h.SelectSpeed("慢");
    h.Dlg().OnPreview();
    h.SelectSpeed("快");
    EXPECT_EQ(PendingInterval(), 1200);
    Tick();
    EXPECT_TRUE(ShowsSlot(2));
    EXPECT_EQ(PendingInterval(), 400);
}

TEST_F(Preview, RemovingOrClearingEndsTheShow) {
    Fill({1, 2, 3});
    h.Dlg().OnPreview();
    h.PressRightButtonOn(3);
    EXPECT_EQ(PendingInterval(), -1);
    EXPECT_FALSE(AnyShownFlag());
    EXPECT_TRUE(ShowsBackground());

    // The next show starts from the first picture and ends after the last one left.
    h.Dlg().OnPreview();
    EXPECT_TRUE(ShowsSlot(1));
    Tick();
    EXPECT_TRUE(ShowsSlot(2));
    Tick();
    EXPECT_TRUE(ShowsBackground());
    EXPECT_EQ(PendingInterval(), -1);

    h.Dlg().OnPreview();
    h.Dlg().SendCommand(IDC_CLEAR);
    EXPECT_EQ(PendingInterval(), -1);
    EXPECT_FALSE(AnyShownFlag());
    EXPECT_TRUE(ShowsBackground());
    EXPECT_TRUE(h.messages.isEmpty());
}

TEST_F(Preview, ChoosingAPictureMidShowAddsItToTheShow) {
    Fill({1, 3});
    h.Dlg().OnPreview();
    Fill({2});
    Tick();
    EXPECT_TRUE(ShowsSlot(2));
    Tick();
    EXPECT_TRUE(ShowsSlot(3));
}

TEST_F(Preview, UnreadableStagedCopyLeavesTheButtonEmptyForThatStep) {
    Fill({1, 2});
    ASSERT_TRUE(QFile::remove(h.Dlg().Resolve(h.Dlg().m_strSlotBmpPath[0])));
    h.Dlg().OnPreview();
    EXPECT_EQ(ButtonBitmap(h.Dlg().m_btnPreview), nullptr);
    EXPECT_EQ(PendingInterval(), 800);
    Tick();
    EXPECT_TRUE(ShowsSlot(2));
}

TEST_F(Preview, RealTimerRunsTheShowToTheEnd) {
    Fill({1, 2});
    h.SelectSpeed("快");
    QElapsedTimer clock;
    clock.start();
    h.Dlg().OnPreview();

    bool sawSecond = false;
    while (clock.elapsed() < 5000 && !(ShowsBackground() && PendingInterval() == -1)) {
        QEventLoop().processEvents(QEventLoop::AllEvents, 20);
        sawSecond = sawSecond || ShowsSlot(2);
    }
    const qint64 elapsed = clock.elapsed();
    EXPECT_TRUE(sawSecond);
    EXPECT_TRUE(ShowsBackground());
    // Two intervals of 400 ms; coarse timers may fire up to 5 % early, and more than one
    // interval must have passed.
    EXPECT_GE(elapsed, 700);
    EXPECT_LT(elapsed, 5000);
}

}  // namespace
}  // namespace tavrel::test
