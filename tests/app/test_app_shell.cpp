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

const QString kSkinPath = QStringLiteral("Resources/Tavrel/simpleK.smf");

class AppShell : public ::testing::Test {
protected:
    void SetUp() override {
        previousDir_ = QDir::currentPath();
        ASSERT_TRUE(QDir().mkpath(work_.filePath(QStringLiteral("Resources/Tavrel"))));
        QDir::setCurrent(work_.path());  // the program finds its files below the current folder
        tavrel::SetPlatformTrace([this](const QString& line) { trace_ << line; });
    }
    void TearDown() override {
        tavrel::SetPlatformTrace({});
        QDir::setCurrent(previousDir_);
    }

    // Runs the program's start-up and shut-down with `skin` as the skin file (none if
    // empty); the user closes the main dialog as soon as it shows, and what the program
    // looks like then is noted.
    void RunProgram(const QByteArray& skin) {
        QFile file(kSkinPath);
        if (!skin.isEmpty()) {
            ASSERT_TRUE(file.open(QIODevice::WriteOnly) && file.write(skin) == skin.size());
        }
        file.close();
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [this, &user] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* dlg = qobject_cast<CTavrelDlg*>(w); dlg != nullptr && dlg->isVisible()) {
                    trace_ << QStringLiteral("dialog shown");
                    styleSheetWhileRunning_ = qApp->styleSheet();
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
    }

    // The about box's skin is set up first, then the main dialog's; codecs live only while
    // the dialog runs, and are shut down before the skin layer.
    static QStringList Expected(bool skinLoaded) {
        const QString load = QStringLiteral("SkinLoadFile %1 -> %2").arg(kSkinPath).arg(skinLoaded);
        QStringList lines;
        for (const QString& caption :
             {QString::fromUtf8("关于 Tavrel"), QStringLiteral("Tavrel")}) {
            lines << QStringLiteral("SkinStart ") + caption << load;
            if (skinLoaded)
                lines << QStringLiteral("SkinSetDialogSkin Dialog");
        }
        return lines << QStringLiteral("CodecStartup") << QStringLiteral("dialog shown")
                     << QStringLiteral("CodecShutdown") << QStringLiteral("SkinEnd");
    }

    QTemporaryDir work_;
    QString previousDir_;
    QStringList trace_;
    QString styleSheetWhileRunning_;
};

TEST_F(AppShell, SkinnedStartRunsTheDialogAndShutsCodecsDownBeforeTheSkinLayer) {
    RunProgram("[Dialog]\nQDialog { background-color: #f2f3f5; }\n");
    EXPECT_EQ(trace_, Expected(true));
    EXPECT_TRUE(styleSheetWhileRunning_.contains(QStringLiteral("#f2f3f5")));
    EXPECT_TRUE(qApp->styleSheet().isEmpty());  // the skin is gone after shut-down
}

TEST_F(AppShell, MissingSkinFileStartsUnskinned) {
    RunProgram(QByteArray());
    EXPECT_EQ(trace_, Expected(false));
    EXPECT_TRUE(styleSheetWhileRunning_.isEmpty());
}

}  // namespace
