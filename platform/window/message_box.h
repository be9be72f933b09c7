// Modal message boxes with one OK button; the caption is the program's name.
#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tavrel {

void ShowMessage(QWidget* owner, const QString& text);

// Tests answer message boxes through this hook instead of a real box; it receives the
// caption and the text. An empty function restores real boxes.
using MessageBoxHook = std::function<void(const QString& caption, const QString& text)>;
void SetMessageBoxHook(MessageBoxHook hook);

}  // namespace tavrel
