// Raster graphics: the graphic base, bitmaps with their BMP codec, icons,
// decoded pictures and the picture holder.

#include "Graphics_p.h"
#include "QtApp_p.h"
#include "Streams.h"

#include <QBuffer>
#include <QImageReader>
#include <QImageWriter>
#include <QPainter>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <fstream>
#include <sstream>

namespace {

ByteString ReadWholeFile(const String& fileName) {
    std::ifstream in(StringToUtf8(fileName), std::ios::binary);
    if (!in)
        throw EFOpenError(u"Cannot open file \"" + fileName + u"\".");
    std::ostringstream ss;
    ss << in.rdbuf();
    return ss.str();
}

// Written to a temporary file first, so a failed write leaves the old file.
void WriteWholeFile(const String& fileName, const ByteString& data) {
    std::string path = StringToUtf8(fileName), tmp = path + ".tmp";
    {
        std::ofstream out(tmp, std::ios::binary | std::ios::trunc);
        if (!out)
            throw EFCreateError(u"Cannot create file \"" + fileName + u"\".");
        out.write(data.data(), static_cast<std::streamsize>(data.size()));
        if (!out)
            throw EWriteError(u"Cannot write file \"" + fileName + u"\".");
    }
    if (std::rename(tmp.c_str(), path.c_str()) != 0) {
        std::remove(tmp.c_str());
        throw EFCreateError(u"Cannot create file \"" + fileName + u"\".");
    }
}

String LowerExt(const String& fileName) {
    auto dot = fileName.find_last_of(u'.');
    auto slash = fileName.find_last_of(u"/\\");
    if (dot == String::npos || (slash != String::npos && dot < slash))
        return {};
    String e = fileName.substr(dot + 1);
    for (auto& ch : e)
        if (ch >= u'A' && ch <= u'Z')
            ch = static_cast<Char>(ch - u'A' + u'a');
    return e;
}

// Fixed palettes for the indexed pixel formats.
std::vector<QRgb> VgaPalette() {
    static const QRgb v[16] = {0xFF000000, 0xFF800000, 0xFF008000, 0xFF808000, 0xFF000080, 0xFF800080,
                               0xFF008080, 0xFF808080, 0xFFC0C0C0, 0xFFFF0000, 0xFF00FF00, 0xFFFFFF00,
                               0xFF0000FF, 0xFFFF00FF, 0xFF00FFFF, 0xFFFFFFFF};
    return std::vector<QRgb>(v, v + 16);
}
std::vector<QRgb> DefaultPalette(TPixelFormat f) {
    if (f == pf1bit)
        return {0xFF000000, 0xFFFFFFFF};
    std::vector<QRgb> p = VgaPalette();
    if (f == pf4bit)
        return p;
    for (int r = 0; r < 6; ++r)
        for (int g = 0; g < 6; ++g)
            for (int b = 0; b < 6; ++b)
                p.push_back(qRgb(r * 51, g * 51, b * 51));
    for (int i = 0; p.size() < 256; ++i)
        p.push_back(qRgb(8 + i * 10, 8 + i * 10, 8 + i * 10));
    return p;
}
int BitsOf(TPixelFormat f) {
    switch (f) {
    case pf1bit: return 1;
    case pf4bit: return 4;
    case pf8bit: return 8;
    case pf15bit:
    case pf16bit: return 16;
    case pf24bit: return 24;
    default: return 32;
    }
}
int Nearest(const std::vector<QRgb>& pal, QRgb c) {
    int best = 0, bestD = 1 << 30;
    for (size_t i = 0; i < pal.size(); ++i) {
        int dr = qRed(pal[i]) - qRed(c), dg = qGreen(pal[i]) - qGreen(c), db = qBlue(pal[i]) - qBlue(c);
        int d = dr * dr + dg * dg + db * db;
        if (d < bestD) {
            bestD = d;
            best = static_cast<int>(i);
            if (d == 0)
                break;
        }
    }
    return best;
}
int Stride(int width, int bits) { return (width * bits + 7) / 8; }

// Reads pixel x of a packed row.
QRgb RowPixel(const unsigned char* row, int x, int bits, const std::vector<QRgb>& pal, bool is565) {
    auto idx = [&](int i) { return i < static_cast<int>(pal.size()) ? pal[i] : 0xFF000000u; };
    switch (bits) {
    case 1: return idx((row[x >> 3] >> (7 - (x & 7))) & 1);
    case 4: return idx((row[x >> 1] >> ((x & 1) ? 0 : 4)) & 0xF);
    case 8: return idx(row[x]);
    case 16: {
        unsigned v = row[2 * x] | (row[2 * x + 1] << 8);
        if (is565)
            return qRgb(((v >> 11) & 31) * 255 / 31, ((v >> 5) & 63) * 255 / 63, (v & 31) * 255 / 31);
        return qRgb(((v >> 10) & 31) * 255 / 31, ((v >> 5) & 31) * 255 / 31, (v & 31) * 255 / 31);
    }
    case 24: return qRgb(row[3 * x + 2], row[3 * x + 1], row[3 * x]);
    default: return qRgb(row[4 * x + 2], row[4 * x + 1], row[4 * x]);
    }
}
void SetRowPixel(unsigned char* row, int x, int bits, const std::vector<QRgb>& pal, bool is565, QRgb c) {
    switch (bits) {
    case 1: {
        int i = Nearest(pal, c);
        if (i)
            row[x >> 3] |= 0x80 >> (x & 7);
        else
            row[x >> 3] &= ~(0x80 >> (x & 7));
        break;
    }
    case 4: {
        int i = Nearest(pal, c);
        row[x >> 1] = (x & 1) ? ((row[x >> 1] & 0xF0) | i) : ((row[x >> 1] & 0x0F) | (i << 4));
        break;
    }
    case 8: row[x] = static_cast<unsigned char>(Nearest(pal, c)); break;
    case 16: {
        unsigned v = is565 ? ((qRed(c) >> 3) << 11) | ((qGreen(c) >> 2) << 5) | (qBlue(c) >> 3)
                           : ((qRed(c) >> 3) << 10) | ((qGreen(c) >> 3) << 5) | (qBlue(c) >> 3);
        row[2 * x] = v & 0xFF;
        row[2 * x + 1] = v >> 8;
        break;
    }
    case 24:
        row[3 * x] = qBlue(c);
        row[3 * x + 1] = qGreen(c);
        row[3 * x + 2] = qRed(c);
        break;
    default:
        row[4 * x] = qBlue(c);
        row[4 * x + 1] = qGreen(c);
        row[4 * x + 2] = qRed(c);
        row[4 * x + 3] = 0xFF;
        break;
    }
}

[[noreturn]] void BadBitmap() { throw EInvalidGraphic("Bitmap image is not valid"); }

unsigned U16(const ByteString& d, size_t o) { return static_cast<Byte>(d[o]) | (static_cast<Byte>(d[o + 1]) << 8); }
unsigned U32(const ByteString& d, size_t o) { return U16(d, o) | (U16(d, o + 2) << 16); }
void Put16(ByteString& d, unsigned v) {
    d += static_cast<char>(v & 0xFF);
    d += static_cast<char>((v >> 8) & 0xFF);
}
void Put32(ByteString& d, unsigned v) {
    Put16(d, v & 0xFFFF);
    Put16(d, v >> 16);
}

}  // namespace

