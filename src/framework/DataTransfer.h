#pragma once
// Data transfer between windows and programs: clipboard formats, data
// objects with the classic calls, the clipboard that holds one, and drag and
// drop between registered target windows.
//
// Objects live by std::shared_ptr: whoever holds one keeps it alive (the
// clipboard holds the object set on it, a drag its data object and source).
//
// Formats travel as global blocks (TYMED_HGLOBAL), streams or file names.
// Outside the program, our formats are MIME types: text as text/plain,
// "HTML Format" as text/html, "Rich Text Format" as text/rtf, "CSV" as
// text/csv, file lists (CF_HDROP) as text/uri-list, and every registered
// format also under a MIME type of our own, so that our programs read each
// other's formats unchanged.

#include "framework/Controls.h"
#include "framework/HResult.h"
#include "framework/Streams.h"

#include <memory>
#include <vector>

using CLIPFORMAT = Word;

// Standard formats.
constexpr CLIPFORMAT CF_TEXT = 1;  // ANSI text ended by a zero byte
constexpr CLIPFORMAT CF_BITMAP = 2;
constexpr CLIPFORMAT CF_OEMTEXT = 7;
constexpr CLIPFORMAT CF_DIB = 8;
constexpr CLIPFORMAT CF_UNICODETEXT = 13;  // UTF-16 ended by a zero character
constexpr CLIPFORMAT CF_HDROP = 15;        // a file list, see DragQueryFile
constexpr CLIPFORMAT CF_LOCALE = 16;

// One number per name, from 0xC000, the same for names that differ only in
// case; 0 for an empty name.
CLIPFORMAT RegisterClipboardFormat(const String& Name);
// The registered name's length (0: not a registered format; standard
// formats have no name).
int GetClipboardFormatName(CLIPFORMAT Format, String& Name);

// ---- global blocks ----

struct TGlobalBlock {
    ByteString Bytes;
    int LockCount = 0;
};
using HGLOBAL = std::shared_ptr<TGlobalBlock>;

constexpr Cardinal GMEM_FIXED = 0x0000;
constexpr Cardinal GMEM_MOVEABLE = 0x0002;
constexpr Cardinal GMEM_ZEROINIT = 0x0040;
constexpr Cardinal GMEM_SHARE = 0x2000;
constexpr Cardinal GHND = GMEM_MOVEABLE | GMEM_ZEROINIT;

// Zero-filled whatever the flags say; nullptr for a size beyond 256 MiB.
HGLOBAL GlobalAlloc(Cardinal Flags, std::size_t Bytes);
void* GlobalLock(const HGLOBAL& Block);
bool GlobalUnlock(const HGLOBAL& Block);
std::size_t GlobalSize(const HGLOBAL& Block);
// A block holding the bytes.
HGLOBAL GlobalFromBytes(std::string_view Bytes);

// ---- formats and media ----

constexpr Cardinal DVASPECT_CONTENT = 1;
constexpr Cardinal TYMED_NULL = 0;
constexpr Cardinal TYMED_HGLOBAL = 1;
constexpr Cardinal TYMED_FILE = 2;
constexpr Cardinal TYMED_ISTREAM = 4;
constexpr Cardinal DATADIR_GET = 1;
constexpr Cardinal DATADIR_SET = 2;

struct FORMATETC {
    CLIPFORMAT cfFormat = 0;
    const void* ptd = nullptr;  // target device: never used
    Cardinal dwAspect = DVASPECT_CONTENT;
    int lindex = -1;
    Cardinal tymed = TYMED_HGLOBAL;
};

// The data of one format; which field holds it is told by tymed.
struct STGMEDIUM {
    Cardinal tymed = TYMED_NULL;
    HGLOBAL hGlobal;
    String lpszFileName;
    std::shared_ptr<TStream> pstm;
};
// Empties the medium (the block or stream goes with its last holder).
void ReleaseStgMedium(STGMEDIUM& Medium);
// The bytes of a medium of any kind (a file is read whole; EFOpenError).
ByteString MediumBytes(const STGMEDIUM& Medium);

class IEnumFORMATETC {
public:
    virtual ~IEnumFORMATETC() = default;
    // Up to Count entries; S_FALSE when fewer were left.
    virtual HRESULT Next(Cardinal Count, FORMATETC* Entries, Cardinal* Fetched) = 0;
    // S_FALSE when the end came first (the position stops there).
    virtual HRESULT Skip(Cardinal Count) = 0;
    virtual HRESULT Reset() = 0;
    virtual HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Enum) = 0;
};

// An enumerator over a list, for data objects of any kind.
std::shared_ptr<IEnumFORMATETC> CreateFormatEnumerator(std::vector<FORMATETC> Formats);

