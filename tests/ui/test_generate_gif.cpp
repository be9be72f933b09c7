// The GIF generation command, checked by decoding its files with giflib.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>

#include <QAction>
#include <QDir>

#include "gif_test_support.h"
#include "platform/bitmap_loader.h"
#include "platform/window/window_menu.h"
#include "support/dialog_harness.h"

namespace tavrel::test {
namespace {

constexpr char kDone[] = "动画已制作成功！谢谢！";
constexpr char kCannotWrite[] = "动画文件无法写入，未生成动画：";

void ExpectStateRestored(CTavrelDlg& dlg, int filled) {
    EXPECT_EQ(dlg.m_nSelectedCount, filled);
    EXPECT_FALSE(dlg.m_bHeaderWritten);
}

TEST(GenerateGif, OneLoopingFramePerFilledSlotInSlotOrderWithTheSpeedsDelay) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Choose(5, h.MakePicture("in/blue.png", Qt::blue));
    h.Choose(3, TestData("photo530/p3.png"));
    h.Choose(2, h.MakePicture("in/red.bmp", Qt::red));

    for (const auto& [speed, delay] : {std::pair{"慢", 120}, {"中", 80}, {"快", 40}}) {
        const QString name = QString::fromUtf8(speed) + ".gif";
        SCOPED_TRACE(name.toStdString());
        h.SelectSpeed(QString::fromUtf8(speed));
        h.messages.clear();
        h.Generate(h.WorkPath(name));
        EXPECT_EQ(h.messages, QStringList{kDone});
        ExpectStateRestored(dlg, 3);

        const QByteArray bytes = FileContent(h.WorkPath(name));
        const DecodedGif gif = DecodeWithGiflib(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        EXPECT_EQ(gif.error, 0);  // read through to the trailer
        EXPECT_EQ(gif.screenWidth, 530);
        EXPECT_EQ(gif.loopCount, 0);
        ASSERT_EQ(gif.frames.size(), 3u);
        for (const DecodedFrame& frame : gif.frames) {
            EXPECT_EQ(QSize(frame.width, frame.height), QSize(530, 530));
            EXPECT_GT(frame.tableBits, 0);  // a local colour table
            EXPECT_EQ(frame.delay, delay);
            EXPECT_EQ(frame.transparent, -1);
        }
        const auto centre = [&](std::size_t i) {
            const DecodedFrame& f = gif.frames[i];
            const std::size_t at = 3u * f.indices[265u * 530u + 265u];
            return QColor(f.palette[at], f.palette[at + 1], f.palette[at + 2]);
        };
        EXPECT_TRUE(CloseTo(centre(0), Qt::red));
        EXPECT_TRUE(CloseTo(centre(2), Qt::blue));
    }

    // A second run writes the same bytes, over a longer file.
    ASSERT_TRUE(WriteAll(h.WorkPath("again.gif"), QByteArray(4 << 20, 'x')));
    h.Generate(h.WorkPath("again.gif"));
    EXPECT_EQ(FileContent(h.WorkPath("again.gif")), FileContent(h.WorkPath("快.gif")));
}

TEST(GenerateGif, CountOfPicturesStaysDuringTheSuccessMessage) {
    DialogHarness h;
    TestDialog& dlg = h.Dlg();
    h.Fill({1, 2});
    dlg.OnPreview();  // a show is running: slot 1 on screen, slot 2 to come

    int countDuringMessage = -1;
    h.duringMessage = [&](const QString&) {
        countDuringMessage = dlg.m_nSelectedCount;
        dlg.OnTimer(kPreviewTimerId);  // the show's tick falls due meanwhile
    };
    h.Generate(h.WorkPath("out.gif"));

    EXPECT_EQ(countDuringMessage, 2);
    EXPECT_EQ(h.messages, QStringList{kDone}) << "the tick must not ask for pictures";
    EXPECT_NE(dlg.m_hPreviewBitmap, nullptr);
}

// Each failure names its cause, restores the state, keeps the earlier file whole and leaves
// no partial or temporary file behind.
TEST(GenerateGif, FailuresKeepTheEarlierFileAndLeaveNothingElse) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    for (int slot = 1; slot <= 3; ++slot) {
        h.Choose(slot, TestData(QStringLiteral("photo530/p%1.png").arg(slot)));
    }
    QDir().mkpath(h.WorkPath("out"));
    const QString out = h.WorkPath("out/anim.gif");
    ASSERT_TRUE(WriteAll(out, "earlier file"));

    // A staged copy deleted before the run: nothing is written.
    ASSERT_TRUE(QFile::remove(dlg.Resolve(dlg.m_strSlotBmpPath[1])));
    h.Generate(out);
    EXPECT_EQ(h.messages, QStringList{QStringLiteral("图像2的暂存文件无法读取，未生成动画。")});
    ExpectStateRestored(dlg, 3);

