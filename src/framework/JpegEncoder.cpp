// JPEG encoding through libjpeg. As in decoding, the library reports errors
// by a long jump; the encoding function holds only plain C data.

#include "Graphics_p.h"

#include <csetjmp>
#include <cstdio>
#include <cstdlib>
#include <vector>

#include <jpeglib.h>

namespace {

struct JpegError {
    jpeg_error_mgr mgr;
    std::jmp_buf jump;
    char message[JMSG_LENGTH_MAX];
};

void OnJpegError(j_common_ptr cinfo) {
    auto* err = reinterpret_cast<JpegError*>(cinfo->err);
    (*cinfo->err->format_message)(cinfo, err->message);
    std::longjmp(err->jump, 1);
}

// RGB rows (3 bytes a pixel) to JPEG data in a malloc'ed block; false with a
// message on failure.
bool EncodeJpegRgb(const unsigned char* rgb, int width, int height, int quality, unsigned char** out,
                   unsigned long* outSize, char* message) {
    jpeg_compress_struct cinfo;
    JpegError err;
    cinfo.err = jpeg_std_error(&err.mgr);
    err.mgr.error_exit = OnJpegError;
    *out = nullptr;
    *outSize = 0;
    if (setjmp(err.jump)) {
        std::snprintf(message, JMSG_LENGTH_MAX, "%s", err.message);
        jpeg_destroy_compress(&cinfo);
        std::free(*out);
        *out = nullptr;
        return false;
    }
    jpeg_create_compress(&cinfo);
    jpeg_mem_dest(&cinfo, out, outSize);
    cinfo.image_width = static_cast<JDIMENSION>(width);
    cinfo.image_height = static_cast<JDIMENSION>(height);
    cinfo.input_components = 3;
    cinfo.in_color_space = JCS_RGB;
    jpeg_set_defaults(&cinfo);
    jpeg_set_quality(&cinfo, quality, TRUE);
    jpeg_start_compress(&cinfo, TRUE);
    while (cinfo.next_scanline < cinfo.image_height) {
        JSAMPROW row = const_cast<unsigned char*>(rgb) + static_cast<size_t>(cinfo.next_scanline) * width * 3;
        jpeg_write_scanlines(&cinfo, &row, 1);
    }
    jpeg_finish_compress(&cinfo);
    jpeg_destroy_compress(&cinfo);
    return true;
}

}  // namespace

void TJPEGImage::Assign(const TPersistent* Source) {
    const auto* graphic = dynamic_cast<const TGraphic*>(Source);
    if (!graphic || dynamic_cast<const TJPEGImage*>(Source)) {
        TRasterPicture::Assign(Source);
        return;
    }
    if (graphic->Empty() || graphic->Width() <= 0 || graphic->Height() <= 0)
        throw EInvalidGraphic(u"Cannot save an empty " + ClassName());
    // Drawn on white, so that transparent parts come out as a page shows them.
    TBitmap sheet(graphic->Width(), graphic->Height());
    sheet.Canvas().Brush().SetColor(clWhite);
    sheet.Canvas().FillRect({0, 0, sheet.Width(), sheet.Height()});
    sheet.Canvas().Draw(0, 0, *graphic);
    const QImage img = sheet.ImageData()->image.convertToFormat(QImage::Format_RGB888);
    std::vector<unsigned char> rgb(static_cast<size_t>(img.width()) * img.height() * 3);
    for (int y = 0; y < img.height(); ++y)
        std::copy_n(img.constScanLine(y), img.width() * 3, rgb.data() + static_cast<size_t>(y) * img.width() * 3);
    unsigned char* data = nullptr;
    unsigned long size = 0;
    char message[JMSG_LENGTH_MAX] = {};
    if (!EncodeJpegRgb(rgb.data(), img.width(), img.height(), quality_, &data, &size, message))
        throw EInvalidGraphic(std::string("Cannot encode the JPEG image: ") + message);
    const ByteString bytes(reinterpret_cast<const char*>(data), size);
    std::free(data);
    LoadFromBytes(bytes);
}
