#include "grid/ExCGrid.h"
#include "grid/ExRichEdit.h"

#include "support/TempDir.h"

#include "framework/Forms.h"
#include "framework/Simulate.h"
#include "framework/SysUtils.h"

#include <gtest/gtest.h>

namespace {

// A rich-text cell as the grid keeps it: the RTF source, one character per byte.
String RichCell(const String& Text) {
    TRichDocument doc;
    doc.Paragraphs.emplace_back();
    doc.Paragraphs[0].Runs.push_back({Text, TRichFormat()});
    TRichFormat bold;
    bold.Style = TFontStyles{fsBold};
    doc.Paragraphs[0].Runs.push_back({u" \u00e9t\u00e9 \u20ac", bold});
    String cell;
    for (char b : WriteRTF(doc)) cell.push_back(Char(static_cast<unsigned char>(b)));
    return cell;
}

struct RichForm {
    TForm form{nullptr};
    TExColumnGrid* g;
    RichForm() {
        form.SetBounds(0, 0, 500, 350);
        g = new TExColumnGrid(&form);
        g->SetParent(&form);
        g->SetBounds(0, 0, 400, 250);
        g->Columns().Items(1)->SetEditor(edRichEdit);
        form.Show();
        g->SetFocus();
    }
    void Click(int c, int r) {
        TRect R = g->CellRect(c, r);
        SimulateClick(g, R.Left + 5, R.Top + 5);
    }
};

TEST(ExRichEdit, TheSelectionTakesAndReportsItsVerticalOffset) {
    RichForm f;
    TExRichEdit* r = f.g->RichEdit();
    r->SetText(u"H2O");
    r->SetSelStart(1);
    r->SetSelLength(1);
    r->SelSuperscript();
    EXPECT_TRUE(r->IsSelSuperscript());
    EXPECT_FALSE(r->IsSelNormal());
    r->SelSubscript();
    EXPECT_TRUE(r->IsSelSubscript());
    r->SelNormal();
    EXPECT_TRUE(r->IsSelNormal());
}

TEST(ExRichEdit, ACellsRtfSourceLoadsAndIsWrittenBackByteForByte) {
    RichForm f;
    const String cell = RichCell(u"Stra\u00dfe \u65e5\u672c");
    ASSERT_EQ(cell.substr(0, 2), u"{\\");
    f.g->SetCellEx(1, 2, cell);
    TExRichEdit* r = f.g->RichEdit();
    f.g->CellToRich(1, 2, r);
    EXPECT_EQ(r->Text(), u"Stra\u00dfe \u65e5\u672c \u00e9t\u00e9 \u20ac");
    EXPECT_EQ(f.g->RichToString(r), cell);
    f.g->RichToCell(1, 3, r);
    EXPECT_EQ(f.g->GetCellEx(1, 3), cell);
}

TEST(ExRichEdit, TheInPlaceEditorOpensOnTheCellAndLeavingWritesItBack) {
    RichForm f;
    const String cell = RichCell(u"\u00c4rger");
    f.g->SetCellEx(1, 2, cell);
    f.Click(1, 2);
    SimulateKey(VK_F2);
    TExRichEdit* r = f.g->InplaceRichEdit();
    ASSERT_TRUE(r->Visible());
    EXPECT_TRUE(r->Focused());
    EXPECT_EQ(r->Text(), u"\u00c4rger \u00e9t\u00e9 \u20ac");
    // Down hands the key to the grid: the edit ends unchanged and the row moves.
    f.g->SetWordWrap(false);
    SimulateKey(VK_DOWN);
    EXPECT_FALSE(r->Visible());
    EXPECT_EQ(f.g->Row(), 3);
    EXPECT_EQ(f.g->GetCellEx(1, 2), cell);
}

}  // namespace

