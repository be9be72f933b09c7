// Every kind of output path, each run through the choice of target and a full write, and
// then what is left on disk: the GIF where it belongs, inputs and older files untouched, no
// temporary file anywhere.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <csignal>
#include <functional>
#include <thread>

#include "platform/file_names.h"
#include "platform/output_target.h"
#include "qt_test_app.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::WriteAll;

const QByteArray kGif = QByteArray("GIF89a") + QByteArray(300'000, 'g');  // several buffers
const QByteArray kPicture = "the user's picture";
const QByteArray kOlder = "an older animation";

// A file's bytes by any name the file system holds.
QByteArray ReadName(const QString& name) {
    QByteArray bytes;
    const int fd = open(FileNameToBytes(name).constData(), O_RDONLY | O_NONBLOCK);
    char chunk[65536];
    for (ssize_t n; fd >= 0 && (n = read(fd, chunk, sizeof chunk)) > 0;) {
        bytes.append(chunk, n);
    }
    if (fd >= 0) {
        close(fd);
    }
    return bytes;
}

enum class Expect { Replaced, WrittenInto, Refused, WriteFails };

// Writes the GIF to path as the tool would, in a child process when the limits of the run
// (a user without rights, a file size limit) must not touch the test; true on success.
bool WriteGif(const QString& path, const QStringList& inputs, QString* reason,
              const std::function<void()>& inChild = {}) {
    const auto run = [&](QString* why) {
        const Result<OutputTarget> target = ChooseOutputTarget(path, inputs);
        TargetOutputFile out;
        Result<Done> done = target ? out.Open(*target) : Failure{target.Reason()};
        if (done) {
            try {
                out.Write(kGif.constData(), static_cast<std::size_t>(kGif.size()));
                done = out.Commit();
            } catch (const FileWriteError& error) {
                done = Failure{QString::fromStdString(error.what())};
            }
        }
        *why = done.Reason();
        return done.Ok();
    };
    if (!inChild) {
        return run(reason);
    }
    const pid_t child = fork();
    if (child == 0) {
        inChild();
        QString why;
        _exit(run(&why) ? 0 : 1);
    }
    int status = 0;
    waitpid(child, &status, 0);
    *reason = QStringLiteral("(in a child)");
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

void AsNobody() {
    if (geteuid() == 0) {
        static_cast<void>(setgid(65534));
        static_cast<void>(setuid(65534));
    }
}

TEST(OutputKinds, EachKindOfPathEndsAsItShouldOnDisk) {
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    chmod(QFile::encodeName(dir.path()).constData(), 0755);  // reachable by the unprivileged case
    const QString picture = dir.filePath(QStringLiteral("in.png"));
    const QString latin1 = FileNameFromBytes(QFile::encodeName(dir.path()) + "/caf\xE9.gif");
    const QString fifo = dir.filePath(QStringLiteral("pipe"));
    const QString readOnly = dir.filePath(QStringLiteral("ro"));
    ASSERT_TRUE(WriteAll(picture, kPicture));
    ASSERT_TRUE(WriteAll(dir.filePath(QStringLiteral("old.gif")), kOlder));
    ASSERT_TRUE(WriteAll(dir.filePath(QStringLiteral("keep.gif")), kOlder));
    ASSERT_TRUE(QFile::link(picture, dir.filePath(QStringLiteral("link.gif"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("old.gif")),
                            dir.filePath(QStringLiteral("to-old.gif"))));
    ASSERT_TRUE(QFile::link(dir.filePath(QStringLiteral("nothing")),
                            dir.filePath(QStringLiteral("dangling.gif"))));
    ASSERT_EQ(link(QFile::encodeName(picture).constData(),
                   QFile::encodeName(dir.filePath(QStringLiteral("hard.gif"))).constData()),
              0);
    ASSERT_EQ(mkfifo(QFile::encodeName(fifo).constData(), 0600), 0);
    ASSERT_TRUE(QDir().mkdir(readOnly));
    chmod(QFile::encodeName(readOnly).constData(), 0555);

    const struct {
        QString output;
        Expect expect;
        std::function<void()> inChild;
    } cases[] = {
        {dir.filePath(QStringLiteral("new.gif")), Expect::Replaced, {}},
        {dir.filePath(QStringLiteral("old.gif")), Expect::Replaced, {}},
        {latin1, Expect::Replaced, {}},
        {dir.filePath(QStringLiteral("to-old.gif")), Expect::Replaced, {}},  // the target
        {picture, Expect::Refused, {}},
        {dir.filePath(QStringLiteral("./sub/../in.png")), Expect::Refused, {}},
        {dir.filePath(QStringLiteral("link.gif")), Expect::Refused, {}},
        {dir.filePath(QStringLiteral("hard.gif")), Expect::Refused, {}},
        {dir.filePath(QStringLiteral("dangling.gif")), Expect::Refused, {}},
        {dir.path(), Expect::Refused, {}},
        {dir.filePath(QStringLiteral("no-folder/x.gif")), Expect::Refused, {}},
        {readOnly + QStringLiteral("/x.gif"), Expect::Refused, AsNobody},
        {fifo, Expect::WrittenInto, {}},
        {QStringLiteral("/dev/null"), Expect::WrittenInto, {}},
        {QStringLiteral("/dev/full"), Expect::WriteFails, {}},
        {dir.filePath(QStringLiteral("keep.gif")), Expect::WriteFails,
         [] {  // a full disk, as far as this process can tell
             std::signal(SIGXFSZ, SIG_IGN);
             const rlimit limit{64 * 1024, 64 * 1024};
             setrlimit(RLIMIT_FSIZE, &limit);
         }},
    };
    ASSERT_TRUE(QDir().mkdir(dir.filePath(QStringLiteral("sub"))));
    for (const auto& c : cases) {
        const std::string what = ShownFileName(c.output).toStdString();
        QByteArray readFromFifo;
        std::thread reader;
        if (c.expect == Expect::WrittenInto && c.output == fifo) {
            reader = std::thread([&] { readFromFifo = ReadAll(fifo); });
        }
        QString reason;
        const bool ok = WriteGif(c.output, {picture}, &reason, c.inChild);
        if (reader.joinable()) {
            reader.join();
        }
        EXPECT_EQ(ok, c.expect == Expect::Replaced || c.expect == Expect::WrittenInto)
            << what << ": " << reason.toStdString();
        switch (c.expect) {
            case Expect::Replaced:
                EXPECT_EQ(ReadName(c.output), kGif) << what;
                break;
            case Expect::WrittenInto:
                EXPECT_EQ(c.output == fifo ? readFromFifo : kGif, kGif) << what;
                break;
            case Expect::Refused:
            case Expect::WriteFails:
                EXPECT_FALSE(reason.isEmpty()) << what;
                break;
        }
        EXPECT_EQ(ReadAll(picture), kPicture) << what;
        struct stat fifoStat {};
        EXPECT_TRUE(lstat(QFile::encodeName(fifo).constData(), &fifoStat) == 0 &&
                    S_ISFIFO(fifoStat.st_mode))
            << what;
        EXPECT_EQ(QDir(dir.path()).entryList({QStringLiteral(".*tavrel-*")}, QDir::Hidden),
                  QStringList())
            << what;
        EXPECT_TRUE(QDir(readOnly).isEmpty()) << what;
    }
    EXPECT_TRUE(QFileInfo(dir.filePath(QStringLiteral("to-old.gif"))).isSymLink());
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("old.gif"))), kGif);
    EXPECT_EQ(ReadAll(dir.filePath(QStringLiteral("keep.gif"))), kOlder);
    unlink(FileNameToBytes(latin1).constData());  // a name Qt's folder removal cannot spell
    struct stat devNull {};
    ASSERT_EQ(stat("/dev/null", &devNull), 0);
    EXPECT_TRUE(S_ISCHR(devNull.st_mode));
}

TEST(OutputKinds, StandardOutputIsRefusedOnATerminal) {
    const int terminal = posix_openpt(O_RDWR | O_NOCTTY);
    ASSERT_GE(terminal, 0);
    const int again = dup(STDOUT_FILENO);
    dup2(terminal, STDOUT_FILENO);
    const Result<OutputTarget> chosen = ChooseOutputTarget(QStringLiteral("-"), {});
    dup2(again, STDOUT_FILENO);
    close(again);
    close(terminal);
    EXPECT_TRUE(chosen.Reason().contains(QStringLiteral("terminal")))
        << chosen.Reason().toStdString();
}

}  // namespace
}  // namespace tavrel
