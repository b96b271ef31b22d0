// The tree in form images: its header with the header's settings, the
// columns as the collection "Columns" (each column's settings, its caption as
// "WideText" and its hint as "WideHint"), and the option names of old forms
// read from "Options".

#include "tree/LazyTrees_p.h"

#include "framework/Streaming.h"

#include <vector>

namespace {

using T = TBaseLazyTree;
using C = TLazyTreeColumn;
using H = TLTHeader;
using F = TLTFixedAreaConstraints;

const std::vector<String> AlignmentNames{u"taLeftJustify", u"taRightJustify", u"taCenter"};
const std::vector<String> SortDirectionNames{u"sdAscending", u"sdDescending"};

// Names by ordinal, in the enumerations' order.
const std::vector<String> ColumnOptionNames{
    u"coAllowClick",  u"coDraggable", u"coEnabled",   u"coParentBidiMode",        u"coParentColor", u"coResizable",
    u"coShowDropMark", u"coVisible",  u"coAutoSpring", u"coFixed",                u"coSmartResize", u"coAllowFocus",
    u"coDisableAnimatedResize", u"coWrapCaption", u"coUseCaptionAlignment", u"coEditable"};
const std::vector<String> HeaderOptionNames{
    u"hoAutoResize",   u"hoColumnResize", u"hoDblClickResize",        u"hoDrag",         u"hoHotTrack",
    u"hoOwnerDraw",    u"hoRestrictDrag", u"hoShowHint",              u"hoShowImages",   u"hoShowSortGlyphs",
    u"hoVisible",      u"hoAutoSpring",   u"hoFullRepaintOnResize",   u"hoDisableAnimatedResize",
    u"hoHeightResize", u"hoHeightDblClickResize", u"hoHeaderClickAutoSort", u"hoAutoColumnPopupMenu"};

template <class O, class G, class S>
TPropertyInfo Ordinal(const String& Name, TPropertyKind Kind, G Get, S Set, std::vector<String> Idents = {},
                      std::optional<Int64> Default = std::nullopt) {
    return OrdinalProperty<O>(Name, Kind, Get, Set, std::move(Idents), Default);
}

template <class O, class G, class S>
TPropertyInfo Integer(const String& Name, G Get, S Set, std::optional<Int64> Default = std::nullopt) {
    return Ordinal<O>(Name, pkInteger, Get, Set, {}, Default);
}

template <class E, class O, class G, class S>
TPropertyInfo Enumeration(const String& Name, const std::vector<String>& Idents, G Get, S Set, E Default) {
    return Ordinal<O>(
        Name, pkEnumeration, [Get](O& o) { return Int64(Get(o)); }, [Set](O& o, Int64 v) { Set(o, E(v)); }, Idents,
        Int64(Default));
}

template <class E>
TSet<E> SetOfBits(Int64 Bits, int Count) {
    TSet<E> Result;
    for (int I = 0; I < Count; ++I)
        if (Bits & (Int64(1) << I)) Result.Include(E(I));
    return Result;
}

// A property read and set but kept out of the image.
TPropertyInfo NotStored(TPropertyInfo Info) {
    Info.Stored = [](TPersistent&) { return false; };
    return Info;
}

TPropertyInfo StoredWhile(TPropertyInfo Info, std::function<bool(C&)> While) {
    Info.Stored = [While](TPersistent& o) { return While(static_cast<C&>(o)); };
    return Info;
}

TStreamClass ColumnClass() {
    TStreamClass c;
    c.ClassName = u"TLazyTreeColumn";
    const std::vector<String> BiDiNames{u"bdLeftToRight", u"bdRightToLeft", u"bdRightToLeftNoAlign",
                                        u"bdRightToLeftReadingOnly"};
    const std::vector<String> CheckTypeNames{u"ctNone", u"ctTriStateCheckBox", u"ctCheckBox", u"ctRadioButton",
                                             u"ctButton"};
    const std::vector<String> CheckStateNames{u"csUncheckedNormal", u"csUncheckedPressed", u"csCheckedNormal",
                                              u"csCheckedPressed",  u"csMixedNormal",      u"csMixedPressed",
                                              u"csUncheckedDisabled", u"csCheckedDisabled", u"csMixedDisabled"};
    c.Properties = {
        Enumeration<TAlignment, C>(u"Alignment", AlignmentNames, [](C& o) { return o.Alignment(); },
                                   [](C& o, TAlignment v) { o.SetAlignment(v); }, taLeftJustify),
        StoredWhile(Enumeration<C::TColumnBiDiMode, C>(u"BiDiMode", BiDiNames, [](C& o) { return o.BiDiMode(); },
                                                       [](C& o, C::TColumnBiDiMode v) { o.SetBiDiMode(v); },
                                                       C::bdLeftToRight),
                    [](C& o) { return !o.Options().Contains(coParentBidiMode); }),
        StoredWhile(Ordinal<C>(u"CaptionAlignment", pkEnumeration, [](C& o) { return Int64(o.CaptionAlignment()); },
                               [](C& o, Int64 v) { o.SetCaptionAlignment(TAlignment(v)); }, AlignmentNames),
                    [](C& o) { return o.Options().Contains(coUseCaptionAlignment); }),
        Enumeration<TCheckType, C>(u"CheckType", CheckTypeNames, [](C& o) { return o.CheckType(); },
                                   [](C& o, TCheckType v) { o.SetCheckType(v); }, ctCheckBox),
        Enumeration<TCheckState, C>(u"CheckState", CheckStateNames, [](C& o) { return o.CheckState(); },
                                    [](C& o, TCheckState v) { o.SetCheckState(v); }, csUncheckedNormal),
        Ordinal<C>(u"CheckBox", pkBoolean, [](C& o) { return Int64(o.CheckBox()); },
                   [](C& o, Int64 v) { o.SetCheckBox(v != 0); }, {}, 0),
        StoredWhile(Ordinal<C>(u"Color", pkColor, [](C& o) { return Int64(o.Color()); },
                               [](C& o, Int64 v) { o.SetColor(TColor(v)); }, {}, clWindow),
                    [](C& o) { return !o.Options().Contains(coParentColor); }),
        Enumeration<TSortDirection, C>(u"DefaultSortDirection", SortDirectionNames,
                                       [](C& o) { return o.DefaultSortDirection(); },
                                       [](C& o, TSortDirection v) { o.SetDefaultSortDirection(v); }, sdAscending),
        // Caption and hint travel as WideText and WideHint.
        NotStored(StringProperty<C>(u"Hint", [](C& o) { return o.Hint(); }, [](C& o, const String& v) { o.SetHint(v); })),
        Integer<C>(u"ImageIndex", [](C& o) { return o.ImageIndex(); }, [](C& o, Int64 v) { o.SetImageIndex(int(v)); }, -1),
        Enumeration<C::TLTHeaderColumnLayout, C>(
            u"Layout", {u"blGlyphLeft", u"blGlyphRight", u"blGlyphTop", u"blGlyphBottom"},
            [](C& o) { return o.Layout(); }, [](C& o, C::TLTHeaderColumnLayout v) { o.SetLayout(v); }, C::blGlyphLeft),
        Integer<C>(u"Margin", [](C& o) { return o.Margin(); }, [](C& o, Int64 v) { o.SetMargin(int(v)); }, 4),
        Integer<C>(u"MaxWidth", [](C& o) { return o.MaxWidth(); }, [](C& o, Int64 v) { o.SetMaxWidth(int(v)); }, 10000),
        Integer<C>(u"MinWidth", [](C& o) { return o.MinWidth(); }, [](C& o, Int64 v) { o.SetMinWidth(int(v)); }, 10),
        Ordinal<C>(u"Options", pkSet, [](C& o) { return Int64(o.Options().Bits()); },
                   [](C& o, Int64 v) { o.SetOptions(SetOfBits<TLTColumnOption>(v, int(ColumnOptionNames.size()))); }, ColumnOptionNames,
                   Int64(DefaultColumnOptions.Bits())),
        Integer<C>(u"Position", [](C& o) { return o.Position(); }, [](C& o, Int64 v) { o.SetPosition(Cardinal(v)); }),
        Integer<C>(u"Spacing", [](C& o) { return o.Spacing(); }, [](C& o, Int64 v) { o.SetSpacing(int(v)); }, 3),
        Enumeration<C::TLazyTreeColumnStyle, C>(u"Style", {u"vsText", u"vsOwnerDraw"}, [](C& o) { return o.Style(); },
                                                [](C& o, C::TLazyTreeColumnStyle v) { o.SetStyle(v); }, C::vsText),
        Integer<C>(u"Tag", [](C& o) { return Int64(o.Tag()); }, [](C& o, Int64 v) { o.SetTag(std::intptr_t(v)); }, 0),
        NotStored(StringProperty<C>(u"Text", [](C& o) { return o.GetText(); }, [](C& o, const String& v) { o.SetText(v); })),
        Integer<C>(u"Width", [](C& o) { return o.Width(); }, [](C& o, Int64 v) { o.SetWidth(int(v)); }, 50),
    };
    // Written only when not empty; a narrow or a wide string is read alike.
    c.DefineProperties = [](TPersistent& p, TFiler& Filer) {
        auto& o = static_cast<C&>(p);
        Filer.DefineProperty(
            u"WideText", [&o](TReader& R) { o.SetText(R.ReadString()); }, [&o](TWriter& W) { W.WriteString(o.GetText()); },
            !o.GetText().empty());
        Filer.DefineProperty(
            u"WideHint", [&o](TReader& R) { o.SetHint(R.ReadString()); }, [&o](TWriter& W) { W.WriteString(o.Hint()); },
            !o.Hint().empty());
    };
    return c;
}

TStreamClass ConstraintsClass() {
    TStreamClass c;
    c.ClassName = u"TLTFixedAreaConstraints";
    auto Percent = [](const String& Name, Byte (F::*Get)() const, void (F::*Set)(Byte)) {
        return Integer<F>(Name, [Get](F& o) { return (o.*Get)(); }, [Set](F& o, Int64 v) { (o.*Set)(Byte(v)); }, 0);
    };
    c.Properties = {Percent(u"MaxHeightPercent", &F::MaxHeightPercent, &F::SetMaxHeightPercent),
                    Percent(u"MaxWidthPercent", &F::MaxWidthPercent, &F::SetMaxWidthPercent),
                    Percent(u"MinHeightPercent", &F::MinHeightPercent, &F::SetMinHeightPercent),
                    Percent(u"MinWidthPercent", &F::MinWidthPercent, &F::SetMinWidthPercent)};
    return c;
}

// The limits come before the height, so that a height read is held by the limits read.
TStreamClass HeaderClass() {
    TStreamClass c;
    c.ClassName = u"TLTHeader";
    TPropertyInfo Font = ObjectProperty<H>(u"Font", u"TFont", [](H& o) { return &o.Font(); });
    Font.Stored = [](TPersistent& o) { return !static_cast<H&>(o).ParentFont(); };
    c.Properties = {
        Integer<H>(u"AutoSizeIndex", [](H& o) { return o.AutoSizeIndex(); },
                   [](H& o, Int64 v) { o.SetAutoSizeIndex(TColumnIndex(v)); }),
        Ordinal<H>(u"Background", pkColor, [](H& o) { return Int64(o.Background()); },
                   [](H& o, Int64 v) { o.SetBackground(TColor(v)); }, {}, clBtnFace),
        Integer<H>(u"MaxHeight", [](H& o) { return o.MaxHeight(); }, [](H& o, Int64 v) { o.SetMaxHeight(int(v)); }, 10000),
        Integer<H>(u"MinHeight", [](H& o) { return o.MinHeight(); }, [](H& o, Int64 v) { o.SetMinHeight(int(v)); }, 10),
        Integer<H>(u"DefaultHeight", [](H& o) { return o.DefaultHeight(); },
                   [](H& o, Int64 v) { o.SetDefaultHeight(int(v)); }, 19),
        ObjectProperty<H>(u"FixedAreaConstraints", u"TLTFixedAreaConstraints",
                          [](H& o) { return &o.FixedAreaConstraints(); }),
        Ordinal<H>(u"ParentFont", pkBoolean, [](H& o) { return Int64(o.ParentFont()); },
                   [](H& o, Int64 v) { o.SetParentFont(v != 0); }, {}, 0),
        Font,
        Integer<H>(u"Height", [](H& o) { return o.Height(); }, [](H& o, Int64 v) { o.SetHeight(int(v)); }, 19),
        Integer<H>(u"MainColumn", [](H& o) { return o.GetMainColumn(); },
                   [](H& o, Int64 v) { o.SetMainColumn(TColumnIndex(v)); }, -1),
        Ordinal<H>(u"Options", pkSet, [](H& o) { return Int64(o.Options.Bits()); },
                   [](H& o, Int64 v) { o.SetOptions(SetOfBits<THeaderOption>(v, int(HeaderOptionNames.size()))); }, HeaderOptionNames,
                   Int64(THeaderOptions{hoColumnResize, hoDrag, hoShowSortGlyphs}.Bits())),
        Integer<H>(u"SortColumn", [](H& o) { return o.SortColumn; }, [](H& o, Int64 v) { o.SetSortColumn(TColumnIndex(v)); },
                   -1),
        Enumeration<TSortDirection, H>(u"SortDirection", SortDirectionNames, [](H& o) { return o.SortDirection; },
                                       [](H& o, TSortDirection v) { o.SetSortDirection(v); }, sdAscending),
        Integer<H>(u"SplitterHitTolerance", [](H& o) { return o.SplitterHitTolerance; },
                   [](H& o, Int64 v) { o.SplitterHitTolerance = int(v); }, 8),
        Enumeration<TLTHeaderStyle, H>(u"Style", {u"hsThickButtons", u"hsFlatButtons", u"hsPlates"},
                                       [](H& o) { return o.Style(); }, [](H& o, TLTHeaderStyle v) { o.SetStyle(v); },
                                       hsThickButtons),
    };
    return c;
}

// The option names of old forms: each the name of a current option with "vo" for "to".
enum TOldLTOptionSet { osAnimation, osAuto, osSelection, osPaint, osMisc };
struct TOldLTOption {
    const char16_t* Name;
    TOldLTOptionSet Set;
    int Option;  // the current option's ordinal in its set
};
constexpr TOldLTOption OldLTOptions[] = {
    {u"voAcceptOLEDrop", osMisc, toAcceptOLEDrop},
    {u"voAnimatedToggle", osAnimation, toAnimatedToggle},
    {u"voAutoDropExpand", osAuto, toAutoDropExpand},
    {u"voAutoExpand", osAuto, toAutoExpand},
    {u"voAutoScroll", osAuto, toAutoScroll},
    {u"voAutoSort", osAuto, toAutoSort},
    {u"voAutoSpanColumns", osAuto, toAutoSpanColumns},
    {u"voAutoTristateTracking", osAuto, toAutoTristateTracking},
    {u"voCheckSupport", osMisc, toCheckSupport},
    {u"voDisableDrawSelection", osSelection, toDisableDrawSelection},
    {u"voEditable", osMisc, toEditable},
    {u"voExtendedFocus", osSelection, toExtendedFocus},
    {u"voFullRowSelect", osSelection, toFullRowSelect},
    {u"voGridExtensions", osMisc, toGridExtensions},
    {u"voHideFocusRect", osPaint, toHideFocusRect},
    {u"voHideSelection", osPaint, toHideSelection},
    {u"voHotTrack", osPaint, toHotTrack},
    {u"voInitOnSave", osMisc, toInitOnSave},
    {u"voLevelSelectConstraint", osSelection, toLevelSelectConstraint},
    {u"voMiddleClickSelect", osSelection, toMiddleClickSelect},
    {u"voMultiSelect", osSelection, toMultiSelect},
    {u"voPopupMode", osPaint, toPopupMode},
    {u"voRightClickSelect", osSelection, toRightClickSelect},
    {u"voShowBackground", osPaint, toShowBackground},
    {u"voShowButtons", osPaint, toShowButtons},
    {u"voShowDropmark", osPaint, toShowDropmark},
    {u"voShowHorzGridLines", osPaint, toShowHorzGridLines},
    {u"voShowRoot", osPaint, toShowRoot},
    {u"voShowTreeLines", osPaint, toShowTreeLines},
    {u"voShowVertGridLines", osPaint, toShowVertGridLines},
    {u"voSiblingSelectConstraint", osSelection, toSiblingSelectConstraint},
    {u"voToggleOnDblClick", osMisc, toToggleOnDblClick},
};

void ReadOldOptions(TCustomLazyTreeOptions& Options, const std::vector<String>& Names) {
    TLTAnimationOptions Animation;
    TLTAutoOptions Auto;
    TLTSelectionOptions Selection;
    TLTPaintOptions Paint;
    TLTMiscOptions Misc;
    for (const String& Name : Names)
        for (const TOldLTOption& Old : OldLTOptions) {
            if (Name != Old.Name) continue;
            switch (Old.Set) {
            case osAnimation: Animation.Include(TLTAnimationOption(Old.Option)); break;
            case osAuto: Auto.Include(TLTAutoOption(Old.Option)); break;
            case osSelection: Selection.Include(TLTSelectionOption(Old.Option)); break;
            case osPaint: Paint.Include(TLTPaintOption(Old.Option)); break;
            case osMisc: Misc.Include(TLTMiscOption(Old.Option)); break;
            }
        }
    Options.SetAnimationOptions(Animation);
    Options.SetAutoOptions(Auto);
    Options.SetSelectionOptions(Selection);
    Options.SetPaintOptions(Paint);
    Options.SetMiscOptions(Misc);
}

}  // namespace

