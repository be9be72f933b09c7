#include "platform/skin.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

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
    SkinSetDialogSkin(QStringLiteral("Dialog"));
    EXPECT_TRUE(qApp->styleSheet().contains(QStringLiteral("QGroupBox")));
    SkinEnd();
    EXPECT_TRUE(qApp->styleSheet().isEmpty());
    EXPECT_EQ(trace_, QStringList({"SkinStart Tavrel", "SkinLoadFile " + shipped + " -> 1",
                                   "SkinSetDialogSkin Dialog", "SkinEnd"}));
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
