// Filling slots from picture files, the staged copies, thumbnails, removal and clearing.
#include <gtest/gtest.h>

#include <algorithm>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDir>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFile>
#include <QFileInfo>
#include <QMimeData>
#include <QUrl>

#include "platform/bitmap_loader.h"
#include "support/dialog_harness.h"

namespace tavrel::test {
namespace {

const QString kCannotUse = QStringLiteral("无法使用这幅图像：");

QColor CentreOf(const QImage& image) {
    return image.pixelColor(image.width() / 2, image.height() / 2);
}

QString StagedFile(DialogHarness& h, int slot) {
    return h.Dlg().Resolve(h.Dlg().m_strSlotBmpPath[slot - 1]);
}

bool IsBmpFile(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) && file.read(2) == "BM";
}

// ---- the road of one picture, for every kind of file the program reads ----

class RoadOfAPicture : public ::testing::TestWithParam<const char*> {};

TEST_P(RoadOfAPicture, IsStagedAsBmpAndShownAsThumbnailOnItsSlot) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    const QString source = TestData(QString::fromUtf8(GetParam()));
    const QString title = QFileInfo(source).completeBaseName();

    h.Choose(3, source);

    EXPECT_TRUE(h.messages.isEmpty()) << h.messages.join('\n').toStdString();
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_TRUE(dlg.m_bSlotFilled[2]);
    EXPECT_FALSE(dlg.m_bSlotShown[2]);
    EXPECT_EQ(dlg.m_strSlotTitle[2], title);
    EXPECT_EQ(dlg.m_strSourcePath, source);
    EXPECT_EQ(dlg.m_strSlotBmpPath[2], dlg.m_strBmpDir + "/" + title + ".bmp");
    EXPECT_TRUE(IsBmpFile(h.WorkPath("Resources/LoadResource1/BMP/" + title + ".bmp")));

    ASSERT_NE(dlg.m_hSlotThumb[2], nullptr);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[2]), dlg.m_hSlotThumb[2].get());
    EXPECT_EQ(dlg.m_hSlotThumb[2]->Width(), dlg.m_rcSlot.width());
    EXPECT_EQ(dlg.m_hSlotThumb[2]->Height(), dlg.m_rcSlot.height());
    for (int other : {0, 1, 3, 4}) {
        EXPECT_FALSE(dlg.m_bSlotFilled[other]);
    }
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

// ---- choosing, cancelling, choosing again ----

TEST(ImageSlots, CancelChangesNothing) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Choose(1, h.MakePicture("in/red.png", Qt::red));
    const DibSection* thumb = dlg.m_hSlotThumb[0].get();
    const QString staged = dlg.m_strSlotBmpPath[0];

    h.Choose(1, std::nullopt);
    h.Choose(2, std::nullopt);

    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_TRUE(dlg.m_bSlotFilled[0]);
    EXPECT_FALSE(dlg.m_bSlotFilled[1]);
    EXPECT_EQ(dlg.m_hSlotThumb[0].get(), thumb);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[0]), thumb);
    EXPECT_EQ(dlg.m_strSlotBmpPath[0], staged);
    EXPECT_EQ(dlg.m_strSlotTitle[0], "red");
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[1]), dlg.m_hWorkBitmap.get());
    EXPECT_TRUE(h.messages.isEmpty());
}

TEST(ImageSlots, ChoosingAgainReplacesThePictureAndKeepsTheCount) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Choose(2, h.MakePicture("in/red.png", Qt::red));
    h.Choose(2, h.MakePicture("in/blue.jpg", Qt::blue));

    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(dlg.m_strSlotTitle[1], "blue");
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[1]), dlg.m_hSlotThumb[1].get());
    EXPECT_TRUE(CloseTo(CentreOf(h.ButtonPicture(dlg.m_btnSlot[1])), Qt::blue));
}

// ---- removal and clearing ----

