#include "platform/file_dialog.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QDir>
#include <QElapsedTimer>
#include <QFileDialog>
#include <QTemporaryDir>
#include <QTimer>

#include "qt_test_app.h"

namespace tavrel {
namespace {

const QString kImageFilter = QStringLiteral("图像文件 (*.jpg;*.bmp;*.png)|*.jpg;*.bmp;*.png||");
const QString kGifFilter = QStringLiteral("GIF 文件(*.GIF)|*.GIF||");

// Runs the dialog with a hook answering `answer` (nothing: cancel); returns the request seen.
FileDialogRequest RunWithHook(FileDialog& dialog, std::optional<QString> answer, int* result) {
    FileDialogRequest seen;
    FileDialog::SetHook([&](const FileDialogRequest& request) {
        seen = request;
        return answer;
    });
    *result = dialog.DoModal();
    FileDialog::SetHook({});
    return seen;
}

// Runs the real dialog and lets `inspect` look at it (and close it) once it is shown.
int RunRealDialog(FileDialog& dialog, const std::function<void(QFileDialog*)>& inspect) {
    bool inspected = false;
    QTimer::singleShot(0, [&] {
        auto* shown = qobject_cast<QFileDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(shown, nullptr);
        inspected = true;
        inspect(shown);
    });
    const int result = dialog.DoModal();
    EXPECT_TRUE(inspected);
    return result;
}

TEST(FileDialog, ClassicFiltersBecomeCaseInsensitiveQtFilters) {
    EXPECT_EQ(FileDialog::ToQtFilter(kImageFilter),
              QStringLiteral("图像文件 (*.jpg;*.bmp;*.png) (*.[jJ][pP][gG] *.[bB][mM][pP] "
                             "*.[pP][nN][gG])"));
    EXPECT_EQ(FileDialog::ToQtFilter(kGifFilter),
              QStringLiteral("GIF 文件(*.GIF) (*.[gG][iI][fF])"));
    EXPECT_EQ(FileDialog::ToQtFilter(QStringLiteral("A|*.a|All|*.*||")),
              QStringLiteral("A (*.[aA]);;All (*.*)"));
    EXPECT_EQ(FileDialog::ToQtFilter(QString()), QString());
}

TEST(FileDialog, DefaultExtensionIsAddedOnlyWhereItBelongs) {
    const std::tuple<bool, QString, QString> cases[] = {
        {false, "/tmp/out", "/tmp/out.GIF"},
        {false, "/tmp/out.", "/tmp/out.GIF"},
        {false, "/tmp/out.gif", "/tmp/out.gif"},
        {false, "/tmp/my.folder/out", "/tmp/my.folder/out.GIF"},
        {true, "/tmp/photo", "/tmp/photo"},
    };
    for (const auto& [open, chosen, expected] : cases) {
        FileDialog dialog(open, open ? QStringLiteral("(*.*)|*.*") : QStringLiteral("GIF"),
                          QString(), 0, kGifFilter, nullptr);
        int result = 0;
        RunWithHook(dialog, chosen, &result);
        EXPECT_EQ(result, 1);
        EXPECT_EQ(dialog.GetPathName(), expected);
    }
}

TEST(FileDialog, HookSeesTheRequestAndCancelLeavesNoPath) {
    FileDialog save(false, QStringLiteral("GIF"), QString(), kOfnOverwritePrompt | kOfnHideReadOnly,
                    kGifFilter, nullptr);
    save.SetInitialFolder(QStringLiteral("/somewhere/GifFiles/"));
    int result = 0;
    const FileDialogRequest seen = RunWithHook(save, std::nullopt, &result);
    EXPECT_EQ(result, 2);
    EXPECT_TRUE(save.GetPathName().isEmpty());
    EXPECT_FALSE(seen.open);
    EXPECT_EQ(seen.flags, kOfnOverwritePrompt | kOfnHideReadOnly);
    EXPECT_EQ(seen.filter, kGifFilter);
    EXPECT_EQ(seen.initialFolder, QStringLiteral("/somewhere/GifFiles/"));

    FileDialog open(true, QStringLiteral("(*.*)|*.*"), QString(), 0, kImageFilter, nullptr);
    RunWithHook(open, QStringLiteral("/pictures/holiday.2024.JPG"), &result);
    EXPECT_EQ(open.GetFileTitle(), QStringLiteral("holiday.2024"));
}

TEST(FileDialog, RealOpenDialogListsPicturesOfEitherCaseInTheInitialFolder) {
    QTemporaryDir dir;
    for (const char* name : {"IMG_0001.JPG", "c.bmp", "e.txt"})
        ASSERT_TRUE(test::WriteAll(dir.filePath(QString::fromLatin1(name)), "x"));
    FileDialog open(true, QStringLiteral("(*.*)|*.*"), QString(), 0, kImageFilter, nullptr);
    open.SetInitialFolder(dir.path());
    const int result = RunRealDialog(open, [&](QFileDialog* shown) {
        EXPECT_EQ(QDir(shown->directory()).canonicalPath(), QDir(dir.path()).canonicalPath());
        EXPECT_EQ(shown->acceptMode(), QFileDialog::AcceptOpen);
        // The user sees the description only, not the expanded patterns.
        EXPECT_EQ(shown->selectedNameFilter(), QStringLiteral("图像文件 (*.jpg;*.bmp;*.png)"));
        auto* view = shown->findChild<QAbstractItemView*>(QStringLiteral("listView"));
        ASSERT_NE(view, nullptr);
        QStringList names;
        QElapsedTimer clock;
        clock.start();
        while (names.size() < 2 && clock.elapsed() < 5000) {
            QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
            names.clear();
            for (int row = 0; row < view->model()->rowCount(view->rootIndex()); ++row)
                names << view->model()->index(row, 0, view->rootIndex()).data().toString();
        }
        names.sort();
        EXPECT_EQ(names, QStringList({"IMG_0001.JPG", "c.bmp"}));
        shown->reject();
    });
    EXPECT_EQ(result, 2);
}

TEST(FileDialog, RealSaveDialogAsksBeforeReplacingOnlyWhenToldAndAddsTheExtension) {
    QTemporaryDir dir;
    for (const uint32_t flags : {kOfnOverwritePrompt | kOfnHideReadOnly, 0u}) {
        FileDialog save(false, QStringLiteral("GIF"), QString(), flags, kGifFilter, nullptr);
        save.SetInitialFolder(dir.path());
        const int result = RunRealDialog(save, [&](QFileDialog* shown) {
            EXPECT_EQ(shown->acceptMode(), QFileDialog::AcceptSave);
            EXPECT_EQ(shown->testOption(QFileDialog::DontConfirmOverwrite), flags == 0);
            shown->selectFile(QStringLiteral("动画"));
            QMetaObject::invokeMethod(shown, "accept");
        });
        EXPECT_EQ(result, 1);
        EXPECT_EQ(QFileInfo(save.GetPathName()).fileName(), QStringLiteral("动画.GIF"));
    }
}

}  // namespace
}  // namespace tavrel
