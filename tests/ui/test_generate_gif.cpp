// The GIF generation command, checked by decoding its files with giflib.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLineEdit>

#include "support/dialog_harness.h"
#include "support/gif_reader.h"

namespace tavrel::test {
namespace {

const QString kDone = QStringLiteral("动画已制作成功！谢谢！");
const QString kCannotWrite = QStringLiteral("动画文件无法写入，未生成动画：");

void WriteFile(const QString& path, const QByteArray& bytes) {
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly));
    file.write(bytes);
}

QByteArray FileContent(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

// Names in the folder other than the expected ones: leftovers of an unfinished write.
QStringList OtherEntries(const QString& folder, const QStringList& expected) {
    QStringList entries = QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot);
    for (const QString& name : expected) {
        entries.removeAll(name);
    }
    return entries;
}

void ExpectStateRestored(CTavrelDlg& dlg, int filled) {
    EXPECT_EQ(dlg.m_nSelectedCount, filled);
    EXPECT_FALSE(dlg.m_bHeaderWritten);
}

TEST(GenerateGif, WithNoPictureOnlySaysSo) {
    DialogHarness h;
    h.Dlg().SendCommand(IDC_GENERATE);
    EXPECT_EQ(h.messages,
              QStringList{QStringLiteral("生成动画之前，请先选择至少一幅图像！谢谢！")});
    EXPECT_TRUE(h.FileDialogs().empty());
}

TEST(GenerateGif, SaveDialogSettingsAndCancel) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Choose(1, h.MakePicture("in/red.png", Qt::red));
    dlg.m_strGifPath = "before.gif";
    dlg.m_strOutputPath = "before.gif";
    dlg.m_nFrameDelay = 1234;
    dlg.UpdateData(false);

    h.Generate(std::nullopt);

    ASSERT_EQ(h.FileDialogs().size(), 2u);
    const FileDialogRequest& save = h.FileDialogs()[1];
    EXPECT_FALSE(save.open);
    EXPECT_EQ(save.flags, 6u);
    EXPECT_EQ(save.initialFolder, dlg.WorkDir() + "/GifFiles/");
    EXPECT_EQ(dlg.m_strGifPath, "before.gif");
    EXPECT_EQ(dlg.m_strOutputPath, "before.gif");
    EXPECT_EQ(dlg.m_nFrameDelay, 1234);
    EXPECT_TRUE(h.messages.isEmpty());
}

TEST(GenerateGif, OneFramePerFilledSlotInSlotOrder) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Choose(5, h.MakePicture("in/blue.png", Qt::blue, 300, 100));
    h.Choose(2, h.MakePicture("in/red.bmp", Qt::red, 40, 90));
    const QString out = h.WorkPath("out.gif");

    h.Generate(out);

    EXPECT_EQ(h.messages, QStringList{kDone});
    EXPECT_EQ(dlg.m_strOutputPath, out);
    EXPECT_EQ(dlg.m_strGifPath, out);
    EXPECT_EQ(qobject_cast<QLineEdit*>(dlg.GetDlgItem(IDC_GIF_PATH))->text(), out);
    ExpectStateRestored(dlg, 2);

    const DecodedGif gif = DecodeGif(out);
    ASSERT_TRUE(gif.ok) << gif.error;
    EXPECT_EQ(gif.screenWidth, 530);
    EXPECT_EQ(gif.screenHeight, 530);
    EXPECT_FALSE(gif.hasGlobalColourTable);
    EXPECT_TRUE(gif.loopsForever);
    EXPECT_TRUE(gif.endsWithTrailer);
    ASSERT_EQ(gif.frames.size(), 2u);
    const QColor expected[] = {Qt::red, Qt::blue};
    for (std::size_t i = 0; i < gif.frames.size(); ++i) {
        const DecodedFrame& frame = gif.frames[i];
        EXPECT_EQ(frame.left, 0);
        EXPECT_EQ(frame.top, 0);
        EXPECT_EQ(frame.width, 530);
        EXPECT_EQ(frame.height, 530);
        EXPECT_TRUE(frame.hasLocalColourTable);
        ASSERT_TRUE(frame.hasControlExtension);
        EXPECT_EQ(frame.delay, 80);
        EXPECT_EQ(frame.transparentIndex, -1);
        EXPECT_TRUE(CloseTo(frame.centre, expected[i])) << "frame " << i;
    }
}

TEST(GenerateGif, DelayFollowsTheSpeed) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Choose(3, h.MakePicture("in/red.png", Qt::red));
    const std::pair<QString, int> speeds[] = {{"慢", 120}, {"中", 80}, {"快", 40}};
    for (const auto& [speed, delay] : speeds) {
        h.SelectSpeed(speed);
        const QString out = h.WorkPath(speed + ".gif");
        h.Generate(out);
        const DecodedGif gif = DecodeGif(out);
        ASSERT_TRUE(gif.ok) << gif.error;
        ASSERT_EQ(gif.frames.size(), 1u);
        EXPECT_EQ(gif.frames[0].delay, delay) << speed.toStdString();
        EXPECT_EQ(dlg.m_nFrameDelay, delay);
    }
}

