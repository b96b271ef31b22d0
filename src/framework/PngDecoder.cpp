// A small PNG decoder of our own over zlib's inflate: chunks IHDR, PLTE,
// tRNS, IDAT and IEND (others are skipped), colour types 0, 2, 3, 4 and 6,
// bit depths 1 to 16, the five row filters and Adam7 interlacing. Anything
// malformed raises EInvalidGraphic with the reason.

#include "Graphics_p.h"

#include <zlib.h>

#include <algorithm>
#include <cstring>
#include <string>

namespace {

[[noreturn]] void Bad(const char* why) { throw EInvalidGraphic(std::string("PNG image is not valid: ") + why); }

constexpr unsigned char Signature[8] = {0x89, 'P', 'N', 'G', '\r', '\n', 0x1A, '\n'};
constexpr long long MaxPixels = 1LL << 26;  // 8192 x 8192: larger pictures are refused, not allocated

unsigned BE32(const unsigned char* p) { return (unsigned(p[0]) << 24) | (unsigned(p[1]) << 16) | (unsigned(p[2]) << 8) | p[3]; }

struct Header {
    int width = 0, height = 0, depth = 0, colorType = 0, interlace = 0;
    int Channels() const {
        switch (colorType) {
        case 0: return 1;
        case 2: return 3;
        case 3: return 1;
        case 4: return 2;
        case 6: return 4;
        default: return 0;
        }
    }
    int BitsPerPixel() const { return Channels() * depth; }
    size_t Stride(int w) const { return (static_cast<size_t>(w) * BitsPerPixel() + 7) / 8; }
};

bool ValidDepth(int colorType, int depth) {
    switch (colorType) {
    case 0: return depth == 1 || depth == 2 || depth == 4 || depth == 8 || depth == 16;
    case 3: return depth == 1 || depth == 2 || depth == 4 || depth == 8;
    case 2:
    case 4:
    case 6: return depth == 8 || depth == 16;
    default: return false;
    }
}

// Inflates at most `expected` bytes; the buffer grows with the data, so a
// header that claims a huge picture costs nothing before the data proves it.
std::string Inflate(const std::string& in, size_t expected) {
    std::string out;
    z_stream z{};
    if (inflateInit(&z) != Z_OK)
        Bad("cannot start inflating");
    z.next_in = reinterpret_cast<Bytef*>(const_cast<char*>(in.data()));
    z.avail_in = static_cast<uInt>(in.size());
    int rc = Z_OK;
    while (out.size() < expected && rc == Z_OK) {
        const size_t have = out.size();
        const size_t step = std::min<size_t>(expected - have, std::max<size_t>(have, 1 << 16));
        out.resize(have + step);
        z.next_out = reinterpret_cast<Bytef*>(out.data() + have);
        z.avail_out = static_cast<uInt>(step);
        rc = inflate(&z, Z_NO_FLUSH);
        out.resize(have + step - z.avail_out);
        if (rc == Z_BUF_ERROR && z.avail_in == 0)
            break;  // the data ended early
    }
    inflateEnd(&z);
    if (rc != Z_OK && rc != Z_STREAM_END && rc != Z_BUF_ERROR)
        Bad("the compressed data is damaged");
    if (out.size() < expected)
        Bad("the image data is too short");
    return out;
}

int Paeth(int a, int b, int c) {
    int p = a + b - c, pa = std::abs(p - a), pb = std::abs(p - b), pc = std::abs(p - c);
    if (pa <= pb && pa <= pc)
        return a;
    return pb <= pc ? b : c;
}

// Undoes the row filters of one (sub-)image in place; rows are 1 + stride bytes.
void Unfilter(unsigned char* data, int rows, size_t stride, int bpp) {
    std::vector<unsigned char> zero(stride, 0);
    const unsigned char* prev = zero.data();
    for (int y = 0; y < rows; ++y) {
        unsigned char* row = data + y * (stride + 1);
        const int filter = row[0];
        unsigned char* cur = row + 1;
        switch (filter) {
        case 0: break;
        case 1:
            for (size_t i = bpp; i < stride; ++i)
                cur[i] = static_cast<unsigned char>(cur[i] + cur[i - bpp]);
            break;
        case 2:
            for (size_t i = 0; i < stride; ++i)
                cur[i] = static_cast<unsigned char>(cur[i] + prev[i]);
            break;
        case 3:
            for (size_t i = 0; i < stride; ++i)
                cur[i] = static_cast<unsigned char>(cur[i] + ((i >= size_t(bpp) ? cur[i - bpp] : 0) + prev[i]) / 2);
            break;
        case 4:
            for (size_t i = 0; i < stride; ++i)
                cur[i] = static_cast<unsigned char>(
                    cur[i] + Paeth(i >= size_t(bpp) ? cur[i - bpp] : 0, prev[i], i >= size_t(bpp) ? prev[i - bpp] : 0));
            break;
        default: Bad("unknown row filter");
        }
        prev = cur;
    }
}

struct Transparency {
    bool hasKey = false;
    unsigned key[3] = {0, 0, 0};   // grey or red, green, blue at the image's depth
    std::vector<unsigned char> paletteAlpha;
};

unsigned Sample(const unsigned char* row, int index, int depth) {
    switch (depth) {
    case 1: return (row[index >> 3] >> (7 - (index & 7))) & 1;
    case 2: return (row[index >> 2] >> (6 - 2 * (index & 3))) & 3;
    case 4: return (row[index >> 1] >> ((index & 1) ? 0 : 4)) & 15;
    case 8: return row[index];
    default: return (unsigned(row[2 * index]) << 8) | row[2 * index + 1];
    }
}

unsigned To8(unsigned v, int depth) {
    if (depth == 16)
        return v >> 8;
    if (depth == 8)
        return v;
    return v * 255 / ((1u << depth) - 1);
}

QRgb PixelOf(const Header& h, const unsigned char* row, int x, const std::vector<QRgb>& palette, const Transparency& t) {
    const int d = h.depth;
    switch (h.colorType) {
    case 0: {
        unsigned g = Sample(row, x, d);
        unsigned a = (t.hasKey && g == t.key[0]) ? 0 : 255;
        unsigned v = To8(g, d);
        return qRgba(v, v, v, a);
    }
    case 2: {
        unsigned r = Sample(row, 3 * x, d), g = Sample(row, 3 * x + 1, d), b = Sample(row, 3 * x + 2, d);
        unsigned a = (t.hasKey && r == t.key[0] && g == t.key[1] && b == t.key[2]) ? 0 : 255;
        return qRgba(To8(r, d), To8(g, d), To8(b, d), a);
    }
    case 3: {
        unsigned i = Sample(row, x, d);
        if (i >= palette.size())
            Bad("a palette index is out of range");
        unsigned a = i < t.paletteAlpha.size() ? t.paletteAlpha[i] : 255;
        return (palette[i] & 0xFFFFFF) | (a << 24);
    }
    case 4: {
        unsigned v = To8(Sample(row, 2 * x, d), d), a = To8(Sample(row, 2 * x + 1, d), d);
        return qRgba(v, v, v, a);
    }
    default:
        return qRgba(To8(Sample(row, 4 * x, d), d), To8(Sample(row, 4 * x + 1, d), d), To8(Sample(row, 4 * x + 2, d), d),
                     To8(Sample(row, 4 * x + 3, d), d));
    }
}

struct Pass {
    int x0, y0, dx, dy;
};
constexpr Pass Adam7[7] = {{0, 0, 8, 8}, {4, 0, 8, 8}, {0, 4, 4, 8}, {2, 0, 4, 4}, {0, 2, 2, 4}, {1, 0, 2, 2}, {0, 1, 1, 2}};
constexpr Pass Whole = {0, 0, 1, 1};

}  // namespace

