// tavrel-gif's run: the pictures and settings of the command line handed to the GIF run.
#pragma once

#include <functional>

#include "app/cli_options.h"
#include "frames/gif_run.h"

namespace tavrel {

// The settings of the whole animation that the command line asks for.
GifSettings CliGifSettings(const CliOptions& options);

// Writes the GIF the command line asks for (see MakeGif), the pictures protected from being
// the output. onPicture(n, total) is called before picture n is made into its frames.
GifRunOutcome MakeGifFromCommandLine(const CliOptions& options,
                                     const std::function<bool(int, int)>& onPicture = {});

}  // namespace tavrel
