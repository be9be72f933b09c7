// tavrel-gif as a user runs it: usage, the GIF it makes, and what it leaves behind when a
// picture or the output fails.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QTemporaryDir>

#include "cli_run.h"

using namespace tavrel::cli_test;

namespace {

// A failed run says what went wrong in exactly one line on stderr, prefixed with the name.
void ExpectOneErrorLine(const ToolRun& run, const QString& mentions) {
    EXPECT_FALSE(run.crashed);
    EXPECT_TRUE(run.err.startsWith(QStringLiteral("tavrel-gif: "))) << run.err.toStdString();
    EXPECT_TRUE(run.err.endsWith(QLatin1Char('\n')));
    EXPECT_EQ(run.err.count(QLatin1Char('\n')), 1) << run.err.toStdString();
    EXPECT_TRUE(run.err.contains(mentions)) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());
}

QStringList EntriesOf(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden);
}

TEST(TavrelGif, HelpAndVersionGoToStdoutAndSucceed) {
    const ToolRun help = RunTool({QStringLiteral("--help")});
    EXPECT_EQ(help.exitCode, 0);
    EXPECT_TRUE(help.out.startsWith(QStringLiteral("Usage: tavrel-gif ")));
    EXPECT_TRUE(help.err.isEmpty());

    const ToolRun version = RunTool({QStringLiteral("--version")});
    EXPECT_EQ(version.exitCode, 0);
    EXPECT_EQ(version.out, QStringLiteral("tavrel-gif 1.0.0\n"));
    EXPECT_TRUE(version.err.isEmpty());
}

TEST(TavrelGif, CommandLineMistakesExitWithTwoAndWriteNothing) {
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.gif"));
    const QString picture = TestData(QStringLiteral("photo530/p1.png"));
    const QList<std::pair<QStringList, QString>> cases = {
        {{}, QStringLiteral("no pictures")},
        {{QStringLiteral("-o"), out}, QStringLiteral("no pictures")},
        {{picture}, QStringLiteral("-o")},
        {{QStringLiteral("--bogus"), QStringLiteral("-o"), out, picture},
         QStringLiteral("--bogus")},
        {{QStringLiteral("--speed"), QStringLiteral("warp"), QStringLiteral("-o"), out, picture},
         QStringLiteral("warp")},
        {{QStringLiteral("--delay"), QStringLiteral("1"), QStringLiteral("-o"), out, picture},
         QStringLiteral("--delay")},
    };
    for (const auto& [arguments, mentions] : cases) {
        const ToolRun run = RunTool(arguments);
        EXPECT_EQ(run.exitCode, 2) << mentions.toStdString();
        ExpectOneErrorLine(run, mentions);
    }
    EXPECT_TRUE(EntriesOf(dir.path()).isEmpty());
}

TEST(TavrelGif, WritesALoopingGifWithOneFramePerPictureInTheOrderGiven) {
    QTemporaryDir dir;
    const QStringList pictures = {TestData(QStringLiteral("photo530/p3.jpg")),
                                  TestData(QStringLiteral("edge/测试 图片.png")),
                                  TestData(QStringLiteral("edge/palette-4bit.bmp")),
                                  TestData(QStringLiteral("photo1080/p2.jpg"))};
    const QString out = dir.filePath(QStringLiteral("动画 out.gif"));
    const ToolRun run = RunTool(
        QStringList{QStringLiteral("--speed"), QStringLiteral("slow"), QStringLiteral("-o"), out} +
        pictures);
    ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
    // Four frames would show progress on a terminal; stderr here is a pipe.
    EXPECT_TRUE(run.err.isEmpty()) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty());

    const GifFile gif = DecodeGif(out);
    ASSERT_TRUE(gif.ok);
    EXPECT_EQ(gif.screenWidth, 530);
    EXPECT_EQ(gif.screenHeight, 530);
    EXPECT_TRUE(gif.loops);
    ASSERT_EQ(gif.frames.size(), 4u);

    // Each frame is the frame that picture makes on its own, so the order is the one given.
    for (int i = 0; i < pictures.size(); ++i) {
        const QString single = dir.filePath(QStringLiteral("single%1.gif").arg(i));
        ASSERT_EQ(RunTool({QStringLiteral("-o"), single, pictures[i]}).exitCode, 0);
        const GifFile alone = DecodeGif(single);
        ASSERT_EQ(alone.frames.size(), 1u);
        const GifFrame& frame = gif.frames[static_cast<std::size_t>(i)];
        EXPECT_EQ(frame.width, 530);
        EXPECT_EQ(frame.height, 530);
        EXPECT_EQ(frame.delay, 120);
        EXPECT_FALSE(frame.transparent);
        EXPECT_EQ(frame.colours, alone.frames[0].colours) << "frame " << i;
        EXPECT_EQ(frame.indices, alone.frames[0].indices) << "frame " << i;
        EXPECT_EQ(alone.frames[0].delay, 80);  // medium by default
    }
}

