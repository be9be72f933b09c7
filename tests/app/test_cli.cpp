// tavrel-gif as a user runs it: usage, the GIF it makes (the very file the dialog makes),
// progress on a terminal, and what it leaves behind when a picture or the output fails.
#include <gtest/gtest.h>

#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <QThread>

#include "support/dialog_harness.h"
#include "support/gif_reader.h"

namespace tavrel::test {
namespace {

struct ToolRun {
    int exitCode = -1;  // -1: it crashed or hung
    QString out, err;
};

// Runs tavrel-gif through /bin/sh after the shell commands in prefix (an export, a ulimit).
ToolRun RunTool(const QStringList& arguments, const QString& prefix = {}) {
    QProcess process;
    process.start("/bin/sh",
                  QStringList{"-c", prefix + " exec \"$@\"", "sh", TAVREL_GIF_EXE} + arguments);
    ToolRun run;
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit) {
        run = {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(process.readAllStandardError())};
    }
    return run;
}

// A failure is one line on stderr, prefixed with the name and naming what went wrong.
void ExpectOneErrorLine(const ToolRun& run, int exitCode, const QString& mentions) {
    EXPECT_EQ(run.exitCode, exitCode) << mentions.toStdString();
    EXPECT_TRUE(run.err.startsWith("tavrel-gif: ") && run.err.count('\n') == 1 &&
                run.err.endsWith('\n') && run.err.contains(mentions))
        << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
}

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

TEST(TavrelGif, HelpVersionAndCommandLineMistakes) {
    const ToolRun help = RunTool({"--help"});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith("Usage: tavrel-gif ") && help.err.isEmpty());
    const ToolRun version = RunTool({"--version"});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, "tavrel-gif 1.0.0\n");

    QTemporaryDir dir;
    const QString out = dir.filePath("out.gif");
    const QString picture = TestData("photo530/p1.png");
    ExpectOneErrorLine(RunTool({}), 2, "no pictures");
    ExpectOneErrorLine(RunTool({picture}), 2, "-o");
    ExpectOneErrorLine(RunTool({"--bogus", "-o", out, picture}), 2, "--bogus");
    ExpectOneErrorLine(RunTool({"--speed", "warp", "-o", out, picture}), 2, "warp");
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

// The frames themselves are checked on the dialog's file, which this tool matches below.
TEST(TavrelGif, WritesOneFramePerPictureAtTheGivenDelay) {
    QTemporaryDir dir;
    const QString out = dir.filePath("动画 out.gif");
    const ToolRun run = RunTool({"--delay", "7", "-o", out, TestData("photo1080/p2.jpg"),
                                 TestData("edge/测试 图片.png"), TestData("edge/palette-4bit.bmp"),
                                 TestData("edge/1x1.png")});
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // Four frames show progress on a terminal only; stderr here is a pipe.
    EXPECT_TRUE(run.err.isEmpty() && run.out.isEmpty()) << run.err.toStdString();
    const DecodedGif gif = DecodeGif(out);
    ASSERT_EQ(gif.error, "");
    EXPECT_TRUE(gif.loopsForever && gif.endsWithTrailer);
    ASSERT_EQ(gif.frames.size(), 4u);
    for (const DecodedFrame& frame : gif.frames) {
        EXPECT_EQ(frame.area, QRect(0, 0, 530, 530));
        EXPECT_EQ(frame.delay, 7);
    }
}

// The real dialog is driven (slots filled through its open dialog, speed chosen, generate
// pressed) and its GIF compared byte for byte with what tavrel-gif writes.
TEST(TavrelGif, WritesTheSameFileAsTheDialogForTheSamePicturesAndSpeed) {
    const struct {
        const char* dialogSpeed;
        QString cliSpeed;
        QStringList pictures;
    } runs[] = {
        // Photos through JPEG decoding, resampling and the octree, in slot order.
        {"中",
         "medium",
         {TestData("photo1080/p1.jpg"), TestData("photo1080/p2.jpg"), TestData("photo530/p3.jpg"),
          TestData("photo530/p4.png"), TestData("photo530/p5.png")}},
        // Indexed bitmaps keep their tables; an upright EXIF photo; a name with Chinese.
        {"慢",
         "slow",
         {TestData("edge/palette-8bit.bmp"), TestData("edge/exif-orient6.jpg"),
          TestData("edge/bilevel-1bit.png"), TestData("edge/测试 图片.png")}},
        {"快", "fast", {TestData("edge/alpha.png"), TestData("edge/rgb555-16bit.bmp")}},
    };
    for (const auto& run : runs) {
        SCOPED_TRACE(run.cliSpeed.toStdString());
        QTemporaryDir dir;
        {
            DialogHarness h;
            for (int i = 0; i < run.pictures.size(); ++i) {
                h.Choose(i + 1, run.pictures[i]);
            }
            h.SelectSpeed(QString::fromUtf8(run.dialogSpeed));
            h.Generate(dir.filePath("dialog.gif"));
            EXPECT_EQ(h.messages, QStringList{"动画已制作成功！谢谢！"});
        }
        const ToolRun cli = RunTool(
            QStringList{"--speed", run.cliSpeed, "-o", dir.filePath("cli.gif")} + run.pictures);
        ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
        const QByteArray fromDialog = FileContent(dir.filePath("dialog.gif"));
        ASSERT_FALSE(fromDialog.isEmpty());
        EXPECT_TRUE(FileContent(dir.filePath("cli.gif")) == fromDialog) << "the two files differ";
    }
}

