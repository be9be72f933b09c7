#include "frames/speed.h"

namespace tavrel {

std::optional<Speed> SpeedFromName(QStringView name) {
    if (name == u"slow") {
        return Speed::kSlow;
    }
    if (name == u"medium") {
        return Speed::kMedium;
    }
    if (name == u"fast") {
        return Speed::kFast;
    }
    return std::nullopt;
}

uint16_t GifDelayFor(Speed speed) {
    switch (speed) {
        case Speed::kSlow:
            return 120;
        case Speed::kMedium:
            return 80;
        case Speed::kFast:
            break;
    }
    return 40;
}

int PreviewIntervalMsFor(Speed speed) {
    return GifDelayFor(speed) * 10;
}

}  // namespace tavrel
