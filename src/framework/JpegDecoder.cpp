// JPEG pictures through libjpeg. The library reports errors by a long jump;
// the decoding function that it may jump across holds only plain C data, and
// the errors become EInvalidGraphic outside it.

#include "Graphics_p.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>

#include <jpeglib.h>
#include <jerror.h>

namespace {
struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
    bool wholeData;  // while the picture's data is read: running out of it is an error
};

void OnJpegError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}
// Other warnings about damaged data let the picture show, but compressed
// data that ends before the last row would show a grey rest: that picture is
// unreadable. (The decoder is given an end marker when the file has none, so
// running into a marker means the rows really lack data.)
void OnJpegMessage(j_common_ptr cinfo, int level) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    const int code = cinfo->err->msg_code;
    if (level == -1 && err->wholeData && (code == JWRN_JPEG_EOF || code == JWRN_HIT_MARKER)) {
        std::snprintf(err->message, JMSG_LENGTH_MAX, "the picture data ends early");
        std::longjmp(err->jump, 1);
    }
}

constexpr long long MaxPixels = 1LL << 26;  // 8192 x 8192

// Decodes into malloc'ed RGB bytes (3 per pixel); false with a message on failure.
bool DecodeJpegRgb(const unsigned char* data, unsigned long size, unsigned char** pixels, int* width, int* height,
                   char* message) {
    jpeg_decompress_struct cinfo;
    JpegError err;
    unsigned char* volatile out = nullptr;
    unsigned char* volatile row = nullptr;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    err.mgr.emit_message = OnJpegMessage;
    err.wholeData = false;
    if (setjmp(err.jump)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
        jpeg_destroy_decompress(&cinfo);
        std::free(out);
        std::free(row);
        return false;
    }
    jpeg_create_decompress(&cinfo);
    jpeg_mem_src(&cinfo, data, size);
    jpeg_read_header(&cinfo, TRUE);
    err.wholeData = true;
    const bool cmyk = cinfo.jpeg_color_space == JCS_CMYK || cinfo.jpeg_color_space == JCS_YCCK;
    cinfo.out_color_space = cmyk ? JCS_CMYK : (cinfo.num_components == 1 ? JCS_GRAYSCALE : JCS_RGB);
    jpeg_start_decompress(&cinfo);
    const long long w = cinfo.output_width, h = cinfo.output_height;
    const int comps = cinfo.output_components;
    if (w <= 0 || h <= 0 || w * h > MaxPixels) {
        std::snprintf(message, JMSG_LENGTH_MAX, "bad size");
        jpeg_destroy_decompress(&cinfo);
        return false;
    }
    out = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(w * h * 3)));
    row = static_cast<unsigned char*>(std::malloc(static_cast<size_t>(w * comps)));
    if (!out || !row) {
        std::snprintf(message, JMSG_LENGTH_MAX, "not enough memory");
        jpeg_destroy_decompress(&cinfo);
        std::free(out);
        std::free(row);
        return false;
    }
    while (cinfo.output_scanline < cinfo.output_height) {
        JSAMPROW rows[1] = {row};
        const long long y = cinfo.output_scanline;
        jpeg_read_scanlines(&cinfo, rows, 1);
        unsigned char* o = out + y * w * 3;
        for (long long x = 0; x < w; ++x) {
            const unsigned char* p = row + x * comps;
            if (comps == 1) {
                o[0] = o[1] = o[2] = p[0];
            } else if (comps == 4) {
                // CMYK JPEGs are stored inverted: the values are 255 - ink.
                o[0] = static_cast<unsigned char>(p[0] * p[3] / 255);
                o[1] = static_cast<unsigned char>(p[1] * p[3] / 255);
                o[2] = static_cast<unsigned char>(p[2] * p[3] / 255);
            } else {
                o[0] = p[0];
                o[1] = p[1];
                o[2] = p[2];
            }
            o += 3;
        }
    }
    err.wholeData = false;  // every row is there: a missing end marker does not matter
    jpeg_finish_decompress(&cinfo);
    jpeg_destroy_decompress(&cinfo);
    std::free(row);
    *pixels = out;
    *width = static_cast<int>(w);
    *height = static_cast<int>(h);
    return true;
}
}  // namespace

void TJPEGImage::Decode(const ByteString& data, TImageData& into) {
    if (data.size() < 4 || static_cast<Byte>(data[0]) != 0xFF || static_cast<Byte>(data[1]) != 0xD8)
        throw EInvalidGraphic("JPEG image is not valid");
    // A file without its end marker still has all its rows.
    ByteString ended;
    const bool hasEnd = static_cast<Byte>(data[data.size() - 2]) == 0xFF && static_cast<Byte>(data.back()) == 0xD9;
    if (!hasEnd)
        ended = data + ByteString("\xFF\xD9", 2);
    const ByteString& whole = hasEnd ? data : ended;
    unsigned char* pixels = nullptr;
    int w = 0, h = 0;
    char message[JMSG_LENGTH_MAX] = {};
    if (!DecodeJpegRgb(reinterpret_cast<const unsigned char*>(whole.data()), static_cast<unsigned long>(whole.size()),
                       &pixels, &w, &h, message))
        throw EInvalidGraphic(std::string("JPEG image is not valid: ") + message);
    QImage img(w, h, QImage::Format_RGB32);
    if (img.isNull()) {
        std::free(pixels);
        throw EInvalidGraphic("JPEG image is not valid: not enough memory");
    }
    for (int y = 0; y < h; ++y) {
        const unsigned char* p = pixels + static_cast<size_t>(y) * w * 3;
        QRgb* o = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x, p += 3)
            o[x] = qRgb(p[0], p[1], p[2]);
    }
    std::free(pixels);
    into.image = img;
}
