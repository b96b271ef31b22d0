#pragma once
// GIFs written by the tests: a clear code before every pixel keeps the LZW
// codes at their least width, so no real encoder is needed.

#include <string>
#include <vector>

namespace testgif {

struct Frame {
    int Left, Top, Width, Height;
    int Delay;        // hundredths of a second
    int ColorIndex;   // every pixel of the frame: 0 red, 1 green, 2 blue, 3 white
};

inline void PutWord(std::string& s, int v) {
    s += char(v & 0xFF);
    s += char((v >> 8) & 0xFF);
}

inline std::string Lzw(int pixels, int index) {
    // Minimum code size 2: clear 4, end 5, 3-bit codes throughout.
    std::string bytes;
    unsigned acc = 0;
    int bits = 0;
    auto put = [&](unsigned code) {
        acc |= code << bits;
        bits += 3;
        while (bits >= 8) {
            bytes += char(acc & 0xFF);
            acc >>= 8;
            bits -= 8;
        }
    };
    for (int i = 0; i < pixels; ++i) {
        put(4);
        put(unsigned(index));
    }
    put(5);
    if (bits > 0) bytes += char(acc & 0xFF);
    std::string out;
    out += char(2);
    for (size_t i = 0; i < bytes.size(); i += 255) {
        std::string chunk = bytes.substr(i, 255);
        out += char(chunk.size());
        out += chunk;
    }
    out += char(0);
    return out;
}

inline std::string Gif(int width, int height, const std::vector<Frame>& frames) {
    std::string s = "GIF89a";
    PutWord(s, width);
    PutWord(s, height);
    s += char(0x81);  // global table of 4 colours
    s += char(0);
    s += char(0);
    const unsigned char table[] = {255, 0, 0, 0, 255, 0, 0, 0, 255, 255, 255, 255};
    s.append(reinterpret_cast<const char*>(table), sizeof table);
    for (const Frame& f : frames) {
        s += "\x21\xF9\x04";
        s += char(0);
        PutWord(s, f.Delay);
        s += char(0);
        s += char(0);
        s += char(0x2C);
        PutWord(s, f.Left);
        PutWord(s, f.Top);
        PutWord(s, f.Width);
        PutWord(s, f.Height);
        s += char(0);
        s += Lzw(f.Width * f.Height, f.ColorIndex);
    }
    s += char(0x3B);
    return s;
}

}  // namespace testgif
