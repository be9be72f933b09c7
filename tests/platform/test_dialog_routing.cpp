// Dialog routing: commands by control id, Esc and the window menu, the pre-filter and
// numbered timers.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLabel>
#include <QMouseEvent>
#include <QPushButton>
#include <QTimer>
#include <vector>

#include "platform/dialog.h"
#include "platform/dialog_template.h"
#include "platform/window_menu.h"
#include "tests/qt_app_environment.h"

namespace tavrel {
namespace {

using Command = std::pair<int, int>;

// The dialog keeps a reference to its template.
const DialogTemplate& SmallTemplate() {
    static const DialogTemplate t = [] {
        using namespace style;
        DialogTemplate t;
        t.cx = 200;
        t.cy = 100;
        t.style = kPopup | kCaption | kSysMenu | kModalFrame;
        const uint32_t shown = kChild | kVisible | kTabStop;
        t.controls = {
            {10, ControlClass::Button, QStringLiteral("go"), shown | kDefPushButton, 5, 5, 40, 14},
            {11, ControlClass::ComboBox, QString(), shown | kDropDownList, 5, 25, 40, 40},
        };
        return t;
    }();
    return t;
}

class RecordingDialog : public CDialog {
public:
    RecordingDialog() : CDialog(SmallTemplate()) {}
    std::vector<Command> commands;
    int closes = 0;
    std::vector<int> ticks;
    std::vector<QObject*> filtered;

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
        return event->type() == QEvent::MouseButtonPress;  // consumes every press
    }
};

void Key(QWidget* target, int key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

TEST(DialogRouting, ClicksAndUserSelectionsBecomeCommandsOfTheirControl) {
    RecordingDialog dlg;
    dlg.Create();
    qobject_cast<QPushButton*>(dlg.GetDlgItem(10))->click();
    auto* combo = qobject_cast<QComboBox*>(dlg.GetDlgItem(11));
    combo->addItems({QStringLiteral("a"), QStringLiteral("b")});
    combo->setCurrentIndex(0);  // the program's own change does not notify
    Key(combo, Qt::Key_Down);   // the user's does
    EXPECT_EQ(dlg.commands, (std::vector<Command>{{10, kBnClicked}, {11, kCbnSelChange}}));
}

// Esc ends a plain dialog through the cancel command; the close box (the window menu's
// Close) ends it as cancelled too, but without that command.
TEST(DialogRouting, EscSendsTheCancelCommandAndTheCloseBoxDoesNot) {
    for (const bool viaMenu : {false, true}) {
        SCOPED_TRACE(viaMenu ? "window menu Close" : "Esc");
        RecordingDialog dlg;
        QTimer::singleShot(0, &dlg, [&] {
            if (viaMenu)
                dlg.GetSystemMenu()->FindItem(kScClose)->trigger();
            else
                Key(dlg.GetDlgItem(10), Qt::Key_Escape);
        });
        QTimer::singleShot(3000, &dlg, [&] { dlg.EndDialog(-99); });
        EXPECT_EQ(dlg.DoModal(), kIdCancel);
        const std::vector<Command> viaEsc{{kIdCancel, kBnClicked}};
        EXPECT_EQ(dlg.commands, viaMenu ? std::vector<Command>() : viaEsc);
        EXPECT_EQ(dlg.closes, viaMenu ? 1 : 0);
    }
}

TEST(DialogRouting, PreFilterSeesEveryControlFirstAndCanConsume) {
    RecordingDialog dlg;
    dlg.Create();
    QWidget* button = dlg.GetDlgItem(10);
    const QPointF at(5, 5);
    for (const auto type : {QEvent::MouseButtonPress, QEvent::MouseButtonRelease}) {
        QMouseEvent event(type, at, button->mapToGlobal(at), Qt::LeftButton,
                          type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                          Qt::NoModifier);
        QApplication::sendEvent(button, &event);
    }
    EXPECT_TRUE(dlg.commands.empty()) << "a consumed press must not click";

    // Widgets made after the dialog was built pass the filter too: a late label and the
    // combo box's popup list, which is created when first shown.
    auto* combo = qobject_cast<QComboBox*>(dlg.GetDlgItem(11));
    combo->addItem(QStringLiteral("x"));
    combo->showPopup();
    combo->hidePopup();
    for (QObject* target : {static_cast<QObject*>(new QLabel(&dlg)),
                            static_cast<QObject*>(combo->view()->viewport())}) {
        dlg.filtered.clear();
        QEvent poke(QEvent::User);
        QApplication::sendEvent(target, &poke);
        EXPECT_EQ(dlg.filtered, std::vector<QObject*>{target});
    }
}

TEST(DialogRouting, NumberedTimersRepeatRestartAndStop) {
    RecordingDialog dlg;
    dlg.Create();
    dlg.SetTimer(3, 500);
    dlg.SetTimer(3, 5);  // setting a pending timer again restarts it with the new interval
    ASSERT_NE(dlg.PendingTimer(3), nullptr);
    EXPECT_EQ(dlg.PendingTimer(3)->interval(), 5);
    QElapsedTimer clock;
    clock.start();
    while (dlg.ticks.size() < 3 && clock.elapsed() < 2000)
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    ASSERT_GE(dlg.ticks.size(), 3u) << "timers repeat until killed";
    EXPECT_EQ(std::count(dlg.ticks.begin(), dlg.ticks.end(), 3), std::ssize(dlg.ticks));
    dlg.KillTimer(3);
    EXPECT_EQ(dlg.PendingTimer(3), nullptr);
}

}  // namespace
}  // namespace tavrel