class IAdviseSink {
public:
    virtual ~IAdviseSink() = default;
    virtual void OnDataChange(const FORMATETC& Format, const STGMEDIUM& Medium) = 0;
};

constexpr Cardinal ADVF_NODATA = 1;
constexpr Cardinal ADVF_ONLYONCE = 4;

class IDataObject;

struct STATDATA {
    FORMATETC formatetc;
    Cardinal advf = 0;
    std::shared_ptr<IAdviseSink> pAdvSink;
    Cardinal dwConnection = 0;
};

// Keeps the sinks that asked to hear of a data object's changes.
class IDataAdviseHolder {
public:
    virtual ~IDataAdviseHolder() = default;
    virtual HRESULT Advise(IDataObject* Data, const FORMATETC& Format, Cardinal Advf,
                           std::shared_ptr<IAdviseSink> Sink, Cardinal& Connection) = 0;
    virtual HRESULT Unadvise(Cardinal Connection) = 0;  // OLE_E_NOCONNECTION for an unknown one
    virtual std::vector<STATDATA> EnumAdvise() = 0;
    // Tells every sink whose format matches (a format 0 matches any), with
    // the data unless ADVF_NODATA; ADVF_ONLYONCE sinks are then dropped.
    virtual HRESULT SendOnDataChange(IDataObject& Data, Cardinal Reserved, Cardinal Advf) = 0;
};
std::shared_ptr<IDataAdviseHolder> CreateDataAdviseHolder();

class IDataObject {
public:
    virtual ~IDataObject() = default;
    virtual HRESULT GetData(const FORMATETC& Format, STGMEDIUM& Medium) = 0;
    virtual HRESULT GetDataHere(const FORMATETC& Format, STGMEDIUM& Medium) = 0;
    virtual HRESULT QueryGetData(const FORMATETC& Format) = 0;
    virtual HRESULT GetCanonicalFormatEtc(const FORMATETC& In, FORMATETC& Out) = 0;
    virtual HRESULT SetData(const FORMATETC& Format, STGMEDIUM& Medium, bool Release) = 0;
    virtual HRESULT EnumFormatEtc(Cardinal Direction, std::shared_ptr<IEnumFORMATETC>& Enum) = 0;
    virtual HRESULT DAdvise(const FORMATETC& Format, Cardinal Advf, std::shared_ptr<IAdviseSink> Sink,
                            Cardinal& Connection) = 0;
    virtual HRESULT DUnadvise(Cardinal Connection) = 0;
    virtual HRESULT EnumDAdvise(std::vector<STATDATA>& Advises) = 0;
};

// A data object that holds what is set on it, one medium per format, in the
// order set (setting a format again replaces it in place), and tells its
// advise sinks of every change.
class TDataObject : public IDataObject {
public:
    HRESULT GetData(const FORMATETC& Format, STGMEDIUM& Medium) override;
    HRESULT GetDataHere(const FORMATETC& Format, STGMEDIUM& Medium) override;
    HRESULT QueryGetData(const FORMATETC& Format) override;
    HRESULT GetCanonicalFormatEtc(const FORMATETC& In, FORMATETC& Out) override;
    HRESULT SetData(const FORMATETC& Format, STGMEDIUM& Medium, bool Release) override;
    HRESULT EnumFormatEtc(Cardinal Direction, std::shared_ptr<IEnumFORMATETC>& Enum) override;
    HRESULT DAdvise(const FORMATETC& Format, Cardinal Advf, std::shared_ptr<IAdviseSink> Sink,
                    Cardinal& Connection) override;
    HRESULT DUnadvise(Cardinal Connection) override;
    HRESULT EnumDAdvise(std::vector<STATDATA>& Advises) override;

    // Shorthands: the bytes as a global block of the format.
    void SetBytes(CLIPFORMAT Format, std::string_view Bytes);
    void SetText(const String& Text);  // CF_UNICODETEXT and CF_TEXT

private:
    std::vector<std::pair<FORMATETC, STGMEDIUM>> FItems;
    std::shared_ptr<IDataAdviseHolder> FAdvise;
};

// Reading helpers over any data object: the bytes of a format in a global
// block (false when it has none), and the text (CF_UNICODETEXT, else CF_TEXT).
bool GetFormatBytes(IDataObject& Data, CLIPFORMAT Format, ByteString& Bytes);
bool GetTextData(IDataObject& Data, String& Text);

// ---- file lists ----

// The dropped-files block: a 20-byte header (offset of the names 20, the
// drop point, a non-client flag, the wide flag 1), then each name in UTF-16
// ended by a zero character, and a final zero character.
ByteString MakeDropFiles(const std::vector<String>& FileNames, TPoint Point = {0, 0});
// The names of a dropped-files block, wide or ANSI; none for a damaged one.
std::vector<String> DragQueryFiles(std::string_view DropFiles);

