// tavrel-gif as a user runs it: usage, the GIF it makes (the very file the dialog makes), and
// at its edges, run through bash: names of any bytes, messages on one line, every kind of
// output path, and signals in the middle of a slow decode, each checked by what is left on
// disk.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QAction>
#include <QDir>
#include <QProcess>
#include <QTemporaryDir>
#include <optional>

#include "tests/support/hostile_pictures.h"

#include "frames/gif_run.h"
#include "frames/size_limit.h"
#include "gif_test_support.h"
#include "platform/image_codecs.h"
#include "platform/window/window_menu.h"
#include "support/dialog_harness.h"

namespace tavrel::test {
namespace {

struct ToolRun {
    int code = -1;  // -1: it crashed or hung
    QString out, err;
};

// Runs script in bash with $TOOL the tool, $DATA the shared test pictures and arguments as
// "$@"; in folder, when given, with temporary files kept in folder/tmp.
ToolRun Bash(const QString& script, const QStringList& arguments = {}, const QString& folder = {}) {
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("TOOL", TAVREL_GIF_EXE);
    env.insert("DATA", TAVREL_TESTDATA_DIR);
    if (!folder.isEmpty()) {
        QDir(folder).mkpath("tmp");
        env.insert("TMPDIR", folder + "/tmp");
        process.setWorkingDirectory(folder);
    }
    process.setProcessEnvironment(env);
    process.start("/bin/bash", QStringList{"-c", script, "bash"} + arguments);
    ToolRun run;
    if (process.waitForFinished(120000) && process.exitStatus() == QProcess::NormalExit) {
        run = {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
               QString::fromUtf8(process.readAllStandardError())};
    }
    return run;
}

// Runs script in folder (see Bash).
ToolRun InFolder(const QString& folder, const QString& script) {
    return Bash(script, {}, folder);
}

// The tool with these arguments, after the shell commands in prefix (an export, a ulimit).
ToolRun RunTool(const QStringList& arguments, const QString& prefix = {}) {
    return Bash(prefix + " exec \"$TOOL\" \"$@\"", arguments);
}

// A failure is one line on stderr, prefixed with the name and naming what went wrong.
void ExpectOneErrorLine(const ToolRun& run, int exitCode, const QString& mentions) {
    EXPECT_EQ(run.code, exitCode) << mentions.toStdString();
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
        {{"--fade", "1001", "-o", out, picture, picture}, "'1001'"},
        {{"--fade", "0.5", "-o", out, picture, picture}, "'0.5'"},
        {{"--fade", "50", "-o", out, picture}, "two pictures"},
        {{"--max-size", "5XB", "-o", out, picture}, "'5XB'"},
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
            EXPECT_EQ(h.messages.size(), 1);  // made, or a failure that leaves no GIF
        }
        const ToolRun cli = RunTool(options + pictures, "export TMPDIR=/proc/no-such-folder;");
        ASSERT_EQ(cli.code, 0) << cli.err.toStdString();
        const QByteArray fromDialog = FileContent(dir.filePath("dialog.gif"));
        ASSERT_FALSE(fromDialog.isEmpty());
        EXPECT_TRUE(FileContent(dir.filePath("cli.gif")) == fromDialog) << "the two files differ";
    }
}

