// CDialog's routing: commands by control id, Esc and the window menu, the pre-filter and
// numbered timers.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <functional>
#include <vector>

#include "platform/dialog.h"
#include "platform/dialog_template.h"
#include "platform/window_menu.h"
#include "tests/qt_app_environment.h"

namespace tavrel {
namespace {

DialogTemplate SmallTemplate() {
    using namespace style;
    DialogTemplate t;
    t.cx = 200;
    t.cy = 100;
    t.style = kPopup | kCaption | kSysMenu | kModalFrame;
    const uint32_t shown = kChild | kVisible | kTabStop;
    t.controls = {
        {10, ControlClass::Button, QStringLiteral("go"), shown | kDefPushButton, 5, 5, 40, 14},
        {11, ControlClass::ComboBox, QString(), shown | kDropDownList, 5, 25, 40, 40},
        {12, ControlClass::Edit, QString(), shown | kBorder, 5, 45, 80, 12},
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
    bool consumePresses = false;

protected:
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
        return consumePresses && event->type() == QEvent::MouseButtonPress;
    }
};

void Key(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

class DialogRouting : public ::testing::Test {
protected:
    DialogTemplate tmpl_ = SmallTemplate();
    RecordingDialog dlg_{tmpl_};
};

TEST_F(DialogRouting, ClicksAndUserSelectionsBecomeCommandsOfTheirControl) {
    dlg_.Create();
    qobject_cast<QPushButton*>(dlg_.GetDlgItem(10))->click();
    auto* combo = qobject_cast<QComboBox*>(dlg_.GetDlgItem(11));
    combo->addItems({QStringLiteral("a"), QStringLiteral("b")});
    combo->setCurrentIndex(0);  // the program's own change does not notify
    Key(combo, Qt::Key_Down);   // the user's does
    EXPECT_EQ(dlg_.commands, (std::vector<Command>{{10, kBnClicked}, {11, kCbnSelChange}}));
}

// The main dialog's tests cover Esc, Enter and the close box with its own handlers; a plain
// dialog ends as cancelled both on Esc (through the cancel command) and on the menu's Close.
TEST_F(DialogRouting, EscAndWindowMenuCloseEndAPlainDialogAsCancelled) {
    for (const bool viaMenu : {false, true}) {
        SCOPED_TRACE(viaMenu ? "window menu Close" : "Esc");
        RecordingDialog dlg(tmpl_);
        QTimer::singleShot(0, &dlg, [&] {
            if (viaMenu) {
                dlg.GetSystemMenu()->FindItem(kScClose)->trigger();
            } else {
                Key(dlg.GetDlgItem(10), Qt::Key_Escape);
            }
        });
        QTimer::singleShot(3000, &dlg, [&] { dlg.EndDialog(-99); });
        EXPECT_EQ(dlg.DoModal(), kIdCancel);
        const std::vector<Command> viaEsc{{kIdCancel, kBnClicked}};
        EXPECT_EQ(dlg.commands, viaMenu ? std::vector<Command>() : viaEsc);
        EXPECT_EQ(dlg.closes, viaMenu ? 1 : 0);
    }
}

TEST_F(DialogRouting, PreFilterSeesEveryControlFirstAndCanConsume) {
    dlg_.Create();
    auto* button = dlg_.GetDlgItem(10);
    dlg_.consumePresses = true;
    const QPointF at(5, 5);
    QMouseEvent press(QEvent::MouseButtonPress, at, button->mapToGlobal(at), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QMouseEvent release(QEvent::MouseButtonRelease, at, button->mapToGlobal(at), Qt::LeftButton,
                        Qt::NoButton, Qt::NoModifier);
    QApplication::sendEvent(button, &press);
    QApplication::sendEvent(button, &release);
    EXPECT_TRUE(dlg_.commands.empty()) << "a consumed press must not click";

    // Widgets made after the dialog was built pass the filter too: a late label and the
    // combo box's popup list, which is created when first shown.
    auto* combo = qobject_cast<QComboBox*>(dlg_.GetDlgItem(11));
    combo->addItem(QStringLiteral("x"));
    combo->showPopup();
    combo->hidePopup();
    for (QObject* target : {static_cast<QObject*>(new QLabel(&dlg_)),
                            static_cast<QObject*>(combo->view()->viewport())}) {
        dlg_.filtered.clear();
        QEvent poke(QEvent::User);
        QApplication::sendEvent(target, &poke);
        EXPECT_EQ(dlg_.filtered, std::vector<QObject*>{target});
    }
}

TEST_F(DialogRouting, NumberedTimersRepeatRestartAndStop) {
    dlg_.Create();
    dlg_.SetTimer(3, 500);
    dlg_.SetTimer(3, 5);  // setting a pending timer again restarts it with the new interval
    ASSERT_NE(dlg_.PendingTimer(3), nullptr);
    EXPECT_EQ(dlg_.PendingTimer(3)->interval(), 5);
    EXPECT_EQ(dlg_.PendingTimer(4), nullptr);
    QElapsedTimer clock;
    clock.start();
    while (dlg_.ticks.size() < 3 && clock.elapsed() < 2000) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    ASSERT_GE(dlg_.ticks.size(), 3u) << "timers repeat until killed";
    EXPECT_EQ(std::count(dlg_.ticks.begin(), dlg_.ticks.end(), 3), std::ssize(dlg_.ticks));
    dlg_.KillTimer(3);
    EXPECT_EQ(dlg_.PendingTimer(3), nullptr);
}

}  // namespace
}  // namespace tavrel
