// A dialog's window menu: what the title-bar menu offers on the classic platform (Close,
// plus the program's own items), opened by the dialog itself because Linux window managers
// keep their title-bar menus to themselves. Every item reports a command id.
#pragma once

#include <QMenu>
#include <QMetaObject>
#include <QPointer>
#include <QString>
#include <functional>

class QAction;
class QPoint;
class QWidget;

namespace tavrel {

// Command ids of the standard entries.
inline constexpr int kScClose = 0xF060;

class WindowMenu {
public:
    using CommandHandler = std::function<void(int commandId)>;

    // A menu owned by owner, holding the standard entries.
    explicit WindowMenu(QWidget* owner);
    ~WindowMenu();
    WindowMenu(const WindowMenu&) = delete;
    WindowMenu& operator=(const WindowMenu&) = delete;

    void AppendSeparator();
    void AppendItem(int commandId, const QString& text);
    // Receives the command id of every chosen item.
    void SetCommandHandler(CommandHandler handler) { handler_ = std::move(handler); }

    // Shows the menu at that screen position and returns at once; a chosen item reaches
    // the handler.
    void Popup(const QPoint& globalPos);
    QMenu* Menu() const { return menu_; }
    // The item of that command id, or nullptr.
    QAction* FindItem(int commandId) const;

private:
    QPointer<QMenu> menu_;
    QMetaObject::Connection triggered_;
    CommandHandler handler_;
};

}  // namespace tavrel
