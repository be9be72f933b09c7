#include "platform/files.h"

#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QTemporaryDir>
#include <csignal>

#include "qt_test_app.h"

namespace tavrel {
namespace {

using test::ReadAll;
using test::WriteAll;

QStringList FilesIn(const QString& folder) {
    return QDir(folder).entryList(QDir::Files | QDir::Hidden | QDir::System);
}

TEST(AtomicOutputFile, CommitReplacesTheOldFileAndAnUncommittedOneIsDiscarded) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.gif"));
    const QString old = dir.filePath(QStringLiteral("old.gif"));
    ASSERT_TRUE(WriteAll(path, QByteArray(5000, 'o')));
    ASSERT_TRUE(WriteAll(old, "previous"));
    {
        AtomicOutputFile abandoned, replaced;
        ASSERT_TRUE(abandoned.Open(old, nullptr));
        abandoned.Write("partial", 7);
        QString reason;
        ASSERT_TRUE(replaced.Open(path, &reason)) << reason.toStdString();
        replaced.Write("GIF89a", 6);
        EXPECT_EQ(ReadAll(path), QByteArray(5000, 'o'));  // nothing visible before the commit
        ASSERT_TRUE(replaced.Commit(&reason)) << reason.toStdString();
    }
    EXPECT_EQ(ReadAll(path), QByteArray("GIF89a"));
    EXPECT_EQ(ReadAll(old), QByteArray("previous"));
    EXPECT_EQ(FilesIn(dir.path()), QStringList({"old.gif", "out.gif"}));
}

TEST(AtomicOutputFile, AFailurePartWayLeavesTheOldFileIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.gif"));
    ASSERT_TRUE(WriteAll(path, "the earlier animation"));
    // A child writes 1 MB under a 64 kB file-size limit; its exit code says how the failure
    // surfaced: 1 = Write threw, 2 = Commit refused, 0 = no failure at all.
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        int code = 3;
        {
            AtomicOutputFile file;
            const QByteArray chunk(4096, 'n');
            try {
                if (file.Open(path, nullptr)) {
                    for (int i = 0; i < 256; ++i)
                        file.Write(chunk.constData(), static_cast<std::size_t>(chunk.size()));
                    code = file.Commit(nullptr) ? 0 : 2;
                }
            } catch (const FileWriteError&) {
                code = 1;
            }
        }
        _exit(code);
    }
    int status = 0;
    waitpid(child, &status, 0);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_TRUE(WEXITSTATUS(status) == 1 || WEXITSTATUS(status) == 2) << WEXITSTATUS(status);
    EXPECT_EQ(ReadAll(path), QByteArray("the earlier animation"));
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"out.gif"});
}

}  // namespace
}  // namespace tavrel
