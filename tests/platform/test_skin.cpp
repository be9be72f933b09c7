#include "platform/skin.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "platform/skin_colours.h"
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

TEST_F(Skin, TheShippedDialogSkinLoadsAppliesAndEnds) {
    const QString shipped = QStringLiteral(TAVREL_SOURCE_DIR "/Resources/Tavrel/simpleK.smf");
    SkinStart(nullptr, QStringLiteral("Tavrel"), 0, 0);
    ASSERT_NE(SkinLoadFile(shipped), 0);
    EXPECT_FALSE(SkinDialogBackground().isValid());
    SkinSetDialogSkin(QStringLiteral("Dialog"));
    EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("QGroupBox")));
    EXPECT_EQ(SkinDialogBackground(), QColor(0xf2, 0xf3, 0xf5));
    SkinEnd();
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(trace_, QStringList({"SkinStart Tavrel", "SkinLoadFile " + shipped + " -> 1",
                                   "SkinSetDialogSkin Dialog", "SkinEnd"}));
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
    const QByteArray bad[] = {
        "QDialog { color: red; }\n",                      // no section
        "[  ]\nQDialog { }\n",                            // header without a name
        "[Dialog]\nQDialog { color: red;\n",              // unclosed brace
        "[Dialog]\nQDialog { }\n[Dialog]\nQLabel { }\n",  // the same name twice
        "[Dialog]\nQDialog { font-family: \"\xE5\xAE\x8B\"; }\n\xFF\xFE\n",  // not UTF-8
    };
    QStringList paths{dir_.filePath(QStringLiteral("none.smf"))};
    for (const QByteArray& bytes : bad)
        paths << Write(bytes);
    for (const QString& path : paths) {
        EXPECT_EQ(SkinLoadFile(path), 0) << test::ReadAll(path).toStdString();
        SkinSetDialogSkin(QStringLiteral("Dialog"));
        EXPECT_TRUE(qApp->styleSheet().isEmpty()) << path.toStdString();
    }
}

}  // namespace
}  // namespace tavrel