// Size, fit and background shape the frames; a fade adds its blended frames to the loop.
TEST(TavrelGif, FrameOptionsShapeTheFrames) {
    QTemporaryDir dir;
    const QString wide = TestData("photo1080/p1.jpg");  // 16:9
    const auto make = [&](const QString& name, const QStringList& options,
                          const QStringList& pictures) {
        const ToolRun run = RunTool(options + QStringList{"-o", dir.filePath(name)} + pictures);
        EXPECT_EQ(run.code, 0) << run.err.toStdString();
        const QByteArray bytes = FileContent(dir.filePath(name));
        DecodedGif gif = DecodeWithGiflib({bytes.begin(), bytes.end()});
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

    // Five pictures held 0.8 s and faded in 0.5 s: 10 blended frames each, 6.5 s a loop.
    QStringList five;
    for (int i = 1; i <= 5; ++i) {
        five << TestData(QString("photo530/p%1.png").arg(i));
    }
    gif = make("fade.gif", {"--fade", "50"}, five);
    ASSERT_EQ(gif.frames.size(), 55u);
    int loop = 0;
    for (const DecodedFrame& frame : gif.frames) {
        loop += frame.delay;
    }
    EXPECT_EQ(loop, 650);
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
    // Plain, high, and high with fades (the fitted pictures travel to the blends).
    for (const int fade : {0, 1, 2}) {
        GifSettings settings;
        settings.frame.quality = fade == 0 ? FrameQuality::kPlain : FrameQuality::kHigh;
        settings.fadeCentiseconds = fade == 2 ? 10 : 0;
        QByteArray outputs[3];
        for (const int threads : {1, 3}) {
            settings.threads = threads;
            const GifRunOutcome made = MakeGif(sources, settings, dir.filePath("t.gif"));
            ASSERT_TRUE(made.Ok());
            EXPECT_EQ(made.summary.frames, fade == 2 ? 6 * 3 : 6);
            outputs[threads - 1] = FileContent(dir.filePath("t.gif"));
            EXPECT_EQ(made.summary.bytes, static_cast<uint64_t>(outputs[threads - 1].size()));
        }
        EXPECT_FALSE(outputs[0].isEmpty());
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

TEST(TavrelGif, AnyNameWorksAndEveryErrorIsOneLine) {
    QTemporaryDir dir;
    const struct {
        const char* script;
        int code;
        const char* err;  // what the one line of stderr says
    } runs[] = {
        {R"(cp "$DATA/photo530/p1.png" $'caf\xe9.png'; cp "$DATA/edge/rgb-24bit.bmp" $'\xff\xfe';
            "$TOOL" -o $'caf\xe9.gif' $'caf\xe9.png' $'\xff\xfe' && test -s $'caf\xe9.gif')",
         0, ""},
        {R"("$TOOL" -o x.gif $'new\nline.png')", 1, "tavrel-gif: new\\nline.png: no such file\n"},
        {R"(head -c 20000 "$DATA/photo530/p1.png" > cut.png; "$TOOL" -o x.gif cut.png)", 1,
         "(libpng error: "},
        // A damaged PNG header, seen first by the gate that lets one huge decode run at a time.
        {R"(head -c 60 "$DATA/photo530/p1.png" > cut.png; "$TOOL" -o x.gif cut.png cut.png)", 1,
         "the file is damaged or incomplete (libpng error: "},
        {R"(cp "$DATA/photo530/p1.png" crc.png; printf '\x07' | dd of=crc.png bs=1 seek=29 \
            conv=notrunc status=none; "$TOOL" -o x.gif crc.png)",
         1, "the file is damaged or incomplete (libpng error: IHDR: CRC error)"},
        // The bad picture comes last, after frames that were already made.
        {R"(p="$DATA/photo530/p1.png"; "$TOOL" -o x.gif $p $p "$DATA/edge/bomb-60000x60000.png")",
         1, "bomb-60000x60000.png: "},
        {R"(p="$DATA/photo530/p1.png"; "$TOOL" -o x.gif $p $p /dev/zero)", 1, "/dev/zero: "},
    };
    for (const auto& r : runs) {
        const ToolRun run = InFolder(dir.path(), QString::fromUtf8(r.script));
        if (r.code == 0) {
            EXPECT_EQ(run.code, 0) << r.script << run.err.toStdString();
            EXPECT_TRUE(run.out.isEmpty() && run.err.isEmpty()) << r.script;
        } else {
            ExpectOneErrorLine(run, r.code, QString::fromUtf8(r.err));
        }
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QString("x.gif"))));
    EXPECT_TRUE(QDir(dir.filePath(QString("tmp"))).isEmpty());
    InFolder(dir.path(), QString("rm -f $'caf\\xe9.png' $'caf\\xe9.gif' $'\\xff\\xfe'"));
}

