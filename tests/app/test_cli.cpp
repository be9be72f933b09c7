// tavrel-gif as a user runs it: usage, the GIF it makes (the very file the dialog makes), and
// what it leaves behind when a picture or the output fails.
#include <gtest/gtest.h>

#include <QAction>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>
#include <set>

#include "frames/gif_run.h"
#include "frames/size_limit.h"
#include "gif_test_support.h"
#include "platform/image_codecs.h"
#include "platform/window/window_menu.h"
#include "support/dialog_harness.h"

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

TEST(TavrelGif, UsageMistakesExitWithTwoAndWriteNothing) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out.gif");
    const QString picture = TestData("photo530/p1.png");
    const std::pair<QStringList, QString> mistakes[] = {
        {{}, "no pictures"},
        {{picture}, "-o"},
        {{"--speed", "warp", "-o", out, picture}, "warp"},
        {{"--delay", "65536", "-o", out, picture}, "'65536'"},
        {{"--size", "4097x1", "-o", out, picture}, "'4097x1'"},
        {{"--fit", "wide", "-o", out, picture}, "'wide'"},
        {{"--background", "#12345", "-o", out, picture}, "'#12345'"},
        {{"--background", "#ff000080", "-o", out, picture}, "'#ff000080'"},
        {{"--background", "transparent", "-o", out, picture}, "opaque"},
        {{"--quality", "max", "-o", out, picture}, "'max'"},
        {{"--max-size", "5XB", "-o", out, picture}, "'5XB'"},
        {{"--max-size", "0", "-o", out, picture}, "'0'"},
    };
    for (const auto& [arguments, mentions] : mistakes) {
        ExpectOneErrorLine(RunTool(arguments), 2, mentions);
    }
    EXPECT_TRUE(Entries(dir.path()).isEmpty());
}

// The real dialog is driven (slots filled through its open dialog, speed chosen, generate
// pressed) and its GIF compared byte for byte with what tavrel-gif writes, for every kind of
// picture the two roads treat differently (the dialog stages BMP copies, the tool works in
// memory). The tool gets a temporary folder it cannot write to.
TEST(TavrelGif, WritesTheSameFileAsTheDialogForTheSamePicturesAndSpeed) {
    // The window menu's two choices on give the options that name them.
    struct Run {
        QStringList names;
        bool keepAspectAndHighQuality;
    };
    const std::vector<Run> runs{
        {{"edge/exif-orient6.jpg", "edge/alpha.png", "edge/palette-8bit.bmp", "photo530/p4.png",
          "edge/cmyk.jpg"},
         false},
        {{"edge/bilevel-1bit.bmp", "edge/palette-4bit.bmp", "edge/rgb555-16bit.bmp",
          "edge/rgb-24bit.bmp", "edge/bgrx-32bit.bmp"},
         false},
        {{"edge/gray.jpg", "edge/palette-8bit.png", "edge/bilevel-1bit.png", "edge/rgb-16bpc.png",
          "edge/palette-8bit-rle8.bmp"},
         false},
        {{"edge/1x4000.png", "edge/interlaced.png", "edge/progressive.jpg", "photo1080/p1.jpg"},
         false},
        {{"edge/palette-4bit.bmp", "photo1080/p3.jpg", "edge/exif-orient6.jpg"}, true}};
    for (const Run& run : runs) {
        QStringList pictures;
        for (const QString& name : run.names) {
            pictures << TestData(name);
        }
        SCOPED_TRACE(run.names.join(' ').toStdString());
        QTemporaryDir dir;
        QStringList options{"--speed", "slow", "-o", dir.filePath("cli.gif")};
        {
            DialogHarness h;
            for (int i = 0; i < pictures.size(); ++i) {
                h.Choose(i + 1, pictures[i]);
            }
            h.SelectSpeed(QString::fromUtf8("慢"));
            if (run.keepAspectAndHighQuality) {
                h.Dlg().GetSystemMenu()->FindItem(IDM_KEEP_ASPECT)->trigger();
                h.Dlg().GetSystemMenu()->FindItem(IDM_HIGH_QUALITY)->trigger();
                options << "--fit"
                        << "contain"
                        << "--quality"
                        << "high";
            }
            h.Generate(dir.filePath("dialog.gif"));
            EXPECT_EQ(h.messages, QStringList{"动画已制作成功！谢谢！"});
        }
        const ToolRun cli = RunTool(options + pictures, "export TMPDIR=/proc/no-such-folder;");
        ASSERT_EQ(cli.exitCode, 0) << cli.err.toStdString();
        const QByteArray fromDialog = FileContent(dir.filePath("dialog.gif"));
        ASSERT_FALSE(fromDialog.isEmpty());
        EXPECT_TRUE(FileContent(dir.filePath("cli.gif")) == fromDialog) << "the two files differ";
    }
}

