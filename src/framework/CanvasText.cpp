// Text on the canvas: single lines, clipped lines and the formatted text of
// DrawText with the classic flags.

#include "CanvasMapping_p.h"
#include "Graphics_p.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>

int TCanvasImpl::LineWidth(const QString& s, bool expandTabs) {
    const QFontMetrics& m = Metrics();
    if (!expandTabs || !s.contains(QLatin1Char('\t')))
        return TextWidth(s);
    const int tab = std::max(1, m.averageCharWidth() * tabChars);
    const QStringList runs = s.split(QLatin1Char('\t'));
    int x = 0;
    for (int i = 0; i < runs.size(); ++i) {
        x += m.horizontalAdvance(runs[i]);
        if (i + 1 < runs.size())
            x = (x / tab + 1) * tab;
    }
    return x;
}

void TCanvasImpl::DrawTextLine(int x, int y, const QString& s, const QRect* devClip, bool opaque,
                               const std::vector<int>& underlined, bool expandTabs, bool rtl) {
    const QFontMetrics& m = Metrics();
    const TFont& font = c.font_;
    QPainter p(img);
    SetupPainter(p, false);
    if (devClip)
        p.setClipRect(*devClip, hasClip ? Qt::IntersectClip : Qt::ReplaceClip);
    p.translate(x + ox(), y + oy());
    if (font.Escapement() % 3600 != 0)
        p.rotate(-font.Escapement() / 10.0);  // escapement turns counter-clockwise
    if (rtl)
        p.setLayoutDirection(Qt::RightToLeft);
    p.setFont(qfont);
    if (opaque)
        p.fillRect(QRect(0, 0, LineWidth(s, expandTabs), m.height()), ToQColor(bkColor));
    if (font.Color() == clNone)
        return;
    const QColor color = ToQColor(font.Color());
    p.setPen(color);
    if (expandTabs && s.contains(QLatin1Char('\t'))) {
        const int tab = std::max(1, m.averageCharWidth() * tabChars);
        const QStringList runs = s.split(QLatin1Char('\t'));
        int px = 0;
        for (int i = 0; i < runs.size(); ++i) {
            p.drawText(QPoint(px, m.ascent()), runs[i]);
            px += m.horizontalAdvance(runs[i]);
            if (i + 1 < runs.size())
                px = (px / tab + 1) * tab;
        }
    } else {
        p.drawText(QPoint(0, m.ascent()), s);
    }
    for (int i : underlined) {
        if (i < 0 || i >= s.size())
            continue;
        int x0 = LineWidth(s.left(i), expandTabs);
        int cw = m.horizontalAdvance(s.at(i));
        p.fillRect(QRect(x0, m.ascent() + std::max(1, m.underlinePos()), cw, 1), color);
    }
}

void TCanvas::TextOut(int x, int y, const String& text) {
    if (IsMapped(*this)) {
        const TPoint d = MapPoint(*this, {x, y});
        const int w = TextWidth(text);
        const bool mirrored = IsMirrored(*this);
        {
            TDeviceScope s(*this);
            // In a mirror the text ends at the mirrored point, read as ever.
            TextOut(mirrored ? d.X - TextWidth(text) : d.X, d.Y, text);
        }
        penPos_ = {x + w, y};
        return;
    }
    const int w = TextWidth(text);
    if (d_->Begin()) {
        d_->SyncBk();
        d_->Metrics();
        d_->DrawTextLine(x, y, QStr(text), nullptr, d_->bkMode == OPAQUE && d_->bkColor != clNone, {}, false, false);
        d_->End();
    }
    penPos_ = {x + w, y};
}

