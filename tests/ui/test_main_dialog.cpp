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
#include <functional>

#include "platform/bitmap_loader.h"
#include "platform/message_box.h"
#include "platform/window_menu.h"
#include "ui/about_dlg.h"
#include "ui/tavrel_dlg.h"

namespace {

QApplication& App() {
    static int argc = 1;
    static char name[] = "Tavrel";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
}

const QString kNoSlotMessage = QString::fromUtf8("生成动画之前，请先选择至少一幅图像！谢谢！");

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

class MainDialog : public ::testing::Test {
protected:
    static void SetUpTestSuite() { App(); }
    void SetUp() override {
        ASSERT_TRUE(work_.isValid());
        tavrel::SetMessageBoxHook(
            [this](const QString&, const QString& text) { messages_ << text; });
    }
    void TearDown() override { tavrel::SetMessageBoxHook({}); }

    QString Work(const QString& relative) const { return work_.filePath(relative); }
    void MakeFolder(const char* relative) {
        ASSERT_TRUE(QDir().mkpath(Work(QString::fromUtf8(relative))));
    }
    // The program's own background picture, where a start from the work folder finds it.
    void InstallBackground() {
        MakeFolder("Resources/Tavrel");
        ASSERT_TRUE(QFile::copy(QStringLiteral(TAVREL_SOURCE_DIR "/Resources/Tavrel/back.bmp"),
                                Work(QStringLiteral("Resources/Tavrel/back.bmp"))));
    }
    std::unique_ptr<CTavrelDlg> Start() {
        auto dlg = std::make_unique<CTavrelDlg>(nullptr, work_.path());
        dlg->Create();
        return dlg;
    }
    QStringList ExistingWorkingFolders() const {
        QStringList found;
        for (const char* folder : kWorkingFolders) {
            if (QDir(Work(QString::fromUtf8(folder))).exists())
                found << QString::fromUtf8(folder);
        }
        return found;
    }
    // Runs the dialog modally; step runs inside the loop. A dialog left open is ended with -99.
    static int RunModal(CTavrelDlg& dlg, const std::function<void()>& step) {
        QTimer::singleShot(0, &dlg, step);
        QTimer::singleShot(3000, &dlg, [&dlg] { dlg.EndDialog(-99); });
        return dlg.DoModal();
    }
    static void Key(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(target, &press);
    }
    static void RightClick(QWidget* target, QPointF at) {
        QMouseEvent press(QEvent::MouseButtonPress, at, target->mapToGlobal(at), Qt::RightButton,
                          Qt::RightButton, Qt::NoModifier);
        QApplication::sendEvent(target, &press);
    }

