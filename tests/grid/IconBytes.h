#pragma once
// The bytes of an 8 x 8 icon file of one opaque colour (32 bits a pixel).

#include "framework/Graphics.h"
#include "framework/SysUtils.h"

inline ByteString IconFile(TColor C) {
    ByteString d;
    auto put = [&](unsigned V, int Bytes) {
        for (int i = 0; i < Bytes; ++i) d += char((V >> (8 * i)) & 0xFF);
    };
    put(0, 2), put(1, 2), put(1, 2);                                // header: one icon
    put(8, 1), put(8, 1), put(0, 2), put(1, 2), put(32, 2);         // 8 x 8, 32 bits
    put(40 + 8 * 8 * 4 + 8 * 4, 4), put(22, 4);                     // its size and place
    put(40, 4), put(8, 4), put(16, 4), put(1, 2), put(32, 2);       // the bitmap header, twice as high
    for (int i = 0; i < 6; ++i) put(0, 4);
    const unsigned rgb = unsigned(ColorToRGB(C));
    for (int i = 0; i < 64; ++i) put(((rgb & 0xFF) << 16) | (rgb & 0xFF00) | ((rgb >> 16) & 0xFF) | 0xFF000000u, 4);
    for (int i = 0; i < 8; ++i) put(0, 4);                          // the mask: all shown
    return d;
}