// ---------------------------------------------------------------------------
// TGraphic

void TGraphic::SetWidth(int) {}
void TGraphic::SetHeight(int) {}
void TGraphic::SetTransparent(bool v) {
    if (v != transparent_) {
        transparent_ = v;
        Changed();
    }
}
void TGraphic::Changed() {
    modified_ = true;
    TGraphicsObject::Changed();
}
ByteString TGraphic::SaveToBytes() const { throw EInvalidGraphic(u"Cannot save a " + ClassName()); }
void TGraphic::LoadFromFile(const String& fileName) { LoadFromBytes(ReadWholeFile(fileName)); }
void TGraphic::SaveToFile(const String& fileName) const { WriteWholeFile(fileName, SaveToBytes()); }
static ByteString RestOf(TStream& stream) {
    const Int64 left = stream.Size() - stream.Position();
    if (left <= 0)
        return {};
    if (left > (Int64(1) << 30))
        throw EInvalidGraphic("The picture is too large");
    return stream.ReadBytes(static_cast<int>(left));
}
void TGraphic::LoadFromStream(TStream& stream) { LoadFromBytes(RestOf(stream)); }
void TGraphic::SaveToStream(TStream& stream) const { stream.WriteBytes(SaveToBytes()); }

void TGraphic::Draw(TCanvas& canvas, const TRect& r) const {
    const TImageData* data = ImageData();
    if (!data || data->image.isNull() || IsRectEmpty(r))
        return;
    TCanvasImpl& d = CanvasAccess::Of(canvas);
    if (!d.Begin())
        return;
    QRect dest = d.DevRect(r);
    auto bitmap = dynamic_cast<const TBitmap*>(this);
    if (bitmap && bitmap->Transparent()) {
        // The pixels of the transparent colour leave the canvas unchanged.
        const QRgb key = ToQRgb(bitmap->TransparentColor());
        d.Blit(dest, data->image, data->image.rect(), cmSrcCopy, &key);
    } else if (data->image.hasAlphaChannel()) {
        d.BlendImage(dest, data->image);
    } else {
        d.Blit(dest, data->image, data->image.rect(), canvas.CopyMode());
    }
    d.End();
}

