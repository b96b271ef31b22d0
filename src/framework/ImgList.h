#pragma once
// Image lists: equal-sized images kept side by side, drawn normally,
// blended with a selection colour, as masks, or greyed for disabled items.

#include "framework/Components.h"
#include "framework/Graphics.h"

#include <memory>

// Drawing styles of ImageList_DrawEx.
constexpr unsigned ILD_NORMAL = 0x0000;
constexpr unsigned ILD_TRANSPARENT = 0x0001;
constexpr unsigned ILD_BLEND25 = 0x0002;
constexpr unsigned ILD_FOCUS = ILD_BLEND25;
constexpr unsigned ILD_BLEND50 = 0x0004;
constexpr unsigned ILD_SELECTED = ILD_BLEND50;
constexpr unsigned ILD_BLEND = ILD_BLEND50;
constexpr unsigned ILD_MASK = 0x0010;
constexpr unsigned ILD_IMAGE = 0x0020;
constexpr unsigned ILD_OVERLAYMASK = 0x0F00;
// The style bits that draw overlay image n (1..15) over the image.
constexpr unsigned INDEXTOOVERLAYMASK(unsigned n) { return n << 8; }

// Drawing states of ImageList_DrawIndirect.
constexpr unsigned ILS_NORMAL = 0x0000;
constexpr unsigned ILS_SATURATE = 0x0004;  // drawn in shades of grey

enum TDrawingStyle { dsFocus, dsSelected, dsNormal, dsTransparent };
enum TImageType { itImage, itMask };

class TImageList : public TComponent {
public:
    explicit TImageList(TComponent* AOwner = nullptr);
    TImageList(int width, int height);
    ~TImageList() override;
    void Assign(const TPersistent* Source) override;

    int Width() const { return width_; }
    int Height() const { return height_; }
    // Changing the size empties the list.
    void SetWidth(int w);
    void SetHeight(int h);
    void SetSize(int w, int h);
    int Count() const;

    // A bitmap wider than the list's width adds one image per width.
    // Mask: white where transparent; without one the images are opaque.
    // The index of the first added image.
    int Add(const TBitmap* image, const TBitmap* mask);
    // The mask colour is transparent (clDefault: each image's bottom-left pixel).
    int AddMasked(const TBitmap& image, TColor maskColor);
    int AddIcon(const TIcon& icon);
    void Replace(int index, const TBitmap* image, const TBitmap* mask);
    void Delete(int index);  // -1: all
    void Clear();
    void Move(int curIndex, int newIndex);
    // Makes image imageIndex overlay number overlay (0..14, drawn with
    // INDEXTOOVERLAYMASK(overlay + 1)); false for a bad index.
    bool Overlay(int imageIndex, int overlay);

    // Background for ILD_NORMAL (clNone: transparent), blend colour for the
    // selected and focused styles (clDefault: the highlight colour).
    TColor BkColor() const { return bkColor_; }
    void SetBkColor(TColor c) { bkColor_ = c; }
    TColor BlendColor() const { return blendColor_; }
    void SetBlendColor(TColor c) { blendColor_ = c; }
    TDrawingStyle DrawingStyle() const { return drawingStyle_; }
    void SetDrawingStyle(TDrawingStyle s) { drawingStyle_ = s; }
    TImageType ImageType() const { return imageType_; }
    void SetImageType(TImageType t) { imageType_ = t; }

    // Disabled images are greyed: their non-white opaque pixels as a light
    // silhouette one pixel down and right under a shadow-coloured one.
    void Draw(TCanvas& canvas, int x, int y, int index, bool enabled = true) const;
    void Draw(TCanvas& canvas, int x, int y, int index, TDrawingStyle style, TImageType type, bool enabled = true) const;
    // The image on a bitmap of the list's size filled with the background colour (white for clNone).
    void GetBitmap(int index, TBitmap& image) const;

    TNotifyEvent OnChange;

    String ClassName() const override { return S("TImageList"); }

private:
    friend bool ImageList_DrawIndirect(const struct IMAGELISTDRAWPARAMS&);
    void Changed();
    struct Impl;
    std::unique_ptr<Impl> d_;
    int width_ = 16, height_ = 16;
    TColor bkColor_ = clNone;
    TColor blendColor_ = clNone;
    TDrawingStyle drawingStyle_ = dsNormal;
    TImageType imageType_ = itImage;
};

// Draws image index at x,y (dx,dy > 0: only that much of it) with a style.
// bk: background for ILD_NORMAL (clNone: transparent, clDefault: the list's);
// fg: blend colour (clDefault: the highlight colour, clNone: none).
bool ImageList_DrawEx(const TImageList& list, int index, TCanvas& canvas, int x, int y, int dx, int dy, TColor bk,
                      TColor fg, unsigned style);

// ImageList_DrawEx with a drawing state (ILS_NORMAL, ILS_SATURATE).
struct IMAGELISTDRAWPARAMS {
    const TImageList* himl = nullptr;
    int i = 0;
    TCanvas* hdcDst = nullptr;
    int x = 0, y = 0, cx = 0, cy = 0;
    TColor rgbBk = clDefault, rgbFg = clDefault;
    unsigned fStyle = ILD_NORMAL;
    unsigned fState = ILS_NORMAL;
};
bool ImageList_DrawIndirect(const IMAGELISTDRAWPARAMS& params);