void TBaseLazyTree::RegisterStreamClass(const String& ClassName) {
    static const bool Parts = [] {
        ::RegisterStreamClass(ColumnClass());
        ::RegisterStreamClass(ConstraintsClass());
        ::RegisterStreamClass(HeaderClass());
        return true;
    }();
    (void)Parts;
    TStreamClass c;
    c.ClassName = ClassName;
    c.Properties = {ObjectProperty<T>(u"Header", u"TLTHeader", [](T& o) { return &o.Header(); })};
    c.DefineProperties = [](TPersistent& p, TFiler& Filer) {
        auto& Tree = static_cast<T&>(p);
        Filer.DefineProperty(
            u"Columns",
            [&Tree](TReader& R) {
                if (R.ReadValue() != vaCollection) throw EReadError(u"Invalid property value");
                // The columns' positions are read as they are and put in order when loading ends, as
                // after the whole form; the clearing keeps main, sort and auto-size column.
                TLTHeader& Header = *Tree.FHeader;
                Tree.BeginLoading();
                Header.States.Include(hsLoading);
                TFinally Done{[&] {
                    Header.States.Exclude(hsLoading);
                    Tree.EndLoading();
                }};
                R.ReadCollection(Header.Columns(), u"TLazyTreeColumn");
            },
            [&Tree](TWriter& W) { W.WriteCollection(Tree.FHeader->Columns(), u"TLazyTreeColumn"); },
            Tree.FHeader->ColumnsStored());
        // Only read: forms of old keep the options as one set of names.
        Filer.DefineProperty(
            u"Options",
            [&Tree](TReader& R) {
                Tree.NotifyDesigner();
                if (R.NextValue() == vaSet) ReadOldOptions(*Tree.FOptions, R.ReadSet());
            },
            [](TWriter&) {}, false);
    };
    ::RegisterStreamClass(std::move(c));
}

void RegisterTreeStreamClasses() {
    for (const char16_t* Name :
         {u"TBaseLazyTree", u"TCustomLazyStringTree", u"TLazyStringTree", u"TCustomLazyDrawTree", u"TLazyDrawTree"})
        TBaseLazyTree::RegisterStreamClass(Name);
}
