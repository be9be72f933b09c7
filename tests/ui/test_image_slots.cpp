// Filling slots from picture files, the staged copies, thumbnails, removal and clearing.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QCoreApplication>
#include <QDropEvent>
#include <QMimeData>
#include <QSysInfo>
#include <QUrl>
#include <algorithm>
#include <functional>

#include "platform/window/picture_button.h"
#include "support/dialog_harness.h"

namespace tavrel::test {
namespace {

constexpr char kCannotUse[] = "无法使用这幅图像";

QColor StagedColour(DialogHarness& h, int slot) {
    return CentreOf(QImage(h.Dlg().Resolve(h.Dlg().m_strSlotBmpPath[slot - 1])));
}

// Each picture is staged as a BMP named after it in the BMP folder (one more of the same
// title gets a name of its own) and shown on its button as a thumbnail.
// Every kind of picture goes the same road in the command-line tool's identity test.
TEST(ImageSlots, PicturesAreStagedUnderTheirTitleAndShownAsThumbnails) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    const QString bmpDir = dlg.m_strBmpDir + "/";
    h.Choose(3, TestData("edge/测试 图片.png"));
    h.Choose(1, h.MakePicture("one/a.png", Qt::red));
    h.Choose(2, h.MakePicture("two/a.jpg", Qt::blue));

    EXPECT_TRUE(h.messages.isEmpty()) << h.messages.join('\n').toStdString();
    EXPECT_EQ(dlg.m_nSelectedCount, 3);
    EXPECT_TRUE(dlg.m_bSlotFilled[2] && !dlg.m_bSlotShown[2]);
    EXPECT_EQ(dlg.m_strSlotTitle[2], "测试 图片");
    EXPECT_EQ(dlg.m_strSlotBmpPath[2], bmpDir + "测试 图片.bmp");
    ASSERT_NE(dlg.m_hSlotThumb[2], nullptr);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[2]), dlg.m_hSlotThumb[2].get());
    EXPECT_EQ(dlg.m_strSlotBmpPath[0], bmpDir + "a.bmp");
    EXPECT_EQ(dlg.m_strSlotBmpPath[1], bmpDir + "a-2.bmp");
    EXPECT_TRUE(CloseTo(StagedColour(h, 1), Qt::red));
    EXPECT_TRUE(CloseTo(StagedColour(h, 2), Qt::blue));
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

// The right button empties one slot; clearing empties the rest.
TEST(ImageSlots, RightButtonEmptiesASlotAndClearingTheRestFromFiveToOne) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Fill({1, 2, 3, 4});

    h.PressRightButtonOn(2);
    h.PressRightButtonOn(5);  // never filled
    EXPECT_EQ(dlg.m_nSelectedCount, 3);
    EXPECT_TRUE(dlg.m_bSlotFilled[0] && !dlg.m_bSlotFilled[1]);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[1]), dlg.m_hWorkBitmap.get());

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

// A cancelled choice or an unusable picture leaves the slot as it was; choosing again
// replaces the picture.
TEST(ImageSlots, CancelOrAnUnusablePictureLeavesTheSlotAsItWas) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Fill({1});
    const DibSection* thumb = dlg.m_hSlotThumb[0].get();

    // A cut-off BMP would decode with a blank band: it is refused as incomplete.
    const QString cut = h.WorkPath("cut.bmp");
    ASSERT_TRUE(WriteAll(cut, FileContent(TestData("edge/palette-8bit-rle8.bmp")).chopped(4000)));
    h.Choose(1, std::nullopt);
    h.Choose(2, std::nullopt);
    h.Choose(1, TestData("edge/y.png"));
    h.Choose(2, TestData("edge/bomb-60000x60000.png"));
    h.Choose(1, cut);

    const QString names[] = {"y.png", "bomb-60000x60000.png", "cut.bmp"};
    ASSERT_EQ(h.messages.size(), 3);
    for (int i = 0; i < 3; ++i) {
        EXPECT_TRUE(h.messages[i].startsWith(QString(kCannotUse) + "（" + names[i] + "）："))
            << h.messages[i].toStdString();
    }
    EXPECT_TRUE(h.messages[2].contains("不完整")) << h.messages[2].toStdString();
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[0]), thumb);
    EXPECT_EQ(ButtonBitmap(dlg.m_btnSlot[1]), dlg.m_hWorkBitmap.get());

    h.Choose(1, h.MakePicture("in/blue.jpg", Qt::blue));
    EXPECT_EQ(dlg.m_nSelectedCount, 1);
    EXPECT_EQ(dlg.m_strSlotTitle[0], "blue");
    EXPECT_TRUE(CloseTo(h.ButtonColour(dlg.m_btnSlot[0]), Qt::blue));
}

