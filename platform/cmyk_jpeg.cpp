#include "platform/cmyk_jpeg.h"

#include <csetjmp>
#include <cstdio>
// jpeglib.h needs FILE and size_t declared before it.
#include <jpeglib.h>
// The message codes, JERR_OUT_OF_MEMORY among them.
#include <jerror.h>

#include <new>
#include <vector>

namespace tavrel {
namespace {

// libjpeg ends a failed decode by calling error_exit, which must not return.
struct ErrorJump {
    jpeg_error_mgr manager{};
    std::jmp_buf jump{};
    int code = 0;
    char text[JMSG_LENGTH_MAX] = {};
};

[[noreturn]] void JumpOut(j_common_ptr info) {
    auto* error = reinterpret_cast<ErrorJump*>(info->err);
    error->code = error->manager.msg_code;
    error->manager.format_message(info, error->text);
    std::longjmp(error->jump, 1);
}

void Silent(j_common_ptr /*info*/, int /*level*/) {}

// Holds no object with a destructor of its own, so that the jump out of libjpeg skips none.
bool DecodeInto(jpeg_decompress_struct& info, ErrorJump& error, const QByteArray& jpeg,
                const IccToSrgb& toSrgb, QImage& image, std::vector<JSAMPLE>& row) {
    if (setjmp(error.jump) != 0) {
        return false;
    }
    jpeg_mem_src(&info, reinterpret_cast<const unsigned char*>(jpeg.constData()),
                 static_cast<unsigned long>(jpeg.size()));
    jpeg_read_header(&info, TRUE);
    info.out_color_space = JCS_CMYK;
    jpeg_start_decompress(&info);
    if (info.output_components != 4) {
        return false;
    }
    const auto width = static_cast<int>(info.output_width);
    image = QImage(width, static_cast<int>(info.output_height), QImage::Format_RGB32);
    if (image.isNull()) {
        error.code = JERR_OUT_OF_MEMORY;
        return false;
    }
    image.fill(0xFFFFFFFFU);  // the transform writes colour, not the opaque fourth byte
    row.resize(static_cast<std::size_t>(width) * 4);
    while (info.output_scanline < info.output_height) {
        const auto y = static_cast<int>(info.output_scanline);
        JSAMPROW rows[1] = {row.data()};
        jpeg_read_scanlines(&info, rows, 1);
        toSrgb.Row(row.data(), image.scanLine(y), width);
    }
    jpeg_finish_decompress(&info);
    return true;
}

}  // namespace

Result<QImage> DecodeCmykJpeg(const QByteArray& jpeg, const IccToSrgb& toSrgb) {
    jpeg_decompress_struct info{};
    ErrorJump error;
    info.err = jpeg_std_error(&error.manager);
    error.manager.error_exit = JumpOut;
    error.manager.emit_message = Silent;
    jpeg_create_decompress(&info);
    QImage image;
    std::vector<JSAMPLE> row;
    const bool decoded = DecodeInto(info, error, jpeg, toSrgb, image, row);
    jpeg_destroy_decompress(&info);
    if (error.code == JERR_OUT_OF_MEMORY) {
        throw std::bad_alloc();
    }
    if (!decoded) {
        const QString detail = error.text[0]
                                   ? QStringLiteral(" (%1)").arg(QString::fromLocal8Bit(error.text))
                                   : QString();
        return Failure{Tr("the file is damaged or incomplete") + detail};
    }
    return image;
}

}  // namespace tavrel
