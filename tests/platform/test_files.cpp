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

TEST(Folders, ExistCreateOneLevelAndCurrentDirectory) {
    QTemporaryDir dir;
    const QString child = dir.filePath(QStringLiteral("我的作品"));
    EXPECT_TRUE(FolderExists(dir.path()));
    EXPECT_FALSE(FolderExists(child));
    EXPECT_FALSE(CreateFolder(child + QStringLiteral("/deeper")));  // parent missing
    EXPECT_TRUE(CreateFolder(child));
    EXPECT_TRUE(FolderExists(child));
    EXPECT_FALSE(CreateFolder(child));  // already there

    const QString file = dir.filePath(QStringLiteral("plain"));
    ASSERT_TRUE(WriteAll(file, "x"));
    EXPECT_FALSE(FolderExists(file));
    EXPECT_FALSE(FolderExists(QString()));
    EXPECT_EQ(CurrentDirectory(), QDir::currentPath());
}

TEST(AtomicOutputFile, CommitReplacesTheOldFileEntirely) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.gif"));
    ASSERT_TRUE(WriteAll(path, QByteArray(5000, 'o')));
    AtomicOutputFile file;
    QString reason;
    ASSERT_TRUE(file.Open(path, &reason)) << reason.toStdString();
    file.Write("GIF89a", 6);
    file.Write("", 0);
    EXPECT_EQ(ReadAll(path), QByteArray(5000, 'o'));  // nothing visible before the commit
    ASSERT_TRUE(file.Commit(&reason)) << reason.toStdString();
    EXPECT_EQ(ReadAll(path), QByteArray("GIF89a"));
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"out.gif"});
    EXPECT_FALSE(file.Commit(&reason));  // nothing open any more
}

TEST(AtomicOutputFile, AnUncommittedFileIsDiscarded) {
    QTemporaryDir dir;
    const QString old = dir.filePath(QStringLiteral("old.gif"));
    const QString fresh = dir.filePath(QStringLiteral("new.gif"));
    ASSERT_TRUE(WriteAll(old, "previous"));
    {
        AtomicOutputFile a, b;
        ASSERT_TRUE(a.Open(old, nullptr));
        ASSERT_TRUE(b.Open(fresh, nullptr));
        a.Write("partial", 7);
        b.Write("partial", 7);
    }
    EXPECT_EQ(ReadAll(old), QByteArray("previous"));
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"old.gif"});
}

TEST(AtomicOutputFile, OpenFailsWithAReason) {
    QTemporaryDir dir;
    AtomicOutputFile file;
    for (const QString& path :
         {dir.path(), dir.filePath(QStringLiteral("missing/out.gif")), QString()}) {
        QString reason;
        EXPECT_FALSE(file.Open(path, &reason)) << path.toStdString();
        EXPECT_FALSE(reason.isEmpty());
    }
    EXPECT_THROW(file.Write("x", 1), FileWriteError);
}

// Writes far past a 64 kB file-size limit in a child process; the child's exit code says
// how the failure surfaced: 1 = Write threw, 2 = Commit refused, 0 = no failure at all.
int WriteBeyondSizeLimit(const QString& path) {
    const pid_t child = fork();
    if (child == 0) {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit{64 * 1024, 64 * 1024};
        setrlimit(RLIMIT_FSIZE, &limit);
        int code = 0;
        {
            AtomicOutputFile file;
            if (!file.Open(path, nullptr)) {
                _exit(3);
            }
            const QByteArray chunk(4096, 'n');
            try {
                for (int i = 0; i < 256; ++i) {
                    file.Write(chunk.constData(), static_cast<std::size_t>(chunk.size()));
                }
                code = file.Commit(nullptr) ? 0 : 2;
            } catch (const FileWriteError&) {
                code = 1;
            }
        }
        _exit(code);
    }
    int status = 0;
    waitpid(child, &status, 0);
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

TEST(AtomicOutputFile, AFailurePartWayLeavesTheOldFileIntact) {
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("out.gif"));
    ASSERT_TRUE(WriteAll(path, "the earlier animation"));
    const int outcome = WriteBeyondSizeLimit(path);
    EXPECT_TRUE(outcome == 1 || outcome == 2) << outcome;
    EXPECT_EQ(ReadAll(path), QByteArray("the earlier animation"));
    EXPECT_EQ(FilesIn(dir.path()), QStringList{"out.gif"});
}

}  // namespace
}  // namespace tavrel
