#include "frames/frame_sequence.h"

#include <utility>

#include "imaging/bitmap_true_colour.h"

namespace tavrel {
namespace {

// The colours a frame's indices stand for, laid out as a true-colour picture of the frame's
// size (transparent pixels read as their own palette entry).
TrueColourPicture FrameColours(const IndexedFrame& frame) {
    TrueColourPicture picture{{}, frame.nWidth, frame.nHeight};
    picture.pixels.resize(4 * frame.pIndices.size());
    uint8_t* out = picture.pixels.data();
    for (const uint8_t index : frame.pIndices) {
        const uint8_t* rgb = frame.pPalette.data() + 3 * static_cast<std::size_t>(index);
        out[0] = rgb[2];
        out[1] = rgb[1];
        out[2] = rgb[0];
        out[3] = 0;
        out += 4;
    }
    return picture;
}

}  // namespace

FrameSequence::FrameSequence(const GifSettings& settings, GifFrameSink& sink)
    : settings_(settings), sink_(sink) {
    if (const int steps = FadeFrameCount(settings.fadeCentiseconds); steps > 0) {
        fades_ = std::make_unique<CrossfadeSequence>(
            steps, static_cast<uint16_t>(kFadeStepCentiseconds), settings.fadeCentiseconds,
            settings.delay, [this](PlacedFrame&& placed) { AddPlaced(std::move(placed)); },
            settings.threads);
    }
}

PictureNeeds FrameSequence::Needs(const GifSettings& settings) {
    const bool fading = FadeFrameCount(settings.fadeCentiseconds) > 0;
    // Under a size limit the encoder picks the colours of the pictures' own frames itself;
    // the fades still need those frames, as the screen they change.
    const bool limited = settings.maxBytes > 0;
    return PictureNeeds{.fitted = fading, .indexed = !limited || fading, .colours = limited};
}

void FrameSequence::Add(MadePicture picture) {
    if (!fades_) {
        sink_.Add(GifFrame{.image = std::move(picture.frame),
                           .delay = settings_.delay,
                           .colours = std::move(picture.colours)});
        return;
    }
    // The fitted bitmap is always one of ours, so its colours can always be read.
    const std::optional<TrueColourPicture> colours = BitmapTrueColour(picture.fitted);
    pendingColours_.push_back(std::move(picture.colours));
    fades_->AddPicture(colours ? colours->View() : TrueColourView{}, std::move(picture.frame));
}

void FrameSequence::AddPlaced(PlacedFrame&& placed) {
    GifFrame frame{.image = std::move(placed.frame),
                   .delay = placed.delay,
                   .left = static_cast<uint16_t>(placed.left),
                   .top = static_cast<uint16_t>(placed.top),
                   .transparent = placed.transparent,
                   .colours = {}};
    if (placed.transparent == kNoTransparentIndex) {
        // A picture's own frame: the colours it came with, in the order they came.
        frame.colours = std::move(pendingColours_.front());
        pendingColours_.pop_front();
    } else if (settings_.maxBytes > 0) {
        frame.colours = FrameColours(frame.image);
    }
    sink_.Add(std::move(frame));
}

void FrameSequence::Finish() {
    if (fades_) {
        fades_->Finish();
    }
    sink_.Finish();
}

}  // namespace tavrel
