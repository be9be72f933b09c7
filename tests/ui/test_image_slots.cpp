// Filling slots from picture files, the staged copies, thumbnails, removal and clearing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QDropEvent>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>
#include <algorithm>

#include "platform/bitmap_loader.h"
#include "support/dialog_harness.h"

namespace tavrel::test {
namespace {

const QString kCannotUse = QStringLiteral("无法使用这幅图像：");

QColor StagedColour(DialogHarness& h, int slot) {
    return CentreOf(QImage(h.Dlg().Resolve(h.Dlg().m_strSlotBmpPath[slot - 1])));
}

// Every message says that the picture cannot be used, and why.
void ExpectCannotUse(const QStringList& messages, int count) {
    ASSERT_EQ(messages.size(), count) << messages.join('\n').toStdString();
    for (const QString& message : messages) {
        EXPECT_TRUE(message.startsWith(kCannotUse) && message.size() > kCannotUse.size())
            << message.toStdString();
    }
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
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_EQ(dlg.m_bSlotFilled[i], i == 2);
    }
    EXPECT_FALSE(dlg.m_bSlotShown[2]);
    EXPECT_EQ(dlg.m_strSlotTitle[2], title);
    EXPECT_EQ(dlg.m_strSlotBmpPath[2], dlg.m_strBmpDir + "/" + title + ".bmp");
    EXPECT_TRUE(
        FileContent(h.WorkPath("Resources/LoadResource1/BMP/" + title + ".bmp")).startsWith("BM"));
    ASSERT_NE(dlg.m_hSlotThumb[2], nullptr);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[2]), dlg.m_hSlotThumb[2].get());
    EXPECT_EQ(QSize(dlg.m_hSlotThumb[2]->Width(), dlg.m_hSlotThumb[2]->Height()),
              dlg.m_rcSlot.size());
}

INSTANTIATE_TEST_SUITE_P(EveryReadableKind, RoadOfAPicture,
                         ::testing::Values("photo530/p1.jpg", "photo1080/p2.jpg", "edge/gray.jpg",
                                           "edge/progressive.jpg", "photo530/p3.png",
                                           "edge/alpha.png", "edge/palette-8bit.png",
                                           "edge/bilevel-1bit.png", "edge/rgb-16bpc.png",
                                           "edge/1x4000.png", "edge/bilevel-1bit.bmp",
                                           "edge/palette-4bit.bmp", "edge/palette-8bit.bmp",
                                           "edge/rgb555-16bit.bmp", "edge/rgb-24bit.bmp",
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
    EXPECT_TRUE(dlg.m_bSlotFilled[0] && !dlg.m_bSlotFilled[1]);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[0]), thumb);
    EXPECT_EQ(dlg.m_hSlotThumb[0].get(), thumb);
    EXPECT_EQ(dlg.m_strSlotBmpPath[0], staged);
    EXPECT_EQ(dlg.m_strSlotTitle[0], "red");
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[1]), dlg.m_hWorkBitmap.get());

    h.Choose(1, h.MakePicture("in/blue.jpg", Qt::blue));
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(dlg.m_strSlotTitle[0], "blue");
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[0]), dlg.m_hSlotThumb[0].get());
    EXPECT_TRUE(CloseTo(h.ButtonColour(dlg.m_btnSlot[0]), Qt::blue));
    EXPECT_TRUE(h.messages.isEmpty());
}

TEST(ImageSlots, RightButtonEmptiesAFilledSlotAndKeepsItsStagedCopy) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Fill({1, 2});

    h.PressRightButtonOn(2);
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_TRUE(dlg.m_bSlotFilled[0] && !dlg.m_bSlotFilled[1]);
    EXPECT_EQ(dlg.m_hSlotThumb[1], nullptr);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[1]), dlg.m_hWorkBitmap.get());
    EXPECT_TRUE(CloseTo(StagedColour(h, 2), kSlotColours[1]));

    h.PressRightButtonOn(2);  // already empty
    h.PressRightButtonOn(4);  // never filled
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_TRUE(h.messages.isEmpty());
}

// Records the order in which the slot buttons go back to the background picture.
struct BackgroundOrder : QObject {
    explicit BackgroundOrder(CTavrelDlg& dlg) : dlg(dlg) {
        for (QAbstractButton* button : dlg.m_btnSlot) {
            button->installEventFilter(this);
        }
    }
    bool eventFilter(QObject* watched, QEvent* event) override {
        const auto* button = std::ranges::find(dlg.m_btnSlot, watched);
        const int slot = int(button - std::begin(dlg.m_btnSlot)) + 1;
        if (event->type() == QEvent::DynamicPropertyChange &&
            ButtonBitmap(*button) == dlg.m_hWorkBitmap.get() &&
            std::ranges::count(order, slot) == 0) {
            order.push_back(slot);
        }
        return false;
    }
    CTavrelDlg& dlg;
    std::vector<int> order;
};

