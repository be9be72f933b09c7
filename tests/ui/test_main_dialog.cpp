// The main dialog as it starts: its state, the background pictures, the working folders, the
// window menu with the About box, and which ways of leaving run the generation command.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/translations.h"
#include "platform/window/message_box.h"
#include "platform/window/picture_button.h"
#include "platform/window/window_menu.h"
#include "tests/qt_app_environment.h"
#include "ui/about_dlg.h"
#include "ui/tavrel_dlg.h"

namespace {

// The deepest working folders; each implies the folders above it.
const char* const kWorkingFolders[] = {
    "Resources/LoadResource1/BMP",
    "Resources/LoadResource1/Image/我的作品",
    "Resources/LoadResource1/Sound/Sound",
    "Resources/LoadResource1/Movie/Movie",
};

void Key(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

class MainDialog : public ::testing::Test {
protected:
    void SetUp() override {
        tavrel::SaveWindowChoices({});
        tavrel::SetMessageBoxHook(
            [this](const QString&, const QString& text) { messages_ << text; });
    }
    void TearDown() override { tavrel::SetMessageBoxHook({}); }

    std::unique_ptr<CTavrelDlg> Start() {
        auto dlg = std::make_unique<CTavrelDlg>(nullptr, work_.path());
        dlg->Create();
        return dlg;
    }
    int WorkingFoldersPresent() const {
        return std::count_if(std::begin(kWorkingFolders), std::end(kWorkingFolders),
                             [this](const char* f) { return QDir(work_.filePath(f)).exists(); });
    }

    QTemporaryDir work_;
    QStringList messages_;
};

TEST_F(MainDialog, WorkingFoldersAreMadeOnlyWhenTheImageFolderIsMissing) {
    {
        SCOPED_TRACE("no Resources folder: nothing can be made, nothing is said");
        auto dlg = Start();
        EXPECT_TRUE(QDir(work_.path()).isEmpty());
        EXPECT_EQ(dlg->m_hWorkBitmap, nullptr);  // no background: the slots show none
        EXPECT_EQ(tavrel::ButtonBitmap(dlg->m_btnSlot[0]), nullptr);
        // The preview shows its own placeholder, never the slots' card.
        EXPECT_EQ(tavrel::ButtonBitmap(dlg->m_btnPreview), dlg->m_hPreviewPlaceholder.get());
        EXPECT_NE(dlg->m_hPreviewPlaceholder, nullptr);
    }
    {
        SCOPED_TRACE("first start: Resources present, image folder missing");
        ASSERT_TRUE(QDir().mkpath(work_.filePath("Resources")));
        Start();
        EXPECT_EQ(WorkingFoldersPresent(), std::size(kWorkingFolders));
    }
    {
        SCOPED_TRACE("image folder present, BMP folder missing: nothing is made");
        ASSERT_TRUE(QDir(work_.filePath("Resources/LoadResource1/BMP")).removeRecursively());
        Start();
        EXPECT_EQ(WorkingFoldersPresent(), std::size(kWorkingFolders) - 1);
    }
    EXPECT_TRUE(messages_.isEmpty());
}

// Chinese under a Chinese locale, English otherwise: the dialog, its menu and the About box
// with the one name and the build's version.
TEST_F(MainDialog, WindowMenuLeadsToTheAboutBoxInTheWindowsLanguage) {
    const struct {
        bool chinese;
        const char* aboutItem;
        const char* caption;
        const char* name;
        const char* generate;
        const char* choices;
        const char* fast;
    } languages[] = {
        {true, "关于 Tavrel(&A)...", "关于 Tavrel", "Tavrel " TAVREL_VERSION " 版", "GIF动画生成",
         "设置…", "快"},
        {false, "&About Tavrel...", "About Tavrel", "Tavrel " TAVREL_VERSION, "Make GIF",
         "Settings...", "Fast"},
    };
    for (const auto& l : languages) {
        SCOPED_TRACE(l.caption);
        tavrel::SetWindowLanguage(l.chinese);
        auto dlg = Start();
        QAction* aboutItem = dlg->GetSystemMenu()->Menu()->actions().value(2);
        ASSERT_NE(aboutItem, nullptr);
        EXPECT_EQ(aboutItem->text(), QString::fromUtf8(l.aboutItem));
        const auto text = [&](int id) {
            return qobject_cast<QAbstractButton*>(dlg->GetDlgItem(id))->text();
        };
        EXPECT_EQ(text(IDC_GENERATE), QString::fromUtf8(l.generate));
        EXPECT_EQ(text(IDC_CHOICES), QString::fromUtf8(l.choices));
        EXPECT_EQ(dlg->m_comboSpeed->itemText(2), QString::fromUtf8(l.fast));

        QString caption;
        QStringList labels;
        QTimer user;  // looks at the About box and presses its OK button
        QObject::connect(&user, &QTimer::timeout, [&] {
            if (auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget())) {
                caption = about->windowTitle();
                for (const QLabel* label : about->findChildren<QLabel*>()) {
                    labels << label->text();
                }
                qobject_cast<QAbstractButton*>(about->GetDlgItem(tavrel::kIdOk))->click();
            }
        });
        user.start(5);
        aboutItem->trigger();
        EXPECT_EQ(caption, QString::fromUtf8(l.caption));
        EXPECT_TRUE(labels.contains(QString::fromUtf8(l.name))) << labels.join('|').toStdString();
        EXPECT_TRUE(dlg->findChildren<CAboutDlg*>().isEmpty()) << "the About box is destroyed";
    }
    tavrel::SetWindowLanguage(true);
}

TEST_F(MainDialog, EscRunsTheGenerationCommandButTheCloseBoxDoesNot) {
    auto dlg = Start();
    QStringList afterEsc;
    bool openAfterEsc = false;
    QTimer::singleShot(0, dlg.get(), [&] {
        Key(dlg->m_btnSlot[0], Qt::Key_Escape);
        Key(dlg->m_comboSpeed, Qt::Key_Return);  // Enter presses nothing
        afterEsc = messages_;
        openAfterEsc = dlg->isVisible();
        dlg->close();
    });
    QTimer::singleShot(3000, dlg.get(), [&] { dlg->EndDialog(-99); });
    EXPECT_EQ(dlg->DoModal(), tavrel::kIdCancel);
    const QStringList noSlot{QString::fromUtf8("生成动画之前，请先选择至少一幅图像！谢谢！")};
    EXPECT_EQ(afterEsc, noSlot);
    EXPECT_TRUE(openAfterEsc);
    EXPECT_EQ(messages_, noSlot) << "closing ran no command";
}

}  // namespace