TEST(ImageSlots, RightButtonEmptiesAFilledSlotAndKeepsItsStagedCopy) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Choose(1, h.MakePicture("in/red.png", Qt::red));
    h.Choose(2, h.MakePicture("in/green.png", Qt::green));

    h.PressRightButtonOn(2);

    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_FALSE(dlg.m_bSlotFilled[1]);
    EXPECT_EQ(dlg.m_hSlotThumb[1], nullptr);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[1]), dlg.m_hWorkBitmap.get());
    EXPECT_EQ(dlg.m_strSlotTitle[1], "green");
    EXPECT_TRUE(QFile::exists(StagedFile(h, 2)));
    EXPECT_TRUE(dlg.m_bSlotFilled[0]);

    h.PressRightButtonOn(2);  // already empty
    h.PressRightButtonOn(4);  // never filled
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_TRUE(h.messages.isEmpty());
}

TEST(ImageSlots, ClearingEmptiesEverySlotThenSaysThereIsNothingToClear) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    for (int slot : {1, 3, 4}) {
        h.Choose(slot, h.MakePicture(QStringLiteral("in/%1.png").arg(slot), Qt::red));
    }

    dlg.SendCommand(IDC_CLEAR);

    EXPECT_EQ(dlg.m_nSelectedCount, 0);
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_FALSE(dlg.m_bSlotFilled[i]);
        EXPECT_EQ(dlg.m_hSlotThumb[i], nullptr);
        EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[i]), dlg.m_hWorkBitmap.get());
    }
    EXPECT_TRUE(h.messages.isEmpty());

    dlg.SendCommand(IDC_CLEAR);
    EXPECT_EQ(h.messages, QStringList{QStringLiteral("未选择图像，不需要取消！谢谢！")});
}

// Records the order in which the slot buttons go back to the background picture.
class BackgroundOrder : public QObject {
public:
    explicit BackgroundOrder(CTavrelDlg& dlg) : dlg_(dlg) {
        for (QAbstractButton* button : dlg.m_btnSlot) {
            button->installEventFilter(this);
        }
    }
    std::vector<int> order;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::DynamicPropertyChange) {
            for (int i = 0; i < kSlotCount; ++i) {
                if (watched == dlg_.m_btnSlot[i] &&
                    ButtonBitmap(dlg_.m_btnSlot[i]) == dlg_.m_hWorkBitmap.get() &&
                    std::find(order.begin(), order.end(), i + 1) == order.end()) {
                    order.push_back(i + 1);
                }
            }
        }
        return false;
    }

private:
    CTavrelDlg& dlg_;
};

TEST(ImageSlots, ClearingGoesFromSlotFiveToSlotOne) {
    DialogHarness h;
    for (int slot : {1, 3, 4}) {
        h.Choose(slot, h.MakePicture(QStringLiteral("in/%1.png").arg(slot), Qt::red));
    }
    BackgroundOrder watcher(h.Dlg());
    h.Dlg().SendCommand(IDC_CLEAR);
    EXPECT_EQ(watcher.order, (std::vector<int>{4, 3, 1}));
}

// ---- pictures that cannot be used ----

class UnusablePicture : public ::testing::TestWithParam<const char*> {};

TEST_P(UnusablePicture, LeavesTheSlotAsItWasAndSaysWhy) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Choose(1, h.MakePicture("in/red.png", Qt::red));
    const DibSection* thumb = dlg.m_hSlotThumb[0].get();

    h.Choose(1, TestData(QString::fromUtf8(GetParam())));
    h.Choose(2, TestData(QString::fromUtf8(GetParam())));

    ASSERT_EQ(h.messages.size(), 2);
    for (const QString& message : h.messages) {
        EXPECT_TRUE(message.startsWith(kCannotUse)) << message.toStdString();
        EXPECT_GT(message.size(), kCannotUse.size()) << "the reason is missing";
    }
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(dlg.m_strSlotTitle[0], "red");
    EXPECT_EQ(dlg.m_hSlotThumb[0].get(), thumb);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[0]), thumb);
    EXPECT_FALSE(dlg.m_bSlotFilled[1]);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[1]), dlg.m_hWorkBitmap.get());
}

INSTANTIATE_TEST_SUITE_P(NotAPicture, UnusablePicture,
                         ::testing::Values("edge/x.jpg", "edge/y.png", "edge/bomb-60000x60000.png",
                                           "no-such-file.png", "edge"));