void TPngImage::Decode(const ByteString& data, TImageData& into) {
    const auto* p = reinterpret_cast<const unsigned char*>(data.data());
    const size_t n = data.size();
    if (n < 8 || std::memcmp(p, Signature, 8) != 0)
        Bad("no PNG signature");
    Header h;
    std::vector<QRgb> palette;
    Transparency trns;
    std::string idat;
    bool seenHeader = false, seenEnd = false;
    size_t pos = 8;
    while (pos < n && !seenEnd) {
        if (n - pos < 12)
            Bad("a chunk is cut short");
        const unsigned len = BE32(p + pos);
        if (len > n - pos - 12)
            Bad("a chunk is cut short");
        const unsigned char* type = p + pos + 4;
        const unsigned char* body = p + pos + 8;
        const unsigned crc = BE32(body + len);
        if (crc32(crc32(0, nullptr, 0), type, 4 + len) != crc)
            Bad("a chunk's checksum does not match");
        const std::string name(reinterpret_cast<const char*>(type), 4);
        if (!seenHeader && name != "IHDR")
            Bad("the header does not come first");
        if (name == "IHDR") {
            if (len != 13 || seenHeader)
                Bad("bad header");
            h.width = static_cast<int>(BE32(body));
            h.height = static_cast<int>(BE32(body + 4));
            h.depth = body[8];
            h.colorType = body[9];
            h.interlace = body[12];
            if (body[10] != 0 || body[11] != 0 || h.interlace > 1)
                Bad("unknown compression, filter or interlace method");
            if (h.width <= 0 || h.height <= 0 || static_cast<long long>(h.width) * h.height > MaxPixels)
                Bad("bad size");
            if (!ValidDepth(h.colorType, h.depth))
                Bad("unsupported colour type or bit depth");
            seenHeader = true;
        } else if (name == "PLTE") {
            if (len % 3 != 0 || len / 3 > 256 || len == 0)
                Bad("bad palette");
            palette.clear();
            for (unsigned i = 0; i < len; i += 3)
                palette.push_back(qRgb(body[i], body[i + 1], body[i + 2]));
        } else if (name == "tRNS") {
            if (h.colorType == 3) {
                trns.paletteAlpha.assign(body, body + len);
            } else if (h.colorType == 0 && len >= 2) {
                trns.hasKey = true;
                trns.key[0] = (unsigned(body[0]) << 8) | body[1];
            } else if (h.colorType == 2 && len >= 6) {
                trns.hasKey = true;
                for (int i = 0; i < 3; ++i)
                    trns.key[i] = (unsigned(body[2 * i]) << 8) | body[2 * i + 1];
            }
        } else if (name == "IDAT") {
            idat.append(reinterpret_cast<const char*>(body), len);
        } else if (name == "IEND") {
            seenEnd = true;
        } else if (!(type[0] & 0x20)) {
            Bad("an unknown critical chunk");
        }
        pos += 12 + len;
    }
    if (!seenHeader)
        Bad("no header");
    if (idat.empty())
        Bad("no image data");
    if (h.colorType == 3 && palette.empty())
        Bad("no palette");

    const int bpp = std::max(1, h.BitsPerPixel() / 8);
    const bool interlaced = h.interlace == 1;
    const int passes = interlaced ? 7 : 1;
    size_t expected = 0;
    for (int i = 0; i < passes; ++i) {
        const Pass& ps = interlaced ? Adam7[i] : Whole;
        const int pw = (h.width - ps.x0 + ps.dx - 1) / ps.dx, ph = (h.height - ps.y0 + ps.dy - 1) / ps.dy;
        if (pw > 0 && ph > 0)
            expected += static_cast<size_t>(ph) * (h.Stride(pw) + 1);
    }
    std::string raw = Inflate(idat, expected);

    const bool alpha = h.colorType == 4 || h.colorType == 6 || trns.hasKey || !trns.paletteAlpha.empty();
    QImage img(h.width, h.height, alpha ? QImage::Format_ARGB32 : QImage::Format_RGB32);
    if (img.isNull())
        Bad("not enough memory for the picture");
    size_t offset = 0;
    for (int i = 0; i < passes; ++i) {
        const Pass& ps = interlaced ? Adam7[i] : Whole;
        const int pw = (h.width - ps.x0 + ps.dx - 1) / ps.dx, ph = (h.height - ps.y0 + ps.dy - 1) / ps.dy;
        if (pw <= 0 || ph <= 0)
            continue;
        const size_t stride = h.Stride(pw);
        auto* block = reinterpret_cast<unsigned char*>(raw.data()) + offset;
        Unfilter(block, ph, stride, bpp);
        for (int y = 0; y < ph; ++y) {
            const unsigned char* row = block + y * (stride + 1) + 1;
            QRgb* out = reinterpret_cast<QRgb*>(img.scanLine(ps.y0 + y * ps.dy));
            for (int x = 0; x < pw; ++x)
                out[ps.x0 + x * ps.dx] = PixelOf(h, row, x, palette, trns);
        }
        offset += static_cast<size_t>(ph) * (stride + 1);
    }
    into.image = alpha ? img.convertToFormat(QImage::Format_ARGB32_Premultiplied) : img;
}
