#include "grid/foundation/GridHelpers.h"

#include "framework/SysUtils.h"
#include "framework/Windows.h"

#include <algorithm>
#include <iterator>

#include "grid/foundation/GridText.h"

#include <cstdint>

namespace {
void* Entry(int Value) { return reinterpret_cast<void*>(static_cast<std::intptr_t>(Value)); }
constexpr std::uint32_t DescendingBit = 0x80000000u;
}  // namespace

// ---------------------------------------------------------------------------
// TArrowWindow

TArrowWindow::TArrowWindow(TWinControl* AOwner, TArrowDirection ADir) : TPanel(AOwner), FDir(ADir) {
    SetColor(clLime);
    SetParent(AOwner);
    SetVisible(false);
}

std::vector<TPoint> TArrowWindow::ArrowPolygon(TArrowDirection ADir) {
    static const TPoint shapes[4][7] = {
        {{5, 0}, {10, 5}, {7, 5}, {7, 9}, {3, 9}, {3, 5}, {0, 5}},   // up
        {{3, 0}, {7, 0}, {7, 4}, {9, 4}, {5, 8}, {1, 4}, {3, 4}},    // down
        {{0, 3}, {0, 7}, {4, 7}, {4, 10}, {8, 5}, {4, 0}, {4, 3}},   // left of the target, pointing right
        {{0, 5}, {4, 10}, {4, 7}, {8, 7}, {8, 3}, {4, 3}, {4, 0}},   // right of the target, pointing left
    };
    return std::vector<TPoint>(std::begin(shapes[ADir]), std::end(shapes[ADir]));
}

void TArrowWindow::CreateParams(TCreateParams& Params) {
    TPanel::CreateParams(Params);
    Params.Style = WS_POPUP;
}

void TArrowWindow::CreateWnd() {
    TPanel::CreateWnd();
    const std::vector<TPoint> outline = ArrowPolygon(FDir);
    std::copy(outline.begin(), outline.end(), Arrow);
    const TRegion region = TRegion::FromPolygon(outline, pfWinding);
    SetWindowRgn(Handle(), &region, true);
}

void TArrowWindow::Paint() {
    Canvas().Brush().SetColor(Color());
    Canvas().Pen().SetColor(Color());
    Canvas().Rectangle(ClientRect());
}

// ---------------------------------------------------------------------------
// TIntList

void TIntList::Changed() {
    if (OnChange) OnChange(this, FCol, FRow);
}

void TIntList::SetInteger(int Index, int Value) {
    SetItems(Index, Entry(Value));
    Changed();
}

int TIntList::Add(int Value) {
    const int i = TList::Add(Entry(Value));
    Changed();
    return i;
}

void TIntList::Delete(int Index) {
    TList::Delete(Index);
    Changed();
}

void TIntList::DeleteValue(int Value) {
    for (int i = 0; i < Count(); ++i) {
        if (GetInteger(i) == Value) {
            Delete(i);
            return;
        }
    }
}

void TIntList::Insert(int Index, int Value) { TList::Insert(Index, Entry(Value)); }

bool TIntList::HasValue(int Value) const {
    for (int i = 0; i < Count(); ++i)
        if (GetInteger(i) == Value) return true;
    return false;
}

String TIntList::StrValue() const {
    String s;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0) s += u',';
        s += IntToStr(GetInteger(i));
    }
    return s;
}

void TIntList::SetStrValue(const String& Value) {
    Clear();
    for (const String& item : CommaTextToStrings(Value)) Add(StrToInt(item));
}

// ---------------------------------------------------------------------------
// TSortIndexList

void TSortIndexList::AddIndex(int ColumnIndex, bool Ascending) {
    std::uint32_t v = static_cast<std::uint32_t>(ColumnIndex) & ~DescendingBit;
    if (!Ascending) v |= DescendingBit;
    Add(static_cast<int>(v));
}

int TSortIndexList::FindIndex(int ColumnIndex) const {
    for (int i = 0; i < Count(); ++i)
        if (GetSortColumns(i) == ColumnIndex) return i;
    return -1;
}

