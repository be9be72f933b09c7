// The folder the window works in. Run from its build tree, the program works in the folder it
// is started in (scripts/run starts it in the repository, beside Resources/). An installed
// program works in a folder of the user's own whatever folder it is started from: its
// background picture, skin and working folders live below $XDG_DATA_HOME/tavrel
// (~/.local/share/tavrel by default), seeded from the installed data.
#pragma once

#include <QString>

namespace tavrel {

// $XDG_DATA_HOME/tavrel; a relative or empty XDG_DATA_HOME is ignored, as XDG asks. Else
// $HOME/.local/share/tavrel; empty when HOME is not an existing absolute folder.
QString UserWorkingFolder();

// Makes `folder`/Resources/Tavrel and copies into it each file of `installedData` (the
// background picture and the skin) that is missing there, so a user's own files are kept.
// False when the folder cannot be made.
bool PrepareWorkingFolder(const QString& folder, const QString& installedData);

// For the installed program: prepares the user's working folder and makes it the current
// folder. Returns that folder, or an empty string when the program runs from its build tree
// (the current folder is kept) or the folder cannot be made (a warning is printed).
QString EnterWorkingFolder();

}  // namespace tavrel
