// tavrel-gif at its edges, run through bash as a user would: names of any bytes, messages on
// one line, every kind of output path, and signals in the middle of a slow decode, each
// checked by what is left on disk.
#include <gtest/gtest.h>

#include <unistd.h>
#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/hostile_pictures.h"

namespace tavrel {
namespace {

struct BashRun {
    int code = -1;  // -1: bash crashed or the run hung
    QByteArray out, err;
};

// Runs script in bash in folder, with $TOOL the tool, $DATA the shared test pictures and
// temporary files kept in folder/tmp.
BashRun Bash(const QString& folder, const QString& script) {
    QDir(folder).mkpath(QStringLiteral("tmp"));
    QProcess process;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert(QStringLiteral("TOOL"), QStringLiteral(TAVREL_GIF_EXE));
    env.insert(QStringLiteral("DATA"), QStringLiteral(TAVREL_TESTDATA_DIR));
    env.insert(QStringLiteral("TMPDIR"), folder + QStringLiteral("/tmp"));
    process.setProcessEnvironment(env);
    process.setWorkingDirectory(folder);
    process.start(QStringLiteral("/bin/bash"), {QStringLiteral("-c"), script});
    BashRun run;
    if (process.waitForFinished(60000) && process.exitStatus() == QProcess::NormalExit) {
        run = {process.exitCode(), process.readAllStandardOutput(), process.readAllStandardError()};
    }
    return run;
}

TEST(TavrelGifEdges, AnyNameWorksAndEveryErrorIsOneLine) {
    QTemporaryDir dir;
    const struct {
        const char* script;
        int code;
        QByteArray err;  // the whole of stderr
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
    };
    for (const auto& r : runs) {
        const BashRun run = Bash(dir.path(), QString::fromUtf8(r.script));
        EXPECT_EQ(run.code, r.code) << r.script << run.err.toStdString();
        EXPECT_TRUE(run.out.isEmpty()) << r.script;
        if (r.code == 0) {
            EXPECT_EQ(run.err, r.err) << r.script;
        } else {
            EXPECT_TRUE(run.err.startsWith("tavrel-gif: ") && run.err.count('\n') == 1 &&
                        run.err.endsWith('\n') && run.err.contains(r.err))
                << run.err.toStdString();
        }
    }
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.gif"))));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("tmp"))).isEmpty());
    Bash(dir.path(), QStringLiteral("rm -f $'caf\\xe9.png' $'caf\\xe9.gif' $'\\xff\\xfe'"));
}

// With the threads the system allows (user nobody, a limit on processes): the same GIF from
// fewer threads, or one line when it allows none; never a hang.
TEST(TavrelGifEdges, FewThreadsGiveTheSameGifAndNoneGiveOneLine) {
    if (geteuid() != 0) {
        GTEST_SKIP() << "needs root to run as a user without other processes";
    }
    QTemporaryDir dir;
    const struct {
        int processes;
        int code;
        QByteArray err;
    } rows[] = {{3, 0, ""}, {2, 0, ""}, {1, 1, "tavrel-gif: cannot start a thread"}};
    for (const auto& [processes, code, err] : rows) {
        const BashRun run = Bash(dir.path(), QStringLiteral(R"(
            chmod 755 .; cp "$DATA/photo530/p1.png" "$DATA/photo1080/p3.jpg" .
            "$TOOL" -o reference.gif p1.png p3.jpg
            (ulimit -u %1; exec setpriv --reuid=65534 --regid=65534 --clear-groups \
                "$TOOL" -o - p1.png p3.jpg > out.gif) || exit
            cmp -s out.gif reference.gif || echo differs)")
                                                 .arg(processes));
        EXPECT_EQ(run.code, code) << processes;
        EXPECT_TRUE(run.err.startsWith(err) && run.err.count('\n') == (code != 0))
            << run.err.toStdString();
        EXPECT_EQ(run.out, QByteArray()) << processes;
    }
}

// Every kind of output path, one run each, then what is left on disk: the GIF where it
// belongs, the picture and older files untouched, FIFOs and devices not replaced, no
// temporary file anywhere.
TEST(TavrelGifEdges, EachKindOfOutputEndsAsItShouldOnDisk) {
    QTemporaryDir dir;
    const BashRun setUp = Bash(dir.path(), QStringLiteral(R"(
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
        const BashRun run =
            Bash(dir.path(), QStringLiteral("OUT() { \"$TOOL\" -o \"$1\" in.png; }; ") +
                                 QString::fromUtf8(r.run));
        EXPECT_EQ(run.code, r.code) << r.run << ": " << run.err.toStdString();
    }
    const BashRun disk = Bash(dir.path(), QStringLiteral(R"sh(
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
    EXPECT_EQ(disk.out, QByteArray()) << "left on disk";
}

TEST(TavrelGifEdges, SignalsEndARunWithinASecondMidDecodeAndLeaveNothingBehind) {
    QTemporaryDir dir;
    // Several seconds of decoding, within the scan limit.
    ASSERT_TRUE(test::WriteAll(dir.filePath(QStringLiteral("slow.jpg")),
                               test::WithLastScanRepeated(test::ProgressiveJpeg(3000, 3000), 990)));
    // The first ones are caught and said; the others end the process where it stands, and
    // the unfinished file has no name to leave behind.
    const struct {
        const char* signal;
        int code;
        QByteArray said;
    } stops[] = {{"INT", 130, "tavrel-gif: stopped"},
                 {"TERM", 143, "tavrel-gif: stopped"},
                 {"HUP", 129, "tavrel-gif: stopped"},
                 {"KILL", 137, ""},
                 {"QUIT", 131, ""},
                 {"USR1", 138, ""}};
    for (const auto& [signal, code, said] : stops) {
        const BashRun run = Bash(dir.path(), QStringLiteral(R"(
            set -m; ulimit -c 0; echo earlier > out.gif
            "$TOOL" -o out.gif slow.jpg slow.jpg 2> stderr.txt & pid=$!
            sleep 1; start=$(date +%s%N); kill -%1 $pid; wait $pid; code=$?
            echo $code $(( ($(date +%s%N) - start) / 1000000 )); cat stderr.txt; rm stderr.txt)")
                                                 .arg(QLatin1String(signal)));
        const QList<QByteArray> lines = run.out.split('\n');
        const QList<QByteArray> words = lines[0].split(' ');
        ASSERT_EQ(words.size(), 2) << run.out.toStdString();
        EXPECT_EQ(lines.value(1), said) << signal;
        EXPECT_EQ(words[0].toInt(), code) << signal;
        EXPECT_LT(words[1].trimmed().toInt(), 1000) << signal << " took milliseconds";
        EXPECT_EQ(test::Entries(dir.path()), QStringList({"out.gif", "slow.jpg", "tmp"})) << signal;
        EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("tmp"))).isEmpty()) << signal;
        EXPECT_EQ(test::FileContent(dir.filePath(QStringLiteral("out.gif"))), "earlier\n")
            << signal;
    }
}

}  // namespace
}  // namespace tavrel

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // for the picture writer of the slow JPEG
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
