#pragma once
// Drag and drop of grid content with other windows and programs: a drop
// target and a drop source that turn the data-transfer callbacks into a few
// virtual operations, the data object offering dragged cells as text, rich
// text, a column index and the binary cell stream, its format enumerator,
// a reader of a foreign data object's formats, and the calls that run a drag.

#include "framework/Classes.h"
#include "framework/DataTransfer.h"
#include "framework/Sets.h"
#include "framework/Streams.h"

#include <memory>

// The registered formats, the same number for the whole run.
CLIPFORMAT CF_RTF();        // "Rich Text Format": ANSI rich text ended by a zero byte
CLIPFORMAT CF_GRIDCOL();    // "Grid Column": the column index, 32 bits
CLIPFORMAT CF_GRIDCELLS();  // "TExStringGrid Cells": length, 4 zero bytes, the cell stream
CLIPFORMAT CF_URL();        // "UniformResourceLocator": looked for only; the text holds the link

enum TDropFormat { dfText, dfFile, dfCol, dfRTF, dfURL, dfGridCells };
using TDropFormats = TSet<TDropFormat>;

// Whether rich text is offered and taken (the grids' OleDropRTF).
void SetDropRTFEnabled(bool Value);
bool DropRTFEnabled();

// Reads the formats of a data object, one entry at a time.
class TEnumFormats {
public:
    explicit TEnumFormats(std::shared_ptr<IDataObject> ADataObject);
    const std::shared_ptr<IDataObject>& DataObject() const { return FDataObject; }
    // Asks the object for its enumerator (EAssertionFailed "Cannot get the
    // format enumerator" when it has none) and resets; none lets both go.
    void SetDataObject(std::shared_ptr<IDataObject> Value);
    bool Reset();
    bool Next();
    bool HasFormat(CLIPFORMAT ClipFormat);
    // The data of the current entry in that medium; none when it has no such medium.
    HGLOBAL Handle(Cardinal Tymed);
    HGLOBAL GlobalHandle() { return Handle(TYMED_HGLOBAL); }

    const FORMATETC& FormatEtc() const { return FFormatEtc; }
    bool Valid() const { return FValid; }
    int Count() const { return FCount; }
    Cardinal Aspect() const { return FFormatEtc.dwAspect; }
    CLIPFORMAT Format() const { return FFormatEtc.cfFormat; }
    int Index() const { return FFormatEtc.lindex; }
    Cardinal Medium() const { return FFormatEtc.tymed; }

    // -1 without a column.
    int Col();
    // The cell stream after the 8-byte header; the caller owns it. None without one.
    std::unique_ptr<TMemoryStream> Stream();
    String RTF();
    String Text();
    // The names of a dropped file list into FileNames; true when there are any.
    bool Files();
    TStringList& FileNames() { return FFileNames; }

    bool HasText() { return HasFormat(CF_UNICODETEXT); }
    bool HasRTF() { return HasFormat(CF_RTF()); }
    bool HasCol() { return HasFormat(CF_GRIDCOL()); }
    bool HasFile() { return HasFormat(CF_HDROP); }
    bool HasURL() { return HasFormat(CF_URL()); }
    bool HasGridCells() { return HasFormat(CF_GRIDCELLS()); }

private:
    // The bytes of the format's block, empty when it cannot be had.
    ByteString BlockOf(CLIPFORMAT Format);
    std::shared_ptr<IDataObject> FDataObject;
    std::shared_ptr<IEnumFORMATETC> FEnum;
    FORMATETC FFormatEtc;
    bool FValid = false;
    int FCount = 0;
    TStringList FFileNames;
};

// Copy with Ctrl held, else move where the source allows it, else copy.
Cardinal DropEffectFor(TShiftState Shift, Cardinal AllowedEffects);
// The shift state of a drag call's key state.
TShiftState DragKeyShift(Cardinal KeyState);

// A drop target; points are screen coordinates as the drag gives them.
class TEXGDropTarget : public IDropTarget {
public:
    HRESULT DragEnter(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint Point,
                      Cardinal& Effect) override;
    HRESULT DragOver(Cardinal KeyState, TPoint Point, Cardinal& Effect) override;
    HRESULT DragLeave() override;
    HRESULT Drop(const std::shared_ptr<IDataObject>& Data, Cardinal KeyState, TPoint Point,
                 Cardinal& Effect) override;

    bool AcceptText = true;
    bool AcceptFiles = true;
    bool AcceptCols = false;
    bool AcceptURLs = true;
    TDropFormats DropFormats() const { return FDropFormats; }

protected:
    virtual void DropText(TPoint, const String&) {}
    // The stream is the target's to keep or let go.
    virtual void DropStream(TPoint, std::unique_ptr<TMemoryStream>) {}
    virtual void DropCol(TPoint, int) {}
    virtual void DropRTF(TPoint, const String&) {}
    virtual void DropFiles(TPoint, TStringList&) {}
    virtual void DropURL(TPoint, const String&) {}
    virtual void DragMouseMove(TPoint, bool&, TDropFormats) {}
    virtual void DragMouseEnter() {}
    virtual void DragMouseLeave() {}

private:
    // The effect to answer: files are only read, so they are copied.
    Cardinal EffectFor(Cardinal KeyState, Cardinal Allowed) const;
    bool FOk = false;
    TDropFormats FDropFormats;
};

// A drop source: Escape cancels, releasing the left button drops.
class TEXGDropSource : public IDropSource {
public:
    HRESULT QueryContinueDrag(bool EscapePressed, Cardinal KeyState) override;
    HRESULT GiveFeedback(Cardinal Effect) override;
    // The last feedback was that no target takes the drop.
    bool NoAccept() const { return FNoAccept; }

protected:
    virtual void DragDropStop() {}
    virtual void CurrentEffect(Cardinal) {}
    virtual void QueryDrag() {}

private:
    bool FNoAccept = false;
};

// The dragged content: text (with rich text while DropRTFEnabled), the cell
// stream (not owned: the drag's caller keeps it) and a column (-1: none).
class TSourceDataObject : public IDataObject {
public:
    TSourceDataObject(const String& Text, TMemoryStream* Stream, int Column, const String& Rtf);
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

private:
    String textdata;
    String rtfdata;
    int scolidx;
    TMemoryStream* memstr;
};

// Text, Unicode text and rich text always, then the column and the cells
// where the object has them.
class TSourceEnumFormatEtc : public IEnumFORMATETC {
public:
    TSourceEnumFormatEtc(bool HasCol, bool HasGridCells, Cardinal Index = 0);
    HRESULT Next(Cardinal Count, FORMATETC* Entries, Cardinal* Fetched) override;
    HRESULT Skip(Cardinal Count) override;
    HRESULT Reset() override;
    HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Enum) override;

private:
    std::vector<CLIPFORMAT> Formats() const;
    Cardinal FIndex;
    bool FHasCol;
    bool FHasGridCells;
};

// Run the modal drag of text (and the cells' stream, may be nullptr) or of
// a column. DRAGDROP_S_CANCEL when the last feedback found no taker.
HRESULT BeginTextDragDrop(std::shared_ptr<TEXGDropSource> Source, const String& Text, const String& Rtf,
                          Cardinal& Effect, Cardinal OkEffects, TMemoryStream* Stream,
                          const TBitmap* Picture = nullptr);
HRESULT BeginColumnDragDrop(std::shared_ptr<TEXGDropSource> Source, int Column, Cardinal OkEffects,
                            Cardinal& Effect, const TBitmap* Picture = nullptr);
