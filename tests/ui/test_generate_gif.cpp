// The GIF generation command, checked by decoding its files with giflib.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QDir>
#include <QElapsedTimer>
#include <QProgressDialog>
#include <QPushButton>
#include <QThread>
#include <QTimer>
#include <functional>

#include "gif_test_support.h"
#include "platform/bitmap_loader.h"
#include "platform/window/window_menu.h"
#include "support/dialog_harness.h"
#include "ui/choices_dlg.h"
#include "ui/gif_job.h"

namespace tavrel::test {
namespace {

constexpr char kDone[] = "动画已制作成功！谢谢！";
constexpr char kCannotWrite[] = "动画文件无法写入，未生成动画：";

// The messages without the lines that follow the first (the size and frames of a GIF made).
QStringList FirstLines(const QStringList& messages) {
    QStringList first;
    for (const QString& message : messages) {
        first << message.section('\n', 0, 0);
    }
    return first;
}

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
        const QByteArray bytes = FileContent(h.WorkPath(name));
        EXPECT_EQ(
            h.messages,
            QStringList{
                QString(kDone) + "\n" +
                QString::fromUtf8("大小 %1，共 3 帧").arg(ShownFileSize(uint64_t(bytes.size())))});
        ExpectStateRestored(dlg, 3);

        const DecodedGif gif = DecodeWithGiflib(std::vector<uint8_t>(bytes.begin(), bytes.end()));
        EXPECT_EQ(gif.error, 0);  // read through to the trailer
        EXPECT_EQ(gif.screenWidth, 530);
        ASSERT_EQ(gif.frames.size(), 3u);
        for (const DecodedFrame& frame : gif.frames) {
            EXPECT_EQ(frame.delay, delay);
        }
        EXPECT_TRUE(CloseTo(PixelOf(gif.frames[0], 265, 265), Qt::red));
        EXPECT_TRUE(CloseTo(PixelOf(gif.frames[2], 265, 265), Qt::blue));
    }

    // A second run writes the same bytes, over a longer file.
    ASSERT_TRUE(WriteAll(h.WorkPath("again.gif"), QByteArray(4 << 20, 'x')));
    h.Generate(h.WorkPath("again.gif"));
    EXPECT_EQ(FileContent(h.WorkPath("again.gif")), FileContent(h.WorkPath("快.gif")));

    // The save dialog suggests the first picture's name, shows .gif and .GIF files, and adds
    // a lower-case ".gif" to a name without one.
    h.Generate(h.WorkPath("mygif"));
    EXPECT_EQ(h.lastRequest.fileName, "red.gif");
    EXPECT_EQ(FileDialog::ToQtFilter(h.lastRequest.filter), "GIF 文件(*.gif) (*.[gG][iI][fF])");
    EXPECT_EQ(FileContent(h.WorkPath("mygif.gif")), FileContent(h.WorkPath("快.gif")));
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
    EXPECT_EQ(FirstLines(h.messages), QStringList{kDone}) << "the tick must not ask for pictures";
    EXPECT_NE(dlg.m_hPreviewBitmap, nullptr);
}

// Each failure names its cause, restores the state, keeps the earlier file whole and leaves
// no partial or temporary file behind (the other kinds of target are the tool's output rows).
TEST(GenerateGif, FailuresKeepTheEarlierFileAndLeaveNothingElse) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    for (int slot = 1; slot <= 3; ++slot) {
        h.Choose(slot, TestData(QStringLiteral("photo530/p%1.png").arg(slot)));
    }
    QDir().mkpath(h.WorkPath("out"));
    const QString out = h.WorkPath("out/anim.gif");
    ASSERT_TRUE(WriteAll(out, "earlier file"));

    // A staged copy gone, or not a regular file, before the run: read without waiting on a
    // FIFO or reading /dev/zero for ever; nothing is written.
    const QString staged = dlg.Resolve(dlg.m_strSlotBmpPath[1]);
    const std::pair<const char*, std::function<bool()>> replacements[] = {
        {"deleted", [] { return true; }},
        {"a FIFO", [&] { return mkfifo(QFile::encodeName(staged).constData(), 0600) == 0; }},
        {"a link to /dev/zero", [&] { return QFile::link("/dev/zero", staged); }},
    };
    for (const auto& [kind, replace] : replacements) {
        SCOPED_TRACE(kind);
        h.messages.clear();
        QFile::remove(staged);
        ASSERT_TRUE(replace());
        h.Generate(out);
        EXPECT_EQ(h.messages, QStringList{QStringLiteral("图像2的暂存文件无法读取，未生成动画。")});
        ExpectStateRestored(dlg, 3);
        EXPECT_EQ(FileContent(out), "earlier file");
    }
    QFile::remove(staged);

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
}

