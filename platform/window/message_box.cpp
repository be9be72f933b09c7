#include "platform/window/message_box.h"

#include <QCoreApplication>
#include <QMessageBox>
#include <utility>

namespace tavrel {

namespace {
MessageBoxHook& Hook() {
    static MessageBoxHook hook;
    return hook;
}
}  // namespace

void SetMessageBoxHook(MessageBoxHook hook) {
    Hook() = std::move(hook);
}

void ShowMessage(QWidget* owner, const QString& text) {
    // Qt derives the application name from the executable's name, as the caption should be.
    const QString caption = QCoreApplication::applicationName();
    if (Hook()) {
        Hook()(caption, text);
        return;
    }
    QMessageBox box(QMessageBox::NoIcon, caption, text, QMessageBox::Ok, owner);
    box.exec();
}

}  // namespace tavrel
