#include "platform/message_box.h"

#include <gtest/gtest.h>

#include "qt_test_app.h"

namespace tavrel {
namespace {

TEST(MessageBox, ShowsTheTextUnderTheProgramName) {
    ASSERT_FALSE(QCoreApplication::applicationName().isEmpty());
    QString caption, text;
    SetMessageBoxHook([&](const QString& c, const QString& t) { caption = c, text = t; });
    ShowMessage(nullptr, QStringLiteral("动画已制作成功！谢谢！"));
    SetMessageBoxHook({});
    EXPECT_EQ(caption, QCoreApplication::applicationName());
    EXPECT_EQ(text, QStringLiteral("动画已制作成功！谢谢！"));
}

}  // namespace
}  // namespace tavrel
