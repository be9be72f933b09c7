#include "frames/frame_sequence.h"

#include <utility>

namespace tavrel {

PictureNeeds FrameSequence::Needs(const GifSettings& /*settings*/) {
    return PictureNeeds{.fitted = false, .indexed = true};
}

void FrameSequence::Add(MadePicture picture) {
    sink_.Add(GifFrame{std::move(picture.frame), settings_.delay});
}

void FrameSequence::Finish() {
    sink_.Finish();
}

}  // namespace tavrel