TEST(ImageSlots, ClearingEmptiesEverySlotFromFiveToOne) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Fill({1, 3, 4});
    BackgroundOrder watcher(dlg);

    dlg.SendCommand(IDC_CLEAR);

    EXPECT_EQ(watcher.order, (std::vector<int>{4, 3, 1}));
    EXPECT_EQ(dlg.m_nSelectedCount, 0);
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_FALSE(dlg.m_bSlotFilled[i]);
        EXPECT_EQ(dlg.m_hSlotThumb[i], nullptr);
        EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[i]), dlg.m_hWorkBitmap.get());
    }
    EXPECT_TRUE(h.messages.isEmpty());
}

class UnusablePicture : public ::testing::TestWithParam<const char*> {};

TEST_P(UnusablePicture, LeavesTheSlotAsItWasAndSaysWhy) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Fill({1});
    const DibSection* thumb = dlg.m_hSlotThumb[0].get();

    h.Choose(1, TestData(QString::fromUtf8(GetParam())));
    h.Choose(2, TestData(QString::fromUtf8(GetParam())));

    ExpectCannotUse(h.messages, 2);
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(dlg.m_strSlotTitle[0], "1");
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[0]), thumb);
    EXPECT_FALSE(dlg.m_bSlotFilled[1]);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[1]), dlg.m_hWorkBitmap.get());
}

INSTANTIATE_TEST_SUITE_P(NotAPicture, UnusablePicture,
                         ::testing::Values("edge/x.jpg", "edge/y.png", "edge/bomb-60000x60000.png",
                                           "no-such-file.png", "edge"));

TEST(ImageSlots, PictureThatCannotBeStagedLeavesTheSlotEmpty) {
    DialogHarness h;
    ASSERT_TRUE(QDir(h.WorkPath("Resources/LoadResource1/BMP")).removeRecursively());
    h.Fill({1});
    ExpectCannotUse(h.messages, 1);
    EXPECT_FALSE(h.Dlg().m_bSlotFilled[0]);
    EXPECT_EQ(h.Dlg().m_nSelectedCount, 0);
}

TEST(ImageSlots, PicturesSharingATitleKeepTheirOwnStagedCopies) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    const QString bmpDir = dlg.m_strBmpDir + "/";
    h.Choose(1, h.MakePicture("one/a.png", Qt::red));
    h.Choose(2, h.MakePicture("two/a.jpg", Qt::blue));
    h.Choose(3, h.MakePicture("three/a.bmp", Qt::green));

    const QString names[] = {"a.bmp", "a-2.bmp", "a-3.bmp"};
    const QColor colours[] = {Qt::red, Qt::blue, Qt::green};
    for (int i = 0; i < 3; ++i) {
        EXPECT_EQ(dlg.m_strSlotBmpPath[i], bmpDir + names[i]);
        EXPECT_TRUE(CloseTo(StagedColour(h, i + 1), colours[i])) << "slot " << i + 1;
        EXPECT_TRUE(CloseTo(h.ButtonColour(dlg.m_btnSlot[i]), colours[i])) << "slot " << i + 1;
    }

    // Choosing again for a slot keeps its own name; an emptied slot's name is free again.
    h.Choose(2, h.MakePicture("four/a.png", Qt::yellow));
    EXPECT_EQ(dlg.m_strSlotBmpPath[1], bmpDir + "a-2.bmp");
    h.PressRightButtonOn(1);
    h.Choose(4, h.MakePicture("five/a.png", Qt::cyan));
    EXPECT_EQ(dlg.m_strSlotBmpPath[3], bmpDir + "a.bmp");
    EXPECT_TRUE(CloseTo(StagedColour(h, 2), Qt::yellow));
}

TEST(ImageSlots, DroppingAPictureFileFillsTheSlot) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    // Drags the file over the slot's button and drops it there when it is accepted.
    const auto drop = [&](int slot, const QUrl& url) {
        QAbstractButton* button = dlg.m_btnSlot[slot - 1];
        QMimeData data;
        data.setUrls({url});
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QCoreApplication::sendEvent(button, &enter);
        if (enter.isAccepted()) {
            QDropEvent dropped(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
            QCoreApplication::sendEvent(button, &dropped);
            QCoreApplication::processEvents();
        }
        return enter.isAccepted();
    };

    EXPECT_TRUE(drop(4, QUrl::fromLocalFile(h.MakePicture("in/dropped.png", Qt::magenta))));
    EXPECT_TRUE(dlg.m_bSlotFilled[3]);
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(dlg.m_strSlotTitle[3], "dropped");
    EXPECT_TRUE(CloseTo(h.ButtonColour(dlg.m_btnSlot[3]), Qt::magenta));

    EXPECT_FALSE(drop(1, QUrl("http://example.invalid/a.png")));
    drop(1, QUrl::fromLocalFile(TestData("edge/y.png")));
    EXPECT_FALSE(dlg.m_bSlotFilled[0]);
    ExpectCannotUse(h.messages, 1);
}

}  // namespace
}  // namespace tavrel::test
