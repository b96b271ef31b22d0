#include "grid/ExgDD.h"

#include "framework/Encoding.h"
#include "framework/Messages.h"
#include "framework/SysUtils.h"

#include <cstring>

namespace {

bool GDropRTFEnabled = false;

// The 32-bit little-endian value at the start of a block.
Cardinal LE32(std::string_view B, std::size_t At = 0) {
    if (B.size() < At + 4) return 0;
    return Cardinal(std::uint8_t(B[At])) | Cardinal(std::uint8_t(B[At + 1])) << 8 |
           Cardinal(std::uint8_t(B[At + 2])) << 16 | Cardinal(std::uint8_t(B[At + 3])) << 24;
}

void PutLE32(char* P, Cardinal V) {
    for (int i = 0; i < 4; ++i) P[i] = char((V >> (8 * i)) & 0xFF);
}

}  // namespace

CLIPFORMAT CF_RTF() {
    static const CLIPFORMAT f = RegisterClipboardFormat(u"Rich Text Format");
    return f;
}
CLIPFORMAT CF_GRIDCOL() {
    static const CLIPFORMAT f = RegisterClipboardFormat(u"Grid Column");
    return f;
}
CLIPFORMAT CF_GRIDCELLS() {
    static const CLIPFORMAT f = RegisterClipboardFormat(u"TExStringGrid Cells");
    return f;
}
CLIPFORMAT CF_URL() {
    static const CLIPFORMAT f = RegisterClipboardFormat(u"UniformResourceLocator");
    return f;
}

void SetDropRTFEnabled(bool Value) { GDropRTFEnabled = Value; }
bool DropRTFEnabled() { return GDropRTFEnabled; }

Cardinal DropEffectFor(TShiftState Shift, Cardinal AllowedEffects) {
    if (Shift.Contains(ssCtrl)) return DROPEFFECT_COPY;
    return AllowedEffects & DROPEFFECT_MOVE ? DROPEFFECT_MOVE : DROPEFFECT_COPY;
}

TShiftState DragKeyShift(Cardinal KeyState) {
    TShiftState s = KeysToShiftState(KeyState);
    if (KeyState & MK_ALT) s.Include(ssAlt);
    return s;
}

// ===== reading a data object

TEnumFormats::TEnumFormats(std::shared_ptr<IDataObject> ADataObject) {
    // The registered numbers exist before anything looks for them.
    CF_RTF(), CF_GRIDCOL(), CF_GRIDCELLS(), CF_URL();
    SetDataObject(std::move(ADataObject));
}

void TEnumFormats::SetDataObject(std::shared_ptr<IDataObject> Value) {
    FEnum.reset();
    FDataObject = std::move(Value);
    if (!FDataObject) return;
    const HRESULT hr = FDataObject->EnumFormatEtc(DATADIR_GET, FEnum);
    Assert(SUCCEEDED(hr) && FEnum, u"Cannot get the format enumerator");
    Reset();
}

bool TEnumFormats::Reset() {
    FValid = false;
    FCount = 0;
    return FEnum && FEnum->Reset() == S_OK;
}

bool TEnumFormats::Next() {
    ++FCount;
    Cardinal fetched = 0;
    FValid = FEnum && FEnum->Next(1, &FFormatEtc, &fetched) == S_OK && fetched == 1;
    return FValid;
}

bool TEnumFormats::HasFormat(CLIPFORMAT ClipFormat) {
    if (!Reset()) return false;
    while (Next())
        if (FFormatEtc.cfFormat == ClipFormat) return true;
    return false;
}

HGLOBAL TEnumFormats::Handle(Cardinal Tymed) {
    if (!FValid || !(FFormatEtc.tymed & Tymed) || !FDataObject) return nullptr;
    FORMATETC f = FFormatEtc;
    f.tymed = Tymed;
    STGMEDIUM m;
    if (FAILED(FDataObject->GetData(f, m))) return nullptr;
    return m.tymed == TYMED_HGLOBAL ? m.hGlobal : nullptr;
}