// Staged copies live in the window's own locked folder below the cache, only while a slot
// uses them.
TEST(ImageSlots, StagedCopiesGoWhenNoSlotUsesThemAndWithTheWindow) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    const QString folder = dlg.StagingPath();
    ASSERT_FALSE(folder.isEmpty());
    EXPECT_EQ(QFileInfo(folder).absolutePath(),
              qEnvironmentVariable("XDG_CACHE_HOME") + QStringLiteral("/tavrel"));
    EXPECT_TRUE(QFileInfo::exists(folder + ".lock"));
    h.Fill({1, 2, 3});

    const struct {
        const char* step;
        std::function<void()> act;
        QStringList left;
    } steps[] = {
        {"replaced by another picture",
         [&] { h.Choose(1, h.MakePicture("in/x.png", Qt::cyan)); },
         {"2.bmp", "3.bmp", "x.bmp"}},
        {"replaced by one of the same title",
         [&] { h.Choose(2, h.MakePicture("b/2.png", Qt::cyan)); },
         {"2.bmp", "3.bmp", "x.bmp"}},
        {"emptied", [&] { h.PressRightButtonOn(3); }, {"2.bmp", "x.bmp"}},
        {"all cleared", [&] { dlg.SendCommand(IDC_CLEAR); }, {}},
        {"filled again", [&] { h.Fill({4}); }, {"4.bmp"}},
    };
    for (const auto& [step, act, left] : steps) {
        SCOPED_TRACE(step);
        act();
        EXPECT_EQ(Entries(folder), left);
    }
    EXPECT_TRUE(h.messages.isEmpty()) << h.messages.join('\n').toStdString();
    h.CloseDialog();
    EXPECT_FALSE(QFileInfo::exists(folder));
    EXPECT_FALSE(QFileInfo::exists(folder + ".lock"));
}

// A crashed window's copies go at the next start, only our own files; a living window's stay
// and are never another window's.
TEST(ImageSlots, NextStartRemovesWhatACrashedWindowLeft) {
    DialogHarness living;
    living.Fill({1});
    const QString root = QFileInfo(living.Dlg().StagingPath()).absolutePath();
    const QString dead = root + "/window-dead";
    ASSERT_TRUE(QDir().mkpath(dead));
    ASSERT_TRUE(WriteAll(dead + "/photo.bmp", "BM"));
    ASSERT_TRUE(WriteAll(dead + "/notes.txt", "not ours"));
    // No process has that number (above the kernel's largest).
    ASSERT_TRUE(WriteAll(dead + ".lock",
                         "4194305\nTavrel\n" + QSysInfo::machineHostName().toUtf8() + "\n"));

    DialogHarness next;
    EXPECT_EQ(Entries(dead), QStringList{"notes.txt"});
    EXPECT_FALSE(QFileInfo::exists(dead + ".lock"));
    EXPECT_EQ(Entries(living.Dlg().StagingPath()), QStringList{"1.bmp"});

    // A picture of the same name in the other window is staged apart from the first one's.
    next.Choose(1, next.MakePicture("in/1.png", Qt::blue));
    EXPECT_TRUE(CloseTo(StagedColour(living, 1), kSlotColours[0]));
    EXPECT_TRUE(CloseTo(StagedColour(next, 1), Qt::blue));
}

// Pictures named on the command line fill slots 1, 2, ... (Open with).
TEST(ImageSlots, PicturesOfTheCommandLineFillTheFirstSlots) {
    const struct {
        const char* names;
        QStringList titles;
        int messages;
    } cases[] = {
        {"a b", {"a", "b"}, 0},
        {"a y.png b", {"a", "b"}, 1},  // unreadable: said, the next picture takes its slot
        {"a b c d e f g", {"a", "b", "c", "d", "e"}, 1},
    };
    for (const auto& [names, titles, messages] : cases) {
        SCOPED_TRACE(names);
        DialogHarness h;
        QStringList paths;
        for (const QString& name : QString(names).split(' ')) {
            paths << (name.endsWith(".png") ? TestData("edge/" + name)
                                            : h.MakePicture("in/" + name + ".png", Qt::red));
        }
        h.Dlg().OpenPictures(paths);
        QStringList filled;
        for (int i = 0; i < h.Dlg().m_nSelectedCount; ++i) {
            filled << h.Dlg().m_strSlotTitle[i];
        }
        EXPECT_EQ(filled, titles);
        EXPECT_EQ(h.messages.size(), messages) << h.messages.join('\n').toStdString();
    }
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
