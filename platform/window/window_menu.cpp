#include "platform/window/window_menu.h"

#include <QAction>
#include <QMenu>
#include <QWidget>

#include "platform/result.h"

namespace tavrel {

WindowMenu::WindowMenu(QWidget* owner) : menu_(new QMenu(owner)) {
    AppendItem(kScClose, Tr("&Close"));
    triggered_ = QObject::connect(menu_, &QMenu::triggered, [this](QAction* action) {
        if (handler_) {
            handler_(action->data().toInt());
        }
    });
}

WindowMenu::~WindowMenu() {
    QObject::disconnect(triggered_);
}

void WindowMenu::AppendSeparator() {
    menu_->addSeparator();
}

void WindowMenu::AppendItem(int commandId, const QString& text) {
    QAction* action = menu_->addAction(text);
    action->setData(commandId);
}

void WindowMenu::Popup(const QPoint& globalPos) {
    menu_->popup(globalPos);
}

QAction* WindowMenu::FindItem(int commandId) const {
    for (QAction* action : menu_->actions()) {
        if (!action->isSeparator() && action->data().toInt() == commandId) {
            return action;
        }
    }
    return nullptr;
}

}  // namespace tavrel