TEST(TavrelGif, DelayOptionAndFastSpeedReachEveryFrame) {
    QTemporaryDir dir;
    const QString picture = TestData(QStringLiteral("edge/1x1.png"));
    const QString out = dir.filePath(QStringLiteral("d.gif"));
    for (const auto& [options, delay] : QList<std::pair<QStringList, int>>{
             {{QStringLiteral("--speed"), QStringLiteral("fast")}, 40},
             {{QStringLiteral("--delay"), QStringLiteral("7")}, 7},
             {{QStringLiteral("--delay=65535")}, 65535}}) {
        ASSERT_EQ(
            RunTool(options + QStringList{QStringLiteral("-o"), out, picture, picture}).exitCode,
            0);
        const GifFile gif = DecodeGif(out);
        ASSERT_EQ(gif.frames.size(), 2u);
        for (const GifFrame& frame : gif.frames)
            EXPECT_EQ(frame.delay, delay);
    }
}

TEST(TavrelGif, APictureThatCannotBeReadWritesNothingAndKeepsAnEarlierFile) {
    QTemporaryDir dir;
    const QString good = TestData(QStringLiteral("photo530/p1.png"));
    const QString out = dir.filePath(QStringLiteral("out.gif"));
    const QByteArray earlier("an earlier file the user wants to keep");
    const QStringList bad = {TestData(QStringLiteral("edge/x.jpg")),
                             TestData(QStringLiteral("edge/y.png")),
                             TestData(QStringLiteral("edge/bomb-60000x60000.png")),
                             TestData(QStringLiteral("edge/missing.png")),
                             TestData(QStringLiteral("edge")),
                             QStringLiteral("/dev/zero")};
    for (const QString& picture : bad) {
        QFile::remove(out);
        // The bad picture comes last, after frames that were already made.
        ToolRun run = RunTool({QStringLiteral("-o"), out, good, good, picture});
        EXPECT_EQ(run.exitCode, 1) << picture.toStdString();
        ExpectOneErrorLine(run, picture);
        EXPECT_FALSE(QFile::exists(out)) << picture.toStdString();

        WriteBytes(out, earlier);
        run = RunTool({QStringLiteral("-o"), out, picture, good});
        EXPECT_EQ(run.exitCode, 1);
        EXPECT_EQ(ReadBytes(out), earlier) << picture.toStdString();
        EXPECT_EQ(EntriesOf(dir.path()), QStringList{QStringLiteral("out.gif")});
    }
}

TEST(TavrelGif, AnOutputThatCannotBeWrittenFailsAndKeepsTheEarlierFile) {
    QTemporaryDir dir;
    const QString picture = TestData(QStringLiteral("edge/1x1.png"));

    const QString nowhere = dir.filePath(QStringLiteral("no-such-folder/out.gif"));
    ToolRun run = RunTool({QStringLiteral("-o"), nowhere, picture});
    EXPECT_EQ(run.exitCode, 1);
    ExpectOneErrorLine(run, nowhere);

    run = RunTool({QStringLiteral("-o"), dir.path(), picture});
    EXPECT_EQ(run.exitCode, 1);
    ExpectOneErrorLine(run, dir.path());

    // A file size limit makes the writes fail part-way, whoever runs the test (root too).
    // The signal the kernel sends for it is ignored so that the write reports the error.
    const QString out = dir.filePath(QStringLiteral("kept.gif"));
    const QByteArray earlier(100, 'k');
    WriteBytes(out, earlier);
    QStringList arguments{QStringLiteral("-o"), out};
    for (int i = 0; i < 20; ++i)
        arguments.append(picture);
    run = RunToolUnderShell(QStringLiteral("trap '' XFSZ; ulimit -f 4;"), arguments);
    EXPECT_EQ(run.exitCode, 1);
    ExpectOneErrorLine(run, out);
    EXPECT_EQ(ReadBytes(out), earlier);
    EXPECT_EQ(EntriesOf(dir.path()), QStringList{QStringLiteral("kept.gif")});
}

TEST(TavrelGif, StagedCopiesLiveInAPrivateTemporaryFolderThatIsRemoved) {
    QTemporaryDir tmp;
    QTemporaryDir dir;
    const QString out = dir.filePath(QStringLiteral("out.gif"));
    const QString picture = TestData(QStringLiteral("photo530/p2.png"));
    ToolRun run = RunTool({QStringLiteral("-o"), out, picture, picture},
                          {QStringLiteral("TMPDIR=") + tmp.path()});
    EXPECT_EQ(run.exitCode, 0);
    EXPECT_TRUE(EntriesOf(tmp.path()).isEmpty());

    run = RunTool({QStringLiteral("-o"), out, picture, TestData(QStringLiteral("edge/x.jpg"))},
                  {QStringLiteral("TMPDIR=") + tmp.path()});
    EXPECT_EQ(run.exitCode, 1);
    EXPECT_TRUE(EntriesOf(tmp.path()).isEmpty());
}

}  // namespace

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
