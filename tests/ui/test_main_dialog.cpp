// The main dialog as it starts: its state, the background pictures, the working folders, the
// window menu with the About box, and which ways of leaving run the generation command.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QTimer>

#include "platform/bitmap_loader.h"
#include "platform/message_box.h"
#include "platform/window_menu.h"
#include "tests/qt_app_environment.h"
#include "ui/about_dlg.h"
#include "ui/tavrel_dlg.h"

namespace {

const char* const kWorkingFolders[] = {
    "Resources/LoadResource1",
    "Resources/LoadResource1/Image",
    "Resources/LoadResource1/Sound",
    "Resources/LoadResource1/Movie",
    "Resources/LoadResource1/BMP",
    "Resources/LoadResource1/Image/我的作品",
    "Resources/LoadResource1/Sound/Sound",
    "Resources/LoadResource1/Movie/Movie",
};

void Key(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
    QKeyEvent press(QEvent::KeyPress, key, mods);
    QApplication::sendEvent(target, &press);
}

class MainDialog : public ::testing::Test {
protected:
    void SetUp() override {
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

TEST_F(MainDialog, StateAfterInitialisation) {
    ASSERT_TRUE(QDir().mkpath(work_.filePath("Resources/Tavrel")));
    ASSERT_TRUE(QFile::copy(QStringLiteral(TAVREL_SOURCE_DIR "/Resources/Tavrel/back.bmp"),
                            work_.filePath(QStringLiteral("Resources/Tavrel/back.bmp"))));
    auto dlg = Start();

    EXPECT_EQ(dlg->m_nSelectedCount, 0);
    EXPECT_FALSE(dlg->m_bHeaderWritten);
    QStringList speeds;
    for (int i = 0; i < dlg->m_comboSpeed->count(); ++i) {
        speeds << dlg->m_comboSpeed->itemText(i);
    }
    EXPECT_EQ(speeds.join(u' '), QString::fromUtf8("慢 中 快"));
    EXPECT_EQ(dlg->m_comboSpeed->currentIndex(), 1);
    EXPECT_EQ(dlg->m_strSpeed, QString::fromUtf8("中"));

    // The background is loaded at the size of slot 1 and shared by all six picture buttons.
    ASSERT_NE(dlg->m_hWorkBitmap, nullptr);
    EXPECT_EQ(dlg->m_rcSlot.size(), dlg->m_btnSlot[0]->size());
    EXPECT_EQ(QSize(dlg->m_hWorkBitmap->Width(), dlg->m_hWorkBitmap->Height()),
              dlg->m_rcSlot.size());
    EXPECT_EQ(dlg->m_btnPreview, dlg->GetDlgItem(IDC_PREVIEW_PICTURE));
    EXPECT_EQ(tavrel::ButtonBitmap(dlg->m_btnPreview), dlg->m_hWorkBitmap.get());
    for (int i = 0; i < kSlotCount; ++i) {
        EXPECT_EQ(dlg->m_btnSlot[i], dlg->GetDlgItem(IDC_SLOT1 + i));
        EXPECT_EQ(tavrel::ButtonBitmap(dlg->m_btnSlot[i]), dlg->m_hWorkBitmap.get());
        EXPECT_FALSE(dlg->m_bSlotFilled[i] || dlg->m_bSlotShown[i]);
    }
    EXPECT_FALSE(dlg->windowIcon().isNull());
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(MainDialog, WorkingFoldersAreMadeOnlyWhenTheImageFolderIsMissing) {
    {
        SCOPED_TRACE("no Resources folder: nothing can be made, nothing is said");
        auto dlg = Start();
        EXPECT_TRUE(QDir(work_.path()).isEmpty());
        EXPECT_EQ(dlg->m_hWorkBitmap, nullptr);  // no background: the buttons show none
        EXPECT_EQ(tavrel::ButtonBitmap(dlg->m_btnPreview), nullptr);
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

TEST_F(MainDialog, WindowMenuOpensOnAltSpaceOrAFreeAreaAndLeadsToTheAboutBox) {
    auto dlg = Start();
    QMenu* menu = dlg->GetSystemMenu()->Menu();
    const QList<QAction*> items = menu->actions();
    ASSERT_EQ(items.size(), 3);
    EXPECT_EQ(items[0]->text(), QString::fromUtf8("关闭(&C)"));
    EXPECT_TRUE(items[1]->isSeparator());
    EXPECT_EQ(items[2]->text(), QString::fromUtf8("关于 Tavrel(&A)..."));

    Key(dlg->m_comboSpeed, Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
    for (QWidget* target :
         {static_cast<QWidget*>(dlg->m_btnSlot[2]), static_cast<QWidget*>(dlg.get())}) {
        QMouseEvent press(QEvent::MouseButtonPress, QPointF(4, 4),
                          target->mapToGlobal(QPointF(4, 4)), Qt::RightButton, Qt::RightButton,
                          Qt::NoModifier);
        QApplication::sendEvent(target, &press);
        EXPECT_EQ(menu->isVisible(), target == dlg.get()) << "only a click on no control";
        menu->hide();
    }

    QString caption;
    bool iconShown = false;
    QTimer user;  // looks at the About box and presses its OK button
    QObject::connect(&user, &QTimer::timeout, [&] {
        if (auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget())) {
            caption = about->windowTitle();
            iconShown = !about->findChild<QLabel*>(QStringLiteral("iconStatic"))->pixmap().isNull();
            qobject_cast<QAbstractButton*>(about->GetDlgItem(tavrel::kIdOk))->click();
        }
    });
    user.start(5);
    items[2]->trigger();
    EXPECT_EQ(caption, QString::fromUtf8("关于 Oskevi"));
    EXPECT_TRUE(iconShown);
    EXPECT_TRUE(dlg->findChildren<CAboutDlg*>().isEmpty()) << "the About box is destroyed";
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
