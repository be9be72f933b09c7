// The command-line tool's GIF run: the dialog's road for each picture, one frame at a time.
#pragma once

#include <QString>
#include <QStringList>
#include <cstdint>
#include <functional>

namespace tavrel {

inline constexpr int kCliFrameSize = 530;

struct MakeGifResult {
    bool ok = false;
    // On failure: the file at fault (a picture, the output or the temporary folder) and why.
    QString path;
    QString reason;
};

// Writes a looping GIF at outputPath with one frame per picture, in order, each shown for
// delay hundredths of a second. Each picture is staged as a BMP copy in a private
// temporary folder, turned into a frame and its copy deleted; the next picture is staged
// meanwhile, so at most two are held at a time. The output appears only when complete; on any
// failure an earlier file at outputPath is left as it was. onFrame(n) is called before
// frame n (1-based) is made; when it returns false the run stops there (interrupted, no
// path, no file). The codec layer must be started.
MakeGifResult MakeGifFromPictures(const QStringList& picturePaths, const QString& outputPath,
                                  uint16_t delay, const std::function<bool(int)>& onFrame = {});

}  // namespace tavrel