// ---------------------------------------------------------------------------
// TBitmap

TBitmap::TBitmap() : d_(std::make_unique<TImageData>()) {}
TBitmap::TBitmap(int width, int height) : TBitmap() { SetSize(width, height); }
TBitmap::~TBitmap() = default;

TImageData& TBitmap::Data() {
    // The framework may have put a new image in place (BitmapImage(b) = ...):
    // the size follows it and the pixels become 32-bit again.
    if (!d_->image.isNull() && !d_->shadowCurrent) {
        if (d_->image.depth() != 32)
            d_->image = d_->image.convertToFormat(QImage::Format_RGB32);
        d_->width = d_->image.width();
        d_->height = d_->image.height();
    }
    if (d_->shadowCurrent) {
        // The rows written through ScanLine become the pixels again.
        const int bits = BitsOf(pixelFormat_);
        for (int y = 0; y < d_->height; ++y) {
            const unsigned char* row = d_->shadow.data() + static_cast<size_t>(y) * d_->shadowStride;
            QRgb* out = reinterpret_cast<QRgb*>(d_->image.scanLine(y));
            for (int x = 0; x < d_->width; ++x)
                out[x] = RowPixel(row, x, bits, d_->palette, pixelFormat_ == pf16bit);
        }
        d_->shadowCurrent = false;
    }
    return *d_;
}

const TImageData* TBitmap::ImageData() const { return &const_cast<TBitmap*>(this)->Data(); }

QImage& BitmapImage(TBitmap& bitmap) { return bitmap.Data().image; }
const QImage& BitmapImage(const TBitmap& bitmap) { return bitmap.ImageData()->image; }

TCanvas& TBitmap::Canvas() {
    if (!canvas_) {
        canvas_ = std::make_unique<TCanvas>();
        AttachCanvas(*canvas_, [this]() -> QImage* {
            QImage& img = Data().image;
            return img.isNull() ? nullptr : &img;
        });
        CanvasAccess::Of(*canvas_).owner = this;
        SetCanvasChangedHook(*canvas_, [this] {
            // A monochrome bitmap keeps only black and white, whatever was drawn.
            if (pixelFormat_ == pf1bit) {
                QImage& img = d_->image;
                for (int y = 0; y < img.height(); ++y) {
                    QRgb* row = reinterpret_cast<QRgb*>(img.scanLine(y));
                    for (int x = 0; x < img.width(); ++x)
                        row[x] = qGray(row[x]) >= 128 ? 0xFFFFFFFFu : 0xFF000000u;
                }
            }
            Changed();
        });
    }
    return *canvas_;
}

bool TBitmap::Empty() const { return Width() <= 0 || Height() <= 0; }
int TBitmap::Width() const { return ImageData()->width; }
int TBitmap::Height() const { return ImageData()->height; }
void TBitmap::SetWidth(int w) { SetSize(w, d_->height); }
void TBitmap::SetHeight(int h) { SetSize(d_->width, h); }

