#include "platform/skin.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QTemporaryDir>

#include "tests/qt_app_environment.h"

namespace tavrel {
namespace {

TEST(Skin, MissingOrMalformedFilesMeanNoSkin) {
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
    qApp->setStyleSheet(QString());
    for (const QString& path : paths) {
        EXPECT_EQ(SkinLoadFile(path), 0) << test::FileContent(path).toStdString();
        SkinSetDialogSkin(QStringLiteral("Dialog"));
        EXPECT_TRUE(qApp->styleSheet().isEmpty()) << path.toStdString();
    }
    SkinEnd();
}

}  // namespace
}  // namespace tavrel
