#include "platform/message_box.h"

#include <gtest/gtest.h>

#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "qt_test_app.h"

namespace tavrel {
namespace {

TEST(MessageBox, ShowsTheTextUnderTheProgramNameWithOneOkButton) {
    ASSERT_FALSE(QCoreApplication::applicationName().isEmpty());
    QString caption, text;
    SetMessageBoxHook([&](const QString& c, const QString& t) { caption = c, text = t; });
    ShowMessage(nullptr, QStringLiteral("动画已制作成功！谢谢！"));
    SetMessageBoxHook({});
    EXPECT_EQ(caption, QCoreApplication::applicationName());
    EXPECT_EQ(text, QStringLiteral("动画已制作成功！谢谢！"));

    // Without a hook a real modal box appears and the call returns once it is dismissed.
    QWidget owner;
    bool seen = false;
    QTimer::singleShot(0, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        ASSERT_NE(box, nullptr);
        seen = true;
        EXPECT_EQ(box->windowTitle(), QCoreApplication::applicationName());
        EXPECT_EQ(box->text(), QStringLiteral("未选择图像，不需要取消！谢谢！"));
        EXPECT_EQ(box->parentWidget(), &owner);
        ASSERT_EQ(box->buttons().size(), 1);
        EXPECT_EQ(box->standardButton(box->buttons().first()), QMessageBox::Ok);
        box->buttons().first()->click();
    });
    ShowMessage(&owner, QStringLiteral("未选择图像，不需要取消！谢谢！"));
    EXPECT_TRUE(seen);
}

}  // namespace
}  // namespace tavrel