TEST(ImageSlots, PictureThatCannotBeStagedLeavesTheSlotEmpty) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    ASSERT_TRUE(QDir(h.WorkPath("Resources/LoadResource1/BMP")).removeRecursively());

    h.Choose(1, h.MakePicture("in/red.png", Qt::red));

    ASSERT_EQ(h.messages.size(), 1);
    EXPECT_TRUE(h.messages[0].startsWith(kCannotUse));
    EXPECT_FALSE(dlg.m_bSlotFilled[0]);
    EXPECT_EQ(dlg.m_nSelectedCount, 0);
}

// ---- two pictures with one file title ----

TEST(ImageSlots, PicturesSharingATitleKeepTheirOwnStagedCopies) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    const QString bmpDir = dlg.m_strBmpDir + "/";
    h.Choose(1, h.MakePicture("one/a.png", Qt::red));
    h.Choose(2, h.MakePicture("two/a.jpg", Qt::blue));
    h.Choose(3, h.MakePicture("three/a.bmp", Qt::green));

    EXPECT_EQ(dlg.m_strSlotBmpPath[0], bmpDir + "a.bmp");
    EXPECT_EQ(dlg.m_strSlotBmpPath[1], bmpDir + "a-2.bmp");
    EXPECT_EQ(dlg.m_strSlotBmpPath[2], bmpDir + "a-3.bmp");
    const QColor expected[] = {Qt::red, Qt::blue, Qt::green};
    for (int slot = 1; slot <= 3; ++slot) {
        const QImage staged(StagedFile(h, slot));
        EXPECT_TRUE(CloseTo(CentreOf(staged), expected[slot - 1])) << "slot " << slot;
        EXPECT_TRUE(CloseTo(CentreOf(h.ButtonPicture(dlg.m_btnSlot[slot - 1])), expected[slot - 1]))
            << "slot " << slot;
    }

    // Choosing again for a slot keeps its own name; an emptied slot's name is free again.
    h.Choose(2, h.MakePicture("four/a.png", Qt::yellow));
    EXPECT_EQ(dlg.m_strSlotBmpPath[1], bmpDir + "a-2.bmp");
    h.PressRightButtonOn(1);
    h.Choose(4, h.MakePicture("five/a.png", Qt::cyan));
    EXPECT_EQ(dlg.m_strSlotBmpPath[3], bmpDir + "a.bmp");
    EXPECT_TRUE(CloseTo(CentreOf(QImage(StagedFile(h, 2))), Qt::yellow));
}

// ---- dropping files on a slot ----

TEST(ImageSlots, DroppingAPictureFileFillsTheSlot) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    QAbstractButton* button = dlg.m_btnSlot[3];
    const QPoint inside(button->width() / 2, button->height() / 2);

    QMimeData local;
    local.setUrls({QUrl::fromLocalFile(h.MakePicture("in/dropped.png", Qt::magenta))});
    QDragEnterEvent enter(inside, Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &enter);
    EXPECT_TRUE(enter.isAccepted());
    QDropEvent drop(inside, Qt::CopyAction, &local, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(button, &drop);
    QCoreApplication::processEvents();

    EXPECT_TRUE(dlg.m_bSlotFilled[3]);
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(dlg.m_strSlotTitle[3], "dropped");
    EXPECT_TRUE(CloseTo(CentreOf(h.ButtonPicture(button)), Qt::magenta));

    QMimeData remote;
    remote.setUrls({QUrl("http://example.invalid/a.png")});
    QDragEnterEvent refused(inside, Qt::CopyAction, &remote, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.m_btnSlot[0], &refused);
    EXPECT_FALSE(refused.isAccepted());

    QMimeData broken;
    broken.setUrls({QUrl::fromLocalFile(TestData("edge/y.png"))});
    QDragEnterEvent badEnter(inside, Qt::CopyAction, &broken, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.m_btnSlot[0], &badEnter);
    QDropEvent badDrop(inside, Qt::CopyAction, &broken, Qt::LeftButton, Qt::NoModifier);
    QCoreApplication::sendEvent(dlg.m_btnSlot[0], &badDrop);
    QCoreApplication::processEvents();
    EXPECT_FALSE(dlg.m_bSlotFilled[0]);
    ASSERT_EQ(h.messages.size(), 1);
    EXPECT_TRUE(h.messages[0].startsWith(kCannotUse));
}

}  // namespace
}  // namespace tavrel::test
