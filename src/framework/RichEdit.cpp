#include "framework/RichEdit.h"

#include "framework/Controls_p.h"
#include "framework/Encoding.h"
#include "framework/Graphics_p.h"
#include "framework/SysUtils.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextEdit>

#include <algorithm>
#include <cstdlib>

// ---------------------------------------------------------------------------
// The document model
// ---------------------------------------------------------------------------
namespace {
constexpr Char kLineBreak = 0x2028;

// Adjacent runs of one format become one; empty runs go.
void Normalize(TRichParagraph& p) {
    std::vector<TRichRun> runs;
    for (TRichRun& r : p.Runs) {
        if (r.Text.empty()) continue;
        if (!runs.empty() && runs.back().Format == r.Format) runs.back().Text += r.Text;
        else runs.push_back(std::move(r));
    }
    p.Runs = std::move(runs);
}
}  // namespace

String TRichDocument::PlainText() const {
    String out;
    for (size_t i = 0; i < Paragraphs.size(); ++i) {
        if (i) out += u"\r\n";
        for (const TRichRun& r : Paragraphs[i].Runs)
            for (Char c : r.Text) {
                if (c == kLineBreak) out += u"\r\n";
                else out += c;
            }
    }
    return out;
}

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------
namespace {
std::string Num(long long v) { return std::to_string(v); }

void WriteText(std::string& out, const String& text) {
    for (Char c : text) {
        switch (c) {
        case u'\\': out += "\\\\"; break;
        case u'{': out += "\\{"; break;
        case u'}': out += "\\}"; break;
        case u'\t': out += "\\tab "; break;
        case kLineBreak: out += "\\line "; break;
        default:
            if (c >= 0x20 && c < 0x80) out += char(c);
            // Everything else as a signed 16-bit \u with one '?' for readers without Unicode.
            else out += "\\u" + Num(c > 0x7FFF ? int(c) - 0x10000 : int(c)) + "?";
        }
    }
}
}  // namespace

