// The clipboard format registry of the trees.

#include "tree/LazyTrees.ClipboardFormats.h"

#include "framework/SysUtils.h"
#include "tree/LazyTrees.h"

#include <algorithm>

const TClipboardFormatEntry ClipboardDescriptions[17] = {
    {1, "Plain text"},         {2, "Windows bitmap"},   {3, "Windows metafile"}, {4, "Symbolic link"},
    {5, "Data interchange format"}, {6, "Tiff image"},  {7, "OEM text"},         {8, "DIB image"},
    {9, "Palette data"},       {10, "Pen data"},        {11, "Riff audio data"}, {12, "Wav audio data"},
    {13, "Unicode text"},      {14, "Enhanced metafile image"}, {15, "File name(s)"},
    {16, "Locale descriptor"}, {17, "DIB image V5"},
};

namespace {
std::vector<TClipboardFormatListEntry>& Entries() {
    static std::vector<TClipboardFormatListEntry> List;
    return List;
}
}  // namespace

TLazyTreeClass BaseLazyTreeClass() { return LazyTreeClassOf<TBaseLazyTree>("TBaseLazyTree"); }

void TClipboardFormatList::Add(const String& FormatString, TLazyTreeClass AClass, Cardinal Priority, const FORMATETC& AFormatEtc) {
    auto& List = Entries();
    List.push_back(TClipboardFormatListEntry{FormatString, AClass, Priority, AFormatEtc});
    std::stable_sort(List.begin(), List.end(),
                     [](const auto& A, const auto& B) { return A.Priority < B.Priority; });
}

void TClipboardFormatList::Clear() { Entries().clear(); }

int TClipboardFormatList::Count() { return int(Entries().size()); }

std::vector<FORMATETC> TClipboardFormatList::EnumerateFormats(const TBaseLazyTree* Tree, const TClipboardFormats* AllowedFormats) {
    std::vector<FORMATETC> Result;
    for (const auto& Entry : Entries()) {
        if (!Entry.TreeClass || !Entry.TreeClass->Accepts(Tree)) continue;
        if (AllowedFormats) {
            bool Allowed = false;
            for (int I = 0; I < AllowedFormats->Count() && !Allowed; ++I)
                Allowed = SameText(AllowedFormats->Strings(I), Entry.Description);
            if (!Allowed) continue;
        }
        Result.push_back(Entry.FormatEtc);
    }
    return Result;
}

void TClipboardFormatList::EnumerateFormats(const TBaseLazyTree* Tree, TStringList& Formats) {
    for (const auto& Entry : Entries())
        if (Entry.TreeClass && Entry.TreeClass->Accepts(Tree)) Formats.Add(Entry.Description);
}

PClipboardFormatListEntry TClipboardFormatList::FindFormat(const String& FormatString) {
    // From the highest priority value down.
    const auto& List = Entries();
    for (auto It = List.rbegin(); It != List.rend(); ++It)
        if (SameText(It->Description, FormatString)) return &*It;
    return nullptr;
}

TLazyTreeClass TClipboardFormatList::FindFormat(const String& FormatString, CLIPFORMAT& Fmt) {
    PClipboardFormatListEntry Entry = FindFormat(FormatString);
    if (!Entry) return nullptr;
    Fmt = Entry->FormatEtc.cfFormat;
    return Entry->TreeClass;
}

TLazyTreeClass TClipboardFormatList::FindFormat(CLIPFORMAT Fmt, String& Description) {
    const auto& List = Entries();
    for (auto It = List.rbegin(); It != List.rend(); ++It)
        if (It->FormatEtc.cfFormat == Fmt) {
            Description = It->Description;
            return It->TreeClass;
        }
    return nullptr;
}

CLIPFORMAT RegisterTreeFormat(const String& Description, TLazyTreeClass TreeClass, Cardinal Priority, Cardinal tymed,
                              const void* ptd, Cardinal dwAspect, int lindex) {
    FORMATETC Format;
    Format.cfFormat = RegisterClipboardFormat(Description);
    Format.ptd = ptd;
    Format.dwAspect = dwAspect;
    Format.lindex = lindex;
    Format.tymed = tymed;
    TClipboardFormatList::Add(Description, TreeClass, Priority, Format);
    return Format.cfFormat;
}

void RegisterTreeFormat(CLIPFORMAT AFormat, TLazyTreeClass TreeClass, Cardinal Priority) {
    String Description;
    if (AFormat >= 18) {
        GetClipboardFormatName(AFormat, Description);
    } else {
        auto It = std::find_if(std::begin(ClipboardDescriptions), std::end(ClipboardDescriptions),
                               [AFormat](const TClipboardFormatEntry& E) { return E.ID == AFormat; });
        if (It == std::end(ClipboardDescriptions)) return;
        Description = S(It->Description);
    }
    FORMATETC Format;
    Format.cfFormat = AFormat;
    TClipboardFormatList::Add(Description, TreeClass, Priority, Format);
}

void RegisterStandardTreeFormats() {
    static bool Done = false;
    if (Done) return;
    Done = true;
    RegisterTreeFormat(u"Lazy Tree Data", BaseLazyTreeClass(), 50);
    TLazyTreeClass StringTree = LazyTreeClassOf<TCustomLazyStringTree>("TCustomLazyStringTree");
    RegisterTreeFormat(u"HTML Format", StringTree, 80);
    RegisterTreeFormat(u"Rich Text Format Without Objects", StringTree, 84);
    RegisterTreeFormat(u"Rich Text Format", StringTree, 85);
    RegisterTreeFormat(u"CSV", StringTree, 90);
    RegisterTreeFormat(CF_TEXT, StringTree, 100);
    RegisterTreeFormat(CF_UNICODETEXT, StringTree, 95);
    // The node-reference format is known to the clipboard but offered by no tree list.
    RegisterClipboardFormat(u"Lazy Tree Reference");
}

TClipboardFormats::TClipboardFormats(TBaseLazyTree* AOwner) : FOwner(AOwner) {
    FList.SetSorted(true);
    FList.SetDuplicates(dupIgnore);
}

int TClipboardFormats::Add(const String& S) {
    // A name may be registered for several classes: any of them will do.
    const auto& List = Entries();
    bool Registered = std::any_of(List.begin(), List.end(), [&](const TClipboardFormatListEntry& E) {
        return SameText(E.Description, S) && E.TreeClass && E.TreeClass->Accepts(FOwner);
    });
    if (!Registered) return -1;
    return FList.Add(S);
}

void TClipboardFormats::Insert(int, const String& S) {
    // The list is sorted: the name takes its sorted place.
    Add(S);
}

void TClipboardFormats::Assign(const TClipboardFormats& Source) {
    FList.Clear();
    for (int I = 0; I < Source.Count(); ++I) Add(Source.Strings(I));
}
