// Dialog routing: commands by control id, Esc and the window menu, the pre-filter and
// numbered timers.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QMouseEvent>
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

// Esc ends a plain dialog through the cancel command; the close box (the window menu's
// Close) ends it as cancelled too, but without that command.
TEST(DialogRouting, EscSendsTheCancelCommandAndTheCloseBoxDoesNot) {
    for (const bool viaMenu : {false, true}) {
        SCOPED_TRACE(viaMenu ? "window menu Close" : "Esc");
        RecordingDialog dlg;
        QTimer::singleShot(0, &dlg, [&] {
            QKeyEvent esc(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
            if (viaMenu)
                dlg.GetSystemMenu()->FindItem(kScClose)->trigger();
            else
                QApplication::sendEvent(dlg.GetDlgItem(10), &esc);
        });
        QTimer::singleShot(3000, &dlg, [&] { dlg.EndDialog(-99); });
        EXPECT_EQ(dlg.DoModal(), kIdCancel);
        const std::vector<Command> viaEsc{{kIdCancel, kBnClicked}};
        EXPECT_EQ(dlg.commands, viaMenu ? std::vector<Command>() : viaEsc);
        EXPECT_EQ(dlg.closes, viaMenu ? 1 : 0);
    }
}

TEST(DialogRouting, PreFilterSeesControlEventsFirstAndCanConsume) {
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
    EXPECT_NE(std::ranges::find(dlg.filtered, button), dlg.filtered.end());
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
    dlg.KillTimer(3);
    EXPECT_EQ(dlg.PendingTimer(3), nullptr);
}

}  // namespace
}  // namespace tavrel