namespace {

// A red, large rich-text cell.
String RedCell(const String& Text) {
    TRichDocument doc;
    doc.Paragraphs.emplace_back();
    TRichFormat red;
    red.Size = 14;
    red.Style = TFontStyles{fsBold};
    red.Color = clRed;
    doc.Paragraphs[0].Runs.push_back({Text, red});
    String cell;
    for (char b : WriteRTF(doc)) cell.push_back(Char(static_cast<unsigned char>(b)));
    return cell;
}

TEST(ExRichEdit, ARichCellsTextSizeGrowsWithItsText) {
    RichForm f;
    f.g->SetColWidths(1, 80);
    f.g->SetCellEx(1, 1, RedCell(u"Mm"));
    f.g->SetCellEx(1, 2, RedCell(u"Mm Mm Mm Mm Mm Mm Mm Mm"));
    // Unwrapped the longer text is wider, wrapped into the column it is taller.
    f.g->SetWordWrap(false);
    const TPoint shortLine = f.g->GetCellTextSize(1, 1, false, false);
    const TPoint longLine = f.g->GetCellTextSize(1, 2, false, false);
    EXPECT_GT(shortLine.X, 0);
    EXPECT_GT(longLine.X, 2 * shortLine.X);
    EXPECT_EQ(longLine.Y, shortLine.Y);
    f.g->SetWordWrap(true);
    const TPoint wrapped = f.g->GetCellTextSize(1, 2, true, false);
    EXPECT_GT(wrapped.Y, 2 * (shortLine.Y - 4));
    EXPECT_LE(wrapped.X, 80);
    // Markup is measured as laid out, plain text by its widest line.
    f.g->SetCellEx(2, 1, u"<B>Mm</B>");
    f.g->SetCellEx(2, 2, u"<B>Mm Mm Mm</B>");
    f.g->SetCellEx(2, 3, u"Mm Mm Mm");
    const TPoint markupShort = f.g->GetCellTextSize(2, 1, false, false);
    const TPoint markupLong = f.g->GetCellTextSize(2, 2, false, false);
    EXPECT_GT(markupLong.X, 2 * (markupShort.X - 2));
    EXPECT_EQ(markupLong.Y, markupShort.Y);
    EXPECT_GT(f.g->GetCellTextSize(2, 3, false, false).X, 0);
    EXPECT_LT(f.g->GetCellTextSize(2, 3, false, false).X, markupLong.X);
}

TEST(ExRichEdit, RichCellsAreDrawnInTheirOwnColoursOrInTheSelectionColour) {
    RichForm f;
    f.g->SetColWidths(2, 100);
    f.g->SetSelectionTextColor(clBlue);
    for (int c : {1, 2}) f.g->SetCellEx(c, 1, RedCell(u"WWW"));
    // The focused current cell keeps its colours, the other selected one takes the selection's.
    f.g->SetSelection({1, 1, 2, 1});
    ASSERT_TRUE(f.g->Focused());
    const int current = f.g->Col(), other = 3 - current;
    TBitmap b;
    RenderControlToBitmap(f.g, b);
    auto count = [&](int c, TColor colour) {
        const TRect R = f.g->CellRect(c, 1);
        int n = 0;
        for (int y = R.Top; y < R.Bottom; ++y)
            for (int x = R.Left; x < R.Right; ++x)
                if (b.Canvas().Pixels(x + 2, y + 2) == colour) ++n;
        return n;
    };
    EXPECT_GT(count(current, clRed), 20);
    EXPECT_EQ(count(current, clBlue), 0);
    EXPECT_GT(count(other, clBlue), 20);
    EXPECT_EQ(count(other, clRed), 0);
    f.g->SetSelectionRTFKeep(true);
    RenderControlToBitmap(f.g, b);
    EXPECT_GT(count(other, clRed), 20);
}

}  // namespace

namespace {

TEST(ExRichEdit, SavesWriteARichCellsPlainTextOrItsSourceOnOneLine) {
    RichForm f;
    // Two paragraphs: the source carries line breaks.
    TRichDocument doc;
    for (const char16_t* t : {u"First line", u"second"}) {
        doc.Paragraphs.emplace_back();
        doc.Paragraphs.back().Runs.push_back({t, TRichFormat()});
    }
    std::string source = WriteRTF(doc);
    String cell;
    for (char b : source) cell.push_back(Char(static_cast<unsigned char>(b)));
    ASSERT_NE(source.find('\n'), std::string::npos);
    f.g->SetCellEx(1, 1, cell);
    TempDir t;
    f.g->Tools().SaveToCSV(Utf8ToString(t.file("plain.csv")));
    f.g->SetSaveWithRTF(true);
    f.g->Tools().SaveToCSV(Utf8ToString(t.file("source.csv")));
    // The plain text, its line break quoted as the file's in-cell break; the source without its line breaks.
    EXPECT_NE(t.read("plain.csv").find("\"First line\vsecond\""), std::string::npos);
    EXPECT_EQ(t.read("plain.csv").find("rtf"), std::string::npos);
    std::erase_if(source, [](char ch) { return ch == '\r' || ch == '\n'; });
    EXPECT_NE(t.read("source.csv").find(source), std::string::npos);
}

}  // namespace