DecodedGif DecodeFile(const QString& path) {
    const QByteArray bytes = FileContent(path);
    return DecodeWithGiflib(std::vector<uint8_t>(bytes.begin(), bytes.end()));
}

QColor PixelOf(const DecodedFrame& frame, int x, int y) {
    const std::size_t at =
        3u * frame.indices[static_cast<std::size_t>(y) * static_cast<std::size_t>(frame.width) +
                           static_cast<std::size_t>(x)];
    return QColor(frame.palette[at], frame.palette[at + 1], frame.palette[at + 2]);
}

// Size, fit and background shape the frames; the qualities decode, and the high one gives
// the same bytes every time with every palette entry used.
TEST(TavrelGif, FrameOptionsShapeTheFrames) {
    QTemporaryDir dir;
    const QString wide = TestData("photo1080/p1.jpg");  // 16:9
    const auto make = [&](const QString& name, const QStringList& options,
                          const QStringList& pictures) {
        const ToolRun run = RunTool(options + QStringList{"-o", dir.filePath(name)} + pictures);
        EXPECT_EQ(run.exitCode, 0) << run.err.toStdString();
        DecodedGif gif = DecodeFile(dir.filePath(name));
        EXPECT_EQ(gif.error, 0) << name.toStdString();
        return gif;
    };
    const QColor background(0x10, 0x20, 0x30);
    DecodedGif gif = make(
        "contain.gif", {"--size", "321x99", "--fit", "contain", "--background", "#102030"}, {wide});
    ASSERT_EQ(gif.frames.size(), 1u);
    const DecodedFrame& contained = gif.frames[0];
    ASSERT_EQ(QSize(contained.width, contained.height), QSize(321, 99));
    // 16:9 in 321 x 99: 176 x 99 from x = 72, bars of 72 and 73 columns.
    for (const int x : {0, 71, 248, 320}) {
        EXPECT_EQ(PixelOf(contained, x, 50), background) << x;
    }
    EXPECT_NE(PixelOf(contained, 72, 50), background);
    EXPECT_NE(PixelOf(contained, 247, 50), background);

    gif = make("cover.gif", {"--fit", "cover", "--background", "#102030"}, {wide});
    ASSERT_EQ(gif.frames.size(), 1u);
    EXPECT_EQ(QSize(gif.frames[0].width, gif.frames[0].height), QSize(530, 530));
    EXPECT_NE(PixelOf(gif.frames[0], 0, 0), background);
    gif = make("dot.gif", {"--size", "1x1", "--fit", "cover", "--dither"}, {wide});
    EXPECT_EQ(QSize(gif.frames.at(0).width, gif.frames.at(0).height), QSize(1, 1));

    const QStringList photos{TestData("photo530/p3.png"), TestData("photo530/p5.png")};
    gif = make("high.gif", {"--quality", "high"}, photos);
    make("again.gif", {"--quality", "high"}, photos);
    EXPECT_TRUE(FileContent(dir.filePath("high.gif")) == FileContent(dir.filePath("again.gif")));
    for (const DecodedFrame& frame : gif.frames) {
        const std::set<uint8_t> used(frame.indices.begin(), frame.indices.end());
        EXPECT_EQ(*used.rbegin() + 1u, used.size()) << "indices 0 to n - 1 all used";
        EXPECT_GT(2u * used.size(), 1u << frame.tableBits) << "the smallest table that fits";
    }
}

// Pictures made on one thread or on several give the same file, at every quality.
TEST(GifRun, OutputDoesNotDependOnTheNumberOfThreads) {
    uintptr_t token = 0;
    const CodecStartupInput input;
    ASSERT_EQ(CodecStartup(&token, &input), CodecStatus::Ok);
    QTemporaryDir dir;
    std::vector<PictureSource> sources;
    for (const char* name : {"photo530/p1.png", "edge/palette-4bit.bmp", "photo1080/p1.jpg",
                             "edge/alpha.png", "photo530/p2.png", "edge/gray.jpg"}) {
        sources.push_back({TestData(name)});
    }
    for (const FrameQuality quality : {FrameQuality::kPlain, FrameQuality::kHigh}) {
        GifSettings settings;
        settings.frame.quality = quality;
        QByteArray outputs[3];
        for (int threads = 1; threads <= 3; ++threads) {
            settings.threads = threads;
            const GifRunOutcome made = MakeGif(sources, settings, dir.filePath("t.gif"));
            ASSERT_TRUE(made.Ok());
            EXPECT_EQ(made.summary.frames, 6);
            outputs[threads - 1] = FileContent(dir.filePath("t.gif"));
            EXPECT_EQ(made.summary.bytes, static_cast<uint64_t>(outputs[threads - 1].size()));
        }
        EXPECT_FALSE(outputs[0].isEmpty());
        EXPECT_EQ(outputs[0], outputs[1]);
        EXPECT_EQ(outputs[0], outputs[2]);
    }
    // A failing picture is reported as the first in order, whichever thread finished first.
    const GifRunOutcome failed =
        MakeGif({sources[0], {TestData("edge/truncated.jpg")}, {TestData("edge/y.png")}}, {},
                dir.filePath("f.gif"));
    ASSERT_FALSE(failed.Ok());
    EXPECT_EQ(failed.failure->kind, GifRunFailure::Kind::kPicture);
    EXPECT_EQ(failed.failure->source, 1);
    CodecShutdown(token);
}

