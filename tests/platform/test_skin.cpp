#include "platform/skin.h"

#include <gtest/gtest.h>

#include <QPushButton>
#include <QTemporaryDir>

#include "platform/bitmap_loader.h"
#include "platform/trace.h"
#include "qt_test_app.h"

namespace tavrel {
namespace {

const QString kShippedSkin = QStringLiteral(TAVREL_SOURCE_DIR "/Resources/Tavrel/simpleK.smf");

class Skin : public ::testing::Test {
protected:
    void SetUp() override { test::App().setStyleSheet(QString()); }
    void TearDown() override {
        SetPlatformTrace({});  // the tests' hooks capture locals
        SkinEnd();
    }
    QString Write(const QByteArray& bytes) {
        const QString path = dir_.filePath(QStringLiteral("skin%1.smf").arg(++count_));
        EXPECT_TRUE(test::WriteAll(path, bytes));
        return path;
    }
    QTemporaryDir dir_;
    int count_ = 0;
};

// Qt's complaints about style sheets it cannot parse, collected while a widget is polished.
QStringList StyleSheetWarnings() {
    static QStringList* sink = nullptr;
    QStringList warnings;
    sink = &warnings;
    const QtMessageHandler previous =
        qInstallMessageHandler([](QtMsgType, const QMessageLogContext&, const QString& text) {
            if (sink && text.contains(QStringLiteral("style"), Qt::CaseInsensitive)) {
                *sink << text;
            }
        });
    QPushButton button(QStringLiteral("确定"));
    button.ensurePolished();
    QPushButton picture;
    const DibSection none;
    SetButtonBitmap(&picture, &none);
    picture.ensurePolished();
    qInstallMessageHandler(previous);
    sink = nullptr;
    return warnings;
}

TEST_F(Skin, TheShippedDialogSkinLoadsAppliesCleanlyAndEnds) {
    QStringList trace;
    SetPlatformTrace([&](const QString& line) { trace << line; });
    SkinStart(nullptr, QStringLiteral("Tavrel"), 0, 0);
    ASSERT_NE(SkinLoadFile(kShippedSkin), 0);
    SkinSetDialogSkin(QStringLiteral("Dialog"));
    EXPECT_TRUE(test::App().styleSheet().contains(QStringLiteral("QGroupBox")));
    EXPECT_EQ(StyleSheetWarnings(), QStringList());
    SkinEnd();
    EXPECT_TRUE(test::App().styleSheet().isEmpty());
    EXPECT_EQ(trace, QStringList({"SkinStart Tavrel", "SkinLoadFile " + kShippedSkin + " -> 1",
                                  "SkinSetDialogSkin Dialog", "SkinEnd"}));
}

TEST_F(Skin, NamedSkinsAreKeptApartAndCommentsIgnored) {
    const QString path = Write(
        "# two skins\n"
        "[Dialog]\n"
        "QDialog { background: #eeeeee; }\n"
        "# QPushButton { color: red; }\n"
        "\n"
        "[ Other ]\n"
        "QPushButton { color: \"}\"; }\n");
    ASSERT_NE(SkinLoadFile(path), 0);
    SkinSetDialogSkin(QStringLiteral("Other"));
    EXPECT_EQ(test::App().styleSheet().trimmed(), QStringLiteral("QPushButton { color: \"}\"; }"));
    SkinSetDialogSkin(QStringLiteral("Dialog"));
    EXPECT_FALSE(test::App().styleSheet().contains(QStringLiteral("red")));
    EXPECT_TRUE(test::App().styleSheet().contains(QStringLiteral("#eeeeee")));

    // An unknown name changes nothing.
    SkinSetDialogSkin(QStringLiteral("Missing"));
    EXPECT_TRUE(test::App().styleSheet().contains(QStringLiteral("#eeeeee")));
}

TEST_F(Skin, MissingOrMalformedFilesMeanNoSkin) {
    const QByteArray bad[] = {
        "",
        "   \n\n",
        "# only a comment\n",
        "QDialog { color: red; }\n",            // no section
        "stray text\n[Dialog]\nQDialog { }\n",  // text before the first skin
        "[]\nQDialog { }\n",                    // header without a name
        "[  ]\nQDialog { }\n",
        "[Dialog]\nQDialog { color: red;\n",  // unclosed brace
        "[Dialog]\nQDialog color: red; }\n",  // stray closing brace
        "[Dialog]\nQDialog { /* unterminated }\n",
        "[Dialog]\nQDialog { }\n[Dialog]\nQLabel { }\n",  // the same name twice
        QByteArray(
            "[Dialog]\nQDialog { font-family: \"\xE5\xAE\x8B\"; }\n\xFF\xFE\n"),  // not UTF-8
        [] {
            static constexpr char kBinary[] = "[Dialog]\nQDialog { }\n\0\0\0";
            return QByteArray(kBinary, sizeof kBinary - 1);
        }(),  // binary
    };
    QStringList trace;
    SetPlatformTrace([&](const QString& line) { trace << line; });
    for (const QByteArray& bytes : bad) {
        const QString path = Write(bytes);
        EXPECT_EQ(SkinLoadFile(path), 0) << bytes.toStdString();
        SkinSetDialogSkin(QStringLiteral("Dialog"));
        EXPECT_TRUE(test::App().styleSheet().isEmpty()) << bytes.toStdString();
    }
    EXPECT_EQ(SkinLoadFile(dir_.filePath(QStringLiteral("none.smf"))), 0);
    EXPECT_EQ(SkinLoadFile(dir_.path()), 0);  // a folder
    EXPECT_EQ(trace.last(), "SkinLoadFile " + dir_.path() + " -> 0");
}

}  // namespace
}  // namespace tavrel