    // A write failing part-way: the file size limit is hit, its signal ignored so that the
    // write reports the error.
    h.Choose(2, TestData("photo530/p2.png"));
    h.messages.clear();
    rlimit saved{};
    ASSERT_EQ(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto handler = signal(SIGXFSZ, SIG_IGN);
    const rlimit limit{100000, saved.rlim_max};
    setrlimit(RLIMIT_FSIZE, &limit);
    h.Generate(out);
    setrlimit(RLIMIT_FSIZE, &saved);
    signal(SIGXFSZ, handler);
    ASSERT_EQ(h.messages.size(), 1);
    EXPECT_TRUE(h.messages[0].startsWith(kCannotWrite));
    EXPECT_FALSE(h.messages[0].contains(QStringLiteral("Unknown error")))
        << h.messages[0].toStdString();
    ExpectStateRestored(dlg, 3);
    EXPECT_EQ(FileContent(out), "earlier file");
    EXPECT_EQ(Entries(h.WorkPath("out")), QStringList{"anim.gif"});

    // A target that cannot be written at all: the message says why, the path is kept.
    const QString aFolder = h.WorkPath("folder.gif");
    QDir().mkpath(aFolder);
    h.messages.clear();
    h.Generate(aFolder);
    ASSERT_EQ(h.messages.size(), 1);
    EXPECT_TRUE(h.messages[0].startsWith(kCannotWrite) &&
                h.messages[0].size() > QString(kCannotWrite).size());
    EXPECT_EQ(dlg.m_strGifPath, aFolder);
    EXPECT_EQ(Entries(aFolder), QStringList());
}

// The window menu's "保持宽高比" and "高质量": off at each start; the first contains the
// pictures on black (in the thumbnails, the preview and the GIF), the second changes the
// frames; off again, the GIF is as before.
TEST(GenerateGif, WindowMenuChoicesKeepProportionsAndRaiseQuality) {
    for (int start = 0; start < 2; ++start) {
        DialogHarness h;
        CTavrelDlg& dlg = h.Dlg();
        QAction* keep = dlg.GetSystemMenu()->FindItem(IDM_KEEP_ASPECT);
        QAction* high = dlg.GetSystemMenu()->FindItem(IDM_HIGH_QUALITY);
        ASSERT_TRUE(keep && high);
        EXPECT_EQ(keep->text(), QString::fromUtf8("保持宽高比"));
        EXPECT_EQ(high->text(), QString::fromUtf8("高质量"));
        EXPECT_TRUE(keep->isCheckable() && high->isCheckable());
        EXPECT_FALSE(keep->isChecked() || high->isChecked() || dlg.m_bKeepAspect ||
                     dlg.m_bHighQuality);
        if (start == 1) {
            keep->trigger();  // left on when the dialog closes: not kept
            high->trigger();
            continue;
        }

        QImage wide(160, 90, QImage::Format_RGB32);  // 16:9
        wide.fill(Qt::red);
        ASSERT_TRUE(wide.save(h.WorkPath("wide.png")));
        h.Choose(1, h.WorkPath("wide.png"));
        h.Choose(2, TestData("photo530/p3.png"));
        h.Generate(h.WorkPath("stretch.gif"));

        keep->trigger();
        EXPECT_TRUE(keep->isChecked() && dlg.m_bKeepAspect);
        const QImage thumb = DibToImage(*dlg.m_hSlotThumb[0]);
        EXPECT_EQ(thumb.pixelColor(thumb.width() / 2, 0), QColor(Qt::black));
        EXPECT_TRUE(CloseTo(CentreOf(thumb), Qt::red));
        h.Generate(h.WorkPath("contain.gif"));
        const QByteArray bytes = FileContent(h.WorkPath("contain.gif"));
        const DecodedGif gif = DecodeWithGiflib(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        ASSERT_EQ(gif.frames.size(), 2u);
        const auto colourAt = [&](int x, int y) {
            const DecodedFrame& f = gif.frames[0];
            const std::size_t at = 3u * f.indices[static_cast<std::size_t>(y) * 530u + x];
            return QColor(f.palette[at], f.palette[at + 1], f.palette[at + 2]);
        };
        // 160 x 90 in 530 x 530: 530 x 298 from y = 116.
        EXPECT_EQ(colourAt(265, 115), QColor(Qt::black));
        EXPECT_EQ(colourAt(265, 414), QColor(Qt::black));
        EXPECT_TRUE(CloseTo(colourAt(265, 116), Qt::red));
        EXPECT_TRUE(CloseTo(colourAt(265, 413), Qt::red));

        high->trigger();
        EXPECT_TRUE(dlg.m_bHighQuality);
        h.Generate(h.WorkPath("both.gif"));
        EXPECT_FALSE(FileContent(h.WorkPath("both.gif")) == bytes);
        keep->trigger();
        high->trigger();
        EXPECT_FALSE(dlg.m_bKeepAspect || dlg.m_bHighQuality);
        h.Generate(h.WorkPath("off.gif"));
        EXPECT_TRUE(FileContent(h.WorkPath("off.gif")) == FileContent(h.WorkPath("stretch.gif")));
        EXPECT_EQ(h.messages, QStringList(4, QString(kDone)));
    }
}

}  // namespace
}  // namespace tavrel::test
