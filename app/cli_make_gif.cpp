#include "app/cli_make_gif.h"

namespace tavrel {

GifSettings CliGifSettings(const CliOptions& options) {
    GifSettings settings;
    settings.frame = options.frame;
    settings.delay = options.delay;
    settings.fadeCentiseconds = options.fadeCentiseconds;
    settings.maxBytes = options.maxBytes;
    return settings;
}

GifRunOutcome MakeGifFromCommandLine(const CliOptions& options,
                                     const std::function<bool(int, int)>& onPicture) {
    std::vector<PictureSource> sources;
    sources.reserve(static_cast<std::size_t>(options.picturePaths.size()));
    for (const QString& path : options.picturePaths) {
        sources.push_back({path, PictureSource::Kind::kPictureFile});
    }
    return MakeGif(sources, CliGifSettings(options), options.outputPath,
                   GifRunControl{onPicture, options.picturePaths});
}

}  // namespace tavrel
