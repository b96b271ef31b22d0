#include "ImgList.h"

#include "Graphics_p.h"

#include <QPainter>

#include <algorithm>
#include <vector>

struct TImageList::Impl {
    std::vector<QImage> images;  // ARGB32 premultiplied, width x height each
    int overlays[15] = {-1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1, -1};
};

bool TImageList::Overlay(int imageIndex, int overlay) {
    if (imageIndex < 0 || imageIndex >= Count() || overlay < 0 || overlay > 14)
        return false;
    d_->overlays[overlay] = imageIndex;
    return true;
}

TImageList::TImageList(TComponent* AOwner) : TComponent(AOwner), d_(std::make_unique<Impl>()) {}
TImageList::TImageList(int width, int height) : TImageList(nullptr) { SetSize(width, height); }
TImageList::~TImageList() = default;

void TImageList::Changed() {
    if (OnChange)
        OnChange(this);
}

void TImageList::Assign(const TPersistent* Source) {
    if (auto l = dynamic_cast<const TImageList*>(Source)) {
        if (l == this)
            return;
        width_ = l->width_;
        height_ = l->height_;
        bkColor_ = l->bkColor_;
        blendColor_ = l->blendColor_;
        drawingStyle_ = l->drawingStyle_;
        imageType_ = l->imageType_;
        *d_ = *l->d_;
        Changed();
        return;
    }
    TComponent::Assign(Source);
}

void TImageList::SetWidth(int w) { SetSize(w, height_); }
void TImageList::SetHeight(int h) { SetSize(width_, h); }
void TImageList::SetSize(int w, int h) {
    w = std::max(w, 0);
    h = std::max(h, 0);
    if (w == width_ && h == height_)
        return;
    width_ = w;
    height_ = h;
    d_->images.clear();
    Changed();
}

int TImageList::Count() const { return static_cast<int>(d_->images.size()); }

