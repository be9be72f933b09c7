#include "ui/speed_texts.h"

#include "platform/result.h"

namespace tavrel {

Speed SpeedForText(const QString& text) {
    if (text == Tr("Slow")) {
        return Speed::kSlow;
    }
    if (text == Tr("Medium")) {
        return Speed::kMedium;
    }
    return Speed::kFast;
}

}  // namespace tavrel
