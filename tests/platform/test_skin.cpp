#include "platform/window/skin.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "platform/window/skin_colours.h"
#include "tests/qt_app_environment.h"

namespace tavrel {
namespace {

class Skin : public ::testing::Test {
protected:
    void SetUp() override { qApp->setStyleSheet(QString()); }
    void TearDown() override { SkinEnd(); }
};

// The shipped skin's trace and style sheet, applied and gone again, are checked in the
// program's start-up and shut-down test; here the dialog background it sets.
TEST_F(Skin, TheShippedDialogSkinSetsTheDialogBackground) {
    SkinStart(nullptr, QStringLiteral("Tavrel"), 0, 0);
    ASSERT_NE(SkinLoadFile(QStringLiteral(TAVREL_SOURCE_DIR "/Resources/Tavrel/simpleK.smf")), 0);
    EXPECT_FALSE(SkinDialogBackground().isValid());
    SkinSetDialogSkin(QStringLiteral("Dialog"));
    EXPECT_EQ(SkinDialogBackground(), QColor(0xf2, 0xf3, 0xf5));
}

TEST_F(Skin, DialogBackgroundComesFromTheQDialogRuleOnly) {
    const std::pair<const char*, QColor> sheets[] = {
        {"QDialog { color: red; background: navy }", QColor("navy")},
        {"QLabel{background-color:red}\nQWidget, QDialog{ background-color : #102030; }",
         QColor(0x10, 0x20, 0x30)},
        {"/* QDialog { background-color: red; } */ QLabel { background-color: red; }", {}},
        {"MyQDialog { background-color: red; }", {}},
    };
    for (const auto& [sheet, colour] : sheets) {
        qApp->setStyleSheet(QString::fromLatin1(sheet));
        EXPECT_EQ(SkinDialogBackground(), colour) << sheet;
    }
}

TEST_F(Skin, MissingOrMalformedFilesMeanNoSkin) {
    QTemporaryDir dir;
    const QByteArray bad[] = {
        "QDialog { color: red; }\n",                      // no section
        "[  ]\nQDialog { }\n",                            // header without a name
        "[Dialog]\nQDialog { color: red;\n",              // unclosed brace
        "[Dialog]\nQDialog { }\n[Dialog]\nQLabel { }\n",  // the same name twice
        "[Dialog]\nQDialog { font-family: \"\xE5\xAE\x8B\"; }\n\xFF\xFE\n",  // not UTF-8
    };
    QStringList paths{dir.filePath(QStringLiteral("none.smf"))};
    for (const QByteArray& bytes : bad) {
        paths << dir.filePath(QStringLiteral("%1.smf").arg(paths.size()));
        ASSERT_TRUE(test::WriteAll(paths.last(), bytes));
    }
    for (const QString& path : paths) {
        EXPECT_EQ(SkinLoadFile(path), 0) << test::FileContent(path).toStdString();
        SkinSetDialogSkin(QStringLiteral("Dialog"));
        EXPECT_TRUE(qApp->styleSheet().isEmpty()) << path.toStdString();
    }
}

}  // namespace
}  // namespace tavrel
