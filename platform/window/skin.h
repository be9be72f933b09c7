// The skinning layer: skins are Qt style sheets kept in a text file of named sections.
#pragma once

#include <QString>

namespace tavrel {

void SkinStart(void* moduleInstance, const QString& applicationName, int, int);
// Non-zero when the file was read and holds at least one skin.
int SkinLoadFile(const QString& path);
// Gives every dialog (the application's widgets) the named skin of the loaded file.
void SkinSetDialogSkin(const QString& name);
void SkinEnd();

}  // namespace tavrel