void TBitmap::SetSize(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    TImageData& d = Data();
    if (w == d.width && h == d.height)
        return;
    QImage img;
    if (w > 0 && h > 0) {
        img = QImage(w, h, QImage::Format_RGB32);
        if (img.isNull())
            throw EOutOfResources("Out of system resources");
        img.fill(Qt::white);
        if (!d.image.isNull()) {
            QPainter p(&img);
            p.setCompositionMode(QPainter::CompositionMode_Source);
            p.drawImage(0, 0, d.image);
        }
    }
    d.image = img;
    d.width = w;
    d.height = h;
    Changed();
}

void TBitmap::SetPixelFormat(TPixelFormat f) {
    if (f == pixelFormat_)
        return;
    TImageData& d = Data();
    pixelFormat_ = f;
    d.palette = (f == pf1bit || f == pf4bit || f == pf8bit) ? DefaultPalette(f) : std::vector<QRgb>();
    // Fewer bits keep fewer colours.
    if (!d.image.isNull() && f != pfDevice && f != pf24bit && f != pf32bit && f != pfCustom) {
        const int bits = BitsOf(f);
        std::vector<unsigned char> row(Stride(d.width, bits) + 4);
        for (int y = 0; y < d.height; ++y) {
            QRgb* px = reinterpret_cast<QRgb*>(d.image.scanLine(y));
            for (int x = 0; x < d.width; ++x) {
                SetRowPixel(row.data(), 0, bits, d.palette, f == pf16bit, px[x]);
                px[x] = RowPixel(row.data(), 0, bits, d.palette, f == pf16bit);
            }
        }
    }
    Changed();
}

void TBitmap::SetMonochrome(bool v) {
    if (v != Monochrome())
        SetPixelFormat(v ? pf1bit : pfDevice);
}

void* TBitmap::ScanLine(int y) {
    TImageData& d = *d_;
    if (y < 0 || y >= d.height || d.image.isNull())
        throw EInvalidGraphic("Scan line index out of range");
    const int bits = BitsOf(pixelFormat_);
    if (bits == 32)
        return Data().image.scanLine(y);
    if (!d.shadowCurrent) {
        d.shadowStride = Stride(d.width, bits);
        d.shadow.assign(static_cast<size_t>(d.shadowStride) * d.height, 0);
        for (int yy = 0; yy < d.height; ++yy) {
            const QRgb* in = reinterpret_cast<const QRgb*>(d.image.constScanLine(yy));
            unsigned char* row = d.shadow.data() + static_cast<size_t>(yy) * d.shadowStride;
            for (int x = 0; x < d.width; ++x)
                SetRowPixel(row, x, bits, d.palette, pixelFormat_ == pf16bit, in[x]);
        }
        d.shadowCurrent = true;
    }
    return d.shadow.data() + static_cast<size_t>(y) * d.shadowStride;
}

TColor TBitmap::TransparentColor() const {
    if (transparentMode_ == tmFixed && transparentColor_ != clDefault)
        return transparentColor_;
    if (Empty())
        return clDefault;
    const QImage& img = BitmapImage(*this);
    return FromQRgb(img.pixel(0, img.height() - 1));
}

void TBitmap::SetTransparentColor(TColor c) {
    transparentColor_ = c;
    transparentMode_ = c == clDefault ? tmAuto : tmFixed;
    Changed();
}

void TBitmap::SetTransparentMode(TTransparentMode m) {
    if (m == transparentMode_)
        return;
    if (m == tmAuto)
        transparentColor_ = clDefault;
    else
        transparentColor_ = TransparentColor();
    transparentMode_ = m;
    Changed();
}

void TBitmap::Mask(TColor transparentColor) {
    TImageData& d = Data();
    const QRgb key = ToQRgb(transparentColor) & 0xFFFFFF;
    for (int y = 0; y < d.height; ++y) {
        QRgb* px = reinterpret_cast<QRgb*>(d.image.scanLine(y));
        for (int x = 0; x < d.width; ++x)
            px[x] = (px[x] & 0xFFFFFF) == key ? 0xFFFFFFFF : 0xFF000000;
    }
    pixelFormat_ = pf1bit;
    d.palette = DefaultPalette(pf1bit);
    Changed();
}