ByteString TEnumFormats::BlockOf(CLIPFORMAT Format) {
    if (!HasFormat(Format)) return {};
    const HGLOBAL h = GlobalHandle();
    return h ? h->Bytes : ByteString();
}

int TEnumFormats::Col() {
    const ByteString b = BlockOf(CF_GRIDCOL());
    return b.size() >= 4 ? int(LE32(b)) : -1;
}

std::unique_ptr<TMemoryStream> TEnumFormats::Stream() {
    const ByteString b = BlockOf(CF_GRIDCELLS());
    if (b.size() < 8) return nullptr;
    // A length past the block's end reads what the block has.
    const std::size_t n = std::min<std::size_t>(LE32(b), b.size() - 8);
    auto s = std::make_unique<TMemoryStream>();
    s->WriteBytes(std::string_view(b).substr(8, n));
    s->SetPosition(0);
    return s;
}

String TEnumFormats::RTF() {
    const ByteString b = BlockOf(CF_RTF());
    return Windows1252ToString(std::string_view(b.data(), strnlen(b.data(), b.size())));
}

String TEnumFormats::Text() {
    const ByteString b = BlockOf(CF_UNICODETEXT);
    String s(b.size() / 2, u'\0');
    std::memcpy(s.data(), b.data(), s.size() * 2);
    const auto z = s.find(u'\0');
    return z == String::npos ? s : s.substr(0, z);
}

bool TEnumFormats::Files() {
    FFileNames.Clear();
    for (const String& n : DragQueryFiles(BlockOf(CF_HDROP))) FFileNames.Add(n);
    return FFileNames.Count() > 0;
}

// ===== drop target

// A move would tell the program the files come from (a file manager) to
// delete them, while the target only reads them.
Cardinal TEXGDropTarget::EffectFor(Cardinal KeyState, Cardinal Allowed) const {
    if (FDropFormats.Contains(dfFile) && (Allowed & DROPEFFECT_COPY)) return DROPEFFECT_COPY;
    return DropEffectFor(DragKeyShift(KeyState), Allowed);
}

HRESULT TEXGDropTarget::DragEnter(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint,
                                  Cardinal& Effect) {
    TEnumFormats f(Data);
    const bool text = f.HasText(), files = f.HasFile(), rtf = f.HasRTF(), col = f.HasCol(), url = f.HasURL(),
               cells = f.HasGridCells();
    FOk = (text && AcceptText) || (files && AcceptFiles) || (rtf && DropRTFEnabled() && AcceptText) ||
          (col && AcceptCols) || (url && AcceptURLs) || cells;
    FDropFormats = TDropFormats();
    if (text) FDropFormats.Include(dfText);
    if (files) FDropFormats.Include(dfFile);
    if (rtf) FDropFormats.Include(dfRTF);
    if (col) FDropFormats.Include(dfCol);
    if (url) FDropFormats.Include(dfURL);
    if (cells) FDropFormats.Include(dfGridCells);
    const Cardinal allowed = Effect;
    Effect = FOk ? EffectFor(KeyState, allowed) : DROPEFFECT_NONE;
    DragMouseEnter();
    return S_OK;
}

HRESULT TEXGDropTarget::DragOver(Cardinal KeyState, TPoint Point, Cardinal& Effect) {
    const Cardinal allowed = Effect;
    Effect = FOk ? EffectFor(KeyState, allowed) : DROPEFFECT_NONE;
    bool allow = Effect != DROPEFFECT_NONE;
    DragMouseMove(Point, allow, FDropFormats);
    if (!allow) Effect = DROPEFFECT_NONE;
    return S_OK;
}

HRESULT TEXGDropTarget::DragLeave() {
    DragMouseLeave();
    return S_OK;
}