void TCanvas::TextRect(const TRect& r, int x, int y, const String& text) {
    if (IsMapped(*this)) {
        const TRect d = MapRect(*this, r);
        const TPoint p = MapPoint(*this, {x, y});
        const bool mirrored = IsMirrored(*this);
        TDeviceScope s(*this);
        return TextRect(d, mirrored ? p.X - TextWidth(text) : p.X, p.Y, text);
    }
    if (!d_->Begin())
        return;
    d_->SyncBk();
    d_->Metrics();
    QRect dr = d_->DevRect(r);
    if ((brush_.Style() != bsClear || (textFlags_ & ETO_OPAQUE)) && d_->bkColor != clNone) {
        QRgb bk = ToQRgb(d_->bkColor);
        d_->FillDevice(dr, pmCopy, &bk);
    }
    if (!dr.isEmpty())
        d_->DrawTextLine(x, y, QStr(text), &dr, false, {}, false, false);
    d_->End();
}

bool TCanvas::GetTextMetrics(TTextMetric& tm) {
    if (MapMode() != MM_TEXT) {  // a mirror keeps lengths
        {
            TDeviceScope s(*this);
            GetTextMetrics(tm);
        }
        for (int* v : {&tm.tmHeight, &tm.tmAscent, &tm.tmDescent, &tm.tmInternalLeading, &tm.tmExternalLeading,
                       &tm.tmAveCharWidth, &tm.tmMaxCharWidth})
            *v = UnmapLength(*this, *v);
        return true;
    }
    const QFontMetrics& m = d_->Metrics();
    tm.tmAscent = m.ascent();
    tm.tmDescent = m.descent();
    tm.tmHeight = m.ascent() + m.descent();
    tm.tmInternalLeading = std::max(0, tm.tmHeight - d_->qfont.pixelSize());
    tm.tmExternalLeading = std::max(0, m.leading());
    tm.tmAveCharWidth = m.averageCharWidth();
    tm.tmMaxCharWidth = m.maxWidth();
    return true;
}

// In MM_LOMETRIC the sizes are measured in pixels of the mapped font and
// given back in logical units.
int TCanvas::TextWidth(const String& text) {
    if (MapMode() != MM_TEXT) {  // a mirror keeps lengths
        TDeviceScope s(*this);
        return UnmapLength(*this, TextWidth(text));
    }
    return d_->TextWidth(QStr(text));
}
int TCanvas::TextHeight(const String& text) {
    if (MapMode() != MM_TEXT) {  // a mirror keeps lengths
        TDeviceScope s(*this);
        return UnmapLength(*this, TextHeight(text));
    }
    return d_->Metrics().height();
}
TSize TCanvas::TextExtent(const String& text) { return {TextWidth(text), TextHeight(text)}; }

// ---------------------------------------------------------------------------
// DrawText

namespace {

struct TextLine {
    QString text;
    std::vector<bool> mark;  // characters to underline (the "&" prefix)
};

std::vector<int> Marks(const TextLine& l) {
    std::vector<int> v;
    for (size_t i = 0; i < l.mark.size(); ++i)
        if (l.mark[i])
            v.push_back(static_cast<int>(i));
    return v;
}

TextLine Mid(const TextLine& l, int from, int n = -1) {
    if (n < 0)
        n = l.text.size() - from;
    TextLine r;
    r.text = l.text.mid(from, n);
    r.mark.assign(l.mark.begin() + from, l.mark.begin() + from + r.text.size());
    return r;
}

// "&x" underlines x, "&&" is one "&", a final "&" is dropped.
TextLine StripPrefixes(const QString& s, unsigned flags) {
    TextLine out;
    if (flags & DT_NOPREFIX) {
        out.text = s;
        out.mark.assign(s.size(), false);
        return out;
    }
    for (int i = 0; i < s.size(); ++i) {
        if (s[i] == QLatin1Char('&')) {
            if (i + 1 >= s.size())
                break;
            ++i;
            out.text += s[i];
            out.mark.push_back(s[i] != QLatin1Char('&') && !(flags & DT_HIDEPREFIX));
            continue;
        }
        out.text += s[i];
        out.mark.push_back(false);
    }
    return out;
}

}  // namespace