void TBitmap::Assign(const TPersistent* Source) {
    if (Source == this)
        return;
    if (!Source) {
        *d_ = TImageData();
        Changed();
        return;
    }
    if (auto b = dynamic_cast<const TBitmap*>(Source)) {
        const TImageData* src = b->ImageData();
        *d_ = *src;
        pixelFormat_ = b->pixelFormat_;
        transparentMode_ = b->transparentMode_;
        transparentColor_ = b->transparentColor_;
        SetTransparent(b->Transparent());
        Changed();
        return;
    }
    if (auto g = dynamic_cast<const TGraphic*>(Source)) {
        *d_ = TImageData();
        SetSize(g->Width(), g->Height());
        if (!g->Empty())
            Canvas().Draw(0, 0, *g);
        Changed();
        return;
    }
    TGraphic::Assign(Source);
}

void TBitmap::AssignTo(TPersistent* Dest) const { TGraphic::AssignTo(Dest); }

void TBitmap::LoadFromBytes(const ByteString& data) {
    // BITMAPFILEHEADER (14 bytes) then an info header of 12 (core) or 40+ bytes.
    if (data.size() < 26 || data[0] != 'B' || data[1] != 'M')
        BadBitmap();
    const size_t offBits = U32(data, 10);
    const unsigned hdr = U32(data, 14);
    int w, h, bits;
    unsigned compression = 0, colorsUsed = 0;
    size_t palOff = 14 + hdr;
    int palEntry = 4;
    if (hdr == 12) {
        w = static_cast<int16_t>(U16(data, 18));
        h = static_cast<int16_t>(U16(data, 20));
        bits = U16(data, 24);
        palEntry = 3;
    } else if (hdr >= 40 && data.size() >= 14 + 40) {
        w = static_cast<int32_t>(U32(data, 18));
        h = static_cast<int32_t>(U32(data, 22));
        bits = U16(data, 28);
        compression = U32(data, 30);
        colorsUsed = U32(data, 46);
    } else {
        BadBitmap();
    }
    const bool topDown = h < 0;
    h = std::abs(h);
    if (w <= 0 || h <= 0 || w > 32768 || h > 32768 || static_cast<long long>(w) * h > (1LL << 26))
        BadBitmap();
    bool is565 = false;
    if (compression == 3 /* bit fields */ && bits == 16) {
        if (data.size() < 14 + 40 + 12)
            BadBitmap();
        is565 = U32(data, 54) == 0xF800;
        palOff += 12;
    } else if (compression == 3 && bits == 32) {
        palOff += 12;
    } else if (compression != 0) {
        // Run-length encodings and embedded pictures: the platform reader.
        EnsureQtApplication();
        QImage img = QImage::fromData(reinterpret_cast<const uchar*>(data.data()), static_cast<int>(data.size()), "BMP");
        if (img.isNull())
            BadBitmap();
        *d_ = TImageData();
        d_->image = img.convertToFormat(QImage::Format_RGB32);
        d_->width = img.width();
        d_->height = img.height();
        pixelFormat_ = bits == 4 ? pf4bit : pf8bit;
        d_->palette = DefaultPalette(pixelFormat_);
        Changed();
        return;
    }
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32)
        BadBitmap();
    std::vector<QRgb> pal;
    if (bits <= 8) {
        size_t n = colorsUsed ? colorsUsed : (1u << bits);
        if (n > 256 || palOff + n * palEntry > data.size())
            BadBitmap();
        for (size_t i = 0; i < n; ++i) {
            size_t o = palOff + i * palEntry;
            pal.push_back(qRgb(static_cast<Byte>(data[o + 2]), static_cast<Byte>(data[o + 1]), static_cast<Byte>(data[o])));
        }
    }
    const size_t stride = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
    if (offBits > data.size() || (data.size() - offBits) < stride * h)
        BadBitmap();
    QImage img(w, h, QImage::Format_RGB32);
    if (img.isNull())
        BadBitmap();
    for (int y = 0; y < h; ++y) {
        const unsigned char* row = reinterpret_cast<const unsigned char*>(data.data()) + offBits +
                                   stride * (topDown ? y : h - 1 - y);
        QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(y));
        for (int x = 0; x < w; ++x)
            out[x] = RowPixel(row, x, bits, pal, is565);
    }
    *d_ = TImageData();
    d_->image = img;
    d_->width = w;
    d_->height = h;
    d_->palette = pal;
    switch (bits) {
    case 1: pixelFormat_ = pf1bit; break;
    case 4: pixelFormat_ = pf4bit; break;
    case 8: pixelFormat_ = pf8bit; break;
    case 16: pixelFormat_ = is565 ? pf16bit : pf15bit; break;
    case 24: pixelFormat_ = pf24bit; break;
    default: pixelFormat_ = pf32bit; break;
    }
    Changed();
}

