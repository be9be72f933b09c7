// The application shell: the order of start-up and shut-down around the main dialog, with
// the skin file present, missing or malformed.
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
        ASSERT_TRUE(work_.isValid());
        previousDir_ = QDir::currentPath();
        ASSERT_TRUE(QDir().mkpath(work_.filePath(QStringLiteral("Resources/Tavrel"))));
        QDir::setCurrent(work_.path());  // the program finds its files below the current folder
        tavrel::SetPlatformTrace([this](const QString& line) { trace_ << line; });
    }
    void TearDown() override {
        tavrel::SetPlatformTrace({});
        QDir::setCurrent(previousDir_);
    }
    void WriteSkin(const QByteArray& text) {
        QFile file(kSkinPath);
        ASSERT_TRUE(file.open(QIODevice::WriteOnly));
        file.write(text);
    }

    // Runs the program's start-up and shut-down; the user closes the main dialog as soon
    // as it shows, and what the program looks like then is noted in the trace.
    void RunProgram() {
        QTimer user;
        QObject::connect(&user, &QTimer::timeout, [this, &user] {
            for (QWidget* w : QApplication::topLevelWidgets()) {
                if (auto* dlg = qobject_cast<CTavrelDlg*>(w); dlg != nullptr && dlg->isVisible()) {
                    trace_ << QStringLiteral("dialog shown");
                    styleSheetWhileRunning_ = qApp->styleSheet();
                    codecsWhileRunning_ = tavrel::CodecsStarted();
                    user.stop();
                    dlg->close();
                    return;
                }
            }
        });
        user.start(5);
        CTavrelApp app;
        EXPECT_EQ(app.InitInstance(), 0);
        exitCode_ = app.ExitInstance();
    }

    QStringList Expected(int skinLoaded) const {
        const QString load = QStringLiteral("SkinLoadFile %1 -> %2").arg(kSkinPath).arg(skinLoaded);
        QStringList lines{QString::fromUtf8("SkinStart 关于 Tavrel"), load};
        if (skinLoaded)
            lines << QStringLiteral("SkinSetDialogSkin Dialog");
        lines << QStringLiteral("SkinStart Tavrel") << load;
        if (skinLoaded)
            lines << QStringLiteral("SkinSetDialogSkin Dialog");
        lines << QStringLiteral("CodecStartup") << QStringLiteral("dialog shown")
              << QStringLiteral("CodecShutdown") << QStringLiteral("SkinEnd");
        return lines;
    }

    QTemporaryDir work_;
    QString previousDir_;
    QStringList trace_;
    QString styleSheetWhileRunning_;
    bool codecsWhileRunning_ = false;
    int exitCode_ = -1;
};

TEST_F(AppShell, SkinnedStartRunsTheDialogAndShutsCodecsDownBeforeTheSkinLayer) {
    WriteSkin("[Dialog]\nQDialog { background-color: #f2f3f5; }\n");
    RunProgram();
    EXPECT_EQ(trace_, Expected(1));
    EXPECT_TRUE(styleSheetWhileRunning_.contains(QStringLiteral("#f2f3f5")));
    EXPECT_TRUE(codecsWhileRunning_);
    EXPECT_EQ(exitCode_, 0);

    // After shut-down the skin is gone and image operations fail.
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_FALSE(tavrel::CodecsStarted());
    QString reason;
    EXPECT_TRUE(tavrel::LoadPicture(QStringLiteral(TAVREL_TESTDATA_DIR "/photo530/p1.png"), &reason)
                    .isNull());
}

TEST_F(AppShell, MissingOrMalformedSkinFileStartsUnskinned) {
    const QByteArray malformed[] = {QByteArray(),                 // no file at all
                                    "QDialog { color: red; }\n",  // outside any skin
                                    "[Dialog]\nQDialog { color: red;\n",
                                    QByteArray("\x89PNG\r\n\x1a\n\0\0\0", 11)};
    for (const QByteArray& bad : malformed) {
        SCOPED_TRACE(bad.toStdString());
        trace_.clear();
        QFile::remove(kSkinPath);
        if (!bad.isEmpty())
            WriteSkin(bad);
        RunProgram();
        EXPECT_EQ(trace_, Expected(0));
        EXPECT_TRUE(styleSheetWhileRunning_.isEmpty());
        EXPECT_TRUE(codecsWhileRunning_);
    }
}

}  // namespace
