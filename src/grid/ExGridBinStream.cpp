// The grid's binary cell stream: a rectangle of cells with their property
// objects and graphics as a run of component images, the payload of binary
// cell files, the private clipboard format and grid-to-grid drags.

#include "grid/ExGrid.h"
#include "grid/ExGridTools.h"

#include "framework/Classes.h"
#include "framework/Files.h"
#include "framework/Graphics.h"
#include "framework/Streaming.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <algorithm>
#include <cmath>
#include <memory>

namespace {

// The carriers exist only to be streamed: one image each, read or written
// through the class tables registered below.
template <const char16_t* ClassId>
class TCarrier : public TComponent {
public:
    TCarrier() : TComponent(nullptr) {}
    String ClassName() const override { return ClassId; }
};

constexpr char16_t kPropIO[] = u"TGridPropIO";
constexpr char16_t kCellIO[] = u"TGridCellIO";
constexpr char16_t kCellPropIO[] = u"TGridCellPropIO";
constexpr char16_t kGraphicIO[] = u"TGridGraphicIO";
constexpr char16_t kBMPIO[] = u"TGridBMPIO";
constexpr char16_t kIconIO[] = u"TGridIconIO";
constexpr char16_t kPicIO[] = u"TGridPicIO";
constexpr char16_t kFilePicIO[] = u"TGridFilePicIO";
constexpr char16_t kSLIO[] = u"TGridSLIO";

struct TGridPropIO : TCarrier<kPropIO> {
    int ColCount = 0;
    int RowCount = 0;
    String ColWidths;
    String RowHeights;
    bool FullGrid = false;
    int ID = 0;
};

struct TGridCellIO : TCarrier<kCellIO> {
    Word Col = 0;
    Word Row = 0;
    String Cell;
    bool HasProp = false;
};

struct TGridCellPropIO : TCarrier<kCellPropIO> {
    // The carrier belongs to no grid: setting its values repaints nothing.
    TGridCellPropIO() : Props(nullptr, 0, 0) {}
    TCellProperties Props;
    bool HasGraphic = false;
};

struct TGridGraphicIO : TCarrier<kGraphicIO> {
    TCellGraphic Graphic;
};

struct TGridBMPIO : TCarrier<kBMPIO> {
    TBitmap Bitmap;
};

struct TGridIconIO : TCarrier<kIconIO> {
    TIcon Icon;
};

struct TGridPicIO : TCarrier<kPicIO> {
    TPicture Picture;
};

// A file picture by its name only: reading never opens the file.
class TStreamedFilePicture : public TPersistent {
public:
    String Filename;
};

struct TGridFilePicIO : TCarrier<kFilePicIO> {
    TStreamedFilePicture Picture;
};

struct TGridSLIO : TCarrier<kSLIO> {
    TStringList Strings;
};

const std::vector<String> kAlignments{u"taLeftJustify", u"taRightJustify", u"taCenter"};
const std::vector<String> kVAlignments{u"vtaTop", u"vtaCenter", u"vtaBottom"};
const std::vector<String> kGraphicHAligns{u"haLeft", u"haRight", u"haCenter", u"haBeforeText", u"haAfterText", u"haFull"};
const std::vector<String> kGraphicVAligns{u"vaTop", u"vaBottom", u"vaCenter", u"vaUnderText", u"vaAboveText", u"vaFull"};
const std::vector<String> kBrushStyles{u"bsSolid",     u"bsClear",     u"bsHorizontal", u"bsVertical",
                                       u"bsFDiagonal", u"bsBDiagonal", u"bsCross",      u"bsDiagCross"};
const std::vector<String> kFontStyles{u"fsBold", u"fsItalic", u"fsUnderline", u"fsStrikeOut"};
const std::vector<String> kGradients{u"GradientVertical", u"GradientHorizontal"};
const std::vector<String> kCheckStates{u"cbUnchecked", u"cbChecked", u"cbGrayed"};
const std::vector<String> kCellTypes{
    u"ctBitmap",     u"ctIcon",           u"ctNone",          u"ctImageList",     u"ctCheckBox",
    u"ctDataCheckBox", u"ctRotated",      u"ctDataImage",     u"ctNode",          u"ctRadio",
    u"ctEmpty",      u"ctImages",         u"ctPicture",       u"ctFilePicture",   u"ctValue",
    u"ctProgress",   u"ctComment",        u"ctButton",        u"ctBitButton",     u"ctVirtCheckBox",
    u"ctRowCheckBox", u"ctProgressPie",   u"ctSummary",       u"ctRangeIndicator", u"ctXPProgress",
    u"ctInterface",  u"ctScrollbar",      u"ctRadioButton",   u"ctBalloon",       u"ctShape",
    u"ctRating",     u"ctTriStateCheckBox", u"ctExpand"};
const std::vector<String> kEditors{
    u"edNormal",        u"edSpinEdit",          u"edComboEdit",          u"edComboList",
    u"edEditBtn",       u"edCheckBox",          u"edDateEdit",           u"edDateEditUpDown",
    u"edTimeEdit",      u"edButton",            u"edDataCheckBox",       u"edNumeric",
    u"edPositiveNumeric", u"edFloat",           u"edCapital",            u"edMixedCase",
    u"edPassword",      u"edUnitEditBtn",       u"edLowerCase",          u"edUpperCase",
    u"edFloatSpinEdit", u"edTimeSpinEdit",      u"edDateSpinEdit",       u"edNumericEditBtn",
    u"edFloatEditBtn",  u"edCustom",            u"edRichEdit",           u"edNone",
    u"edDateTimeEdit",  u"edValidChars",        u"edTrackbarDropDown",   u"edMemoDropDown",
    u"edCalculatorDropDown", u"edTimePickerDropDown", u"edDetailDropDown", u"edGridDropDown",
    u"edColorPickerDropDown", u"edImagePickerDropDown", u"edExGridDropDown", u"edPositiveFloat",
    u"edNumericUnitEditBtn", u"edFloatUnitEditBtn", u"edMaskEditBtn"};

// Ordinal helpers: the value clamped to the enumeration when read back.
template <class T, class E, class Get, class Set>
TPropertyInfo Enum(const String& Name, const std::vector<String>& Idents, Get G, Set S) {
    return OrdinalProperty<T>(
        Name, pkEnumeration, [G](T& o) { return Int64(G(o)); },
        [S, n = Idents.size()](T& o, Int64 v) {
            if (v >= 0 && std::size_t(v) < n) S(o, E(v));
        },
        Idents);
}

template <class T, class Get, class Set>
TPropertyInfo Int(const String& Name, Get G, Set S) {
    return OrdinalProperty<T>(Name, pkInteger, G, S);
}

template <class T, class Get, class Set>
TPropertyInfo Bool(const String& Name, Get G, Set S) {
    return OrdinalProperty<T>(Name, pkBoolean, G, S);
}

template <class T, class Get, class Set>
TPropertyInfo Color(const String& Name, Get G, Set S) {
    return OrdinalProperty<T>(
        Name, pkColor, [G](T& o) { return Int64(G(o)); }, [S](T& o, Int64 v) { S(o, TColor(v)); });
}

void RegisterCellProperties() {
    using P = TCellProperties;
    TStreamClass c;
    c.ClassName = u"TCellProperties";
    auto& p = c.Properties;
    p.push_back(Bool<P>(u"IsBaseCell", [](P& o) { return o.IsBaseCell(); }, [](P& o, Int64 v) { o.SetIsBaseCell(v); }));
    p.push_back(Int<P>(u"CellSpanX", [](P& o) { return o.CellSpanX(); }, [](P& o, Int64 v) { o.SetCellSpanX(int(v)); }));
    p.push_back(Int<P>(u"CellSpanY", [](P& o) { return o.CellSpanY(); }, [](P& o, Int64 v) { o.SetCellSpanY(int(v)); }));
    p.push_back(Enum<P, TAlignment>(u"Alignment", kAlignments, [](P& o) { return o.Alignment(); },
                                    [](P& o, TAlignment v) { o.SetAlignment(v); }));
    p.push_back(Color<P>(u"BorderColor", [](P& o) { return o.BorderColor(); }, [](P& o, TColor v) { o.SetBorderColor(v); }));
    p.push_back(Int<P>(u"BorderWidth", [](P& o) { return o.BorderWidth(); }, [](P& o, Int64 v) { o.SetBorderWidth(int(v)); }));
    p.push_back(Color<P>(u"BrushColor", [](P& o) { return o.BrushColor(); }, [](P& o, TColor v) { o.SetBrushColor(v); }));
    p.push_back(
        Color<P>(u"BrushColorTo", [](P& o) { return o.BrushColorTo(); }, [](P& o, TColor v) { o.SetBrushColorTo(v); }));
    p.push_back(Enum<P, TBrushStyle>(u"BrushStyle", kBrushStyles, [](P& o) { return o.BrushStyle(); },
                                     [](P& o, TBrushStyle v) { o.SetBrushStyle(v); }));
    // An application value: only its low 32 bits travel.
    p.push_back(Int<P>(
        u"CellObject", [](P& o) { return Int64(std::int32_t(o.CellObject())); },
        [](P& o, Int64 v) { o.SetCellObject(std::uintptr_t(std::uint32_t(v))); }));
    p.push_back(Color<P>(u"FontColor", [](P& o) { return o.FontColor(); }, [](P& o, TColor v) { o.SetFontColor(v); }));
    p.push_back(StringProperty<P>(u"FontName", [](P& o) { return o.FontName(); },
                                  [](P& o, const String& v) { o.SetFontName(v); }));
    p.push_back(Int<P>(u"FontSize", [](P& o) { return o.FontSize(); }, [](P& o, Int64 v) { o.SetFontSize(int(v)); }));
    p.push_back(OrdinalProperty<P>(
        u"FontStyle", pkSet, [](P& o) { return Int64(o.FontStyle().Bits()); },
        [](P& o, Int64 v) {
            TFontStyles st;
            for (int i = 0; i < 4; ++i)
                if (v & (Int64(1) << i)) st.Include(TFontStyle(i));
            o.SetFontStyle(st);
        },
        kFontStyles));
    p.push_back(Enum<P, TEditorType>(u"Editor", kEditors, [](P& o) { return o.Editor(); },
                                     [](P& o, TEditorType v) { o.SetEditor(v); }));
    p.push_back(Enum<P, TCellGradientDirection>(u"GradientDirection", kGradients,
                                                [](P& o) { return o.GradientDirection(); },
                                                [](P& o, TCellGradientDirection v) { o.SetGradientDirection(v); }));
    p.push_back(Bool<P>(u"ReadOnly", [](P& o) { return o.ReadOnly(); }, [](P& o, Int64 v) { o.SetReadOnly(v); }));
    p.push_back(Enum<P, TVAlignment>(u"VAlignment", kVAlignments, [](P& o) { return o.VAlignment(); },
                                     [](P& o, TVAlignment v) { o.SetVAlignment(v); }));
    p.push_back(Bool<P>(u"WordWrap", [](P& o) { return o.WordWrap(); }, [](P& o, Int64 v) { o.SetWordWrap(v); }));
    p.push_back(Int<P>(u"NodeLevel", [](P& o) { return o.NodeLevel(); }, [](P& o, Int64 v) { o.SetNodeLevel(int(v)); }));
    RegisterStreamClass(std::move(c));
}

// The grid's graphic record, every member the stream has for it.
void RegisterCellGraphic() {
    using G = TCellGraphic;
    TStreamClass c;
    c.ClassName = u"TCellGraphic";
    auto& p = c.Properties;
    p.push_back(Enum<G, TCellType>(u"CellType", kCellTypes, [](G& o) { return o.CellType; },
                                   [](G& o, TCellType v) { o.CellType = v; }));
    p.push_back(Enum<G, TCellVAlign>(u"CellVAlign", kGraphicVAligns, [](G& o) { return o.CellVAlign; },
                                     [](G& o, TCellVAlign v) { o.CellVAlign = v; }));
    p.push_back(Enum<G, TCellHAlign>(u"CellHAlign", kGraphicHAligns, [](G& o) { return o.CellHAlign; },
                                     [](G& o, TCellHAlign v) { o.CellHAlign = v; }));
    p.push_back(Int<G>(u"CellIndex", [](G& o) { return o.CellIndex; }, [](G& o, Int64 v) { o.CellIndex = int(v); }));
    p.push_back(Bool<G>(u"CellTransparent", [](G& o) { return o.CellTransparent; },
                        [](G& o, Int64 v) { o.CellTransparent = v; }));
    p.push_back(Bool<G>(u"CellCreated", [](G& o) { return o.CellCreated; }, [](G& o, Int64 v) { o.CellCreated = v; }));
    p.push_back(Bool<G>(u"CellBoolean", [](G& o) { return o.CellBoolean; }, [](G& o, Int64 v) { o.CellBoolean = v; }));
    p.push_back(OrdinalProperty<G>(
        u"CellCheckBoxState", pkEnumeration,
        [](G& o) { return Int64(o.CellType == ctTriStateCheckBox ? o.CellCheckBoxState : o.CellBoolean ? 1 : 0); },
        [](G& o, Int64 v) { o.CellCheckBoxState = TCheckBoxState(std::clamp<Int64>(v, 0, 2)); }, kCheckStates));
    p.push_back(Int<G>(u"CellAngle", [](G& o) { return o.CellAngle; }, [](G& o, Int64 v) { o.CellAngle = int(v); }));
    p.push_back(FloatProperty<G>(u"CellValue", [](G& o) { return o.CellValue; }, [](G& o, double v) { o.CellValue = v; }));
    p.push_back(Int<G>(u"CellErrFrom", [](G& o) { return o.CellErrFrom; }, [](G& o, Int64 v) { o.CellErrFrom = int(v); }));
    p.push_back(Int<G>(u"CellErrLen", [](G& o) { return o.CellErrLen; }, [](G& o, Int64 v) { o.CellErrLen = int(v); }));
    p.push_back(StringProperty<G>(u"CellText", [](G& o) { return o.CellText; },
                                  [](G& o, const String& v) { o.CellText = v; }));
    RegisterStreamClass(std::move(c));
}

// The members of a graphic record that travel, without its objects.
void CopyGraphicRecord(const TCellGraphic& From, TCellGraphic& To) {
    To.CellType = From.CellType;
    To.CellVAlign = From.CellVAlign;
    To.CellHAlign = From.CellHAlign;
    To.CellIndex = From.CellIndex;
    To.CellTransparent = From.CellTransparent;
    To.CellCreated = From.CellCreated;
    To.CellBoolean = From.CellBoolean;
    To.CellCheckBoxState = From.CellCheckBoxState;
    To.CellAngle = From.CellAngle;
    To.CellValue = From.CellValue;
    To.CellErrFrom = From.CellErrFrom;
    To.CellErrLen = From.CellErrLen;
    To.CellText = From.CellText;
}

void RegisterCarriers() {
    {
        using T = TGridPropIO;
        TStreamClass c;
        c.ClassName = kPropIO;
        c.Properties.push_back(Int<T>(u"ColCount", [](T& o) { return o.ColCount; }, [](T& o, Int64 v) { o.ColCount = int(v); }));
        c.Properties.push_back(Int<T>(u"RowCount", [](T& o) { return o.RowCount; }, [](T& o, Int64 v) { o.RowCount = int(v); }));
        c.Properties.push_back(StringProperty<T>(u"ColWidths", [](T& o) { return o.ColWidths; },
                                                 [](T& o, const String& v) { o.ColWidths = v; }));
        c.Properties.push_back(StringProperty<T>(u"RowHeights", [](T& o) { return o.RowHeights; },
                                                 [](T& o, const String& v) { o.RowHeights = v; }));
        c.Properties.push_back(Bool<T>(u"FullGrid", [](T& o) { return o.FullGrid; }, [](T& o, Int64 v) { o.FullGrid = v; }));
        c.Properties.push_back(Int<T>(u"ID", [](T& o) { return o.ID; }, [](T& o, Int64 v) { o.ID = int(v); }));
        RegisterStreamClass(std::move(c));
    }
    {
        using T = TGridCellIO;
        TStreamClass c;
        c.ClassName = kCellIO;
        c.Properties.push_back(Int<T>(u"Col", [](T& o) { return o.Col; }, [](T& o, Int64 v) { o.Col = Word(v); }));
        c.Properties.push_back(Int<T>(u"Row", [](T& o) { return o.Row; }, [](T& o, Int64 v) { o.Row = Word(v); }));
        c.Properties.push_back(
            StringProperty<T>(u"Cell", [](T& o) { return o.Cell; }, [](T& o, const String& v) { o.Cell = v; }));
        c.Properties.push_back(Bool<T>(u"HasProp", [](T& o) { return o.HasProp; }, [](T& o, Int64 v) { o.HasProp = v; }));
        RegisterStreamClass(std::move(c));
    }
    {
        using T = TGridCellPropIO;
        TStreamClass c;
        c.ClassName = kCellPropIO;
        c.Properties.push_back(ObjectProperty<T>(u"CellProperties", u"TCellProperties", [](T& o) { return &o.Props; }));
        c.Properties.push_back(
            Bool<T>(u"HasGraphic", [](T& o) { return o.HasGraphic; }, [](T& o, Int64 v) { o.HasGraphic = v; }));
        RegisterStreamClass(std::move(c));
    }
    auto single = [](const String& Name, const String& Prop, const String& Class, auto Get) {
        TStreamClass c;
        c.ClassName = Name;
        TPropertyInfo p;
        p.Name = Prop;
        p.Kind = pkObject;
        p.ObjectClass = Class;
        p.GetObject = Get;
        c.Properties.push_back(std::move(p));
        RegisterStreamClass(std::move(c));
    };
    single(kGraphicIO, u"CellGraphic", u"TCellGraphic",
           [](TPersistent& o) -> TPersistent* { return &static_cast<TGridGraphicIO&>(o).Graphic; });
    single(kBMPIO, u"Bitmap", u"TBitmap", [](TPersistent& o) -> TPersistent* { return &static_cast<TGridBMPIO&>(o).Bitmap; });
    single(kIconIO, u"Icon", u"TIcon", [](TPersistent& o) -> TPersistent* { return &static_cast<TGridIconIO&>(o).Icon; });
    single(kPicIO, u"Picture", u"TPicture",
           [](TPersistent& o) -> TPersistent* { return &static_cast<TGridPicIO&>(o).Picture; });
    single(kFilePicIO, u"Picture", u"TStreamedFilePicture",
           [](TPersistent& o) -> TPersistent* { return &static_cast<TGridFilePicIO&>(o).Picture; });
    single(kSLIO, u"Strings", u"TStringList",
           [](TPersistent& o) -> TPersistent* { return &static_cast<TGridSLIO&>(o).Strings; });
    {
        using T = TStreamedFilePicture;
        TStreamClass c;
        c.ClassName = u"TStreamedFilePicture";
        c.Properties.push_back(StringProperty<T>(u"Filename", [](T& o) { return o.Filename; },
                                                 [](T& o, const String& v) { o.Filename = v; }));
        RegisterStreamClass(std::move(c));
    }
}

void EnsureRegistered() {
    static const bool done = (RegisterCellProperties(), RegisterCellGraphic(), RegisterCarriers(), true);
    (void)done;
}

// Reads one image and forgets the name it carried, as after every read.
void ReadImage(TStream& S, TComponent& C) {
    ReadComponentImage(S, C);
    C.SetName(String());
}

// The graphic-data image that follows a graphic of this type, if any.
bool HasGraphicData(TCellType T) {
    switch (T) {
    case ctBitmap:
    case ctBitButton:
    case ctIcon:
    case ctRadio:
    case ctImages:
    case ctPicture:
    case ctFilePicture: return true;
    default: return false;
    }
}

// The graphic-data image of a data type: the cell's object copied into its carrier.
void WriteGraphicData(TStream& S, const TCellGraphic& G) {
    switch (G.CellType) {
    case ctBitmap:
    case ctBitButton: {
        TGridBMPIO d;
        if (TBitmap* b = G.Bitmap()) d.Bitmap.Assign(b);
        WriteComponentImage(S, d);
        break;
    }
    case ctIcon: {
        TGridIconIO d;
        if (TIcon* i = G.Icon()) d.Icon.Assign(i);
        WriteComponentImage(S, d);
        break;
    }
    case ctRadio:
    case ctImages: {
        TGridSLIO d;
        if (auto* l = G.Object<TStringList>(); l && G.CellType == ctRadio) d.Strings.Assign(l);
        if (auto* l = G.Object<TIntList>(); l && G.CellType == ctImages) d.Strings.SetCommaText(l->StrValue());
        WriteComponentImage(S, d);
        break;
    }
    case ctPicture: {
        TGridPicIO d;
        if (auto* p = G.Object<TPicture>()) d.Picture.Assign(p);
        WriteComponentImage(S, d);
        break;
    }
    case ctFilePicture: {
        TGridFilePicIO d;
        if (auto* p = G.Object<TFilePicture>()) d.Picture.Filename = p->Filename();
        WriteComponentImage(S, d);
        break;
    }
    default: break;
    }
}

// Reads the graphic-data image that follows a graphic of G's type and gives
// G new objects made from it, which belong to G.
void ReadGraphicData(TStream& S, TCellGraphic& G, int ACol, int ARow) {
    switch (G.CellType) {
    case ctBitmap:
    case ctBitButton: {
        TGridBMPIO d;
        ReadImage(S, d);
        auto* b = new TBitmap;
        b->Assign(&d.Bitmap);
        G.CellBitmap = b;
        break;
    }
    case ctIcon: {
        TGridIconIO d;
        ReadImage(S, d);
        auto* i = new TIcon;
        i->Assign(&d.Icon);
        G.CellIcon = i;
        break;
    }
    case ctRadio: {
        TGridSLIO d;
        ReadImage(S, d);
        auto* l = new TStringList;
        l->Assign(&d.Strings);
        G.CellBitmap = l;
        break;
    }
    case ctImages: {
        TGridSLIO d;
        ReadImage(S, d);
        auto l = std::make_unique<TIntList>(ACol, ARow);
        l->SetStrValue(d.Strings.CommaText());
        G.CellBitmap = l.release();
        break;
    }
    case ctPicture: {
        TGridPicIO d;
        ReadImage(S, d);
        auto* p = new TPicture;
        p->Assign(&d.Picture);
        G.CellBitmap = p;
        break;
    }
    case ctFilePicture: {
        TGridFilePicIO d;
        ReadImage(S, d);
        auto* p = new TFilePicture;
        G.CellBitmap = p;
        try {
            p->SetFilename(d.Picture.Filename);
        } catch (const Exception&) {
            // A file that is gone keeps its name and is drawn as nothing, as at
            // any other time it cannot be read.
        }
        break;
    }
    default: return;
    }
    G.CellCreated = true;
}

String JoinSizes(int From, int To, const std::function<int(int)>& Size) {
    String s;
    for (int i = From; i <= To; ++i) {
        if (i > From) s += u',';
        s += IntToStr(Size(i));
    }
    return s;
}

// A size list of the header: each item must be a number, and there must be one per index.
std::vector<int> ParseSizes(const String& Text, int Count, const char16_t* What) {
    TStringList l;
    l.SetCommaText(Text);
    if (l.Count() < Count)
        throw EReadError(String(What) + u" list has " + IntToStr(l.Count()) + u" items for " + IntToStr(Count));
    std::vector<int> sizes;
    for (int i = 0; i < Count; ++i) {
        int v = 0;
        if (!TryStrToInt(l.Strings(i), v)) throw EReadError(u"'" + l.Strings(i) + u"' is not a valid integer value");
        sizes.push_back(v);
    }
    return sizes;
}

}  // namespace

