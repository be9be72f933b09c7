// The application shell: the order of start-up and shut-down around the main dialog, with
// the skin file present or missing.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>

#include "app/tavrel_app.h"
#include "platform/image_codecs.h"
#include "platform/trace.h"
#include "tests/qt_app_environment.h"
#include "ui/tavrel_dlg.h"

namespace {

// The program starts with the shipped skin, then without a skin file; the user closes the
// main dialog as soon as it shows. The about box's skin is set up first, then the main
// dialog's; the skin applies while the dialog runs; codecs live only while the dialog runs
// and are shut down before the skin layer.
TEST(AppShell, RunsTheDialogAndShutsCodecsDownBeforeTheSkinLayer) {
    const QString skinPath = QStringLiteral("Resources/Tavrel/simpleK.smf");
    const QByteArray shipped =
        tavrel::test::FileContent(QStringLiteral(TAVREL_SOURCE_DIR "/") + skinPath);
    QTemporaryDir work;
    const QString previousDir = QDir::currentPath();
    ASSERT_TRUE(QDir().mkpath(work.filePath(QStringLiteral("Resources/Tavrel"))));
    QDir::setCurrent(work.path());  // the program finds its files below the current folder
    QStringList trace;
    tavrel::SetPlatformTrace([&trace](const QString& line) { trace << line; });
    for (const QByteArray& skin : {shipped, QByteArray()}) {
        SCOPED_TRACE(skin.isEmpty() ? "no skin file" : "the shipped skin");
        trace.clear();
        QFile::remove(skinPath);
        ASSERT_TRUE(skin.isEmpty() || tavrel::test::WriteAll(skinPath, skin));
        QString styleSheetWhileRunning;
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [&] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* dlg = qobject_cast<CTavrelDlg*>(w); dlg != nullptr && dlg->isVisible()) {
                    trace << QStringLiteral("dialog shown");
                    styleSheetWhileRunning = qApp->styleSheet();
                    EXPECT_TRUE(tavrel::CodecsStarted());
                    user.stop();
                    dlg->close();
                    return;
                }
            }
        });
        user.start(5);
        CTavrelApp app;
        EXPECT_EQ(app.InitInstance(), 0);
        EXPECT_EQ(app.ExitInstance(), 0);

        QStringList expected;
        for (const QString& caption :
             {QString::fromUtf8("关于 Tavrel"), QStringLiteral("Tavrel")}) {
            expected << QStringLiteral("SkinStart ") + caption
                     << QStringLiteral("SkinLoadFile %1 -> %2").arg(skinPath).arg(!skin.isEmpty());
            if (!skin.isEmpty()) {
                expected << QStringLiteral("SkinSetDialogSkin Dialog");
            }
        }
        expected << QStringLiteral("CodecStartup") << QStringLiteral("dialog shown")
                 << QStringLiteral("CodecShutdown") << QStringLiteral("SkinEnd");
        EXPECT_EQ(trace, expected);
        EXPECT_EQ(styleSheetWhileRunning.contains(QStringLiteral("QGroupBox")), !skin.isEmpty());
        EXPECT_TRUE(qApp->styleSheet().isEmpty());  // the skin is gone after shut-down
    }
    tavrel::SetPlatformTrace({});
    QDir::setCurrent(previousDir);
}

}  // namespace
