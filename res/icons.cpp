// Icons from the Qt resource file compiled into this library.
#include <QFile>

#include "res/resources.h"

// The resource file lives in a static library: nothing would pull its registration into
// the program, so it is registered by hand before the first look-up.
static void RegisterIconResources() {
    static const bool registered = [] {
        Q_INIT_RESOURCE(tavrel);
        return true;
    }();
    (void)registered;
}

namespace tavrel {

QIcon LoadResourceIcon(int iconId) {
    RegisterIconResources();
    QIcon icon;
    for (int size : {16, 32, 48, 256}) {
        const QString path = QStringLiteral(":/icons/%1-%2.png").arg(iconId).arg(size);
        if (QFile::exists(path)) {
            icon.addFile(path, QSize(size, size));
        }
    }
    return icon;
}

}  // namespace tavrel