void TExGridTools::SaveRectToBinStream(TGridRect R, TStream& Stream) {
    EnsureRegistered();
    TGridPropIO head;
    head.RowCount = R.Bottom - R.Top + 1;
    head.ColCount = R.Right - R.Left + 1;
    if (SaveFixedCells)
        head.FullGrid = head.RowCount == FGrid.RowCount() && head.ColCount == FGrid.ColCount();
    else
        head.FullGrid = head.RowCount == FGrid.RowCount() - FGrid.FixedRows() &&
                        head.ColCount == FGrid.ColCount() - FGrid.FixedCols();
    head.ID = int(std::uint32_t(FGrid.Handle()));
    head.ColWidths = JoinSizes(R.Left, R.Right, [this](int c) { return FGrid.ColWidths(c); });
    head.RowHeights = JoinSizes(R.Top, R.Bottom, [this](int r) { return FGrid.RowHeights(r); });
    WriteComponentImage(Stream, head);
    FGrid.ExportNotification(0, R.Top);
    int last = -1;
    // One carrier for every cell: each image sets all of its values.
    TGridCellIO cell;
    for (int r = R.Top; r <= R.Bottom; ++r) {
        FGrid.ExportNotification(5, r);
        for (int c = R.Left; c <= R.Right; ++c) {
            cell.Col = Word(c);
            cell.Row = Word(r);
            cell.Cell = FGrid.GetCellEx(c, r);
            cell.HasProp = FGrid.CellPropsAssigned(c, r);
            WriteComponentImage(Stream, cell);
            if (!cell.HasProp) continue;
            TCellProperties* props = FGrid.GetCellProperties(c, r);
            TGridCellPropIO pio;
            pio.Props.Assign(props);
            pio.Props.SetBrushColorTo(props->BrushColorTo());
            pio.Props.SetGradientDirection(props->GradientDirection());
            auto* g = dynamic_cast<TCellGraphic*>(props->GraphicObject());
            // The data types travel only with the objects the cell made itself.
            pio.HasGraphic = g && g->CellType != ctEmpty && (!HasGraphicData(g->CellType) || g->CellCreated);
            WriteComponentImage(Stream, pio);
            if (!pio.HasGraphic) continue;
            TGridGraphicIO gio;
            CopyGraphicRecord(*g, gio.Graphic);
            // Its own CellBitmap and CellIcon stay empty: freeing the carrier frees nothing of the cell's.
            WriteComponentImage(Stream, gio);
            WriteGraphicData(Stream, *g);
        }
        if (OnFileProgress)
            FileProgress(int(std::nearbyint(double(r) / std::max(1, R.Bottom - R.Top) * 100.0)), last);
    }
    FGrid.ExportNotification(2);
}