// With the threads the system allows (user nobody, a limit on processes): the same GIF from
// fewer threads, or one line when it allows none; never a hang.
TEST(TavrelGif, FewThreadsGiveTheSameGifAndNoneGiveOneLine) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to run as a user without other processes";
    }
    QTemporaryDir dir;
    const struct {
        int processes;
        int code;
        const char* err;
    } rows[] = {{3, 0, ""}, {2, 0, ""}, {1, 1, "tavrel-gif: cannot start a thread"}};
    for (const auto& [processes, code, err] : rows) {
        const ToolRun run = InFolder(dir.path(), QString(R"(
            chmod 755 .; cp "$DATA/photo530/p1.png" "$DATA/photo1080/p3.jpg" .
            "$TOOL" -o reference.gif p1.png p3.jpg
            # The leak checker of a sanitizer build needs a thread of its own at exit.
            export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}detect_leaks=0"
            (ulimit -u %1; exec setpriv --reuid=65534 --regid=65534 --clear-groups \
                "$TOOL" -o - p1.png p3.jpg > out.gif) || exit
            cmp -s out.gif reference.gif || echo differs)")
                                                     .arg(processes));
        EXPECT_EQ(run.code, code) << processes;
        EXPECT_TRUE(code == 0 ? run.err.isEmpty()
                              : run.err.startsWith(err) && run.err.count('\n') == 1)
            << run.err.toStdString();
        EXPECT_EQ(run.out, QString()) << processes;
    }
}