HRESULT TEXGDropTarget::Drop(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint Point,
                             Cardinal& Effect) {
    if (!FOk) {
        Effect = DROPEFFECT_NONE;
        return S_OK;
    }
    const Cardinal allowed = Effect;
    TEnumFormats f(Data);
    if (f.HasCol()) {
        DropCol(Point, f.Col());
    } else {
        if (f.HasGridCells())
            DropStream(Point, f.Stream());
        else if (f.HasRTF() && DropRTFEnabled())
            DropRTF(Point, f.RTF());
        else if (f.HasText())
            DropText(Point, f.Text());
        if (f.HasFile() && f.Files()) DropFiles(Point, f.FileNames());
        if (f.HasURL()) DropURL(Point, f.Text());
    }
    Effect = EffectFor(KeyState, allowed);
    return S_OK;
}

// ===== drop source

HRESULT TEXGDropSource::QueryContinueDrag(bool EscapePressed, Cardinal KeyState) {
    HRESULT r = S_OK;
    if (EscapePressed) {
        DragDropStop();
        r = DRAGDROP_S_CANCEL;
    } else if (!(KeyState & MK_LBUTTON)) {
        DragDropStop();
        r = DRAGDROP_S_DROP;
    }
    QueryDrag();
    return r;
}

HRESULT TEXGDropSource::GiveFeedback(Cardinal Effect) {
    FNoAccept = Effect == DROPEFFECT_NONE;
    CurrentEffect(Effect);
    return DRAGDROP_S_USEDEFAULTCURSORS;
}

// ===== the dragged content

TSourceDataObject::TSourceDataObject(const String& Text, TMemoryStream* Stream, int Column, const String& Rtf)
    : textdata(Text), rtfdata(Rtf), scolidx(Column), memstr(Stream) {}

HRESULT TSourceDataObject::QueryGetData(const FORMATETC& Format) {
    if (Format.dwAspect != DVASPECT_CONTENT || !(Format.tymed & TYMED_HGLOBAL)) return DV_E_FORMATETC;
    const CLIPFORMAT f = Format.cfFormat;
    if (!textdata.empty() && (f == CF_TEXT || f == CF_UNICODETEXT || (f == CF_RTF() && DropRTFEnabled())))
        return S_OK;
    if (memstr && f == CF_GRIDCELLS()) return S_OK;
    if (scolidx != -1 && f == CF_GRIDCOL()) return S_OK;
    return DV_E_FORMATETC;
}

HRESULT TSourceDataObject::GetData(const FORMATETC& Format, STGMEDIUM& Medium) {
    if (QueryGetData(Format) != S_OK) return DV_E_FORMATETC;
    const CLIPFORMAT f = Format.cfFormat;
    ByteString bytes;
    if (f == CF_TEXT) {
        bytes = StringToWindows1252(textdata);
        bytes.push_back('\0');
    } else if (f == CF_UNICODETEXT) {
        bytes.assign(reinterpret_cast<const char*>(textdata.data()), textdata.size() * 2);
        bytes.append(2, '\0');
    } else if (f == CF_RTF()) {
        bytes = StringToWindows1252(rtfdata);
        bytes.push_back('\0');
    } else if (f == CF_GRIDCOL()) {
        bytes.assign(4, '\0');
        PutLE32(bytes.data(), Cardinal(scolidx));
    } else {
        const std::string_view s = memstr->Bytes();
        bytes.assign(8, '\0');
        PutLE32(bytes.data(), Cardinal(s.size()));
        bytes.append(s);
    }
    HGLOBAL h = GlobalAlloc(GMEM_SHARE | GHND, bytes.size());
    if (!h) return DV_E_FORMATETC;
    std::memcpy(GlobalLock(h), bytes.data(), bytes.size());
    GlobalUnlock(h);
    Medium = STGMEDIUM();
    Medium.tymed = TYMED_HGLOBAL;
    Medium.hGlobal = h;
    return S_OK;
}

HRESULT TSourceDataObject::GetDataHere(const FORMATETC&, STGMEDIUM&) { return DV_E_FORMATETC; }
HRESULT TSourceDataObject::SetData(const FORMATETC&, STGMEDIUM&, bool) { return DV_E_FORMATETC; }

