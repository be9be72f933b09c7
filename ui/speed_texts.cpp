#include "ui/speed_texts.h"

namespace tavrel {

Speed SpeedForText(const QString& text) {
    if (text == QStringLiteral("慢")) {
        return Speed::kSlow;
    }
    if (text == QStringLiteral("中")) {
        return Speed::kMedium;
    }
    return Speed::kFast;
}

}  // namespace tavrel
