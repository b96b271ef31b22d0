#pragma once
// The rich edit: an edit field of formatted text, read and written as RTF
// of our own subset: fonts (\fonttbl, \fN), sizes (\fsN, half-points),
// colours (\colortbl, \cfN), bold, italic, underline and strike-out, raised
// and lowered text (\upN, \dnN, half-points), paragraphs (\par, \pard,
// \ql \qc \qr \qj), line breaks and tabs, and Unicode characters (\uN,
// signed, with \ucN characters skipped after it). Other control words are
// passed over and their text kept; ignorable destinations ({\*...}), style
// sheets, document information and pictures are skipped. What we write
// reads back to the same document, and writing that again gives the same
// bytes. Text that is not RTF loads as plain text.

#include "framework/Controls.h"

#include <memory>
#include <vector>

// The character format of a run of text.
struct TRichFormat {
    String Name = u"Tahoma";
    int Size = 8;  // points
    TFontStyles Style;
    TColor Color = clWindowText;  // clWindowText: the automatic colour
    int Offset = 0;               // vertical offset in twips: raised > 0, lowered < 0
    friend bool operator==(const TRichFormat&, const TRichFormat&) = default;
};

struct TRichRun {
    String Text;  // may hold tabs and line breaks (U+2028)
    TRichFormat Format;
};

struct TRichParagraph {
    TAlignment Alignment = taLeftJustify;
    bool Justified = false;
    std::vector<TRichRun> Runs;
};

// A document as the RTF reader gives it and the writer takes it.
struct TRichDocument {
    std::vector<TRichParagraph> Paragraphs;
    String PlainText() const;  // paragraphs joined with CR LF
};

// The RTF of a document, and the document of an RTF text (bytes, one
// character per byte; plain text when it does not start with "{\rtf").
ByteString WriteRTF(const TRichDocument& Document);
TRichDocument ReadRTF(const ByteString& Source, const TRichFormat& Default = TRichFormat());

class TRichEdit : public TWinControl {
public:
    explicit TRichEdit(TComponent* AOwner);
    ~TRichEdit() override;

    // The content as RTF, and from RTF (or plain text).
    ByteString RTF() const;
    void SetRTF(const ByteString& Value);
    TRichDocument Document() const;
    void SetDocument(const TRichDocument& Value);
    // The plain text, paragraphs separated by CR LF.
    String Text() const override;
    void SetText(const String& Value) override;
    // Lines are read and written as plain text instead of RTF.
    bool PlainText() const { return FPlainText; }
    void SetPlainText(bool Value) { FPlainText = Value; }
    bool ReadOnly() const { return FReadOnly; }
    void SetReadOnly(bool Value);
    bool WordWrap() const { return FWordWrap; }
    void SetWordWrap(bool Value);

    int SelStart() const;
    void SetSelStart(int Value);
    int SelLength() const;
    void SetSelLength(int Value);
    void SelectAll();
    String SelText() const;
    // The format of the selection (of the character before the caret when
    // nothing is selected), and setting it for the selection.
    TRichFormat SelAttributes() const;
    void SetSelAttributes(const TRichFormat& Value);
    // Only the vertical offset (twips): +40 superscript, -40 subscript.
    void SetSelOffset(int Twips);

    // The size the content asks for at the control's width (at its widest
    // line without word wrap), in pixels; OnResizeRequest tells of a change.
    TSize RequestedSize() const;
    // Draws the content into a rectangle given in twips (1440 per inch) of
    // the canvas, at 96 pixels per inch. Zoom draws it that many times as
    // large, from the rectangle's corner times Zoom, laid out at the same
    // width (a page of higher resolution keeps the screen's line breaks).
    void DrawInto(TCanvas& Canvas, const TRect& Twips, double Zoom = 1.0) const;

    TNotifyEvent OnChange;
    TNotifyEvent OnSelectionChange;
    std::function<void(TObject* Sender, TSize Requested)> OnResizeRequest;

protected:
    void CreateWnd() override;
    LRESULT NativeDlgCode() const override { return DLGC_WANTCHARS | DLGC_WANTARROWS | DLGC_WANTALLKEYS; }

private:
    bool FPlainText = false;
    bool FReadOnly = false;
    bool FWordWrap = true;
    bool FLoading = false;
    TSize FLastRequest{};
};
