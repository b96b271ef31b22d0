// One-pixel lines that reach far outside the bitmap: only the part that can
// show is walked, yet the pixels and the dash phase are those of the full walk.

#include "framework/Graphics.h"

#include <gtest/gtest.h>

#include <chrono>
#include <climits>
#include <cstdint>
#include <cstdlib>
#include <set>
#include <string>
#include <utility>
#include <vector>

namespace {

using Pixel = std::pair<int, int>;
// Each walked pixel with its step count from the start of the polyline.
using Walk = std::vector<std::pair<Pixel, std::int64_t>>;

// The plain walk over every step (Bresenham, last point left out).
void ReferenceLine(TPoint a, TPoint b, std::int64_t& phase, Walk& out) {
    std::int64_t x = a.X, y = a.Y;
    const std::int64_t dx = std::llabs(std::int64_t(b.X) - x), dy = std::llabs(std::int64_t(b.Y) - y);
    const int sx = b.X > a.X ? 1 : -1, sy = b.Y > a.Y ? 1 : -1;
    std::int64_t err = (dx > dy ? dx : -dy) / 2;
    for (std::int64_t i = 0; i < std::max(dx, dy); ++i) {
        out.push_back({{int(x), int(y)}, phase++});
        const std::int64_t e = err;
        if (e > -dx) {
            err -= dy;
            x += sx;
        }
        if (e < dy) {
            err += dx;
            y += sy;
        }
    }
}

Walk ReferencePolyline(const std::vector<TPoint>& pts) {
    Walk w;
    std::int64_t phase = 0;
    for (size_t i = 0; i + 1 < pts.size(); ++i)
        ReferenceLine(pts[i], pts[i + 1], phase, w);
    return w;
}

// The dotted pen: three on, three off from the first point.
bool DotOn(std::int64_t k) { return k % 6 < 3; }

std::set<Pixel> Black(TBitmap& bmp) {
    std::set<Pixel> s;
    for (int y = 0; y < bmp.Height(); ++y)
        for (int x = 0; x < bmp.Width(); ++x)
            if (bmp.Canvas().Pixels(x, y) == clBlack)
                s.insert({x, y});
    return s;
}

std::set<Pixel> Expected(const Walk& w, TRect box, bool dotted) {
    std::set<Pixel> s;
    for (const auto& [p, k] : w)
        if (p.first >= box.Left && p.first < box.Right && p.second >= box.Top && p.second < box.Bottom &&
            (!dotted || DotOn(k)))
            s.insert(p);
    return s;
}

std::string Describe(const std::vector<TPoint>& pts) {
    std::string s;
    for (const TPoint& p : pts)
        s += "(" + std::to_string(p.X) + "," + std::to_string(p.Y) + ")";
    return s;
}

TEST(GraphicsLines, PartlyOutsideLinesDrawTheSamePixelsAsTheFullWalk) {
    std::vector<std::vector<TPoint>> cases = {
        {Point(-30, 4), Point(40, 7)},     // shallow, both ends outside
        {Point(40, 7), Point(-30, 4)},     // the same backwards
        {Point(5, -50), Point(9, 60)},     // steep
        {Point(9, 60), Point(5, -50)},     // steep upwards
        {Point(-20, -20), Point(30, 30)},  // diagonal (a tie)
        {Point(30, -8), Point(-10, 32)},   // anti-diagonal
        {Point(-25, 1), Point(25, 26)},    // minor half the major: rounding ties
        {Point(26, 25), Point(-24, 0)},
        {Point(-7, 5), Point(100, 5)},     // horizontal
        {Point(3, 40), Point(3, -40)},     // vertical
        {Point(-40, -3), Point(40, -3)},   // passes just above
        {Point(-40, 30), Point(60, -60)},
        {Point(2, 3), Point(9, 8)},        // fully inside
        {Point(-100, 50), Point(7, 3), Point(-30, -90), Point(50, 6)},  // polyline in and out
    };
    // And a deterministic spread of others, many crossing a corner.
    std::uint32_t seed = 12345;
    auto next = [&](int lo, int hi) {
        seed = seed * 1103515245u + 12345u;
        return lo + int((seed >> 8) % std::uint32_t(hi - lo + 1));
    };
    for (int n = 0; n < 300; ++n)
        cases.push_back({Point(next(-60, 75), next(-60, 70)), Point(next(-60, 75), next(-60, 70))});

    const TRect sheet = Rect(0, 0, 16, 12);
    const TRect clip = Rect(3, 2, 11, 9);
    for (const auto& pts : cases) {
        const Walk walk = ReferencePolyline(pts);
        const std::string what = Describe(pts);
        for (bool dotted : {false, true}) {
            // Solid or dotted, copy or XOR (each pixel touched once turns white to black).
            for (bool xorMode : {false, true}) {
                TBitmap bmp(16, 12);
                bmp.Canvas().Brush().SetStyle(bsClear);  // gaps left alone
                bmp.Canvas().Pen().SetStyle(dotted ? psDot : psSolid);
                if (xorMode) {
                    bmp.Canvas().Pen().SetMode(pmXor);
                    bmp.Canvas().Pen().SetColor(clWhite);
                }
                bmp.Canvas().Polyline(pts);
                EXPECT_EQ(Black(bmp), Expected(walk, sheet, dotted)) << what << " dotted " << dotted << " xor " << xorMode;
            }
            // Clipped to a rectangle inside the bitmap.
            TBitmap bmp(16, 12);
            bmp.Canvas().Pen().SetStyle(dotted ? psDot : psSolid);
            bmp.Canvas().IntersectClipRect(clip.Left, clip.Top, clip.Right, clip.Bottom);
            bmp.Canvas().Polyline(pts);
            EXPECT_EQ(Black(bmp), Expected(walk, clip, dotted)) << what << " clipped, dotted " << dotted;
        }
    }
}

TEST(GraphicsLines, LinesWithHugeCoordinatesFinishAtOnce) {
    const auto begin = std::chrono::steady_clock::now();

    // The middle of this line is (0, 6): it crosses the bitmap on row 6.
    for (bool backwards : {false, true}) {
        TBitmap bmp(50, 20);
        if (backwards) {
            bmp.Canvas().MoveTo(2000000000, 7);
            bmp.Canvas().LineTo(-2000000000, 5);
        } else {
            bmp.Canvas().MoveTo(-2000000000, 5);
            bmp.Canvas().LineTo(2000000000, 7);
        }
        std::set<Pixel> row;
        for (int x = 0; x < 50; ++x)
            row.insert({x, 6});
        EXPECT_EQ(Black(bmp), row) << backwards;
    }

    // From corner to corner of the int range: the diagonal.
    TBitmap d(20, 20);
    d.Canvas().MoveTo(INT_MIN, INT_MIN);
    d.Canvas().LineTo(INT_MAX, INT_MAX);
    std::set<Pixel> diagonal;
    for (int i = 0; i < 20; ++i)
        diagonal.insert({i, i});
    EXPECT_EQ(Black(d), diagonal);

    // Steep, and one that misses the bitmap.
    TBitmap s(20, 50);
    s.Canvas().Polyline({Point(5, INT_MIN), Point(7, INT_MAX), Point(INT_MIN, -3)});
    std::set<Pixel> column;
    for (int y = 0; y < 50; ++y)
        column.insert({6, y});
    EXPECT_EQ(Black(s), column);

    // Wide pens only look at the pixels near the bitmap as well.
    TBitmap w(50, 20);
    w.Canvas().Pen().SetWidth(3);
    w.Canvas().MoveTo(-2000000000, 5);
    w.Canvas().LineTo(2000000000, 7);
    w.Canvas().Polyline({Point(INT_MIN, INT_MIN), Point(INT_MIN, INT_MAX), Point(INT_MAX, INT_MAX)});
    for (int x = 0; x < 50; ++x)
        for (int y = 0; y < 20; ++y)
            EXPECT_EQ(w.Canvas().Pixels(x, y), y >= 5 && y <= 7 ? clBlack : clWhite) << x << "," << y;

    // Under a moved origin a point near the int limit is held at the limit,
    // never wrapped to the other side of the surface.
    TBitmap o(50, 20);
    o.Canvas().SetViewportOrg(10, 0);
    o.Canvas().MoveTo(INT_MAX - 5, 6);
    o.Canvas().LineTo(INT_MAX, 6);
    EXPECT_TRUE(Black(o).empty());
    o.Canvas().MoveTo(-20, 6);
    o.Canvas().LineTo(INT_MAX, 6);
    std::set<Pixel> shifted;
    for (int x = 0; x < 50; ++x)
        shifted.insert({x, 6});
    o.Canvas().SetViewportOrg(0, 0);  // read the pixels where they are
    EXPECT_EQ(Black(o), shifted);

    EXPECT_LT(std::chrono::duration<double>(std::chrono::steady_clock::now() - begin).count(), 0.5);
}

TEST(GraphicsLines, DotsEnteringFromFarAwayKeepTheirPhase) {
    // A straight line: the pixel at x is step x + 1000000001 of the pattern.
    TBitmap h(50, 6);
    h.Canvas().Pen().SetStyle(psDot);
    h.Canvas().MoveTo(-1000000001, 3);
    h.Canvas().LineTo(100, 3);
    std::set<Pixel> want;
    for (int x = 0; x < 50; ++x)
        if (DotOn(x + 1000000001LL))
            want.insert({x, 3});
    EXPECT_EQ(Black(h), want);

    // A polyline whose first segment is mostly outside: the second segment
    // continues the pattern after all of the first one's steps.
    TBitmap p(50, 10);
    p.Canvas().Pen().SetStyle(psDot);
    p.Canvas().Polyline({Point(5, -1000000007), Point(5, 2), Point(45, 2)});
    want.clear();
    for (int y = 0; y < 2; ++y)
        if (DotOn(std::int64_t(y) + 1000000007))
            want.insert({5, y});
    for (int x = 5; x < 45; ++x)
        if (DotOn(1000000009LL + (x - 5)))
            want.insert({x, 2});
    EXPECT_EQ(Black(p), want);
}

}  // namespace