ByteString TBitmap::SaveToBytes() const {
    const TImageData& d = *ImageData();
    const int bits = pixelFormat_ == pfDevice ? 24 : BitsOf(pixelFormat_);
    const bool is565 = pixelFormat_ == pf16bit;
    std::vector<QRgb> pal = d.palette;
    if (bits <= 8 && pal.empty())
        pal = DefaultPalette(pixelFormat_);
    const int w = d.width, h = d.height;
    const size_t stride = (static_cast<size_t>(w) * bits + 31) / 32 * 4;
    const unsigned palBytes = bits <= 8 ? static_cast<unsigned>(pal.size()) * 4 : (is565 ? 12 : 0);
    const unsigned offBits = 14 + 40 + palBytes;
    ByteString out;
    out.reserve(offBits + stride * h);
    out += "BM";
    Put32(out, static_cast<unsigned>(offBits + stride * h));
    Put32(out, 0);
    Put32(out, offBits);
    Put32(out, 40);
    Put32(out, static_cast<unsigned>(w));
    Put32(out, static_cast<unsigned>(h));
    Put16(out, 1);
    Put16(out, static_cast<unsigned>(bits));
    Put32(out, is565 ? 3 : 0);
    Put32(out, static_cast<unsigned>(stride * h));
    Put32(out, 3780);  // 96 pixels per inch in pixels per metre
    Put32(out, 3780);
    Put32(out, bits <= 8 ? static_cast<unsigned>(pal.size()) : 0);
    Put32(out, 0);
    if (bits <= 8)
        for (QRgb c : pal) {
            out += static_cast<char>(qBlue(c));
            out += static_cast<char>(qGreen(c));
            out += static_cast<char>(qRed(c));
            out += '\0';
        }
    if (is565) {
        Put32(out, 0xF800);
        Put32(out, 0x07E0);
        Put32(out, 0x001F);
    }
    std::vector<unsigned char> row(stride);
    for (int y = h - 1; y >= 0; --y) {
        std::fill(row.begin(), row.end(), 0);
        const QRgb* in = reinterpret_cast<const QRgb*>(d.image.constScanLine(y));
        for (int x = 0; x < w; ++x)
            SetRowPixel(row.data(), x, bits, pal, is565, in[x]);
        out.append(reinterpret_cast<const char*>(row.data()), stride);
    }
    return out;
}

void TBitmap::SaveToPngFile(const String& fileName) const {
    EnsureQtApplication();
    QImage img = BitmapImage(*this);
    if (!img.save(QStr(fileName), "PNG"))
        throw EFCreateError(u"Cannot create file \"" + fileName + u"\".");
}

// ---------------------------------------------------------------------------
// TIcon

TIcon::TIcon() : d_(std::make_unique<TImageData>()) {}
TIcon::~TIcon() = default;
TImageData& TIcon::Data() { return *d_; }
const TImageData* TIcon::ImageData() const { return d_.get(); }
bool TIcon::Empty() const { return d_->image.isNull(); }
int TIcon::Width() const { return d_->width; }
int TIcon::Height() const { return d_->height; }

void TIcon::SetSize(int w, int h) {
    d_->image = QImage(std::max(w, 1), std::max(h, 1), QImage::Format_ARGB32_Premultiplied);
    d_->image.fill(Qt::transparent);
    d_->width = w;
    d_->height = h;
    Changed();
}

void TIcon::Assign(const TPersistent* Source) {
    if (auto i = dynamic_cast<const TIcon*>(Source)) {
        if (i != this) {
            *d_ = *i->d_;
            Changed();
        }
        return;
    }
    TGraphic::Assign(Source);
}

