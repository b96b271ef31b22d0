#pragma once
// The process-wide registry of the formats trees offer to the clipboard and
// to drag and drop, and each tree's list of the format names it offers.

#include "framework/Classes.h"
#include "framework/DataTransfer.h"

#include <vector>

class TBaseLazyTree;

// A tree class as the registry needs it: whether a tree is of the class or
// derives from it.
struct TLazyTreeClassInfo {
    const char* Name;
    bool (*Accepts)(const TBaseLazyTree* Tree);
};
using TLazyTreeClass = const TLazyTreeClassInfo*;

template <class T>
TLazyTreeClass LazyTreeClassOf(const char* Name) {
    static const TLazyTreeClassInfo Info{Name, [](const TBaseLazyTree* Tree) {
                                             return dynamic_cast<const T*>(Tree) != nullptr;
                                         }};
    return &Info;
}
TLazyTreeClass BaseLazyTreeClass();

struct TClipboardFormatListEntry {
    String Description;
    TLazyTreeClass TreeClass = nullptr;
    Cardinal Priority = 0;
    FORMATETC FormatEtc;
};
using PClipboardFormatListEntry = const TClipboardFormatListEntry*;

class TClipboardFormats;

// Every operation works on the one list of the process, kept by ascending priority.
class TClipboardFormatList {
public:
    static void Add(const String& FormatString, TLazyTreeClass AClass, Cardinal Priority, const FORMATETC& AFormatEtc);
    static void Clear();
    // Formats for the tree's class and its ancestors, in priority order,
    // limited to the allowed names (ignoring case) when a list is given.
    static std::vector<FORMATETC> EnumerateFormats(const TBaseLazyTree* Tree, const TClipboardFormats* AllowedFormats = nullptr);
    static void EnumerateFormats(const TBaseLazyTree* Tree, TStringList& Formats);
    static PClipboardFormatListEntry FindFormat(const String& FormatString);
    static TLazyTreeClass FindFormat(const String& FormatString, CLIPFORMAT& Fmt);
    static TLazyTreeClass FindFormat(CLIPFORMAT Fmt, String& Description);
    static int Count();
};

struct TClipboardFormatEntry {
    Word ID;
    const char* Description;
};
extern const TClipboardFormatEntry ClipboardDescriptions[17];

// Registers the name with the clipboard and adds an entry; returns the identifier.
CLIPFORMAT RegisterTreeFormat(const String& Description, TLazyTreeClass TreeClass, Cardinal Priority,
                              Cardinal tymed = TYMED_HGLOBAL, const void* ptd = nullptr,
                              Cardinal dwAspect = DVASPECT_CONTENT, int lindex = -1);
// Adds an entry for an existing identifier, named by the clipboard (18 and
// above) or by the standard table.
void RegisterTreeFormat(CLIPFORMAT AFormat, TLazyTreeClass TreeClass, Cardinal Priority);
// The formats every tree has; run once, when the first tree is made.
void RegisterStandardTreeFormats();

// A tree's offered formats: sorted names, no duplicates, only names
// registered for the tree's class or an ancestor.
class TClipboardFormats {
public:
    explicit TClipboardFormats(TBaseLazyTree* AOwner);
    TBaseLazyTree* Owner() const { return FOwner; }
    int Add(const String& S);
    void Insert(int Index, const String& S);
    int Count() const { return FList.Count(); }
    const String& Strings(int Index) const { return FList.Strings(Index); }
    int IndexOf(const String& S) const { return FList.IndexOf(S); }
    void Clear() { FList.Clear(); }
    // Clears the list and adds every name of the source through Add.
    void Assign(const TClipboardFormats& Source);

private:
    TBaseLazyTree* FOwner;
    TStringList FList;
};
