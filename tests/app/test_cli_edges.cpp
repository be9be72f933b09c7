// tavrel-gif at its edges, run through bash as a user would: names of any bytes, messages on
// one line, the GIF on standard output, an input named as the output, and signals in the
// middle of a slow decode, each checked by what is left on disk.
#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QTemporaryDir>

#include "tests/support/scan_bomb.h"

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

QStringList Entries(const QString& folder) {
    return QDir(folder).entryList(QDir::AllEntries | QDir::Hidden | QDir::System |
                                  QDir::NoDotAndDotDot);
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
        {R"(head -c 100000 "$DATA/edge/rgb-24bit.bmp" > $'cut\n.bmp'; "$TOOL" -o x.gif $'cut\n.bmp')",
         1, "incomplete"},
        {R"(head -c 20000 "$DATA/photo530/p1.png" > cut.png; "$TOOL" -o x.gif cut.png)", 1,
         "(libpng error: "},
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

TEST(TavrelGifEdges, TheGifGoesToStandardOutputAndAnInputIsNeverTheOutput) {
    QTemporaryDir dir;
    const BashRun run = Bash(dir.path(), QStringLiteral(R"(
        cp "$DATA/photo530/p2.jpg" in.jpg; ln -s in.jpg link.gif; cp in.jpg before.jpg
        "$TOOL" -o file.gif in.jpg || exit 10
        "$TOOL" -o - in.jpg > stdout.gif 2> stderr.txt || exit 11
        cmp -s file.gif stdout.gif && test ! -s stderr.txt || exit 12
        "$TOOL" -o - in.jpg | head -c 6 > /dev/null; test ${PIPESTATUS[0]} = 141 || exit 13
        "$TOOL" -o link.gif in.jpg 2> stderr.txt; test $? = 1 || exit 14
        grep -q "link.gif: is the picture in.jpg itself" stderr.txt || exit 15
        cmp -s in.jpg before.jpg && test -L link.gif || exit 16
        rm stderr.txt stdout.gif)"));
    EXPECT_EQ(run.code, 0) << run.err.toStdString();
    EXPECT_EQ(Entries(dir.path()),
              QStringList({"before.jpg", "file.gif", "in.jpg", "link.gif", "tmp"}));
    EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("tmp"))).isEmpty());
}

TEST(TavrelGifEdges, SignalsEndARunWithinASecondMidDecodeAndLeaveNothingBehind) {
    QTemporaryDir dir;
    // Several seconds of decoding, within the scan limit.
    QFile bomb(dir.filePath(QStringLiteral("slow.jpg")));
    ASSERT_TRUE(bomb.open(QIODevice::WriteOnly));
    bomb.write(test::WithLastScanRepeated(test::ProgressiveJpeg(3000, 3000), 990));
    bomb.close();
    for (const auto& [signal, code] :
         {std::pair{"INT", 130}, std::pair{"TERM", 143}, std::pair{"HUP", 129}}) {
        const BashRun run = Bash(dir.path(), QStringLiteral(R"(
            set -m; echo earlier > out.gif
            "$TOOL" -o out.gif slow.jpg slow.jpg 2> stderr.txt & pid=$!
            sleep 1; start=$(date +%s%N); kill -%1 $pid; wait $pid; code=$?
            echo $code $(( ($(date +%s%N) - start) / 1000000 )); cat stderr.txt; rm stderr.txt)")
                                                 .arg(QLatin1String(signal)));
        const QList<QByteArray> lines = run.out.split('\n');
        const QList<QByteArray> words = lines[0].split(' ');
        ASSERT_EQ(words.size(), 2) << run.out.toStdString();
        EXPECT_EQ(lines.value(1), "tavrel-gif: stopped") << signal;
        EXPECT_EQ(words[0].toInt(), code) << signal;
        EXPECT_LT(words[1].trimmed().toInt(), 1000) << signal << " took milliseconds";
        EXPECT_EQ(Entries(dir.path()), QStringList({"out.gif", "slow.jpg", "tmp"})) << signal;
        EXPECT_TRUE(QDir(dir.filePath(QStringLiteral("tmp"))).isEmpty()) << signal;
        QFile out(dir.filePath(QStringLiteral("out.gif")));
        EXPECT_TRUE(out.open(QIODevice::ReadOnly) && out.readAll() == "earlier\n") << signal;
    }
}

}  // namespace
}  // namespace tavrel

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);  // for the picture writer of the slow JPEG
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
