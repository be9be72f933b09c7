// CDialog's routing: commands by control id, Esc and Enter, the close box, the pre-filter,
// numbered timers, data exchange and the modal loop.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAbstractItemView>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <utility>
#include <vector>

#include "platform/dialog.h"
#include "platform/dialog_template.h"
#include "platform/window_menu.h"
#include "qt_test_app.h"

namespace tavrel {
namespace {

using namespace style;

DialogTemplate SmallTemplate() {
    DialogTemplate t;
    t.caption = QStringLiteral("routing");
    t.cx = 200;
    t.cy = 100;
    t.style = kPopup | kCaption | kSysMenu | kModalFrame;
    t.fontName = QStringLiteral("宋体");
    const uint32_t shown = kChild | kVisible | kTabStop;
    t.controls = {
        {10, ControlClass::Button, QStringLiteral("go"), shown | kDefPushButton, 5, 5, 40, 14},
        {11, ControlClass::ComboBox, QString(), shown | kDropDownList | kSort, 5, 25, 40, 40},
        {12, ControlClass::Edit, QString(), shown | kBorder, 5, 45, 80, 12},
        {-1, ControlClass::Static, QStringLiteral("label"), kChild | kVisible, 5, 65, 40, 8},
    };
    return t;
}

using Command = std::pair<int, int>;

class RecordingDialog : public CDialog {
public:
    explicit RecordingDialog(const DialogTemplate& t) : CDialog(t) {}

    std::vector<Command> commands;
    int closes = 0;
    std::vector<int> ticks;
    std::vector<QObject*> filtered;
    std::function<bool(QObject*, QEvent*)> consume;
    std::function<void()> duringInit;
    QString text;
    QComboBox* combo = nullptr;

    using CDialog::OnCommand;

protected:
    bool OnInitDialog() override {
        CDialog::OnInitDialog();
        if (duringInit)
            duringInit();
        return true;
    }
    void DoDataExchange(DataExchange& dx) override {
        dx.Text(12, text);
        dx.Control(11, combo);
    }
    void OnCommand(int id, int code) override {
        commands.emplace_back(id, code);
        CDialog::OnCommand(id, code);
    }
    void OnClose() override {
        ++closes;
        CDialog::OnClose();
    }
    void OnTimer(int id) override { ticks.push_back(id); }
    bool PreTranslateMessage(QObject* target, QEvent* event) override {
        filtered.push_back(target);
        return consume ? consume(target, event) : false;
    }
};

class DialogRouting : public ::testing::Test {
protected:
    static void SetUpTestSuite() { test::App(); }
    DialogTemplate tmpl_ = SmallTemplate();
    RecordingDialog dlg_{tmpl_};

