// Access to the program's resources: dialog templates, the string table and icons.
#pragma once

#include <QIcon>
#include <QString>

#include "platform/window/dialog_template.h"
#include "res/resource.h"

namespace tavrel {

// The dialog template with that number; throws std::out_of_range for an unknown one.
const DialogTemplate& LoadDialogTemplate(int templateId);
// The string with that number, or an empty string.
QString LoadResourceString(int stringId);
// The icon group with that number (every size it holds), or a null icon.
QIcon LoadResourceIcon(int iconId);

}  // namespace tavrel