int TCanvas::DrawText(const String& text, TRect& r, unsigned flags) {
    if (IsMirrored(*this) && (flags & DT_CALCRECT)) {
        // Measuring does not depend on where the text stands: the logical
        // rectangle keeps its left edge.
        const Cardinal layout = layout_;
        layout_ = 0;
        const int h = DrawText(text, r, flags);
        layout_ = layout;
        return h;
    }
    if (IsMirrored(*this)) {
        // The logical left is the device right: left and right justification change places.
        if (flags & DT_RIGHT) flags &= ~DT_RIGHT;
        else if (!(flags & DT_CENTER)) flags |= DT_RIGHT;
    }
    if (IsMapped(*this)) {
        TRect d = MapRect(*this, r);
        int h;
        {
            TDeviceScope s(*this);
            h = DrawText(text, d, flags);
        }
        if (flags & DT_CALCRECT) r = UnmapRect(*this, d);
        return UnmapLength(*this, h);
    }
    // DT_TABSTOP: the second byte holds the tab size in characters instead of flags.
    struct TabGuard {
        TCanvasImpl& d;
        ~TabGuard() { d.tabChars = 8; }
    } tabGuard{*d_};
    if (flags & DT_TABSTOP) {
        d_->tabChars = std::max(1u, (flags >> 8) & 0xFF);
        flags &= ~0xFF00u;
    }
    const QFontMetrics& m = d_->Metrics();
    const bool tabs = flags & DT_EXPANDTABS;
    const bool single = flags & DT_SINGLELINE;
    auto width = [&](const QString& s) { return d_->LineWidth(s, tabs); };
    const int maxWidth = r.Right - r.Left;

    TextLine all = StripPrefixes(QStr(text), flags);
    // External leading is space added between lines, never taken away: a
    // font whose line spacing is below its height adds none (a negative one
    // would push the line down and clip its underline at the bottom).
    const int lineHeight = m.height() + ((flags & DT_EXTERNALLEADING) ? std::max(0, m.leading()) : 0);
    if (text.empty()) {
        if (flags & DT_CALCRECT) {
            r.Right = r.Left;
            r.Bottom = r.Top + (single ? lineHeight : 0);
        }
        return lineHeight;
    }

    // Hard lines.
    std::vector<TextLine> hard;
    if (single) {
        TextLine l;
        for (int i = 0; i < all.text.size(); ++i)
            if (all.text[i] != QLatin1Char('\r') && all.text[i] != QLatin1Char('\n')) {
                l.text += all.text[i];
                l.mark.push_back(all.mark[i]);
            }
        hard.push_back(std::move(l));
    } else {
        int start = 0;
        for (int i = 0; i <= all.text.size(); ++i) {
            if (i == all.text.size() || all.text[i] == QLatin1Char('\r') || all.text[i] == QLatin1Char('\n')) {
                hard.push_back(Mid(all, start, i - start));
                if (i < all.text.size() && all.text[i] == QLatin1Char('\r') && i + 1 < all.text.size() &&
                    all.text[i + 1] == QLatin1Char('\n'))
                    ++i;
                start = i + 1;
            }
        }
    }
    if (all.text.isEmpty())
        hard.clear();

    // Word breaks: greedy at blanks; blanks at a break are dropped. A word
    // wider than the rectangle stays whole, unless edit-control rules break it.
    std::vector<TextLine> lines;
    if ((flags & DT_WORDBREAK) && !single) {
        for (const TextLine& h : hard) {
            int pos = 0;
            const int n = h.text.size();
            if (n == 0) {
                lines.push_back(h);
                continue;
            }
            while (pos < n) {
                const int lineStart = pos;
                auto wordEnd = [&](int i) {
                    while (i < n && h.text[i] == QLatin1Char(' '))
                        ++i;
                    while (i < n && h.text[i] != QLatin1Char(' '))
                        ++i;
                    return i;
                };
                int lastFit = -1;  // end of the longest run of whole words that fits
                for (int i = lineStart; i < n;) {
                    int we = wordEnd(i);
                    if (width(h.text.mid(lineStart, we - lineStart)) > maxWidth)
                        break;
                    lastFit = i = we;
                }
                if (lastFit < 0) {
                    // The first word alone is too wide.
                    const int we = wordEnd(lineStart);
                    lastFit = we;
                    if (flags & DT_EDITCONTROL) {
                        int k = lineStart + 1;  // at least one character per line
                        while (k < we && width(h.text.mid(lineStart, k + 1 - lineStart)) <= maxWidth)
                            ++k;
                        lastFit = k;
                    }
                }
                TextLine l = Mid(h, lineStart, lastFit - lineStart);
                while (!l.text.isEmpty() && l.text.back() == QLatin1Char(' ')) {
                    l.text.chop(1);
                    l.mark.pop_back();
                }
                lines.push_back(std::move(l));
                pos = lastFit;
                while (pos < n && h.text[pos] == QLatin1Char(' '))
                    ++pos;
            }
        }
    } else {
        lines = std::move(hard);
    }

    // Ellipsis for lines wider than the rectangle.
    if (flags & (DT_END_ELLIPSIS | DT_PATH_ELLIPSIS | DT_WORD_ELLIPSIS)) {
        const QString dots = QStringLiteral("...");
        for (TextLine& l : lines) {
            if (width(l.text) <= maxWidth)
                continue;
            int sep = (flags & DT_PATH_ELLIPSIS) ? std::max(l.text.lastIndexOf(QLatin1Char('\\')), l.text.lastIndexOf(QLatin1Char('/'))) : -1;
            if (sep > 0) {
                // Path: the end from the last separator stays; the front loses characters.
                TextLine tail = Mid(l, sep);
                int k = sep;
                while (k > 0 && width(l.text.left(k) + dots + tail.text) > maxWidth)
                    --k;
                TextLine res = Mid(l, 0, k);
                res.text += dots + tail.text;
                res.mark.insert(res.mark.end(), 3, false);
                res.mark.insert(res.mark.end(), tail.mark.begin(), tail.mark.end());
                l = std::move(res);
            } else {
                int k = l.text.size();
                while (k > 0 && width(l.text.left(k) + dots) > maxWidth)
                    --k;
                TextLine res = Mid(l, 0, k);
                res.text += dots;
                res.mark.insert(res.mark.end(), 3, false);
                l = std::move(res);
            }
        }
    }

    const int total = lineHeight * static_cast<int>(lines.size());

    if (flags & DT_CALCRECT) {
        int w = 0;
        for (const TextLine& l : lines)
            w = std::max(w, width(l.text));
        r.Right = r.Left + w;
        r.Bottom = r.Top + total;
        return total;
    }

    int y = r.Top;
    if (single) {
        if (flags & DT_VCENTER)
            y = (r.Top + r.Bottom - lineHeight) / 2;
        else if (flags & DT_BOTTOM)
            y = r.Bottom - lineHeight;
    }
    const int top = y;
    if (!lines.empty() && d_->Begin()) {
        d_->SyncBk();
        const bool opaque = d_->bkMode == OPAQUE && d_->bkColor != clNone;
        QRect clip = d_->DevRect(r);
        for (const TextLine& l : lines) {
            if ((flags & DT_EDITCONTROL) && y + lineHeight > r.Bottom && y != top)
                break;  // no partly visible last line
            const int w = width(l.text);
            int x = r.Left;
            if (flags & DT_CENTER)
                x = (r.Left + r.Right - w) / 2;
            else if (flags & DT_RIGHT)
                x = r.Right - w;
            d_->DrawTextLine(x, y, l.text, (flags & DT_NOCLIP) ? nullptr : &clip, opaque, Marks(l), tabs,
                             flags & DT_RTLREADING);
            y += lineHeight;
        }
        d_->End();
    }
    return top - r.Top + total;
}

int DrawText(TCanvas& canvas, const String& text, TRect& r, unsigned flags) { return canvas.DrawText(text, r, flags); }
