#include "frames/frame_sequence.h"

#include <utility>

namespace tavrel {

PictureNeeds FrameSequence::Needs(const GifSettings& settings) {
    // Under a size limit the encoder picks the colours of every frame itself.
    const bool limited = settings.maxBytes > 0;
    return PictureNeeds{.fitted = false, .indexed = !limited, .colours = limited};
}

void FrameSequence::Add(MadePicture picture) {
    sink_.Add(GifFrame{std::move(picture.frame), settings_.delay, std::move(picture.colours)});
}

void FrameSequence::Finish() {
    sink_.Finish();
}

}  // namespace tavrel
