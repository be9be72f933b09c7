// The string table.
#include "res/resources.h"

namespace tavrel {

QString LoadResourceString(int stringId) {
    switch (stringId) {
        case IDS_ABOUTBOX:
            return QString::fromUtf8("关于 Tavrel(&A)...");
        default:
            return QString();
    }
}

}  // namespace tavrel
