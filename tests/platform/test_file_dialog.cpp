#include "platform/window/file_dialog.h"

#include <gtest/gtest.h>

#include <QDir>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include "tests/qt_app_environment.h"

namespace tavrel {
namespace {

const QString kImageFilter = QStringLiteral("图像文件 (*.jpg;*.bmp;*.png)|*.jpg;*.bmp;*.png||");
const QString kGifFilter = QStringLiteral("GIF 文件(*.GIF)|*.GIF||");

TEST(FileDialog, DefaultExtensionIsAddedOnlyWhereItBelongs) {
    const std::tuple<bool, QString, QString> cases[] = {
        {false, "/tmp/out.gif", "/tmp/out.gif"},
        {false, "/tmp/my.folder/out", "/tmp/my.folder/out.GIF"},
        {true, "/tmp/photo", "/tmp/photo"},
    };
    for (const auto& [open, chosen, expected] : cases) {
        FileDialog dialog(open, open ? QStringLiteral("(*.*)|*.*") : QStringLiteral("GIF"),
                          QString(), 0, kGifFilter, nullptr);
        const QString answer = chosen;
        FileDialog::SetHook([&](const FileDialogRequest&) { return std::optional(answer); });
        EXPECT_EQ(dialog.DoModal(), 1);
        FileDialog::SetHook({});
        EXPECT_EQ(dialog.GetPathName(), expected);
    }
}

// Pictures (XDG) or home the first time, the caller's folder for a save when it exists, then
// wherever that kind of dialog last chose a file.
TEST(FileDialog, StartsWhereUsersKeepPicturesThenWhereTheyLastChose) {
    QTemporaryDir home;
    const QByteArray savedHome = qgetenv("HOME");
    const QByteArray savedConfig = qgetenv("XDG_CONFIG_HOME");
    qputenv("HOME", home.path().toUtf8());
    qputenv("XDG_CONFIG_HOME", home.filePath(QStringLiteral(".config")).toUtf8());
    FileDialog::ForgetLastFolders();
    const QString gifFiles = home.filePath(QStringLiteral("work/GifFiles"));
    const QString pictures = home.filePath(QStringLiteral("Pictures"));
    const QString chosen = home.filePath(QStringLiteral("chosen"));
    const auto run = [&](bool open, const QString& answer) {
        FileDialog dialog(open, QStringLiteral("GIF"), QString(), 0, kGifFilter, nullptr);
        dialog.SetInitialFolder(open ? QString() : gifFiles);
        QString start;
        FileDialog::SetHook([&](const FileDialogRequest& request) {
            start = request.initialFolder;
            return answer.isEmpty() ? std::nullopt : std::optional(answer);
        });
        dialog.DoModal();
        FileDialog::SetHook({});
        return start;
    };
    EXPECT_EQ(run(true, {}), home.path());  // no pictures folder
    ASSERT_TRUE(QDir().mkpath(pictures) && QDir().mkpath(chosen));
    EXPECT_EQ(run(true, {}), pictures);
    EXPECT_EQ(run(false, {}), pictures);  // no GifFiles
    ASSERT_TRUE(QDir().mkpath(gifFiles));
    EXPECT_EQ(run(false, {}), gifFiles);
    EXPECT_EQ(run(true, chosen + QStringLiteral("/a.png")), pictures);
    EXPECT_EQ(run(true, {}), chosen);
    EXPECT_EQ(run(false, chosen + QStringLiteral("/../out.gif")), gifFiles);
    EXPECT_EQ(run(false, {}), home.path());
    EXPECT_EQ(run(true, {}), chosen);
    FileDialog::ForgetLastFolders();
    qputenv("HOME", savedHome);
    qputenv("XDG_CONFIG_HOME", savedConfig);
}

// The initial folder and the filter reach Qt's dialog.
TEST(FileDialog, RealOpenDialogStartsInTheFolderWithThePictureFilter) {
    FileDialog::ForgetLastFolders();
    QTemporaryDir dir;
    FileDialog open(true, QStringLiteral("(*.*)|*.*"), QString(), 0, kImageFilter, nullptr);
    open.SetInitialFolder(dir.path());
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        EXPECT_EQ(QDir(shown->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        EXPECT_EQ(shown->nameFilters(), FileDialog::ToQtFilter(kImageFilter).split(";;"));
        shown->reject();
    });
    EXPECT_EQ(open.DoModal(), 2);
}

}  // namespace
}  // namespace tavrel
