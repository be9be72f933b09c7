// Filling slots from picture files, the staged copies, thumbnails, removal and clearing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

#include "platform/bitmap_loader.h"
#include "platform/picture_button.h"
#include "support/dialog_harness.h"

namespace tavrel::test {
namespace {

const QString kCannotUse = QStringLiteral("无法使用这幅图像：");

QColor StagedColour(DialogHarness& h, int slot) {
    return CentreOf(QImage(h.Dlg().Resolve(h.Dlg().m_strSlotBmpPath[slot - 1])));
}

class RoadOfAPicture : public ::testing::TestWithParam<const char*> {};

TEST_P(RoadOfAPicture, IsStagedAsBmpAndShownAsThumbnailOnItsSlot) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    const QString source = TestData(QString::fromUtf8(GetParam()));
    const QString title = QFileInfo(source).completeBaseName();

    h.Choose(3, source);

    EXPECT_TRUE(h.messages.isEmpty()) << h.messages.join('\n').toStdString();
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_TRUE(dlg.m_bSlotFilled[2] && !dlg.m_bSlotShown[2]);
    EXPECT_EQ(dlg.m_strSlotTitle[2], title);
    EXPECT_EQ(dlg.m_strSlotBmpPath[2], dlg.m_strBmpDir + "/" + title + ".bmp");
    EXPECT_TRUE(FileContent(dlg.Resolve(dlg.m_strSlotBmpPath[2])).startsWith("BM"));
    ASSERT_NE(dlg.m_hSlotThumb[2], nullptr);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[2]), dlg.m_hSlotThumb[2].get());
    EXPECT_EQ(QSize(dlg.m_hSlotThumb[2]->Width(), dlg.m_hSlotThumb[2]->Height()),
              dlg.m_rcSlot.size());
}

INSTANTIATE_TEST_SUITE_P(EveryReadableKind, RoadOfAPicture,
                         ::testing::Values("edge/progressive.jpg", "edge/gray.jpg",
                                           "edge/alpha.png", "edge/palette-8bit.png",
                                           "edge/bilevel-1bit.bmp", "edge/palette-4bit.bmp",
                                           "edge/palette-8bit.bmp", "edge/rgb-24bit.bmp",
                                           "edge/bgrx-32bit.bmp", "edge/测试 图片.png"));

TEST(ImageSlots, CancelChangesNothingAndChoosingAgainReplacesThePicture) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Choose(1, h.MakePicture("in/red.png", Qt::red));
    const DibSection* thumb = dlg.m_hSlotThumb[0].get();
    const QString staged = dlg.m_strSlotBmpPath[0];

    h.Choose(1, std::nullopt);
    h.Choose(2, std::nullopt);
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[0]), thumb);
    EXPECT_EQ(dlg.m_strSlotBmpPath[0], staged);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[1]), dlg.m_hWorkBitmap.get());

    h.Choose(1, h.MakePicture("in/blue.jpg", Qt::blue));
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(dlg.m_strSlotTitle[0], "blue");
    EXPECT_TRUE(CloseTo(h.ButtonColour(dlg.m_btnSlot[0]), Qt::blue));
    EXPECT_TRUE(h.messages.isEmpty());
}

// Records the order in which the slot buttons go back to the background picture.
struct BackgroundOrder : QObject {
    bool eventFilter(QObject* watched, QEvent* event) override {
        const int slot = int(std::ranges::find(dlg->m_btnSlot, watched) - dlg->m_btnSlot) + 1;
        if (event->type() == QEvent::DynamicPropertyChange &&
            ButtonBitmap(dlg->m_btnSlot[slot - 1]) == dlg->m_hWorkBitmap.get() &&
            std::ranges::count(order, slot) == 0) {
            order.push_back(slot);
        }
        return false;
    }
    CTavrelDlg* dlg = nullptr;
    std::vector<int> order;
};

// The right button empties one slot and keeps its staged copy; clearing empties the rest.
TEST(ImageSlots, RightButtonEmptiesASlotAndClearingTheRestFromFiveToOne) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Fill({1, 2, 3, 4});

    h.PressRightButtonOn(2);
    h.PressRightButtonOn(5);  // never filled
    EXPECT_EQ(dlg.m_nSelectedCount, 3);
    EXPECT_TRUE(dlg.m_bSlotFilled[0] && !dlg.m_bSlotFilled[1]);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[1]), dlg.m_hWorkBitmap.get());
    EXPECT_TRUE(CloseTo(StagedColour(h, 2), kSlotColours[1]));

    BackgroundOrder watcher;
    watcher.dlg = &dlg;
    for (QAbstractButton* button : dlg.m_btnSlot) {
        button->installEventFilter(&watcher);
    }
    dlg.SendCommand(IDC_CLEAR);

    EXPECT_EQ(watcher.order, (std::vector<int>{4, 3, 1}));
    EXPECT_EQ(dlg.m_nSelectedCount, 0);
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_FALSE(dlg.m_bSlotFilled[i]);
        EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[i]), dlg.m_hWorkBitmap.get());
    }
    EXPECT_TRUE(h.messages.isEmpty());
}

TEST(ImageSlots, UnusablePictureLeavesTheSlotAsItWasAndSaysWhy) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Fill({1});
    const DibSection* thumb = dlg.m_hSlotThumb[0].get();

    h.Choose(1, TestData("edge/y.png"));
    h.Choose(2, TestData("edge/bomb-60000x60000.png"));

    ASSERT_EQ(h.messages.size(), 2);
    for (const QString& message : h.messages) {
        EXPECT_TRUE(message.startsWith(kCannotUse) && message.size() > kCannotUse.size());
    }
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[0]), thumb);
    EXPECT_FALSE(dlg.m_bSlotFilled[1]);
}

TEST(ImageSlots, PicturesSharingATitleKeepTheirOwnStagedCopies) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    const QString bmpDir = dlg.m_strBmpDir + "/";
    h.Choose(1, h.MakePicture("one/a.png", Qt::red));
    h.Choose(2, h.MakePicture("two/a.jpg", Qt::blue));
    EXPECT_EQ(dlg.m_strSlotBmpPath[0], bmpDir + "a.bmp");
    EXPECT_EQ(dlg.m_strSlotBmpPath[1], bmpDir + "a-2.bmp");
    EXPECT_TRUE(CloseTo(StagedColour(h, 1), Qt::red));
    EXPECT_TRUE(CloseTo(StagedColour(h, 2), Qt::blue));
}

TEST(ImageSlots, DroppingAPictureFileFillsTheSlot) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(h.MakePicture("in/dropped.png", Qt::magenta))});
    QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.m_btnSlot[3], &enter);
    ASSERT_TRUE(enter.isAccepted());
    QDropEvent drop(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.m_btnSlot[3], &drop);
    QCoreApplication::processEvents();

    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(dlg.m_strSlotTitle[3], "dropped");
    EXPECT_TRUE(CloseTo(h.ButtonColour(dlg.m_btnSlot[3]), Qt::magenta));
    EXPECT_TRUE(h.messages.isEmpty());
}

}  // namespace
}  // namespace tavrel::test
