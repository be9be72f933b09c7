// The GIF generation command, checked by decoding its files with giflib.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QLineEdit>

#include "support/dialog_harness.h"
#include "support/gif_reader.h"

namespace tavrel::test {
namespace {

const QString kDone = QStringLiteral("动画已制作成功！谢谢！");
const QString kCannotWrite = QStringLiteral("动画文件无法写入，未生成动画：");

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

void ExpectStateRestored(CTavrelDlg& dlg, int filled) {
    EXPECT_EQ(dlg.m_nSelectedCount, filled);
    EXPECT_FALSE(dlg.m_bHeaderWritten);
}

TEST(GenerateGif, SaveDialogSettingsAndCancel) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Fill({1});
    dlg.m_strGifPath = dlg.m_strOutputPath = "before.gif";
    dlg.m_nFrameDelay = 1234;
    dlg.UpdateData(false);

    h.Generate(std::nullopt);

    ASSERT_EQ(h.fileDialogs.size(), 2u);
    EXPECT_FALSE(h.fileDialogs[1].open);
    EXPECT_EQ(h.fileDialogs[1].flags, 6u);  // hide read-only, prompt before overwriting
    EXPECT_EQ(h.fileDialogs[1].initialFolder, dlg.WorkDir() + "/GifFiles/");
    EXPECT_EQ(dlg.m_strGifPath, "before.gif");
    EXPECT_EQ(dlg.m_strOutputPath, "before.gif");
    EXPECT_EQ(dlg.m_nFrameDelay, 1234);
    EXPECT_TRUE(h.messages.isEmpty());
}

// Relative paths (the output's and the staged copies') resolve against the start folder,
// not the process's current folder.
TEST(GenerateGif, OneLoopingFramePerFilledSlotInSlotOrderWithTheSpeedsDelay) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Choose(5, h.MakePicture("in/blue.png", Qt::blue, 300, 100));
    h.Choose(3, TestData("photo530/p3.png"));
    h.Choose(2, h.MakePicture("in/red.bmp", Qt::red, 40, 90));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QDir::tempPath()));

    for (const auto& [speed, delay] : {std::pair{"慢", 120}, {"中", 80}, {"快", 40}}) {
        const QString name = QString::fromUtf8(speed) + ".gif";
        SCOPED_TRACE(name.toStdString());
        h.SelectSpeed(QString::fromUtf8(speed));
        h.messages.clear();
        h.Generate(name);
        EXPECT_EQ(h.messages, QStringList{kDone});
        EXPECT_EQ(dlg.m_strGifPath, name);
        EXPECT_EQ(qobject_cast<QLineEdit*>(dlg.GetDlgItem(IDC_GIF_PATH))->text(), name);
        ExpectStateRestored(dlg, 3);

        const DecodedGif gif = DecodeGif(h.WorkPath(name));
        ASSERT_EQ(gif.error, "");
        EXPECT_EQ(gif.screen, QSize(530, 530));
        EXPECT_FALSE(gif.hasGlobalColourTable);
        EXPECT_TRUE(gif.loopsForever);
        EXPECT_TRUE(gif.endsWithTrailer);
        ASSERT_EQ(gif.frames.size(), 3u);
        for (const DecodedFrame& frame : gif.frames) {
            EXPECT_EQ(frame.area, QRect(0, 0, 530, 530));
            EXPECT_TRUE(frame.hasLocalColourTable);
            EXPECT_EQ(frame.delay, delay);
            EXPECT_EQ(frame.transparentIndex, -1);
        }
        EXPECT_TRUE(CloseTo(gif.frames[0].centre, Qt::red));
        EXPECT_TRUE(CloseTo(gif.frames[2].centre, Qt::blue));
    }

    // A second run writes the same bytes, over a longer file.
    WriteFile(h.WorkPath("again.gif"), QByteArray(4 << 20, 'x'));
    h.Generate("again.gif");
    QDir::setCurrent(before);
    EXPECT_EQ(FileContent(h.WorkPath("again.gif")), FileContent(h.WorkPath("快.gif")));
}

