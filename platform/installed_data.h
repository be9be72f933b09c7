// Where an installed copy of the programs keeps its data (background picture, skin,
// translations): share/tavrel of the install prefix, found from the running program's own
// folder so that an installed tree works under any prefix and wherever it is started from.
#pragma once

#include <QString>

namespace tavrel {

// The data folder of the install the running program belongs to, or an empty string when the
// program runs from its build tree. Needs a QCoreApplication.
QString InstalledDataFolder();

}  // namespace tavrel