// The window menu's keep-proportions and high-quality items: off at first; the first puts the
// pictures on black (the thumbnails here; that each choice's GIF is the tool's is checked by the
// dialog's command-line rows); on, they change the GIF, and off again, the GIF is as before. The
// choices, those of the choices dialog too, are there again at the next start.
TEST(GenerateGif, WindowMenuChoicesKeepProportionsAndRaiseQuality) {
    for (int start = 0; start < 2; ++start) {
        DialogHarness h(/*freshChoices=*/start == 0);
        CTavrelDlg& dlg = h.Dlg();
        QAction* keep = dlg.GetSystemMenu()->FindItem(IDM_KEEP_ASPECT);
        QAction* high = dlg.GetSystemMenu()->FindItem(IDM_HIGH_QUALITY);
        ASSERT_TRUE(keep && high);
        if (start == 1) {
            EXPECT_TRUE(keep->isChecked() && high->isChecked());
            EXPECT_EQ(dlg.CurrentChoices(), (WindowChoices{true, true, 2'000'000, true}));
            EXPECT_EQ(dlg.GifRunSettings().maxBytes, 2'000'000u);
            EXPECT_EQ(dlg.GifRunSettings().fadeCentiseconds, 50);
            continue;
        }
        EXPECT_FALSE(keep->isChecked() || high->isChecked() || dlg.m_bKeepAspect ||
                     dlg.m_bHighQuality);

        h.Choose(1, h.MakePicture("wide.png", Qt::red, {160, 90}));  // 16:9
        h.Choose(2, TestData("photo530/p3.png"));
        h.Generate(h.WorkPath("stretch.gif"));

        keep->trigger();
        EXPECT_TRUE(keep->isChecked() && dlg.m_bKeepAspect);
        const QImage thumb = DibToImage(*dlg.m_hSlotThumb[0]);
        EXPECT_EQ(thumb.pixelColor(thumb.width() / 2, 0), QColor(Qt::black));
        EXPECT_TRUE(CloseTo(CentreOf(thumb), Qt::red));

        high->trigger();
        EXPECT_TRUE(dlg.m_bHighQuality);
        h.Generate(h.WorkPath("both.gif"));
        EXPECT_FALSE(FileContent(h.WorkPath("both.gif")) == FileContent(h.WorkPath("stretch.gif")));
        keep->trigger();
        high->trigger();
        EXPECT_FALSE(dlg.m_bKeepAspect || dlg.m_bHighQuality);
        h.Generate(h.WorkPath("off.gif"));
        EXPECT_TRUE(FileContent(h.WorkPath("off.gif")) == FileContent(h.WorkPath("stretch.gif")));
        EXPECT_EQ(FirstLines(h.messages), QStringList(3, QString(kDone)));

        // Left on at the close: the menu's two, and the size limit and crossfade of the
        // choices dialog behind the "设置…" button.
        keep->trigger();
        QTimer::singleShot(0, [] {
            auto* choices = qobject_cast<CChoicesDlg*>(QApplication::activeModalWidget());
            ASSERT_NE(choices, nullptr);
            EXPECT_TRUE(choices->m_checkKeepAspect->isChecked());
            choices->m_checkHighQuality->setChecked(true);
            choices->m_comboSizeLimit->setCurrentIndex(3);
            choices->m_checkCrossfade->setChecked(true);
            choices->accept();
        });
        dlg.SendCommand(IDC_CHOICES);
        EXPECT_TRUE(high->isChecked());
    }
}

// A slow run shows "frame n of N" over a busy dialog whose event loop goes on, and a stop
// leaves no file and says nothing.
TEST(GenerateGif, SlowRunShowsProgressAndStopsLeavingNoFile) {
    DialogHarness h;
    h.Fill({1, 2, 3});
    GifJob::SetPictureHook([](GifJob& job, int n) {
        QElapsedTimer clock;
        clock.start();
        while (n == 2 && !job.StopAsked() && clock.elapsed() < 10000) {
            QThread::msleep(5);
        }
    });
    QString label;
    bool busy = false;
    QTimer user;  // waits for the progress dialog, then presses its stop button
    QObject::connect(&user, &QTimer::timeout, [&] {
        auto* progress = h.Dlg().findChild<QProgressDialog*>();
        if (progress != nullptr && progress->isVisible() && label.isEmpty()) {
            label = progress->labelText();
            busy = h.Dlg().cursor().shape() == Qt::BusyCursor;
            progress->findChild<QPushButton*>()->click();
        }
    });
    user.start(20);
    h.Generate(h.WorkPath("slow.gif"));
    GifJob::SetPictureHook({});

    EXPECT_EQ(label, QString::fromUtf8("第 1 帧，共 3 帧"));
    EXPECT_TRUE(busy);
    EXPECT_EQ(h.Dlg().cursor().shape(), Qt::ArrowCursor);
    EXPECT_TRUE(h.messages.isEmpty()) << h.messages.join('\n').toStdString();
    EXPECT_FALSE(Entries(h.WorkPath(".")).contains("slow.gif"));
    EXPECT_TRUE(Entries(h.WorkPath(".")).filter("tavrel").isEmpty()) << "no temporary file";
}

}  // namespace
}  // namespace tavrel::test
