#include "frames/frame_sequence.h"

#include <utility>

#include "imaging/dib_true_colour.h"

namespace tavrel {

FrameSequence::FrameSequence(const GifSettings& settings, GifFrameSink& sink)
    : settings_(settings), sink_(sink) {
    if (const int steps = FadeFrameCount(settings.fadeCentiseconds); steps > 0) {
        fades_ = std::make_unique<CrossfadeSequence>(
            steps, static_cast<uint16_t>(kFadeStepCentiseconds), settings.fadeCentiseconds,
            settings.delay, [this](PlacedFrame&& placed) {
                sink_.Add(GifFrame{std::move(placed.frame), placed.delay,
                                   static_cast<uint16_t>(placed.left),
                                   static_cast<uint16_t>(placed.top), placed.transparent});
            });
    }
}

PictureNeeds FrameSequence::Needs(const GifSettings& settings) {
    return PictureNeeds{.fitted = FadeFrameCount(settings.fadeCentiseconds) > 0, .indexed = true};
}

void FrameSequence::Add(MadePicture picture) {
    if (!fades_) {
        sink_.Add(GifFrame{std::move(picture.frame), settings_.delay});
        return;
    }
    const std::vector<uint8_t> pixels = TrueColourPixels(picture.fitted);
    const int32_t width = picture.fitted.Width();
    fades_->AddPicture(TrueColourView{pixels.data(), width, picture.fitted.Height(),
                                      4 * static_cast<std::ptrdiff_t>(width)},
                       std::move(picture.frame));
}

void FrameSequence::Finish() {
    if (fades_) {
        fades_->Finish();
    }
    sink_.Finish();
}

}  // namespace tavrel
