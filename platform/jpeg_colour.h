// What a JPEG's header says about its colours: the embedded ICC profile (split over APP2
// segments), the Adobe APP14 segment (CMYK stored inverted) and the number of components.
#pragma once

#include <QByteArray>

namespace tavrel {

struct JpegColour {
    QByteArray iccProfile;  // empty when there is none, or a part of it is missing
    bool adobe = false;     // an Adobe APP14 segment is present
    int components = 0;     // of the first frame; 0 when the header ends before it
};

// Reads the segments before the first scan; anything else gives an empty JpegColour.
JpegColour ReadJpegColour(const QByteArray& jpeg);

}  // namespace tavrel