ByteString WriteRTF(const TRichDocument& Document) {
    TRichDocument doc = Document;
    if (doc.Paragraphs.empty()) doc.Paragraphs.emplace_back();
    for (TRichParagraph& p : doc.Paragraphs) Normalize(p);
    // The font and colour tables, in order of first use.
    std::vector<String> fonts;
    std::vector<TColor> colors;
    const TRichFormat first = [&] {
        for (const TRichParagraph& p : doc.Paragraphs)
            if (!p.Runs.empty()) return p.Runs.front().Format;
        return TRichFormat();
    }();
    fonts.push_back(first.Name);
    for (const TRichParagraph& p : doc.Paragraphs)
        for (const TRichRun& r : p.Runs) {
            if (std::find(fonts.begin(), fonts.end(), r.Format.Name) == fonts.end()) fonts.push_back(r.Format.Name);
            if (r.Format.Color != clWindowText &&
                std::find(colors.begin(), colors.end(), ColorToRGB(r.Format.Color)) == colors.end())
                colors.push_back(ColorToRGB(r.Format.Color));
        }
    std::string out = "{\\rtf1\\ansi\\ansicpg1252\\deff0\\uc1{\\fonttbl";
    for (size_t i = 0; i < fonts.size(); ++i) {
        out += "{\\f" + Num(long(i)) + "\\fnil ";
        WriteText(out, fonts[i]);
        out += ";}";
    }
    out += "}{\\colortbl ;";
    for (TColor c : colors)
        out += "\\red" + Num(c & 0xFF) + "\\green" + Num((c >> 8) & 0xFF) + "\\blue" + Num((c >> 16) & 0xFF) + ";";
    out += "}\r\n";

    auto fontIndex = [&](const String& n) { return long(std::find(fonts.begin(), fonts.end(), n) - fonts.begin()); };
    auto colorIndex = [&](TColor c) {
        if (c == clWindowText) return 0L;
        return long(std::find(colors.begin(), colors.end(), ColorToRGB(c)) - colors.begin()) + 1;
    };
    // The state the reader starts in: font 0, 12 points, automatic colour, plain.
    TRichFormat state;
    state.Name = fonts[0];
    state.Size = 12;
    state.Color = clWindowText;
    bool started = false;
    for (size_t pi = 0; pi < doc.Paragraphs.size(); ++pi) {
        const TRichParagraph& p = doc.Paragraphs[pi];
        out += "\\pard";
        if (p.Justified) out += "\\qj";
        else if (p.Alignment == taCenter) out += "\\qc";
        else if (p.Alignment == taRightJustify) out += "\\qr";
        // Text right after a control word needs the blank that ends the word.
        bool afterWord = true;
        for (const TRichRun& r : p.Runs) {
            const TRichFormat& f = r.Format;
            std::string words;
            if (!started || f.Name != state.Name) words += "\\f" + Num(fontIndex(f.Name));
            if (!started || f.Size != state.Size) words += "\\fs" + Num(long(f.Size) * 2);
            if (colorIndex(f.Color) != colorIndex(state.Color)) words += "\\cf" + Num(colorIndex(f.Color));
            const struct {
                TFontStyle style;
                const char* on;
                const char* off;
            } styles[] = {{fsBold, "\\b", "\\b0"}, {fsItalic, "\\i", "\\i0"}, {fsUnderline, "\\ul", "\\ulnone"},
                          {fsStrikeOut, "\\strike", "\\strike0"}};
            for (const auto& s : styles)
                if (f.Style.Contains(s.style) != state.Style.Contains(s.style))
                    words += f.Style.Contains(s.style) ? s.on : s.off;
            if (f.Offset != state.Offset) {
                // Half-points: 10 twips each.
                if (f.Offset > 0) words += "\\up" + Num(f.Offset / 10);
                else if (f.Offset < 0) words += "\\dn" + Num(-f.Offset / 10);
                else words += "\\up0";
            }
            state = f;
            started = true;
            if (!words.empty()) out += words + " ";
            else if (afterWord) out += " ";
            afterWord = false;
            WriteText(out, r.Text);
        }
        if (pi + 1 < doc.Paragraphs.size()) out += "\\par\r\n";
    }
    out += "}";
    return out;
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------
namespace {
enum class Dest { Text, Skip, FontTable, ColorTable };

struct ReadState {
    TRichFormat Format;
    TAlignment Alignment = taLeftJustify;
    bool Justified = false;
    Dest Destination = Dest::Text;
    int SkipCount = 1;  // \uc
    int FontNumber = 0;  // inside the font table
};

class RtfReader {
public:
    RtfReader(const ByteString& src, const TRichFormat& def) : s_(src), default_(def) {}

    TRichDocument Read() {
        ReadState st;
        st.Format = Initial();
        stack_.push_back(st);
        doc_.Paragraphs.emplace_back();
        while (i_ < s_.size()) {
            const char c = s_[i_];
            if (c == '{') {
                ++i_;
                stack_.push_back(stack_.back());
                continue;
            }
            if (c == '}') {
                ++i_;
                EndGroup();
                continue;
            }
            if (c == '\\') {
                ControlWord();
                continue;
            }
            ++i_;
            if (c == '\r' || c == '\n') continue;
            Character(Windows1252ToString(std::string_view(&c, 1))[0]);
        }
        for (TRichParagraph& p : doc_.Paragraphs) Normalize(p);
        // Fonts named by number become their names.
        for (TRichParagraph& p : doc_.Paragraphs)
            for (TRichRun& r : p.Runs) r.Format.Name = FontName(r.Format.Name);
        return doc_;
    }

private:
    ReadState& St() { return stack_.back(); }

    // The character format RTF starts from: the default font, 12 points,
    // the automatic colour, nothing else.
    static TRichFormat Initial() {
        TRichFormat f;
        f.Name = u"#0";
        f.Size = 12;
        f.Color = clWindowText;
        return f;
    }

    void SetAlignment(TAlignment a, bool justified) {
        St().Alignment = a;
        St().Justified = justified;
        if (St().Destination == Dest::Text && doc_.Paragraphs.back().Runs.empty()) {
            doc_.Paragraphs.back().Alignment = a;
            doc_.Paragraphs.back().Justified = justified;
        }
    }

    String FontName(const String& numberText) const {
        // Runs keep "#<n>" until the end, as the font table may come late.
        if (numberText.size() < 2 || numberText[0] != u'#') return numberText;
        const int n = StrToIntDef(numberText.substr(1), -1);
        for (const auto& [num, name] : fonts_)
            if (num == n) return name;
        return default_.Name;
    }

    void EndGroup() {
        if (stack_.size() <= 1) return;
        const ReadState inner = stack_.back();
        stack_.pop_back();
        if (inner.Destination == Dest::FontTable && !fontText_.empty()) {
            AddFont(inner.FontNumber);
        }
    }

    void AddFont(int number) {
        String name = fontText_;
        while (!name.empty() && (name.back() == u';' || name.back() == u' ')) name.pop_back();
        if (!name.empty()) fonts_.emplace_back(number, name);
        fontText_.clear();
    }

    void Character(Char c) {
        ReadState& st = St();
        if (pendingSkip_ > 0) {
            --pendingSkip_;
            return;
        }
        switch (st.Destination) {
        case Dest::Skip: return;
        case Dest::FontTable:
            if (c == u';') AddFont(st.FontNumber);
            else fontText_ += c;
            return;
        case Dest::ColorTable:
            if (c == u';') {
                colors_.push_back(colorParts_ ? RGB(red_, green_, blue_) : clWindowText);
                red_ = green_ = blue_ = 0;
                colorParts_ = false;
            }
            return;
        case Dest::Text: break;
        }
        TRichParagraph& p = doc_.Paragraphs.back();
        p.Alignment = st.Alignment;
        p.Justified = st.Justified;
        if (p.Runs.empty() || !(p.Runs.back().Format == st.Format)) p.Runs.push_back({String(), st.Format});
        p.Runs.back().Text += c;
    }

    void ControlWord() {
        ++i_;  // the backslash
        if (i_ >= s_.size()) return;
        const char c = s_[i_];
        if (!std::isalpha(static_cast<unsigned char>(c))) {
            ++i_;
            switch (c) {
            case '\\': case '{': case '}': Character(Char(c)); break;
            case '~': Character(0x00A0); break;
            case '_': Character(0x2011); break;
            case '-': break;  // optional hyphen
            case '*': St().Destination = Dest::Skip; break;
            case '\'': {
                if (i_ + 2 <= s_.size()) {
                    const std::string hex = s_.substr(i_, 2);
                    i_ += 2;
                    char* end = nullptr;
                    const long v = std::strtol(hex.c_str(), &end, 16);
                    if (end == hex.c_str() + 2) {
                        const char b = char(v);
                        Character(Windows1252ToString(std::string_view(&b, 1))[0]);
                    }
                }
                break;
            }
            case '\r': case '\n': NewParagraph(); break;  // "\" before a line end is \par
            default: break;
            }
            return;
        }
        size_t start = i_;
        while (i_ < s_.size() && std::isalpha(static_cast<unsigned char>(s_[i_]))) ++i_;
        const std::string word = s_.substr(start, i_ - start);
        bool hasParam = false;
        long param = 0;
        if (i_ < s_.size() && (s_[i_] == '-' || std::isdigit(static_cast<unsigned char>(s_[i_])))) {
            size_t ps = i_;
            if (s_[i_] == '-') ++i_;
            while (i_ < s_.size() && std::isdigit(static_cast<unsigned char>(s_[i_]))) ++i_;
            param = std::strtol(s_.substr(ps, i_ - ps).c_str(), nullptr, 10);
            hasParam = i_ > ps + (s_[ps] == '-' ? 1 : 0);
        }
        if (i_ < s_.size() && s_[i_] == ' ') ++i_;  // the delimiter
        Apply(word, hasParam, param);
    }

    void NewParagraph() {
        if (St().Destination != Dest::Text) return;
        doc_.Paragraphs.emplace_back();
        doc_.Paragraphs.back().Alignment = St().Alignment;
        doc_.Paragraphs.back().Justified = St().Justified;
    }

    void Apply(const std::string& w, bool hasParam, long n) {
        ReadState& st = St();
        // Words other than \u end the characters a \u skips.
        if (w != "u") pendingSkip_ = 0;
        static const char* const skipped[] = {"stylesheet", "info", "pict", "object", "header", "footer",
                                              "headerl", "headerr", "headerf", "footerl", "footerr", "footerf",
                                              "fldinst", "listtable", "listoverridetable", "rsidtbl", "xmlnstbl",
                                              "generator", "themedata", "colorschememapping", "latentstyles"};
        for (const char* d : skipped)
            if (w == d) {
                st.Destination = Dest::Skip;
                return;
            }
        if (w == "fonttbl") { st.Destination = Dest::FontTable; return; }
        if (w == "colortbl") { st.Destination = Dest::ColorTable; return; }
        if (st.Destination == Dest::FontTable) {
            if (w == "f") {
                if (!fontText_.empty()) AddFont(st.FontNumber);
                st.FontNumber = int(n);
            }
            return;
        }
        if (st.Destination == Dest::ColorTable) {
            if (w == "red") red_ = int(n), colorParts_ = true;
            else if (w == "green") green_ = int(n), colorParts_ = true;
            else if (w == "blue") blue_ = int(n), colorParts_ = true;
            return;
        }
        if (w == "par") { NewParagraph(); return; }
        if (w == "line") { Character(kLineBreak); return; }
        if (w == "tab") { Character(u'\t'); return; }
        if (w == "emdash") { Character(0x2014); return; }
        if (w == "endash") { Character(0x2013); return; }
        if (w == "bullet") { Character(0x2022); return; }
        if (w == "lquote") { Character(0x2018); return; }
        if (w == "rquote") { Character(0x2019); return; }
        if (w == "ldblquote") { Character(0x201C); return; }
        if (w == "rdblquote") { Character(0x201D); return; }
        if (w == "uc") { st.SkipCount = std::max(0, int(n)); return; }
        if (w == "u") {
            Character(Char(n < 0 ? n + 0x10000 : n));
            pendingSkip_ = st.SkipCount;
            return;
        }
        if (w == "pard" || w == "ql") { SetAlignment(taLeftJustify, false); return; }
        if (w == "qc") { SetAlignment(taCenter, false); return; }
        if (w == "qr") { SetAlignment(taRightJustify, false); return; }
        if (w == "qj") { SetAlignment(taLeftJustify, true); return; }
        if (w == "plain") {
            st.Format = Initial();
            return;
        }
        if (w == "f") { st.Format.Name = u"#" + IntToStr(n); return; }
        if (w == "fs") { st.Format.Size = hasParam ? int(n / 2) : 12; return; }
        if (w == "cf") {
            // Entry 0 is usually the automatic colour (an empty entry).
            st.Format.Color = n >= 0 && size_t(n) < colors_.size() ? colors_[size_t(n)] : clWindowText;
            return;
        }
        auto style = [&](TFontStyle s, bool on) {
            if (on) st.Format.Style.Include(s);
            else st.Format.Style.Exclude(s);
        };
        if (w == "b") { style(fsBold, !hasParam || n != 0); return; }
        if (w == "i") { style(fsItalic, !hasParam || n != 0); return; }
        if (w == "ul") { style(fsUnderline, !hasParam || n != 0); return; }
        if (w == "ulnone") { style(fsUnderline, false); return; }
        if (w == "strike") { style(fsStrikeOut, !hasParam || n != 0); return; }
        if (w == "up") { st.Format.Offset = int(hasParam ? n : 6) * 10; return; }
        if (w == "dn") { st.Format.Offset = -int(hasParam ? n : 6) * 10; return; }
        if (w == "super") { st.Format.Offset = 60; return; }
        if (w == "sub") { st.Format.Offset = -60; return; }
        if (w == "nosupersub") { st.Format.Offset = 0; return; }
        // Any other word: passed over; the text around it stays.
    }

    const ByteString& s_;
    TRichFormat default_;
    size_t i_ = 0;
    std::vector<ReadState> stack_;
    TRichDocument doc_;
    std::vector<std::pair<int, String>> fonts_;
    std::vector<TColor> colors_;
    String fontText_;
    int red_ = 0, green_ = 0, blue_ = 0;
    bool colorParts_ = false;
    int pendingSkip_ = 0;
};
}  // namespace

TRichDocument ReadRTF(const ByteString& Source, const TRichFormat& Default) {
    if (Source.rfind("{\\rtf", 0) != 0) {
        // Not RTF: its text, one character per byte, as plain paragraphs.
        TRichDocument doc;
        doc.Paragraphs.emplace_back();
        for (Char c : Windows1252ToString(Source)) {
            if (c == u'\r') continue;
            if (c == u'\n') {
                doc.Paragraphs.emplace_back();
                continue;
            }
            TRichParagraph& p = doc.Paragraphs.back();
            if (p.Runs.empty()) p.Runs.push_back({String(), Default});
            p.Runs.back().Text += c;
        }
        return doc;
    }
    return RtfReader(Source, Default).Read();
}

// ---------------------------------------------------------------------------
// The control
// ---------------------------------------------------------------------------
namespace {
// Our format rides along in the window's character formats, so that names
// the desktop substitutes and sizes in points come back as they were set.
constexpr int kNameProperty = QTextFormat::UserProperty + 1;
constexpr int kSizeProperty = QTextFormat::UserProperty + 2;
constexpr int kColorProperty = QTextFormat::UserProperty + 3;
constexpr int kOffsetProperty = QTextFormat::UserProperty + 4;

QTextCharFormat ToCharFormat(const TRichFormat& f) {
    TFont font;
    font.SetName(f.Name);
    font.SetSize(std::max(1, f.Size));
    font.SetStyle(f.Style);
    QTextCharFormat cf;
    cf.setFont(ToQFont(font));
    cf.setFontUnderline(f.Style.Contains(fsUnderline));
    cf.setFontStrikeOut(f.Style.Contains(fsStrikeOut));
    cf.setForeground(QBrush(ToQColor(f.Color)));
    // Raised or lowered by the offset: a share of the font's height.
    cf.setBaselineOffset(f.Size > 0 ? (f.Offset / 20.0) / f.Size * 100.0 : 0);
    cf.setProperty(kNameProperty, QStr(f.Name));
    cf.setProperty(kSizeProperty, f.Size);
    cf.setProperty(kColorProperty, qlonglong(f.Color));
    cf.setProperty(kOffsetProperty, f.Offset);
    return cf;
}

TRichFormat FromCharFormat(const QTextCharFormat& cf) {
    TRichFormat f;
    if (cf.hasProperty(kNameProperty)) f.Name = FromQStr(cf.stringProperty(kNameProperty));
    if (cf.hasProperty(kSizeProperty)) f.Size = cf.intProperty(kSizeProperty);
    if (cf.hasProperty(kColorProperty)) f.Color = TColor(cf.property(kColorProperty).toLongLong());
    if (cf.hasProperty(kOffsetProperty)) f.Offset = cf.intProperty(kOffsetProperty);
    if (cf.fontWeight() >= QFont::Bold) f.Style.Include(fsBold);
    if (cf.fontItalic()) f.Style.Include(fsItalic);
    if (cf.fontUnderline()) f.Style.Include(fsUnderline);
    if (cf.fontStrikeOut()) f.Style.Include(fsStrikeOut);
    return f;
}

void FillDocument(QTextDocument& d, const TRichDocument& doc) {
    d.clear();
    QTextCursor c(&d);
    for (size_t i = 0; i < doc.Paragraphs.size(); ++i) {
        const TRichParagraph& p = doc.Paragraphs[i];
        QTextBlockFormat bf;
        bf.setAlignment(p.Justified ? Qt::AlignJustify
                        : p.Alignment == taCenter ? Qt::AlignHCenter
                        : p.Alignment == taRightJustify ? Qt::AlignRight
                                                        : Qt::AlignLeft);
        if (i == 0) c.setBlockFormat(bf);
        else c.insertBlock(bf);
        for (const TRichRun& r : p.Runs) c.insertText(QStr(r.Text), ToCharFormat(r.Format));
    }
}

TRichDocument ReadDocument(const QTextDocument& d) {
    TRichDocument doc;
    for (QTextBlock b = d.begin(); b.isValid(); b = b.next()) {
        TRichParagraph p;
        const Qt::Alignment a = b.blockFormat().alignment();
        p.Justified = (a & Qt::AlignJustify) != 0;
        p.Alignment = (a & Qt::AlignHCenter) ? taCenter : (a & Qt::AlignRight) ? taRightJustify : taLeftJustify;
        for (auto it = b.begin(); !it.atEnd(); ++it) {
            const QTextFragment f = it.fragment();
            if (f.isValid()) p.Runs.push_back({FromQStr(f.text()), FromCharFormat(f.charFormat())});
        }
        Normalize(p);
        doc.Paragraphs.push_back(std::move(p));
    }
    return doc;
}
}  // namespace

TRichEdit::TRichEdit(TComponent* AOwner) : TWinControl(AOwner) {
    FWidth = 185;
    FHeight = 89;
    FColor = clWindow;
    FTabStop = true;
    HandleNeeded();
}

TRichEdit::~TRichEdit() = default;

void TRichEdit::CreateWnd() {
    auto* w = new THostWidget<QTextEdit>(this);
    AttachWidget(this, w, false);
    w->setAcceptRichText(false);  // pasted text takes the current format
    w->setReadOnly(FReadOnly);
    w->setLineWrapMode(FWordWrap ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
    w->setCurrentCharFormat(ToCharFormat(TRichFormat()));
    QObject::connect(w, &QTextEdit::textChanged, ContextOf(this), [this] {
        if (FLoading) return;
        Guarded([this] {
            if (OnChange) OnChange(this);
            const TSize s = RequestedSize();
            if ((s.cx != FLastRequest.cx || s.cy != FLastRequest.cy) && OnResizeRequest) {
                FLastRequest = s;
                OnResizeRequest(this, s);
            }
        });
    });
    QObject::connect(w, &QTextEdit::cursorPositionChanged, ContextOf(this), [this] {
        if (!FLoading && OnSelectionChange) Guarded([this] { OnSelectionChange(this); });
    });
}

ByteString TRichEdit::RTF() const { return WriteRTF(Document()); }

void TRichEdit::SetRTF(const ByteString& Value) { SetDocument(ReadRTF(Value, SelAttributes())); }

TRichDocument TRichEdit::Document() const { return ReadDocument(*WidgetAs<QTextEdit>(this)->document()); }

void TRichEdit::SetDocument(const TRichDocument& Value) {
    auto* w = WidgetAs<QTextEdit>(this);
    FLoading = true;
    FillDocument(*w->document(), Value);
    FLoading = false;
    w->moveCursor(QTextCursor::Start);
    if (OnChange) OnChange(this);
}

String TRichEdit::Text() const { return Document().PlainText(); }

void TRichEdit::SetText(const String& Value) {
    TRichDocument doc;
    doc.Paragraphs.emplace_back();
    TRichFormat f = TRichFormat();
    for (size_t i = 0; i < Value.size(); ++i) {
        const Char c = Value[i];
        if (c == u'\r' || c == u'\n') {
            if (c == u'\r' && i + 1 < Value.size() && Value[i + 1] == u'\n') ++i;
            doc.Paragraphs.emplace_back();
            continue;
        }
        TRichParagraph& p = doc.Paragraphs.back();
        if (p.Runs.empty()) p.Runs.push_back({String(), f});
        p.Runs.back().Text += c;
    }
    SetDocument(doc);
}

void TRichEdit::SetReadOnly(bool Value) {
    FReadOnly = Value;
    WidgetAs<QTextEdit>(this)->setReadOnly(Value);
}

void TRichEdit::SetWordWrap(bool Value) {
    FWordWrap = Value;
    WidgetAs<QTextEdit>(this)->setLineWrapMode(Value ? QTextEdit::WidgetWidth : QTextEdit::NoWrap);
}

int TRichEdit::SelStart() const { return WidgetAs<QTextEdit>(this)->textCursor().selectionStart(); }

void TRichEdit::SetSelStart(int Value) {
    auto* w = WidgetAs<QTextEdit>(this);
    QTextCursor c = w->textCursor();
    c.setPosition(std::clamp(Value, 0, w->document()->characterCount() - 1));
    w->setTextCursor(c);
}

int TRichEdit::SelLength() const {
    const QTextCursor c = WidgetAs<QTextEdit>(this)->textCursor();
    return c.selectionEnd() - c.selectionStart();
}

void TRichEdit::SetSelLength(int Value) {
    auto* w = WidgetAs<QTextEdit>(this);
    QTextCursor c = w->textCursor();
    const int start = c.selectionStart();
    c.setPosition(start);
    c.setPosition(std::clamp(start + Value, 0, w->document()->characterCount() - 1), QTextCursor::KeepAnchor);
    w->setTextCursor(c);
}

void TRichEdit::SelectAll() { WidgetAs<QTextEdit>(this)->selectAll(); }

String TRichEdit::SelText() const {
    QString t = WidgetAs<QTextEdit>(this)->textCursor().selectedText();
    t.replace(QChar(QChar::ParagraphSeparator), QStringLiteral("\r\n"));
    return FromQStr(t);
}

TRichFormat TRichEdit::SelAttributes() const {
    const QTextCursor c = WidgetAs<QTextEdit>(this)->textCursor();
    if (!c.hasSelection()) return FromCharFormat(WidgetAs<QTextEdit>(this)->currentCharFormat());
    // The first selected character's format.
    QTextCursor first(c);
    first.setPosition(c.selectionStart() + 1);
    return FromCharFormat(first.charFormat());
}

void TRichEdit::SetSelAttributes(const TRichFormat& Value) {
    auto* w = WidgetAs<QTextEdit>(this);
    QTextCursor c = w->textCursor();
    const QTextCharFormat cf = ToCharFormat(Value);
    if (c.hasSelection()) {
        c.setCharFormat(cf);
        w->setTextCursor(c);
    }
    w->setCurrentCharFormat(cf);
}

void TRichEdit::SetSelOffset(int Twips) {
    auto* w = WidgetAs<QTextEdit>(this);
    QTextCursor c = w->textCursor();
    if (!c.hasSelection()) {
        TRichFormat f = SelAttributes();
        f.Offset = Twips;
        w->setCurrentCharFormat(ToCharFormat(f));
        return;
    }
    // Each run keeps its own format but the offset.
    const int start = c.selectionStart(), end = c.selectionEnd();
    for (int pos = start; pos < end; ++pos) {
        QTextCursor one(w->document());
        one.setPosition(pos);
        one.setPosition(pos + 1, QTextCursor::KeepAnchor);
        TRichFormat f = FromCharFormat(one.charFormat());
        f.Offset = Twips;
        one.setCharFormat(ToCharFormat(f));
    }
}

TSize TRichEdit::RequestedSize() const {
    auto* w = WidgetAs<QTextEdit>(this);
    std::unique_ptr<QTextDocument> d(w->document()->clone());
    const int frame = w->frameWidth() * 2;
    if (FWordWrap) d->setTextWidth(std::max(1, Width() - frame));
    else d->setTextWidth(-1);
    const QSizeF s = d->size();
    return {int(std::ceil(s.width())) + frame, int(std::ceil(s.height())) + frame};
}

void TRichEdit::DrawInto(TCanvas& Canvas, const TRect& Twips, double Zoom) const {
    QImage* image = CanvasImage(Canvas);
    if (!image || Zoom <= 0) return;
    // Twips to the canvas's 96 pixels per inch.
    const TRect r = Rect(MulDiv(Twips.Left, 96, 1440), MulDiv(Twips.Top, 96, 1440), MulDiv(Twips.Right, 96, 1440),
                         MulDiv(Twips.Bottom, 96, 1440));
    if (r.Right <= r.Left || r.Bottom <= r.Top) return;
    std::unique_ptr<QTextDocument> d(WidgetAs<QTextEdit>(this)->document()->clone());
    d->setDocumentMargin(0);
    d->setTextWidth(r.Right - r.Left);
    QPainter p(image);
    p.translate(r.Left * Zoom, r.Top * Zoom);
    p.scale(Zoom, Zoom);
    p.setClipRect(0, 0, r.Right - r.Left, r.Bottom - r.Top);
    d->drawContents(&p, QRectF(0, 0, r.Right - r.Left, r.Bottom - r.Top));
}