void TIcon::LoadFromBytes(const ByteString& data) {
    EnsureQtApplication();
    QImage img;
    if (data.size() >= 6 && data[0] == 0 && data[1] == 0 && (data[2] == 1 || data[2] == 2) && data[3] == 0)
        img = QImage::fromData(reinterpret_cast<const uchar*>(data.data()), static_cast<int>(data.size()), "ICO");
    if (img.isNull())
        throw EInvalidGraphic("Icon image is not valid");
    d_->image = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
    d_->width = img.width();
    d_->height = img.height();
    Changed();
}

ByteString TIcon::SaveToBytes() const {
    QByteArray ba;
    QBuffer buf(&ba);
    buf.open(QIODevice::WriteOnly);
    QImageWriter w(&buf, "ICO");
    if (d_->image.isNull() || !w.write(d_->image))
        throw EInvalidGraphic("Cannot save the icon");
    return ByteString(ba.constData(), static_cast<size_t>(ba.size()));
}

// ---------------------------------------------------------------------------
// Decoded pictures

TRasterPicture::TRasterPicture() : d_(std::make_unique<TImageData>()) {}
TRasterPicture::~TRasterPicture() = default;
const TImageData* TRasterPicture::ImageData() const { return d_.get(); }
bool TRasterPicture::Empty() const { return d_->image.isNull(); }
int TRasterPicture::Width() const { return d_->width; }
int TRasterPicture::Height() const { return d_->height; }

void TRasterPicture::Assign(const TPersistent* Source) {
    if (auto p = dynamic_cast<const TRasterPicture*>(Source); p && typeid(*p) == typeid(*this)) {
        if (p != this) {
            *d_ = *p->d_;
            original_ = p->original_;
            Changed();
        }
        return;
    }
    TGraphic::Assign(Source);
}

void TRasterPicture::LoadFromBytes(const ByteString& data) {
    TImageData decoded;
    Decode(data, decoded);
    if (decoded.image.isNull())
        throw EInvalidGraphic(ClassName() + u": the picture is not valid");
    decoded.width = decoded.image.width();
    decoded.height = decoded.image.height();
    *d_ = std::move(decoded);
    original_ = data;
    Changed();
}

ByteString TRasterPicture::SaveToBytes() const {
    if (original_.empty())
        throw EInvalidGraphic(u"Cannot save an empty " + ClassName());
    return original_;
}

void TGIFImage::Decode(const ByteString& data, TImageData& into) {
    EnsureQtApplication();
    if (data.size() < 6 || data.compare(0, 4, "GIF8") != 0)
        throw EInvalidGraphic("GIF image is not valid");
    QImage img = QImage::fromData(reinterpret_cast<const uchar*>(data.data()), static_cast<int>(data.size()), "GIF");
    if (img.isNull())
        throw EInvalidGraphic("GIF image is not valid");
    into.image = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
}

// ---------------------------------------------------------------------------
// Pictures by content and by extension

namespace {
enum class Kind { Unknown, Bmp, Ico, Gif, Jpeg, Png };
Kind Sniff(const ByteString& d) {
    auto starts = [&](const char* sig, size_t n) { return d.size() >= n && std::memcmp(d.data(), sig, n) == 0; };
    if (starts("BM", 2))
        return Kind::Bmp;
    if (starts("\x89PNG\r\n\x1a\n", 8))
        return Kind::Png;
    if (starts("\xFF\xD8\xFF", 3))
        return Kind::Jpeg;
    if (starts("GIF8", 4))
        return Kind::Gif;
    if (d.size() >= 6 && d[0] == 0 && d[1] == 0 && d[2] == 1 && d[3] == 0)
        return Kind::Ico;
    return Kind::Unknown;
}
std::unique_ptr<TGraphic> Make(Kind k) {
    switch (k) {
    case Kind::Bmp: return std::make_unique<TBitmap>();
    case Kind::Ico: return std::make_unique<TIcon>();
    case Kind::Gif: return std::make_unique<TGIFImage>();
    case Kind::Jpeg: return std::make_unique<TJPEGImage>();
    case Kind::Png: return std::make_unique<TPngImage>();
    default: return nullptr;
    }
}
std::unique_ptr<TGraphic> Clone(const TGraphic& g) {
    std::unique_ptr<TGraphic> c;
    if (dynamic_cast<const TBitmap*>(&g))
        c = std::make_unique<TBitmap>();
    else if (dynamic_cast<const TIcon*>(&g))
        c = std::make_unique<TIcon>();
    else if (dynamic_cast<const TPngImage*>(&g))
        c = std::make_unique<TPngImage>();
    else if (dynamic_cast<const TJPEGImage*>(&g))
        c = std::make_unique<TJPEGImage>();
    else if (dynamic_cast<const TGIFImage*>(&g))
        c = std::make_unique<TGIFImage>();
    else
        c = std::make_unique<TBitmap>();
    c->Assign(&g);
    return c;
}
}  // namespace

