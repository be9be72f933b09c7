// Colours the applied skin gives the dialogs, for drawings that should match them.
#pragma once

#include <QColor>

namespace tavrel {

// The background colour of the applied skin's QDialog rule ("background-color" or
// "background"), or an invalid colour when no skin is applied or its rule gives none.
QColor SkinDialogBackground();

}  // namespace tavrel