namespace {
// The images of a strip, one per list width; a key colour or a mask makes pixels transparent.
std::vector<QImage> Split(const QImage& strip, int w, int h, const QImage* mask, const QRgb* key) {
    std::vector<QImage> out;
    if (w <= 0 || h <= 0 || strip.isNull())
        return out;
    const int n = std::max(1, strip.width() / w);
    for (int i = 0; i < n; ++i) {
        QImage img(w, h, QImage::Format_ARGB32);
        img.fill(0);
        for (int y = 0; y < std::min(h, strip.height()); ++y)
            for (int x = 0; x < w && i * w + x < strip.width(); ++x) {
                QRgb p = strip.pixel(i * w + x, y);
                bool clear = false;
                if (mask && i * w + x < mask->width() && y < mask->height())
                    clear = (mask->pixel(i * w + x, y) & 0xFFFFFF) == 0xFFFFFF;
                if (key)
                    clear = (p & 0xFFFFFF) == (*key & 0xFFFFFF);
                img.setPixel(x, y, clear ? 0u : (qAlpha(p) ? p : (p | 0xFF000000u)));
            }
        out.push_back(img.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    }
    return out;
}
}  // namespace

int TImageList::Add(const TBitmap* image, const TBitmap* mask) {
    if (!image || image->Empty())
        return -1;
    const int first = Count();
    auto imgs = Split(BitmapImage(*image), width_, height_, mask && !mask->Empty() ? &BitmapImage(*mask) : nullptr,
                      nullptr);
    d_->images.insert(d_->images.end(), imgs.begin(), imgs.end());
    Changed();
    return first;
}

int TImageList::AddMasked(const TBitmap& image, TColor maskColor) {
    if (image.Empty())
        return -1;
    const int first = Count();
    const QImage& src = BitmapImage(image);
    QRgb key = maskColor == clDefault ? src.pixel(0, src.height() - 1) : ToQRgb(maskColor);
    auto imgs = Split(src, width_, height_, nullptr, &key);
    d_->images.insert(d_->images.end(), imgs.begin(), imgs.end());
    Changed();
    return first;
}

int TImageList::AddIcon(const TIcon& icon) {
    if (icon.Empty())
        return -1;
    QImage scaled = icon.ImageData()->image.scaled(width_, height_, Qt::IgnoreAspectRatio, Qt::FastTransformation);
    d_->images.push_back(scaled.convertToFormat(QImage::Format_ARGB32_Premultiplied));
    Changed();
    return Count() - 1;
}

void TImageList::Replace(int index, const TBitmap* image, const TBitmap* mask) {
    if (index < 0 || index >= Count())
        throw EInvalidOperation("Invalid image list index");
    if (!image || image->Empty())
        return;
    auto imgs = Split(BitmapImage(*image), width_, height_, mask && !mask->Empty() ? &BitmapImage(*mask) : nullptr,
                      nullptr);
    if (!imgs.empty())
        d_->images[index] = imgs.front();
    Changed();
}

void TImageList::Delete(int index) {
    if (index == -1) {
        Clear();
        return;
    }
    if (index < 0 || index >= Count())
        throw EInvalidOperation("Invalid image list index");
    d_->images.erase(d_->images.begin() + index);
    Changed();
}

void TImageList::Clear() {
    d_->images.clear();
    Changed();
}

void TImageList::Move(int curIndex, int newIndex) {
    if (curIndex < 0 || curIndex >= Count() || newIndex < 0 || newIndex >= Count())
        throw EInvalidOperation("Invalid image list index");
    QImage img = d_->images[curIndex];
    d_->images.erase(d_->images.begin() + curIndex);
    d_->images.insert(d_->images.begin() + newIndex, img);
    Changed();
}

namespace {
// A one-colour silhouette of the pixels that count as ink.
QImage Silhouette(const QImage& img, QRgb color, bool nonWhiteOnly) {
    QImage out(img.size(), QImage::Format_ARGB32_Premultiplied);
    out.fill(0);
    for (int y = 0; y < img.height(); ++y)
        for (int x = 0; x < img.width(); ++x) {
            QRgb p = img.pixel(x, y);  // unpremultiplied
            bool ink = qAlpha(p) >= 128 && (!nonWhiteOnly || (p & 0xFFFFFF) != 0xFFFFFF);
            if (ink)
                out.setPixel(x, y, color | 0xFF000000u);
        }
    return out;
}
}  // namespace

bool ImageList_DrawEx(const TImageList& list, int index, TCanvas& canvas, int x, int y, int dx, int dy, TColor bk,
                      TColor fg, unsigned style) {
    IMAGELISTDRAWPARAMS p;
    p.himl = &list;
    p.i = index;
    p.hdcDst = &canvas;
    p.x = x;
    p.y = y;
    p.cx = dx;
    p.cy = dy;
    p.rgbBk = bk;
    p.rgbFg = fg;
    p.fStyle = style;
    return ImageList_DrawIndirect(p);
}

bool ImageList_DrawIndirect(const IMAGELISTDRAWPARAMS& params) {
    if (!params.himl || !params.hdcDst)
        return false;
    const TImageList& list = *params.himl;
    TCanvas& canvas = *params.hdcDst;
    const int index = params.i, x = params.x, y = params.y, dx = params.cx, dy = params.cy;
    TColor bk = params.rgbBk, fg = params.rgbFg;
    const unsigned style = params.fStyle;
    if (index < 0 || index >= list.Count())
        return false;
    QImage img = list.d_->images[index];
    if (dx > 0 || dy > 0)
        img = img.copy(0, 0, dx > 0 ? dx : img.width(), dy > 0 ? dy : img.height());
    if (params.fState & ILS_SATURATE) {
        // Each pixel's brightness as grey, its opacity kept.
        img = img.convertToFormat(QImage::Format_ARGB32_Premultiplied);
        for (int yy = 0; yy < img.height(); ++yy) {
            auto* row = reinterpret_cast<QRgb*>(img.scanLine(yy));
            for (int xx = 0; xx < img.width(); ++xx) {
                const QRgb v = row[xx];
                const int grey = (qRed(v) * 30 + qGreen(v) * 59 + qBlue(v) * 11) / 100;
                row[xx] = qRgba(grey, grey, grey, qAlpha(v));
            }
        }
    }
    TCanvasImpl& d = CanvasAccess::Of(canvas);
    if (!d.Begin())
        return false;
    QRect dest(x + d.ox(), y + d.oy(), img.width(), img.height());
    if (style & ILD_MASK) {
        // The mask: black where the image is opaque, white where transparent.
        QImage m(img.size(), QImage::Format_RGB32);
        for (int yy = 0; yy < img.height(); ++yy)
            for (int xx = 0; xx < img.width(); ++xx)
                m.setPixel(xx, yy, qAlpha(img.pixel(xx, yy)) >= 128 ? 0xFF000000u : 0xFFFFFFFFu);
        d.Blit(dest, m, m.rect(), cmSrcCopy);
        d.End();
        return true;
    }
    if (bk == clDefault)
        bk = list.BkColor();
    if (!(style & ILD_TRANSPARENT) && bk != clNone) {
        QRgb b = ToQRgb(bk);
        d.FillDevice(dest, pmCopy, &b);
    }
    d.BlendImage(dest, img);
    if (const unsigned n = (style & ILD_OVERLAYMASK) >> 8; n >= 1 && list.d_->overlays[n - 1] >= 0 &&
                                                           list.d_->overlays[n - 1] < list.Count())
        d.BlendImage(QRect(dest.topLeft(), list.d_->images[list.d_->overlays[n - 1]].size()),
                     list.d_->images[list.d_->overlays[n - 1]]);
    if (style & (ILD_BLEND25 | ILD_BLEND50)) {
        if (fg == clDefault)
            fg = list.BlendColor() == clNone || list.BlendColor() == clDefault ? clHighlight : list.BlendColor();
        if (fg != clNone) {
            QImage tint = Silhouette(img, ToQRgb(fg), false);
            QPainter p(d.img);
            d.SetupPainter(p, false);
            p.setOpacity((style & ILD_BLEND50) ? 0.5 : 0.25);
            p.drawImage(dest, tint);
        }
    }
    d.End();
    return true;
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, bool enabled) const {
    Draw(canvas, x, y, index, drawingStyle_, imageType_, enabled);
}

void TImageList::Draw(TCanvas& canvas, int x, int y, int index, TDrawingStyle style, TImageType type,
                      bool enabled) const {
    if (index < 0 || index >= Count())
        return;
    if (!enabled) {
        // The classic greyed look: a highlight silhouette offset by one under a shadow one.
        const QImage& img = d_->images[index];
        TCanvasImpl& d = CanvasAccess::Of(canvas);
        if (!d.Begin())
            return;
        d.BlendImage(QRect(x + 1 + d.ox(), y + 1 + d.oy(), img.width(), img.height()),
                     Silhouette(img, ToQRgb(clBtnHighlight), true));
        d.BlendImage(QRect(x + d.ox(), y + d.oy(), img.width(), img.height()), Silhouette(img, ToQRgb(clBtnShadow), true));
        d.End();
        return;
    }
    unsigned s = ILD_NORMAL;
    switch (style) {
    case dsFocus: s = ILD_FOCUS; break;
    case dsSelected: s = ILD_SELECTED; break;
    case dsTransparent: s = ILD_TRANSPARENT; break;
    default: break;
    }
    if (type == itMask)
        s |= ILD_MASK;
    ImageList_DrawEx(*this, index, canvas, x, y, 0, 0, clDefault, clDefault, s);
}

void TImageList::GetBitmap(int index, TBitmap& image) const {
    image.SetSize(width_, height_);
    image.Canvas().Brush().SetColor(bkColor_ == clNone ? clWhite : bkColor_);
    image.Canvas().FillRect(Rect(0, 0, width_, height_));
    if (index >= 0 && index < Count())
        ImageList_DrawEx(*this, index, image.Canvas(), 0, 0, 0, 0, clNone, clNone, ILD_TRANSPARENT);
}