    // Runs step inside the dialog's modal loop; returns what DoModal returns. The loop is
    // ended from outside after a while, should step leave it running.
    int RunModal(const std::function<void()>& step) {
        QTimer::singleShot(0, &dlg_, step);
        QTimer::singleShot(3000, &dlg_, [this] { dlg_.EndDialog(-99); });
        return dlg_.DoModal();
    }
    void Key(QWidget* target, int key, Qt::KeyboardModifiers mods = Qt::NoModifier) {
        QKeyEvent press(QEvent::KeyPress, key, mods);
        QApplication::sendEvent(target, &press);
    }
    static bool WaitFor(const std::function<bool()>& done, int ms = 2000) {
        QElapsedTimer clock;
        clock.start();
        while (!done() && clock.elapsed() < ms) {
            QApplication::processEvents(QEventLoop::AllEvents, 10);
        }
        return done();
    }
};

TEST_F(DialogRouting, ClicksAndUserSelectionsBecomeCommandsOfTheirControl) {
    dlg_.Create();
    qobject_cast<QPushButton*>(dlg_.GetDlgItem(10))->click();
    ASSERT_EQ(dlg_.commands, (std::vector<Command>{{10, kBnClicked}}));

    auto* combo = qobject_cast<QComboBox*>(dlg_.GetDlgItem(11));
    combo->addItems({QStringLiteral("a"), QStringLiteral("b")});
    combo->setCurrentIndex(0);  // a change made by the program does not notify
    EXPECT_EQ(dlg_.commands.size(), 1u);
    Key(combo, Qt::Key_Down);  // the user moves the selection
    EXPECT_EQ(combo->currentIndex(), 1);
    EXPECT_EQ(dlg_.commands.back(), Command(11, kCbnSelChange));
}

TEST_F(DialogRouting, EscSendsCancelCommandWhichEndsTheDialog) {
    const int result = RunModal([this] { Key(dlg_.GetDlgItem(10), Qt::Key_Escape); });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(dlg_.commands, (std::vector<Command>{{kIdCancel, kBnClicked}}));
    EXPECT_EQ(dlg_.closes, 0);
}

TEST_F(DialogRouting, CloseBoxEndsTheDialogWithoutTheCancelCommand) {
    const int result = RunModal([this] { dlg_.close(); });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(dlg_.closes, 1);
    EXPECT_TRUE(dlg_.commands.empty());
    EXPECT_FALSE(dlg_.isVisible());
}

TEST_F(DialogRouting, WindowMenuCloseGoesTheWayOfTheCloseBox) {
    const int result = RunModal([this] {
        ASSERT_NE(dlg_.GetSystemMenu(), nullptr);
        QAction* close = dlg_.GetSystemMenu()->FindItem(kScClose);
        ASSERT_NE(close, nullptr);
        EXPECT_EQ(close->text(), QString::fromUtf8("关闭(&C)"));
        close->trigger();
    });
    EXPECT_EQ(result, kIdCancel);
    EXPECT_EQ(dlg_.closes, 1);
    EXPECT_TRUE(dlg_.commands.empty());
}

TEST_F(DialogRouting, EnterPressesNothing) {
    bool stillOpen = false;
    const int result = RunModal([&] {
        QWidget* button = dlg_.GetDlgItem(10);
        button->setFocus();
        Key(button, Qt::Key_Return);
        Key(dlg_.GetDlgItem(12), Qt::Key_Enter);
        Key(&dlg_, Qt::Key_Return);
        stillOpen = dlg_.isVisible();
        dlg_.EndDialog(7);
    });
    EXPECT_TRUE(stillOpen);
    EXPECT_TRUE(dlg_.commands.empty());
    EXPECT_EQ(result, 7);
}

TEST_F(DialogRouting, EndDialogDuringInitialisationSkipsTheModalLoop) {
    dlg_.duringInit = [this] { dlg_.EndDialog(5); };
    EXPECT_EQ(dlg_.DoModal(), 5);
    EXPECT_FALSE(dlg_.isVisible());
}

TEST_F(DialogRouting, PreFilterSeesEveryControlFirstAndCanConsume) {
    dlg_.Create();
    auto* button = qobject_cast<QPushButton*>(dlg_.GetDlgItem(10));
    dlg_.consume = [button](QObject* target, QEvent* event) {
        return target == button && event->type() == QEvent::MouseButtonPress;
    };
    const QPointF centre = QRectF(button->rect()).center();
    QMouseEvent press(QEvent::MouseButtonPress, centre, button->mapToGlobal(centre), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, centre, button->mapToGlobal(centre),
                        Qt::LeftButton, Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    QApplication::sendEvent(button, &release);
    EXPECT_TRUE(dlg_.commands.empty()) << "a consumed press must not click";
    EXPECT_NE(std::find(dlg_.filtered.begin(), dlg_.filtered.end(), button), dlg_.filtered.end());

    // Widgets made after the dialog was built pass the filter too: a late label and the
    // combo box's popup list, which is created when first shown.
    auto* late = new QLabel(&dlg_);
    auto* combo = qobject_cast<QComboBox*>(dlg_.GetDlgItem(11));
    combo->addItem(QStringLiteral("x"));
    combo->showPopup();
    QWidget* popupList = combo->view()->viewport();
    combo->hidePopup();
    for (QObject* target : {static_cast<QObject*>(late), static_cast<QObject*>(popupList)}) {
        dlg_.filtered.clear();
        QEvent poke(QEvent::User);
        QApplication::sendEvent(target, &poke);
        EXPECT_NE(std::find(dlg_.filtered.begin(), dlg_.filtered.end(), target),
                  dlg_.filtered.end());
    }
}

TEST_F(DialogRouting, NumberedTimersRepeatRestartAndStop) {
    dlg_.Create();
    EXPECT_EQ(dlg_.PendingTimer(3), nullptr);
    dlg_.SetTimer(3, 500);
    ASSERT_NE(dlg_.PendingTimer(3), nullptr);
    EXPECT_EQ(dlg_.PendingTimer(3)->interval(), 500);
    dlg_.SetTimer(3, 5);  // setting a pending timer again restarts it with the new interval
    EXPECT_EQ(dlg_.PendingTimer(3)->interval(), 5);
    EXPECT_EQ(dlg_.PendingTimer(4), nullptr);

    ASSERT_TRUE(WaitFor([this] { return dlg_.ticks.size() >= 3; })) << "timers repeat";
    EXPECT_EQ(dlg_.ticks[0], 3);
    dlg_.KillTimer(3);
    EXPECT_EQ(dlg_.PendingTimer(3), nullptr);
    const std::size_t ticked = dlg_.ticks.size();
    WaitFor([] { return false; }, 50);
    EXPECT_EQ(dlg_.ticks.size(), ticked);
}

TEST_F(DialogRouting, DataExchangeMovesTextBothWaysAndAttachesControls) {
    dlg_.text = QStringLiteral("从成员");
    dlg_.Create();  // the first exchange runs towards the controls
    auto* edit = qobject_cast<QLineEdit*>(dlg_.GetDlgItem(12));
    EXPECT_EQ(edit->text(), QStringLiteral("从成员"));
    EXPECT_EQ(dlg_.combo, dlg_.GetDlgItem(11));

    edit->setText(QStringLiteral("typed"));
    EXPECT_TRUE(dlg_.UpdateData(true));
    EXPECT_EQ(dlg_.text, QStringLiteral("typed"));
    dlg_.text = QStringLiteral("back");
    dlg_.UpdateData(false);
    EXPECT_EQ(edit->text(), QStringLiteral("back"));
}

}  // namespace
}  // namespace tavrel