    QTemporaryDir work_;
    QStringList messages_;
};

TEST_F(MainDialog, StateAfterInitialisation) {
    InstallBackground();
    auto dlg = Start();

    EXPECT_EQ(dlg->m_strImageDir, QString::fromUtf8("Resources/LoadResource1/Image/我的作品"));
    EXPECT_EQ(dlg->m_strSoundDir, QStringLiteral("Resources/LoadResource1/Sound/Sound"));
    EXPECT_EQ(dlg->m_strMovieDir, QStringLiteral("Resources/LoadResource1/Movie/Movie"));
    EXPECT_EQ(dlg->m_strBmpDir, QStringLiteral("Resources/LoadResource1/BMP"));
    for (int i = 0; i < kSlotCount; ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(dlg->m_strSlotBmpPath[i], QStringLiteral("Resources/LoadResource1/BMP/"));
        EXPECT_TRUE(dlg->m_strSlotTitle[i].isEmpty());
        EXPECT_FALSE(dlg->m_bSlotFilled[i]);
        EXPECT_FALSE(dlg->m_bSlotShown[i]);
        EXPECT_EQ(dlg->m_hSlotThumb[i], nullptr);
        EXPECT_EQ(dlg->m_btnSlot[i], dlg->GetDlgItem(IDC_SLOT1 + i));
    }
    EXPECT_TRUE(dlg->m_strSourcePath.isEmpty() && dlg->m_strSourceTitle.isEmpty() &&
                dlg->m_strStagePath.isEmpty() && dlg->m_strGifPath.isEmpty());
    EXPECT_EQ(dlg->m_nFrameWidth, 530);
    EXPECT_EQ(dlg->m_nFrameHeight, 530);
    EXPECT_EQ(dlg->m_nSelectedCount, 0);
    EXPECT_FALSE(dlg->m_bHeaderWritten);
    EXPECT_EQ(dlg->m_hPreviewBitmap, nullptr);
    EXPECT_EQ(dlg->WorkDir(), work_.path());
    EXPECT_EQ(dlg->Resolve(QStringLiteral("a/b")), Work(QStringLiteral("a/b")));

    // The speed list in its fixed order with the middle speed chosen.
    ASSERT_EQ(dlg->m_comboSpeed, dlg->GetDlgItem(IDC_SPEED));
    ASSERT_EQ(dlg->m_comboSpeed->count(), 3);
    EXPECT_EQ(dlg->m_comboSpeed->itemText(0), QString::fromUtf8("慢"));
    EXPECT_EQ(dlg->m_comboSpeed->itemText(1), QString::fromUtf8("中"));
    EXPECT_EQ(dlg->m_comboSpeed->itemText(2), QString::fromUtf8("快"));
    EXPECT_EQ(dlg->m_comboSpeed->currentIndex(), 1);
    EXPECT_EQ(dlg->m_strSpeed, QString::fromUtf8("中"));

    // Rectangles of slot 1 and the preview button; the background at the slot size, shared
    // by all six picture buttons.
    ASSERT_EQ(dlg->m_btnPreview, dlg->GetDlgItem(IDC_PREVIEW_PICTURE));
    EXPECT_EQ(dlg->m_rcSlot.size(), dlg->m_btnSlot[0]->size());
    EXPECT_EQ(dlg->m_rcPreview.size(), dlg->m_btnPreview->size());
    EXPECT_EQ(dlg->m_rcSlot.topLeft(), dlg->m_btnSlot[0]->mapToGlobal(QPoint(0, 0)));
    ASSERT_NE(dlg->m_hWorkBitmap, nullptr);
    EXPECT_EQ(dlg->m_hWorkBitmap->Width(), dlg->m_rcSlot.width());
    EXPECT_EQ(dlg->m_hWorkBitmap->Height(), dlg->m_rcSlot.height());
    EXPECT_EQ(dlg->m_hWorkBitmap->BitsPerPixel(), 24);
    for (QAbstractButton* button : dlg->m_btnSlot) {
        EXPECT_EQ(tavrel::ButtonBitmap(button), dlg->m_hWorkBitmap.get());
    }
    EXPECT_EQ(tavrel::ButtonBitmap(dlg->m_btnPreview), dlg->m_hWorkBitmap.get());

    EXPECT_FALSE(dlg->m_hIcon.isNull());
    EXPECT_FALSE(dlg->windowIcon().isNull());
    EXPECT_EQ(dlg->windowTitle(), QString::fromUtf8("动画制作"));
    EXPECT_EQ(dlg->minimumSize(), dlg->maximumSize()) << "the dialog does not resize";
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(MainDialog, MissingBackgroundLeavesThePictureButtonsBlank) {
    MakeFolder("Resources");
    auto dlg = Start();
    EXPECT_EQ(dlg->m_hWorkBitmap, nullptr);
    for (QAbstractButton* button : dlg->m_btnSlot) {
        EXPECT_EQ(tavrel::ButtonBitmap(button), nullptr);
    }
    EXPECT_EQ(tavrel::ButtonBitmap(dlg->m_btnPreview), nullptr);
    EXPECT_EQ(dlg->m_strSpeed, QString::fromUtf8("中"));
}

TEST_F(MainDialog, WorkingFoldersAreMadeOnlyWhenTheImageFolderIsMissing) {
    {
        SCOPED_TRACE("first start: Resources present, no image folder");
        MakeFolder("Resources");
        Start();
        EXPECT_EQ(ExistingWorkingFolders().size(), std::size(kWorkingFolders));
    }
    {
        SCOPED_TRACE("image folder present, BMP folder missing: nothing is made");
        ASSERT_TRUE(QDir(Work(QStringLiteral("Resources/LoadResource1/BMP"))).removeRecursively());
        ASSERT_TRUE(
            QDir(Work(QStringLiteral("Resources/LoadResource1/Sound"))).removeRecursively());
        Start();
        const QStringList left = ExistingWorkingFolders();
        EXPECT_FALSE(left.contains(QStringLiteral("Resources/LoadResource1/BMP")));
        EXPECT_FALSE(left.contains(QStringLiteral("Resources/LoadResource1/Sound")));
        EXPECT_TRUE(left.contains(QString::fromUtf8("Resources/LoadResource1/Image/我的作品")));
    }
}

TEST_F(MainDialog, StartWithoutResourcesFolderMakesNothing) {
    auto dlg = Start();
    EXPECT_TRUE(ExistingWorkingFolders().isEmpty());
    EXPECT_TRUE(QDir(work_.path()).entryList(QDir::AllEntries | QDir::NoDotAndDotDot).isEmpty());
    EXPECT_TRUE(messages_.isEmpty());
    EXPECT_EQ(dlg->m_comboSpeed->count(), 3);
}

TEST_F(MainDialog, WindowMenuEndsWithTheAboutItemWhichOpensTheAboutBox) {
    MakeFolder("Resources");
    auto dlg = Start();
    tavrel::WindowMenu* menu = dlg->GetSystemMenu();
    ASSERT_NE(menu, nullptr);
    const QList<QAction*> items = menu->Menu()->actions();
    ASSERT_GE(items.size(), 3);
    EXPECT_EQ(items.front()->text(), QString::fromUtf8("关闭(&C)"));
    EXPECT_TRUE(items[items.size() - 2]->isSeparator());
    EXPECT_EQ(items.back()->text(), QString::fromUtf8("关于 Tavrel(&A)..."));
    EXPECT_EQ(items.back()->data().toInt(), IDM_ABOUTBOX);

    QString caption;
    bool iconShown = false;
    int runs = 0;
    QTimer answer;  // plays the user: looks at the About box and presses its OK button
    QObject::connect(&answer, &QTimer::timeout, [&] {
        auto* about = qobject_cast<CAboutDlg*>(QApplication::activeModalWidget());
        if (about == nullptr)
            return;
        ++runs;
        caption = about->windowTitle();
        const auto* icon = about->findChild<QLabel*>(QStringLiteral("iconStatic"));
        iconShown = icon != nullptr && !icon->pixmap().isNull();
        qobject_cast<QAbstractButton*>(about->GetDlgItem(tavrel::kIdOk))->click();
    });
    answer.start(5);
    items.back()->trigger();
    answer.stop();

    EXPECT_EQ(runs, 1);
    EXPECT_EQ(caption, QString::fromUtf8("关于 Oskevi"));
    EXPECT_TRUE(iconShown);
    EXPECT_EQ(dlg->findChildren<CAboutDlg*>().size(), 0) << "the About box is destroyed";
    EXPECT_TRUE(messages_.isEmpty());
}

TEST_F(MainDialog, WindowMenuOpensOnAltSpaceAndOnFreeAreaRightClickOnly) {
    MakeFolder("Resources");
    auto dlg = Start();
    QMenu* menu = dlg->GetSystemMenu()->Menu();

    Key(dlg->m_comboSpeed, Qt::Key_Space, Qt::AltModifier);
    EXPECT_TRUE(menu->isVisible());
    menu->hide();

    RightClick(dlg->m_btnSlot[2], QPointF(5, 5));  // a control: no window menu
    EXPECT_FALSE(menu->isVisible());

    RightClick(dlg.get(), QPointF(4, 4));  // the dialog's own surface
    EXPECT_TRUE(menu->isVisible());
    menu->hide();
}

TEST_F(MainDialog, EscRunsTheGenerationCommandButTheCloseBoxDoesNot) {
    MakeFolder("Resources");
    auto dlg = Start();
    QStringList duringRun;
    const int result = RunModal(*dlg, [&] {
        Key(dlg->m_btnSlot[0], Qt::Key_Escape);
        Key(dlg->m_comboSpeed, Qt::Key_Return);  // Enter presses nothing
        duringRun = messages_;
        EXPECT_TRUE(dlg->isVisible()) << "Esc does not end the main dialog";
        dlg->close();
    });
    EXPECT_EQ(duringRun, QStringList{kNoSlotMessage});
    EXPECT_EQ(result, tavrel::kIdCancel);
    EXPECT_EQ(messages_, QStringList{kNoSlotMessage}) << "closing ran no command";
}

TEST_F(MainDialog, WindowMenuCloseEndsTheDialogLikeTheCloseBox) {
    MakeFolder("Resources");
    auto dlg = Start();
    const int result =
        RunModal(*dlg, [&] { dlg->GetSystemMenu()->FindItem(tavrel::kScClose)->trigger(); });
    EXPECT_EQ(result, tavrel::kIdCancel);
    EXPECT_TRUE(messages_.isEmpty());
}

}  // namespace