TEST(TavrelGif, APictureThatCannotBeReadWritesNothing) {
    QTemporaryDir dir;
    const QString good = TestData("photo530/p1.png");
    const QString out = dir.filePath("out.gif");
    for (const QString& bad :
         {TestData("edge/bomb-60000x60000.png"), QStringLiteral("/dev/zero")}) {
        // The bad picture comes last, after frames that were already made.
        ExpectOneErrorLine(RunTool({"-o", out, good, good, bad}), 1, bad);
        EXPECT_TRUE(Entries(dir.path()).isEmpty()) << bad.toStdString();
    }
}

TEST(TavrelGif, SizeLimitsReadAsSitesWriteThem) {
    const std::pair<const char*, std::optional<uint64_t>> cases[] = {
        {"300k", 300000},
        {"300kB", 300000},
        {"1.5MB", 1500000},
        {"2MiB", 2097152},
        {"1.5KiB", 1536},
        {"1000", 1000},
        {"18446744073709551615", UINT64_MAX},
        {"0", std::nullopt},
        {"0.0004k", std::nullopt},  // less than a byte
        {"-1", std::nullopt},
        {"k", std::nullopt},
        {".5M", std::nullopt},
        {"5XB", std::nullopt},
        {"1,5MB", std::nullopt},
        {"18446744073709551616", std::nullopt},
        {"18446744073709552k", std::nullopt},
    };
    for (const auto& [text, bytes] : cases) {
        EXPECT_EQ(ParseByteSize(QString::fromLatin1(text)), bytes) << text;
    }
}

// Whatever the pictures and frame options, the file is a whole GIF of every frame within the
// limit, and it uses the limit well: at least 90% of it, or the --quality high file itself.
TEST(TavrelGif, ASizeLimitIsNeverPassed) {
    QTemporaryDir dir;
    QStringList photos;
    for (int i = 1; i <= 5; ++i) {
        photos << TestData(QStringLiteral("photo530/p%1.png").arg(i));
    }
    const QString wide = TestData("photo1080/p1.jpg");
    struct Case {
        QStringList options;
        QStringList pictures;
        qint64 maxBytes;
    };
    const Case cases[] = {
        {{}, photos, 150000},
        {{}, photos, 600000},
        {{}, {photos[3]}, 1000000},  // the best frames fit
        {{"--size", "200x120", "--fit", "contain", "--delay", "7"}, {photos[1], wide}, 20000},
        {{"--size", "64x64", "--fit", "cover"}, {TestData("edge/palette-4bit.bmp")}, 1200},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maxBytes);
        const QString out = dir.filePath(QStringLiteral("limit-%1.gif").arg(c.maxBytes));
        const ToolRun run =
            RunTool(c.options + QStringList{"--max-size", QString::number(c.maxBytes), "-o", out} +
                    c.pictures);
        ASSERT_EQ(run.exitCode, 0) << run.err.toStdString();
        const QByteArray bytes = FileContent(out);
        EXPECT_LE(bytes.size(), c.maxBytes);
        const DecodedGif gif = DecodeWithGiflib({bytes.begin(), bytes.end()});
        EXPECT_EQ(gif.error, 0);
        EXPECT_EQ(gif.frames.size(), static_cast<std::size_t>(c.pictures.size()));
        if (bytes.size() < c.maxBytes * 9 / 10) {
            const QString best = dir.filePath("best.gif");
            RunTool(c.options + QStringList{"--quality", "high", "-o", best} + c.pictures);
            EXPECT_EQ(bytes, FileContent(best));
        }
    }
}

TEST(TavrelGif, ALimitTooSmallWritesNothingAndKeepsAnEarlierFile) {
    QTemporaryDir dir;
    const QString out = dir.filePath("out.gif");
    ASSERT_TRUE(WriteAll(out, "earlier"));
    const QString photo = TestData("photo530/p2.png");
    ExpectOneErrorLine(RunTool({"--max-size", "5k", "-o", out, photo, photo}), 1,
                       "cannot fit 2 frames of 530 x 530 into 5 kB (smallest ");
    EXPECT_EQ(FileContent(out), QByteArray("earlier"));
    EXPECT_EQ(Entries(dir.path()), QStringList{"out.gif"});
}

}  // namespace
}  // namespace tavrel::test
