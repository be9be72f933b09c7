// The string table.
#include "res/resources.h"

#include "platform/result.h"

namespace tavrel {

QString LoadResourceString(int stringId) {
    switch (stringId) {
        case IDS_ABOUTBOX:
            return Tr("&About Tavrel...");
        default:
            return QString();
    }
}

}  // namespace tavrel