HRESULT TSourceDataObject::GetCanonicalFormatEtc(const FORMATETC& In, FORMATETC& Out) {
    Out = In;
    Out.ptd = nullptr;
    return E_NOTIMPL;
}

HRESULT TSourceDataObject::EnumFormatEtc(Cardinal Direction, std::shared_ptr<IEnumFORMATETC>& Enum) {
    if (Direction != DATADIR_GET) return E_NOTIMPL;
    Enum = std::make_shared<TSourceEnumFormatEtc>(scolidx != -1, memstr != nullptr);
    return S_OK;
}

HRESULT TSourceDataObject::DAdvise(const FORMATETC&, Cardinal, std::shared_ptr<IAdviseSink>, Cardinal&) {
    return OLE_E_ADVISENOTSUPPORTED;
}
HRESULT TSourceDataObject::DUnadvise(Cardinal) { return OLE_E_ADVISENOTSUPPORTED; }
HRESULT TSourceDataObject::EnumDAdvise(std::vector<STATDATA>&) { return OLE_E_ADVISENOTSUPPORTED; }

// ===== its format list

TSourceEnumFormatEtc::TSourceEnumFormatEtc(bool HasCol, bool HasGridCells, Cardinal Index)
    : FIndex(Index), FHasCol(HasCol), FHasGridCells(HasGridCells) {}

std::vector<CLIPFORMAT> TSourceEnumFormatEtc::Formats() const {
    std::vector<CLIPFORMAT> f{CF_TEXT, CF_UNICODETEXT, CF_RTF()};
    if (FHasCol) f.push_back(CF_GRIDCOL());
    if (FHasGridCells) f.push_back(CF_GRIDCELLS());
    return f;
}

HRESULT TSourceEnumFormatEtc::Next(Cardinal Count, FORMATETC* Entries, Cardinal* Fetched) {
    const std::vector<CLIPFORMAT> f = Formats();
    Cardinal n = 0;
    for (; n < Count && FIndex < f.size(); ++n, ++FIndex) {
        Entries[n] = FORMATETC();
        Entries[n].cfFormat = f[FIndex];
    }
    if (Fetched) *Fetched = n;
    return n < Count ? S_FALSE : S_OK;
}

HRESULT TSourceEnumFormatEtc::Skip(Cardinal Count) {
    const Cardinal size = Cardinal(Formats().size());
    if (FIndex + Count > size) {
        FIndex = size;
        return S_FALSE;
    }
    FIndex += Count;
    return S_OK;
}

HRESULT TSourceEnumFormatEtc::Reset() {
    FIndex = 0;
    return S_OK;
}

HRESULT TSourceEnumFormatEtc::Clone(std::shared_ptr<IEnumFORMATETC>& Enum) {
    Enum = std::make_shared<TSourceEnumFormatEtc>(FHasCol, FHasGridCells, FIndex);
    return S_OK;
}

// ===== running a drag

namespace {

HRESULT RunDrag(std::shared_ptr<IDataObject> Data, const std::shared_ptr<TEXGDropSource>& Source,
                Cardinal OkEffects, Cardinal& Effect, const TBitmap* Picture) {
    const HRESULT r = DoDragDrop(std::move(Data), Source, OkEffects, Effect, Picture);
    return Source->NoAccept() ? DRAGDROP_S_CANCEL : r;
}

}  // namespace

HRESULT BeginTextDragDrop(std::shared_ptr<TEXGDropSource> Source, const String& Text, const String& Rtf,
                          Cardinal& Effect, Cardinal OkEffects, TMemoryStream* Stream, const TBitmap* Picture) {
    return RunDrag(std::make_shared<TSourceDataObject>(Text, Stream, -1, Rtf), Source, OkEffects, Effect, Picture);
}

HRESULT BeginColumnDragDrop(std::shared_ptr<TEXGDropSource> Source, int Column, Cardinal OkEffects,
                            Cardinal& Effect, const TBitmap* Picture) {
    return RunDrag(std::make_shared<TSourceDataObject>(String(), nullptr, Column, String()), Source, OkEffects,
                   Effect, Picture);
}