// ---- the clipboard ----

// Puts the object on the clipboard (nullptr empties it). Its formats are
// rendered when somebody reads them, until OleFlushClipboard.
HRESULT OleSetClipboard(std::shared_ptr<IDataObject> Data);
// What the clipboard holds now, set by us or by another program; an object
// without formats when it is empty.
HRESULT OleGetClipboard(std::shared_ptr<IDataObject>& Data);
// Renders every format of the object set last and lets go of it: the data
// stays on the clipboard after the object is gone.
HRESULT OleFlushClipboard();
// Whether the object set last is still the clipboard's content.
HRESULT OleIsCurrentClipboard(const std::shared_ptr<IDataObject>& Data);
// Tests: a clipboard of the program's own instead of the desktop's (true),
// empty at the switch.
void UseMemoryClipboard(bool Value);

// The MIME types a format is offered under outside the program (the first
// is ours) and the format of a MIME type (0: none).
std::vector<String> MimeTypesOfFormat(CLIPFORMAT Format);
CLIPFORMAT FormatOfMimeType(const String& MimeType);

// ---- drag and drop ----

constexpr Cardinal DROPEFFECT_NONE = 0;
constexpr Cardinal DROPEFFECT_COPY = 1;
constexpr Cardinal DROPEFFECT_MOVE = 2;
constexpr Cardinal DROPEFFECT_LINK = 4;
constexpr Cardinal DROPEFFECT_SCROLL = 0x80000000u;

// Key states of the drag calls: the MK_ values of the mouse messages, and Alt.
constexpr Cardinal MK_ALT = 0x0020;

class IDropSource {
public:
    virtual ~IDropSource() = default;
    // S_OK goes on, DRAGDROP_S_DROP drops, DRAGDROP_S_CANCEL ends without a drop.
    virtual HRESULT QueryContinueDrag(bool EscapePressed, Cardinal KeyState) = 0;
    // The effect the target chose; DRAGDROP_S_USEDEFAULTCURSORS for the usual pointer.
    virtual HRESULT GiveFeedback(Cardinal Effect) = 0;
};

// Points are screen coordinates.
class IDropTarget {
public:
    virtual ~IDropTarget() = default;
    virtual HRESULT DragEnter(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint Point,
                              Cardinal& Effect) = 0;
    virtual HRESULT DragOver(Cardinal KeyState, TPoint Point, Cardinal& Effect) = 0;
    virtual HRESULT DragLeave() = 0;
    virtual HRESULT Drop(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint Point,
                         Cardinal& Effect) = 0;
};

// A window takes drops through its target until revoked or destroyed, also
// drags of other programs: their links to files come as CF_HDROP (without
// the text that only restates them), other links as "UniformResourceLocator"
// with their text, plain text as CF_UNICODETEXT with CR LF line ends.
HRESULT RegisterDragDrop(TWinControl* Window, std::shared_ptr<IDropTarget> Target);
HRESULT RevokeDragDrop(TWinControl* Window);

// The modal drag: follows the mouse over the program's windows until the
// source drops or cancels. The target's effect is limited to OkEffects (a
// target answering with none of them gets DROPEFFECT_NONE). Result:
// DRAGDROP_S_DROP with Effect the dropped effect (DROPEFFECT_NONE when no
// target took it), DRAGDROP_S_CANCEL with DROPEFFECT_NONE, or E_INVALIDARG.
// Each step asks the source whether to go on, then tells the target (enter,
// over, leave or drop), then gives the source the target's effect. The loop
// is our own, so it runs alike on every platform plugin, offscreen too; a
// scripted drag (SimulateDrag) takes the place of the mouse. On X11, once the
// held mouse leaves the program's windows the desktop's drag (XDND) carries
// the drag on to other programs (our registered windows still take it): the
// source is asked to go on every 30 ms and hears of the effect the target
// chose, the result is that of the drop; the data object is copied whole at
// the end, for targets that fetch the data after the drop.
// Picture (may be nullptr) follows the pointer, its point Hotspot under it,
// without taking the mouse, until the drag ends.
HRESULT DoDragDrop(std::shared_ptr<IDataObject> Data, std::shared_ptr<IDropSource> Source, Cardinal OkEffects,
                   Cardinal& Effect, const TBitmap* Picture = nullptr, TPoint Hotspot = {0, 0});
// Whether a drag runs now.
bool DragDropRunning();
// Where the drag's picture shows now, in screen coordinates; empty when none.
TRect DragPictureBounds();