TEST(GenerateGif, CountOfPicturesStaysDuringTheSuccessMessage) {
    DialogHarness h;
    TestDialog& dlg = h.Dlg();
    h.Fill({1, 2});
    dlg.OnPreview();  // a show is running: slot 1 on screen, slot 2 to come

    int countDuringMessage = -1;
    h.duringMessage = [&](const QString& text) {
        if (text == kDone) {
            countDuringMessage = dlg.m_nSelectedCount;
            dlg.OnTimer(kPreviewTimerId);  // the show's tick falls due meanwhile
        }
    };
    h.Generate(h.WorkPath("out.gif"));

    EXPECT_EQ(countDuringMessage, 2);
    EXPECT_EQ(h.messages, QStringList{kDone}) << "the tick must not ask for pictures";
    EXPECT_NE(dlg.m_hPreviewBitmap, nullptr);
}

// ---- failures never leave a broken file ----

TEST(GenerateGif, MissingStagedCopyWritesNothingAndNamesTheSlot) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Fill({1, 2, 3});
    ASSERT_TRUE(QFile::remove(dlg.Resolve(dlg.m_strSlotBmpPath[1])));
    QDir().mkpath(h.WorkPath("out"));
    const QString out = h.WorkPath("out/anim.gif");
    WriteFile(out, "earlier file");

    h.Generate(out);

    EXPECT_EQ(h.messages, QStringList{QStringLiteral("图像2的暂存文件无法读取，未生成动画。")});
    EXPECT_EQ(FileContent(out), "earlier file");
    EXPECT_EQ(Entries(h.WorkPath("out")), QStringList{"anim.gif"});
    ExpectStateRestored(dlg, 3);

    // With the copy back, the next run writes a whole file.
    h.Fill({2});
    h.Generate(out);
    EXPECT_EQ(h.messages.last(), kDone);
    EXPECT_EQ(DecodeGif(out).frames.size(), 3u);
}

TEST(GenerateGif, UnwritableTargetSaysWhyAndKeepsThePath) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Fill({1});
    WriteFile(h.WorkPath("plainfile"), "not a folder");
    const QString aFolder = h.WorkPath("folder.gif");
    QDir().mkpath(aFolder);

    for (const QString& out : {h.WorkPath("plainfile/out.gif"), aFolder}) {
        h.messages.clear();
        h.Generate(out);
        ASSERT_EQ(h.messages.size(), 1);
        EXPECT_TRUE(h.messages[0].startsWith(kCannotWrite) &&
                    h.messages[0].size() > kCannotWrite.size())
            << h.messages[0].toStdString();
        EXPECT_EQ(dlg.m_strGifPath, out);
        ExpectStateRestored(dlg, 1);
    }
    EXPECT_EQ(FileContent(h.WorkPath("plainfile")), "not a folder");
    EXPECT_EQ(Entries(aFolder), QStringList());
}

// A write that fails part-way (the file size limit is hit): the earlier file stays whole and
// no partial file is left. Run in a child process so the limit binds only there.
TEST(GenerateGif, WriteFailingPartWayKeepsTheEarlierFile) {
    DialogHarness h;
    for (int slot = 1; slot <= 3; ++slot) {
        h.Choose(slot, TestData(QStringLiteral("photo530/p%1.png").arg(slot)));
    }
    QDir().mkpath(h.WorkPath("out"));
    const QString out = h.WorkPath("out/anim.gif");
    WriteFile(out, "earlier file");

    const pid_t child = fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{100000, 100000};
        setrlimit(RLIMIT_FSIZE, &limit);
        h.Generate(out);
        const bool reported = h.messages.size() == 1 && h.messages[0].startsWith(kCannotWrite);
        const bool restored = h.Dlg().m_nSelectedCount == 3 && !h.Dlg().m_bHeaderWritten;
        _exit(reported && restored ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0)
        << "no write failure message, or state not restored";
    EXPECT_EQ(FileContent(out), "earlier file");
    EXPECT_EQ(Entries(h.WorkPath("out")), QStringList{"anim.gif"});
}

}  // namespace
}  // namespace tavrel::test
