#include "platform/skin.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QPushButton>
#include <QTemporaryDir>

#include "platform/bitmap_loader.h"
#include "platform/trace.h"
#include "qt_test_app.h"

namespace tavrel {
namespace {

class Skin : public ::testing::Test {
protected:
    void SetUp() override {
        qApp->setStyleSheet(QString());
        SetPlatformTrace([this](const QString& line) { trace_ << line; });
    }
    void TearDown() override {
        SetPlatformTrace({});
        SkinEnd();
    }
    QString Write(const QByteArray& bytes) {
        const QString path = dir_.filePath(QStringLiteral("skin%1.smf").arg(++count_));
        EXPECT_TRUE(test::WriteAll(path, bytes));
        return path;
    }
    QTemporaryDir dir_;
    int count_ = 0;
    QStringList trace_;
};

// Qt's complaints about the style sheet, collected while a text and a picture button are polished.
QStringList StyleSheetWarnings() {
    static QStringList warnings;
    warnings.clear();
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            if (text.contains(QStringLiteral("style"), Qt::CaseInsensitive))
                warnings << text;
        });
    QPushButton button(QStringLiteral("确定")), picture;
    const DibSection none;
    SetButtonBitmap(&picture, &none);
    button.ensurePolished();
    picture.ensurePolished();
    qInstallMessageHandler(previous);
    return warnings;
}

TEST_F(Skin, TheShippedDialogSkinLoadsAppliesCleanlyAndEnds) {
    const QString shipped = QStringLiteral(TAVREL_SOURCE_DIR "/Resources/Tavrel/simpleK.smf");
    SkinStart(nullptr, QStringLiteral("Tavrel"), 0, 0);
    ASSERT_NE(SkinLoadFile(shipped), 0);
    SkinSetDialogSkin(QStringLiteral("Dialog"));
    EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("QGroupBox")));
    EXPECT_EQ(StyleSheetWarnings(), QStringList());
    SkinEnd();
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(trace_, QStringList({"SkinStart Tavrel", "SkinLoadFile " + shipped + " -> 1",
                                   "SkinSetDialogSkin Dialog", "SkinEnd"}));
}

TEST_F(Skin, NamedSkinsAreKeptApartAndCommentsIgnored) {
    ASSERT_NE(SkinLoadFile(Write("# two skins\n[Dialog]\nQDialog { background: #eeeeee; }\n"
                                 "# QPushButton { color: red; }\n\n"
                                 "[ Other ]\nQPushButton { color: \"}\"; }\n")),
              0);
    SkinSetDialogSkin(QStringLiteral("Other"));
    EXPECT_EQ(qApp->styleSheet().trimmed(), QStringLiteral("QPushButton { color: \"}\"; }"));
    SkinSetDialogSkin(QStringLiteral("Dialog"));
    SkinSetDialogSkin(QStringLiteral("Missing"));  // an unknown name changes nothing
    EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("#eeeeee")));
    EXPECT_FALSE(qApp->styleSheet().contains(QStringLiteral("red")));
}

TEST_F(Skin, MissingOrMalformedFilesMeanNoSkin) {
    static constexpr char kBinary[] = "[Dialog]\nQDialog { }\n\0\0\0";
    const QByteArray bad[] = {
        "",
        "   \n\n# only a comment\n",
        "QDialog { color: red; }\n",            // no section
        "stray text\n[Dialog]\nQDialog { }\n",  // text before the first skin
        "[]\nQDialog { }\n",                    // header without a name
        "[  ]\nQDialog { }\n",
        "[Dialog]\nQDialog { color: red;\n",  // unclosed brace
        "[Dialog]\nQDialog color: red; }\n",  // stray closing brace
        "[Dialog]\nQDialog { /* unterminated }\n",
        "[Dialog]\nQDialog { }\n[Dialog]\nQLabel { }\n",                     // the same name twice
        "[Dialog]\nQDialog { font-family: \"\xE5\xAE\x8B\"; }\n\xFF\xFE\n",  // not UTF-8
        QByteArray(kBinary, sizeof kBinary - 1),
    };
    QStringList paths{dir_.filePath(QStringLiteral("none.smf")), dir_.path()};
    for (const QByteArray& bytes : bad)
        paths << Write(bytes);
    for (const QString& path : paths) {
        EXPECT_EQ(SkinLoadFile(path), 0) << test::ReadAll(path).toStdString();
        SkinSetDialogSkin(QStringLiteral("Dialog"));
        EXPECT_TRUE(qApp->styleSheet().isEmpty()) << path.toStdString();
        EXPECT_EQ(trace_.mid(trace_.size() - 2, 1), QStringList{"SkinLoadFile " + path + " -> 0"});
    }
}

}  // namespace
}  // namespace tavrel
