// The window's texts, Qt's own included, are Chinese once the translations are installed; the
// command-line tool turns Chinese only under a Chinese locale.
#include "platform/translations.h"

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QDialogButtonBox>
#include <QMessageBox>
#include <QTimer>
#include <tuple>

#include "platform/window/file_dialog.h"
#include "platform/window/message_box.h"
#include "tests/qt_app_environment.h"

namespace tavrel {
namespace {

// The texts of the buttons of the modal widget that `open` shows, which is then closed.
QStringList ButtonTextsOfModal(const std::function<void()>& open) {
    QStringList texts;
    QTimer::singleShot(0, [&] {
        QWidget* shown = QApplication::activeModalWidget();
        ASSERT_NE(shown, nullptr);
        for (const QDialogButtonBox* box : shown->findChildren<QDialogButtonBox*>()) {
            for (const QAbstractButton* button : box->buttons()) {
                texts << button->text();
            }
        }
        shown->close();
    });
    open();
    return texts;
}

TEST(Translations, QtOwnTextsOfTheWindowAreChinese) {
    ASSERT_TRUE(InstallTranslations(Language::Chinese));

    const QStringList openButtons = ButtonTextsOfModal([] {
        FileDialog(true, QStringLiteral("(*.*)|*.*"), QString(), 0, QString(), nullptr).DoModal();
    });
    EXPECT_EQ(openButtons, QStringList({QStringLiteral("打开(&O)"), QStringLiteral("取消")}));

    const QStringList messageButtons =
        ButtonTextsOfModal([] { ShowMessage(nullptr, QStringLiteral("动画已制作成功！谢谢！")); });
    EXPECT_EQ(messageButtons, QStringList{QStringLiteral("确定")});
}

TEST(Translations, TheToolFollowsTheMessagesLocale) {
    const std::tuple<const char*, const char*, const char*, bool> cases[] = {
        {"", "", "zh_CN.UTF-8", true},   {"", "", "zh_TW.UTF-8", true},
        {"", "", "C.UTF-8", false},      {"", "", "", false},
        {"C", "", "zh_CN.UTF-8", false}, {"", "zh_CN.UTF-8", "en_GB.UTF-8", true},
        {"zh_CN.UTF-8", "C", "C", true},
    };
    for (const auto& [all, messages, lang, chinese] : cases) {
        qputenv("LC_ALL", all);
        qputenv("LC_MESSAGES", messages);
        qputenv("LANG", lang);
        EXPECT_EQ(LocaleIsChinese(), chinese) << all << '/' << messages << '/' << lang;
    }
}

}  // namespace
}  // namespace tavrel