TEST(GenerateGif, RunsAgainToAnIdenticalFileAndReplacesALongerOne) {
    DialogHarness h;
    for (int slot = 1; slot <= 5; ++slot) {
        h.Choose(slot, TestData(QStringLiteral("photo530/p%1.png").arg(slot)));
    }
    const QString first = h.WorkPath("first.gif");
    const QString second = h.WorkPath("second.gif");
    WriteFile(second, QByteArray(4 << 20, 'x'));

    h.Generate(first);
    h.Generate(second);

    EXPECT_EQ(h.messages, (QStringList{kDone, kDone}));
    ExpectStateRestored(h.Dlg(), 5);
    const QByteArray bytes = FileContent(first);
    EXPECT_EQ(FileContent(second), bytes);
    const DecodedGif gif = DecodeGif(first);
    ASSERT_TRUE(gif.ok) << gif.error;
    EXPECT_EQ(gif.frames.size(), 5u);
    EXPECT_TRUE(gif.endsWithTrailer);
}

TEST(GenerateGif, StagedPathsResolveAgainstTheStartFolder) {
    DialogHarness h;
    h.Choose(1, h.MakePicture("in/red.png", Qt::red));
    const QString before = QDir::currentPath();
    ASSERT_TRUE(QDir::setCurrent(QDir::tempPath()));
    h.Generate("relative.gif");
    QDir::setCurrent(before);

    EXPECT_EQ(h.messages, QStringList{kDone});
    EXPECT_TRUE(DecodeGif(h.WorkPath("relative.gif")).ok);
}

TEST(GenerateGif, CountOfPicturesStaysDuringTheSuccessMessage) {
    DialogHarness h;
    TestDialog& dlg = h.Dlg();
    h.Choose(1, h.MakePicture("in/red.png", Qt::red));
    h.Choose(2, h.MakePicture("in/green.png", Qt::green));
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
    for (int slot = 1; slot <= 3; ++slot) {
        h.Choose(slot, h.MakePicture(QStringLiteral("in/%1.png").arg(slot), Qt::red));
    }
    ASSERT_TRUE(QFile::remove(dlg.Resolve(dlg.m_strSlotBmpPath[1])));
    QDir().mkpath(h.WorkPath("out"));
    const QString out = h.WorkPath("out/anim.gif");
    WriteFile(out, "earlier file");

    h.Generate(out);

    EXPECT_EQ(h.messages, QStringList{QStringLiteral("图像2的暂存文件无法读取，未生成动画。")});
    EXPECT_EQ(FileContent(out), "earlier file");
    EXPECT_EQ(OtherEntries(h.WorkPath("out"), {"anim.gif"}), QStringList());
    ExpectStateRestored(dlg, 3);

    // With the copy back, the next run writes a whole file.
    h.Choose(2, h.MakePicture("in/2.png", Qt::red));
    h.messages.clear();
    h.Generate(out);
    EXPECT_EQ(h.messages, QStringList{kDone});
    const DecodedGif gif = DecodeGif(out);
    ASSERT_TRUE(gif.ok) << gif.error;
    EXPECT_EQ(gif.frames.size(), 3u);
}

TEST(GenerateGif, UnwritableTargetSaysWhyAndKeepsThePath) {
    DialogHarness h;
    CTavrelDlg& dlg = h.Dlg();
    h.Choose(1, h.MakePicture("in/red.png", Qt::red));
    WriteFile(h.WorkPath("plainfile"), "not a folder");
    QDir().mkpath(h.WorkPath("folder.gif"));
    const QString underAFile = h.WorkPath("plainfile/out.gif");
    const QString aFolder = h.WorkPath("folder.gif");

    for (const QString& out : {underAFile, aFolder}) {
        h.messages.clear();
        h.Generate(out);
        ASSERT_EQ(h.messages.size(), 1);
        EXPECT_TRUE(h.messages[0].startsWith(kCannotWrite)) << h.messages[0].toStdString();
        EXPECT_GT(h.messages[0].size(), kCannotWrite.size()) << "the reason is missing";
        EXPECT_EQ(dlg.m_strGifPath, out);
        ExpectStateRestored(dlg, 1);
    }
    EXPECT_EQ(FileContent(h.WorkPath("plainfile")), "not a folder");
    EXPECT_TRUE(QFileInfo(aFolder).isDir());
    EXPECT_EQ(OtherEntries(aFolder, {}), QStringList());
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
        h.messages.clear();
        h.Generate(out);
        const bool reported = h.messages.size() == 1 && h.messages[0].startsWith(kCannotWrite);
        const bool restored = h.Dlg().m_nSelectedCount == 3 && !h.Dlg().m_bHeaderWritten;
        _exit(reported && restored ? 0 : 1);
    }
    int status = 0;
    ASSERT_EQ(waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 0) << "no write failure message, or state not restored";
    EXPECT_EQ(FileContent(out), "earlier file");
    EXPECT_EQ(OtherEntries(h.WorkPath("out"), {"anim.gif"}), QStringList());
}

}  // namespace
}  // namespace tavrel::test