TEST(TavrelGif, ShowsFrameProgressOnATerminal) {
    QTemporaryDir dir;
    const QString picture = TestData("edge/1x1.png");
    QProcess script;  // util-linux script gives the tool a terminal
    script.start("script", {"-qec",
                            QStringLiteral("'%1' -o '%2' %3 %3 %3 %3")
                                .arg(TAVREL_GIF_EXE, dir.filePath("t.gif"), picture),
                            "/dev/null"});
    ASSERT_TRUE(script.waitForFinished(60000));
    EXPECT_EQ(script.exitCode(), 0);
    EXPECT_TRUE(
        script.readAll().contains("\rframe 1 of 4\rframe 2 of 4\rframe 3 of 4\rframe 4 of 4\r\n"));
}

TEST(TavrelGif, APictureThatCannotBeReadWritesNothingAndKeepsAnEarlierFile) {
    QTemporaryDir dir;
    const QString good = TestData("photo530/p1.png");
    const QString out = dir.filePath("out.gif");
    const QByteArray earlier("an earlier file the user wants to keep");
    for (const QString& bad :
         {TestData("edge/x.jpg"), TestData("edge/y.png"), TestData("edge/bomb-60000x60000.png"),
          TestData("edge/none.png"), TestData("edge"), QStringLiteral("/dev/zero")}) {
        QFile::remove(out);
        // The bad picture comes last, after frames that were already made.
        ExpectOneErrorLine(RunTool({"-o", out, good, good, bad}), 1, bad);
        EXPECT_FALSE(QFile::exists(out)) << bad.toStdString();

        WriteFile(out, earlier);
        EXPECT_EQ(RunTool({"-o", out, bad, good}).exitCode, 1);
        EXPECT_EQ(FileContent(out), earlier) << bad.toStdString();
        EXPECT_EQ(Entries(dir.path()), QStringList{"out.gif"});
    }
}

TEST(TavrelGif, AnOutputThatCannotBeWrittenFailsAndKeepsTheEarlierFile) {
    QTemporaryDir dir;
    const QString picture = TestData("edge/1x1.png");
    const QString nowhere = dir.filePath("no-such-folder/out.gif");
    ExpectOneErrorLine(RunTool({"-o", nowhere, picture}), 1, nowhere);
    ExpectOneErrorLine(RunTool({"-o", dir.path(), picture}), 1, dir.path());

    // A file size limit makes the writes fail part-way, whoever runs the test (root too);
    // its signal is ignored so that the write reports the error instead.
    const QString out = dir.filePath("kept.gif");
    WriteFile(out, QByteArray(100, 'k'));
    QStringList arguments{"-o", out};
    for (int i = 0; i < 20; ++i) {
        arguments.append(picture);
    }
    ExpectOneErrorLine(RunTool(arguments, "trap '' XFSZ; ulimit -f 4;"), 1, out);
    EXPECT_EQ(FileContent(out), QByteArray(100, 'k'));
    EXPECT_EQ(Entries(dir.path()), QStringList{"kept.gif"});
}

TEST(TavrelGif, StagedCopiesGoToAPrivateTemporaryFolderThatIsRemoved) {
    QTemporaryDir tmp, dir;
    const QString picture = TestData("photo530/p2.png");
    const QString env = "export TMPDIR='" + tmp.path() + "';";
    EXPECT_EQ(RunTool({"-o", dir.filePath("a.gif"), picture, picture}, env).exitCode, 0);
    EXPECT_EQ(RunTool({"-o", dir.filePath("b.gif"), picture, TestData("edge/x.jpg")}, env).exitCode,
              1);
    EXPECT_TRUE(Entries(tmp.path()).isEmpty());
}

TEST(TavrelGif, StoppedBySignalItCleansUpAndWritesNothing) {
    QTemporaryDir tmp, dir;
    QStringList arguments{"-o", dir.filePath("stopped.gif")};
    for (int i = 0; i < 40; ++i) {
        arguments.append(TestData(QStringLiteral("photo1080/p%1.jpg").arg(i % 5 + 1)));
    }
    QProcess tool;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TMPDIR", tmp.path());
    tool.setProcessEnvironment(env);
    tool.start(TAVREL_GIF_EXE, arguments);
    // The staging folder appears once the run has begun.
    for (int i = 0; i < 500 && Entries(tmp.path()).isEmpty(); ++i) {
        QThread::msleep(10);
    }
    tool.terminate();
    ASSERT_TRUE(tool.waitForFinished(60000));
    EXPECT_EQ(tool.exitStatus(), QProcess::NormalExit);
    EXPECT_EQ(tool.exitCode(), 130);
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
    EXPECT_TRUE(Entries(tmp.path()).isEmpty());
}

}  // namespace
}  // namespace tavrel::test