int TSortIndexList::GetSortColumns(int Index) const {
    return static_cast<int>(static_cast<std::uint32_t>(GetInteger(Index)) & ~DescendingBit);
}

void TSortIndexList::SetSortColumns(int Index, int Value) {
    const std::uint32_t old = static_cast<std::uint32_t>(GetInteger(Index));
    SetInteger(Index, static_cast<int>((old & DescendingBit) | (static_cast<std::uint32_t>(Value) & ~DescendingBit)));
}

bool TSortIndexList::GetSortDirections(int Index) const {
    return (static_cast<std::uint32_t>(GetInteger(Index)) & DescendingBit) == 0;
}

void TSortIndexList::SetSortDirections(int Index, bool Ascending) {
    std::uint32_t v = static_cast<std::uint32_t>(GetInteger(Index));
    v = Ascending ? v & ~DescendingBit : v | DescendingBit;
    SetInteger(Index, static_cast<int>(v));
}

void TSortIndexList::ToggleIndex(int ColumnIndex) {
    const int i = FindIndex(ColumnIndex);
    if (i >= 0) SetSortDirections(i, !GetSortDirections(i));
}

String TSortIndexList::SaveToString() const {
    String s;
    for (int i = 0; i < Count(); ++i) {
        if (i > 0) s += u';';
        s += GetSortDirections(i) ? u'u' : u'd';
        s += IntToStr(GetSortColumns(i) % 65536);
    }
    return s;
}

void TSortIndexList::LoadFromString(const String& Value) {
    Clear();
    String rest = Value;
    while (!rest.empty()) {
        const size_t p = rest.find(u';');
        const String entry = rest.substr(0, p);
        rest = p == String::npos ? String() : rest.substr(p + 1);
        if (entry.size() < 2) continue;
        AddIndex(LeadingIntValue(entry.substr(1)), entry[0] == u'u');
    }
}

// ---------------------------------------------------------------------------
// TFilePicture

void TFilePicture::SetFilename(const String& Value) {
    FFilename = Value;
    if (Value.empty()) throw EInvalidGraphic("No picture file named");
    TPicture picture;
    picture.LoadFromFile(Value);
    FWidth = picture.Width();
    FHeight = picture.Height();
}

void TFilePicture::DrawPicture(TCanvas& Canvas, const TRect& R) const {
    if (FFilename.empty()) return;
    TPicture picture;
    picture.LoadFromFile(FFilename);
    if (picture.Graphic()) Canvas.StretchDraw(R, *picture.Graphic());
}

void TFilePicture::Assign(const TPersistent* Source) {
    const auto* s = dynamic_cast<const TFilePicture*>(Source);
    if (!s) {
        TPersistent::Assign(Source);
        return;
    }
    FFilename = s->FFilename;
    FWidth = s->FWidth;
    FHeight = s->FHeight;
}

// ---------------------------------------------------------------------------
// TControlList

void TControlList::AddControl(int X, int Y, TControl* Control) {
    FItems.push_back(std::make_unique<TControlItem>(TControlItem{X, Y, Control}));
}

int TControlList::ControlIndex(int X, int Y) const {
    for (int i = 0; i < Count(); ++i)
        if (FItems[size_t(i)]->X == X && FItems[size_t(i)]->Y == Y) return i;
    return -1;
}

TControlItem* TControlList::GetControl(int Index) const {
    if (Index < 0 || Index >= Count()) throw EListError(u"List index out of bounds (" + IntToStr(Index) + u")");
    return FItems[size_t(Index)].get();
}

void TControlList::RemoveControl(int Index) {
    GetControl(Index);
    FItems.erase(FItems.begin() + Index);
}

bool TControlList::HasHandle(HWND Handle) const {
    for (const auto& item : FItems)
        if (auto* w = dynamic_cast<TWinControl*>(item->Control); w && w->Handle() == Handle) return true;
    return false;
}

// ---------------------------------------------------------------------------
// TFileStringList

void TFileStringList::Reset() {
    fp = 0;
    cache.clear();
}

void TFileStringList::ReadLn(String& Line) {
    Line = Strings(fp);
    ++fp;
}

void TFileStringList::WriteLn(const String& Text) {
    Add(cache + Text);
    cache.clear();
}