// Every kind of output path, one run each, then what is left on disk: the GIF where it
// belongs, the picture and older files untouched, FIFOs and devices not replaced, no
// temporary file anywhere.
TEST(TavrelGif, EachKindOfOutputEndsAsItShouldOnDisk) {
    QTemporaryDir dir;
    const ToolRun setUp = InFolder(dir.path(), QString(R"(
        chmod 755 .; cp "$DATA/photo530/p1.png" in.png; echo older > old.gif; echo older > keep.gif
        ln -s in.png link.gif; ln in.png hard.gif; ln -s old.gif to-old.gif; ln -s gone dead.gif
        mkfifo pipe.gif; mkdir sub ro open; chmod 555 ro; chmod 777 open
        echo older > open/locked.gif; chmod 444 open/locked.gif
        "$TOOL" -o reference.gif in.png)"));
    ASSERT_EQ(setUp.code, 0) << setUp.err.toStdString();
    const struct {
        const char* run;  // bash, with $OUT the tool's run on in.png writing to its argument
        int code;
    } runs[] = {
        {"OUT new.gif", 0},
        {"OUT old.gif", 0},
        {"OUT $'caf\\xe9.gif'", 0},
        {"OUT to-old.gif", 0},  // the link stays, its target is replaced: old.gif
        {"OUT in.png", 1},
        {"OUT sub/../in.png", 1},
        {"OUT link.gif", 1},
        {"OUT hard.gif", 1},
        {"OUT dead.gif", 1},
        {"OUT sub", 1},
        {"OUT missing/x.gif", 1},
        {"if [ $(id -u) = 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups "
         "\"$TOOL\" -o ro/x.gif in.png; else OUT ro/x.gif; fi",
         1},
        // A write-protected file in a folder anyone may write is not replaced, as cp would not.
        {"if [ $(id -u) = 0 ]; then setpriv --reuid=65534 --regid=65534 --clear-groups "
         "\"$TOOL\" -o open/locked.gif in.png; else OUT open/locked.gif; fi",
         1},
        {"cat pipe.gif > from-pipe & OUT pipe.gif; wait; cmp -s from-pipe reference.gif", 0},
        {"OUT /dev/null", 0},
        {"OUT /dev/full", 1},
        {"trap '' XFSZ; ulimit -f 20; OUT keep.gif", 1},  // a full disk, as far as it can tell
        {"OUT - > stdout.gif && cmp -s stdout.gif reference.gif", 0},
        {"OUT - | head -c 6 > /dev/null; exit ${PIPESTATUS[0]}", 141},
        {"script -qec '\"$TOOL\" -o - in.png' /dev/null | grep -q 'is a terminal'", 0},
    };
    for (const auto& r : runs) {
        const ToolRun run =
            InFolder(dir.path(),
                     QString("OUT() { \"$TOOL\" -o \"$1\" in.png; }; ") + QString::fromUtf8(r.run));
        EXPECT_EQ(run.code, r.code) << r.run << ": " << run.err.toStdString();
    }
    const ToolRun disk = InFolder(dir.path(), QString(R"sh(
        cmp -s in.png "$DATA/photo530/p1.png" || echo in.png changed
        for f in new.gif old.gif $'caf\xe9.gif'; do cmp -s $f reference.gif || echo $f; done
        test "$(cat keep.gif open/locked.gif)" = "older
older" || echo keep.gif or locked.gif changed
        ls -A open | grep -v -x locked.gif
        test -L link.gif -a -L to-old.gif -a -p pipe.gif -a -c /dev/null || echo kinds changed
        ls -A ro; ls -A . | grep -v -x -e in.png -e reference.gif -e new.gif -e old.gif \
          -e keep.gif -e link.gif -e hard.gif -e to-old.gif -e dead.gif -e pipe.gif -e sub \
          -e ro -e open -e from-pipe -e stdout.gif -e tmp -e $'caf\xe9.gif'
        rm -f $'caf\xe9.gif')sh"));
    EXPECT_EQ(disk.out, QString()) << "left on disk";
}

TEST(TavrelGif, SignalsEndARunWithinASecondMidDecodeAndLeaveNothingBehind) {
    QTemporaryDir dir;
    // Several seconds of decoding, within the scan limit.
    ASSERT_TRUE(WriteAll(dir.filePath(QString("slow.jpg")),
                         WithLastScanRepeated(ProgressiveJpeg(3000, 3000), 990)));
    // The first ones are caught and said; the others end the process where it stands, and
    // the unfinished file has no name to leave behind.
    const struct {
        const char* signal;
        int code;
        const char* said;
    } stops[] = {{"INT", 130, "tavrel-gif: stopped"},
                 {"TERM", 143, "tavrel-gif: stopped"},
                 {"HUP", 129, "tavrel-gif: stopped"},
                 {"KILL", 137, ""},
                 {"QUIT", 131, ""},
                 {"USR1", 138, ""}};
    for (const auto& [signal, code, said] : stops) {
        const ToolRun run = InFolder(dir.path(), QString(R"(
            set -m; ulimit -c 0; echo earlier > out.gif
            "$TOOL" -o out.gif slow.jpg slow.jpg 2> stderr.txt & pid=$!
            sleep 1; start=$(date +%s%N); kill -%1 $pid; wait $pid; code=$?
            echo $code $(( ($(date +%s%N) - start) / 1000000 )); cat stderr.txt; rm stderr.txt)")
                                                     .arg(QLatin1String(signal)));
        const QStringList lines = run.out.split('\n');
        const QStringList words = lines[0].split(' ');
        ASSERT_EQ(words.size(), 2) << run.out.toStdString();
        EXPECT_EQ(lines.value(1), QString::fromUtf8(said)) << signal;
        EXPECT_EQ(words[0].toInt(), code) << signal;
        EXPECT_LT(words[1].trimmed().toInt(), 1000) << signal << " took milliseconds";
        EXPECT_EQ(Entries(dir.path()), QStringList({"out.gif", "slow.jpg", "tmp"})) << signal;
        EXPECT_TRUE(QDir(dir.filePath(QString("tmp"))).isEmpty()) << signal;
        EXPECT_EQ(FileContent(dir.filePath(QString("out.gif"))), "earlier\n") << signal;
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
// limit; photographs use the limit well: at least 90% of it, or the --quality high file
// itself. (Tiny frames are mostly palette, which grows in steps.)
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
        bool photographs = true;
        std::size_t framesPerPicture = 1;  // with the fade's blended frames
    };
    const Case cases[] = {
        {{}, photos, 150000},
        {{}, photos, 600000},
        {{}, {photos[3]}, 1000000},  // the best frames fit
        {{"--size", "200x120", "--fit", "contain", "--delay", "7"}, {photos[1], wide}, 20000},
        {{"--size", "64x64", "--fit", "cover"}, {TestData("edge/palette-4bit.bmp")}, 1200, false},
        {{"--fade", "50", "--size", "200x200"},
         {photos[0], photos[2], photos[4]},
         400000,
         true,
         11},
        {{"--fade", "10"}, {photos[1], photos[3]}, 2000000, true, 3},  // the best frames fit
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.maxBytes);
        const QString out = dir.filePath(QStringLiteral("limit-%1.gif").arg(c.maxBytes));
        const ToolRun run =
            RunTool(c.options + QStringList{"--max-size", QString::number(c.maxBytes), "-o", out} +
                    c.pictures);
        ASSERT_EQ(run.code, 0) << run.err.toStdString();
        const QByteArray bytes = FileContent(out);
        EXPECT_LE(bytes.size(), c.maxBytes);
        const DecodedGif gif = DecodeWithGiflib({bytes.begin(), bytes.end()});
        EXPECT_EQ(gif.error, 0);
        EXPECT_EQ(gif.frames.size(),
                  c.framesPerPicture * static_cast<std::size_t>(c.pictures.size()));
        if (c.photographs && bytes.size() < c.maxBytes * 9 / 10) {
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