void TExGridTools::SaveToBinStream(TStream& Stream) {
    TGridRect r;
    r.Left = SaveStartCol();
    r.Top = SaveStartRow();
    r.Right = SaveEndCol();
    r.Bottom = SaveEndRow();
    SaveRectToBinStream(r, Stream);
}

void TExGridTools::SaveToBinFile(const String& FileName) {
    TMemoryStream s;
    SaveToBinStream(s);
    WriteFileAtomic(FileName, s.Bytes());
}

void TExGridTools::LoadAtPointFromBinStream(TPoint Point, TStream& Stream) {
    EnsureRegistered();
    // Repainting waits for the end: each cell would measure its rectangle.
    FGrid.BeginUpdate();
    struct TUnlock {
        TExStringGrid& G;
        ~TUnlock() { G.EndUpdate(); }
    } unlock{FGrid};
    TGridPropIO head;
    ReadImage(Stream, head);
    TGridCellIO cell;
    auto remaining = [&Stream] { return Stream.Size() - Stream.Position(); };
    bool pending = false;  // the first cell image, read ahead for its position
    int originCol = 0, originRow = 0;
    if (head.FullGrid) {
        // The counts cover the saved area from its first saved cell on, so
        // that a save without the fixed cells keeps every cell it had.
        int c0 = 0, r0 = 0;
        if (remaining() >= 2) {
            ReadImage(Stream, cell);
            pending = true;
            c0 = cell.Col;
            r0 = cell.Row;
        }
        const std::vector<int> widths = ParseSizes(head.ColWidths, head.ColCount, u"Column width");
        const std::vector<int> heights = ParseSizes(head.RowHeights, head.RowCount, u"Row height");
        FGrid.Clear();
        FGrid.SetRowCount(head.RowCount + r0);
        FGrid.SetColCount(head.ColCount + c0);
        for (int i = 0; i < head.ColCount; ++i) FGrid.SetColWidths(c0 + i, widths[std::size_t(i)]);
        for (int i = 0; i < head.RowCount; ++i) FGrid.SetRowHeights(r0 + i, heights[std::size_t(i)]);
    }
    bool first = true;
    Int64 lastRow = -1;
    int last = -1;
    while (pending || remaining() >= 2) {
        if (!pending) ReadImage(Stream, cell);
        pending = false;
        if (first && !head.FullGrid) {
            originCol = cell.Col;
            originRow = cell.Row;
        }
        first = false;
        // A stream may place a cell anywhere an int reaches, so the place is worked out wide.
        const Int64 wideCol = Int64(cell.Col) - originCol + Point.X;
        const Int64 wideRow = Int64(cell.Row) - originRow + Point.Y;
        // Cells beyond the grid are read over: nothing is written outside the store.
        const bool inside = wideCol >= 0 && wideRow >= 0 && wideCol < FGrid.ColCount() && wideRow < FGrid.RowCount();
        const int c = inside ? int(wideCol) : -1;
        const int r = inside ? int(wideRow) : -1;
        if (inside) FGrid.SetCellEx(c, r, cell.Cell);
        if (wideRow != lastRow) {
            lastRow = wideRow;
            // A row beyond the grid counts as done: the percentage stays within 0..100.
            const double percent = double(wideRow) / std::max(1, FGrid.RowCount()) * 100.0;
            FileProgress(int(std::nearbyint(std::clamp(percent, 0.0, 100.0))), last);
        }
        if (cell.HasProp) {
            TGridCellPropIO pio;
            if (inside) {
                TCellProperties* target = FGrid.GetCellProperties(c, r);
                pio.Props.Assign(target);
                pio.Props.SetBrushColorTo(target->BrushColorTo());
                pio.Props.SetGradientDirection(target->GradientDirection());
            }
            ReadImage(Stream, pio);
            // The graphic is read whole, also for a cell outside the grid, so
            // that the stream stays in step.
            std::unique_ptr<TCellGraphic> graphic;
            if (pio.HasGraphic) {
                TGridGraphicIO gio;
                ReadImage(Stream, gio);
                graphic = std::make_unique<TCellGraphic>();
                CopyGraphicRecord(gio.Graphic, *graphic);
                // A data type's objects are made here and always belong to it.
                ReadGraphicData(Stream, *graphic, c, r);
            }
            if (inside) {
                TCellProperties* target = FGrid.GetCellProperties(c, r);
                pio.Props.SetOwnerCol(c);
                pio.Props.SetOwnerRow(r);
                TObject* old = target->GraphicObject();
                target->Assign(&pio.Props);
                target->SetBrushColorTo(pio.Props.BrushColorTo());
                target->SetGradientDirection(pio.Props.GradientDirection());
                if (graphic) {
                    target->SetGraphicObject(graphic.release());
                    delete old;
                }
            }
        }
        cell.Cell.clear();
        cell.HasProp = false;
    }
}

void TExGridTools::LoadFromBinStream(TStream& Stream) {
    LoadAtPointFromBinStream(TPoint{0, 0}, Stream);
    int nodes = 0;
    for (int r = FGrid.FixedRows(); r < FGrid.RowCount(); ++r)
        if (FGrid.GetCellType(0, r) == ctNode) ++nodes;
    FNumNodes = nodes;
    if (nodes > 0) FGrid.Invalidate();
}

void TExGridTools::LoadFromBinFile(const String& FileName) {
    TMemoryStream s;
    s.WriteBytes(ReadFileBytes(FileName));
    s.SetPosition(0);
    LoadFromBinStream(s);
}

void TExGridTools::ReadBinHeader(TStream& Stream, int& Cols, int& Rows, int& ID) {
    EnsureRegistered();
    const Int64 at = Stream.Position();
    TGridPropIO head;
    ReadImage(Stream, head);
    Stream.SetPosition(at);
    Cols = head.ColCount;
    Rows = head.RowCount;
    ID = head.ID;
}