std::unique_ptr<TGraphic> LoadPictureFromBytes(const ByteString& data) {
    std::unique_ptr<TGraphic> g = Make(Sniff(data));
    if (!g)
        throw EInvalidGraphic("Unknown picture format");
    g->LoadFromBytes(data);
    return g;
}

TPicture::TPicture() = default;
TPicture::~TPicture() = default;

// A change of the held graphic is a change of the picture.
static void Follow(TPicture* picture, TGraphic* g, const std::function<void()>& changed) {
    if (g)
        g->OnChange = [changed](TObject*) { changed(); };
    (void)picture;
}

void TPicture::Assign(const TPersistent* Source) {
    if (!Source) {
        graphic_.reset();
        Changed();
        return;
    }
    if (auto p = dynamic_cast<const TPicture*>(Source)) {
        if (p != this) {
            graphic_ = p->graphic_ ? Clone(*p->graphic_) : nullptr;
            Follow(this, graphic_.get(), [this] { Changed(); });
            Changed();
        }
        return;
    }
    if (auto g = dynamic_cast<const TGraphic*>(Source)) {
        SetGraphic(g);
        return;
    }
    TGraphicsObject::Assign(Source);
}

void TPicture::SetGraphic(const TGraphic* g) {
    graphic_ = g ? Clone(*g) : nullptr;
    Follow(this, graphic_.get(), [this] { Changed(); });
    Changed();
}

TBitmap& TPicture::Bitmap() {
    auto b = dynamic_cast<TBitmap*>(graphic_.get());
    if (!b) {
        graphic_ = std::make_unique<TBitmap>();
        b = static_cast<TBitmap*>(graphic_.get());
        Follow(this, b, [this] { Changed(); });
        Changed();
    }
    return *b;
}

TIcon& TPicture::Icon() {
    auto i = dynamic_cast<TIcon*>(graphic_.get());
    if (!i) {
        graphic_ = std::make_unique<TIcon>();
        i = static_cast<TIcon*>(graphic_.get());
        Follow(this, i, [this] { Changed(); });
        Changed();
    }
    return *i;
}

int TPicture::Width() const { return graphic_ ? graphic_->Width() : 0; }
int TPicture::Height() const { return graphic_ ? graphic_->Height() : 0; }

void TPicture::LoadFromFile(const String& fileName) {
    const String ext = LowerExt(fileName);
    Kind k = Kind::Unknown;
    if (ext == u"bmp" || ext == u"dib")
        k = Kind::Bmp;
    else if (ext == u"ico")
        k = Kind::Ico;
    else if (ext == u"png")
        k = Kind::Png;
    else if (ext == u"jpg" || ext == u"jpeg" || ext == u"jpe" || ext == u"jfif")
        k = Kind::Jpeg;
    else if (ext == u"gif")
        k = Kind::Gif;
    if (k == Kind::Unknown)
        throw EInvalidGraphic(u"Unknown picture file extension (." + ext + u")");
    std::unique_ptr<TGraphic> g = Make(k);
    g->LoadFromFile(fileName);
    graphic_ = std::move(g);
    Follow(this, graphic_.get(), [this] { Changed(); });
    Changed();
}

void TPicture::SaveToFile(const String& fileName) const {
    if (graphic_)
        graphic_->SaveToFile(fileName);
}

void TPicture::LoadFromStream(TStream& stream) { LoadFromBytes(RestOf(stream)); }

void TPicture::LoadFromBytes(const ByteString& data) {
    graphic_ = LoadPictureFromBytes(data);
    Follow(this, graphic_.get(), [this] { Changed(); });
    Changed();
}
