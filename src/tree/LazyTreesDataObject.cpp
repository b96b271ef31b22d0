// Nodes leaving and entering a tree through data objects: the clipboard
// (copy, cut, paste) and drag and drop share one data object class, which
// renders the tree's node records on request.

#include "tree/LazyTrees.ClipboardFormats.h"
#include "tree/LazyTrees_p.h"

#include "framework/Messages.h"

#include <map>

namespace {

constexpr HRESULT OLE_S_USEREG = 0x00040000;

// Trees named by reference blocks: a serial number per tree, resolved only
// while the tree lives, so that a stale or forged block reaches nothing.
struct TReferenceRegistry {
    Cardinal Next = 0;
    std::map<Cardinal, std::weak_ptr<TBaseLazyTree*>> Trees;
};
TReferenceRegistry& References() {
    static TReferenceRegistry R;
    return R;
}

bool SameFormat(const FORMATETC& A, const FORMATETC& B) {
    return A.cfFormat == B.cfFormat && A.ptd == B.ptd && A.dwAspect == B.dwAspect && A.lindex == B.lindex &&
           (A.tymed & B.tymed) != 0;
}

FORMATETC NodeDataRequest(CLIPFORMAT Format) {
    FORMATETC F;
    F.cfFormat = Format;
    F.tymed = TYMED_HGLOBAL | TYMED_ISTREAM;
    return F;
}

// Hands out its own copy of the formats; Skip past the end does not move.
class TEnumFormatEtc : public IEnumFORMATETC {
public:
    TEnumFormatEtc(std::vector<FORMATETC> Formats, std::size_t Index = 0)
        : FFormatEtcArray(std::move(Formats)), FCurrentIndex(Index) {}
    HRESULT Next(Cardinal Count, FORMATETC* Entries, Cardinal* Fetched) override {
        Cardinal Copied = 0;
        while (Copied < Count && FCurrentIndex < FFormatEtcArray.size()) {
            if (Entries) Entries[Copied] = FFormatEtcArray[FCurrentIndex];
            ++Copied;
            ++FCurrentIndex;
        }
        if (Fetched) *Fetched = Copied;
        return Copied == Count ? S_OK : S_FALSE;
    }
    HRESULT Skip(Cardinal Count) override {
        if (FFormatEtcArray.size() - FCurrentIndex < Count) return S_FALSE;
        FCurrentIndex += Count;
        return S_OK;
    }
    HRESULT Reset() override {
        FCurrentIndex = 0;
        return S_OK;
    }
    HRESULT Clone(std::shared_ptr<IEnumFORMATETC>& Enum) override {
        try {
            Enum = std::make_shared<TEnumFormatEtc>(FFormatEtcArray, FCurrentIndex);
            return S_OK;
        } catch (...) {
            Enum.reset();
            return E_FAIL;
        }
    }

private:
    std::vector<FORMATETC> FFormatEtcArray;
    std::size_t FCurrentIndex;
};

// The tree is held weakly: a data object that outlives its tree (on the
// clipboard, say) renders nothing and touches nothing when let go.
class TLTDataObject : public IDataObject {
public:
    TLTDataObject(TBaseLazyTree* Owner, bool ForClipboard)
        : FOwnerToken(Owner->AliveToken()), FForClipboard(ForClipboard) {
        Owner->CollectClipboardFormats(FFormatEtcArray);
    }
    ~TLTDataObject() override {
        TBaseLazyTree* Tree = Owner();
        // The clipboard let go of the data: the marks go.
        if (Tree && FForClipboard && !Tree->TreeStates().Contains(tsClipboardFlushing)) {
            try {
                Tree->CancelCutOrCopy();
            } catch (...) {
            }
        }
    }

    HRESULT GetData(const FORMATETC& Format, STGMEDIUM& Medium) override {
        Medium = STGMEDIUM{};
        try {
            TBaseLazyTree* Tree = Owner();
            if (Format.cfFormat == TreeReferenceFormat()) {
                if (!Tree || Tree->TreeStates().Contains(tsClipboardFlushing)) return E_FAIL;
                ByteString Block(8, '\0');
                const Cardinal Ids[2] = {GetCurrentProcessId(), Tree->ReferenceSerial()};
                std::memcpy(Block.data(), Ids, 8);
                Medium.tymed = TYMED_HGLOBAL;
                Medium.hGlobal = GlobalFromBytes(Block);
                return S_OK;
            }
            HRESULT Result = QueryGetData(Format);
            if (FAILED(Result)) return Result;
            for (const FORMATETC& Entry : FFormatEtcArray) {
                if (!SameFormat(Entry, Format)) continue;
                auto Stored = FStored.find(Entry.cfFormat);
                if (Stored != FStored.end() && Stored->second.tymed != TYMED_NULL) return ShareMedium(Stored->second, Medium);
                if (!Tree) return E_FAIL;
                // Only the media the entry offers: the node records come with a
                // length prefix in a block and without one in a stream, so a
                // reader asking for any medium must get the one it expects.
                FORMATETC Offered = Format;
                Offered.tymed &= Entry.tymed;
                return Tree->RenderFormatData(Offered, Medium, FForClipboard);
            }
            // A description naming a target device: nothing is rendered for it.
            return DV_E_FORMATETC;
        } catch (...) {
            Medium = STGMEDIUM{};
            return E_FAIL;
        }
    }
    HRESULT GetDataHere(const FORMATETC&, STGMEDIUM&) override { return E_NOTIMPL; }
    HRESULT QueryGetData(const FORMATETC& Format) override {
        HRESULT Result = DV_E_FORMATETC;
        for (const FORMATETC& Entry : FFormatEtcArray) {
            if (Entry.cfFormat != Format.cfFormat) continue;
            if ((Entry.tymed & Format.tymed) == 0) Result = DV_E_TYMED;
            else if (Entry.dwAspect != Format.dwAspect) Result = DV_E_DVASPECT;
            else if (Entry.lindex != Format.lindex) Result = DV_E_LINDEX;
            else return S_OK;
        }
        return Result;
    }
    HRESULT GetCanonicalFormatEtc(const FORMATETC& In, FORMATETC& Out) override {
        Out = In;
        Out.ptd = nullptr;
        return DATA_S_SAMEFORMATETC;
    }
    HRESULT SetData(const FORMATETC& Format, STGMEDIUM& Medium, bool Release) override {
        auto Found = std::find_if(FFormatEtcArray.begin(), FFormatEtcArray.end(),
                                  [&](const FORMATETC& E) { return SameFormat(E, Format); });
        CLIPFORMAT Key = Format.cfFormat;
        if (Found == FFormatEtcArray.end()) FFormatEtcArray.push_back(Format);
        else Key = Found->cfFormat;
        STGMEDIUM& Stored = FStored[Key];
        ReleaseStgMedium(Stored);
        HRESULT Result = S_OK;
        if (Release) {
            Stored = Medium;
            Medium = STGMEDIUM{};
        } else {
            switch (Medium.tymed) {
            case TYMED_HGLOBAL: {
                HGLOBAL Copy = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, GlobalSize(Medium.hGlobal));
                if (!Copy) return E_OUTOFMEMORY;
                if (Medium.hGlobal) Copy->Bytes = Medium.hGlobal->Bytes;
                Stored.tymed = TYMED_HGLOBAL;
                Stored.hGlobal = Copy;
                break;
            }
            case TYMED_FILE:
                Stored.tymed = TYMED_FILE;
                Stored.lpszFileName = Medium.lpszFileName;
                break;
            case TYMED_ISTREAM:
                Stored.tymed = TYMED_ISTREAM;
                Stored.pstm = Medium.pstm;
                break;
            default:
                return DV_E_TYMED;
            }
        }
        if (FAdviseHolder) FAdviseHolder->SendOnDataChange(*this, 0, 0);
        return Result;
    }
    HRESULT EnumFormatEtc(Cardinal Direction, std::shared_ptr<IEnumFORMATETC>& Enum) override {
        if (Direction != DATADIR_GET) {
            Enum.reset();
            return OLE_S_USEREG;
        }
        Enum = std::make_shared<TEnumFormatEtc>(FFormatEtcArray);
        return S_OK;
    }
    HRESULT DAdvise(const FORMATETC& Format, Cardinal Advf, std::shared_ptr<IAdviseSink> Sink,
                    Cardinal& Connection) override {
        if (!FAdviseHolder) FAdviseHolder = CreateDataAdviseHolder();
        if (!FAdviseHolder) return E_OUTOFMEMORY;
        return FAdviseHolder->Advise(this, Format, Advf, std::move(Sink), Connection);
    }
    HRESULT DUnadvise(Cardinal Connection) override {
        return FAdviseHolder ? FAdviseHolder->Unadvise(Connection) : E_NOTIMPL;
    }
    HRESULT EnumDAdvise(std::vector<STATDATA>& Advises) override {
        Advises.clear();
        if (!FAdviseHolder) return OLE_E_ADVISENOTSUPPORTED;
        Advises = FAdviseHolder->EnumAdvise();
        return S_OK;
    }

private:
    TBaseLazyTree* Owner() const {
        auto Token = FOwnerToken.lock();
        return Token ? *Token : nullptr;
    }
    static HRESULT ShareMedium(const STGMEDIUM& Stored, STGMEDIUM& Medium) {
        switch (Stored.tymed) {
        case TYMED_HGLOBAL:
        case TYMED_FILE:
        case TYMED_ISTREAM:
            Medium = Stored;
            return S_OK;
        default:
            return DV_E_TYMED;
        }
    }

    std::weak_ptr<TBaseLazyTree*> FOwnerToken;
    bool FForClipboard;
    std::vector<FORMATETC> FFormatEtcArray;
    std::map<CLIPFORMAT, STGMEDIUM> FStored;
    std::shared_ptr<IDataAdviseHolder> FAdviseHolder;
};

}  // namespace

CLIPFORMAT TreeDataFormat() {
    static const CLIPFORMAT Format = RegisterClipboardFormat(u"Lazy Tree Data");
    return Format;
}

CLIPFORMAT TreeReferenceFormat() {
    static const CLIPFORMAT Format = RegisterClipboardFormat(u"Lazy Tree Reference");
    return Format;
}

Cardinal TBaseLazyTree::ReferenceSerial() {
    if (FReferenceSerial == 0) {
        TReferenceRegistry& R = References();
        // Expired entries go as new ones come, so the map holds live trees.
        std::erase_if(R.Trees, [](const auto& E) { return E.second.expired(); });
        do ++R.Next;
        while (R.Next == 0 || R.Trees.contains(R.Next));
        FReferenceSerial = R.Next;
        R.Trees[FReferenceSerial] = FAliveToken;
    }
    return FReferenceSerial;
}

TBaseLazyTree* TBaseLazyTree::TreeOfReference(Cardinal ProcessId, Cardinal Reference) {
    if (ProcessId != GetCurrentProcessId()) return nullptr;
    TReferenceRegistry& R = References();
    auto Found = R.Trees.find(Reference);
    if (Found == R.Trees.end()) return nullptr;
    auto Token = Found->second.lock();
    return Token ? *Token : nullptr;
}

std::weak_ptr<TBaseLazyTree*> TBaseLazyTree::AliveToken() const { return FAliveToken; }

std::shared_ptr<IDataObject> TBaseLazyTree::CreateDataObject(bool ForClipboard) {
    return std::make_shared<TLTDataObject>(this, ForClipboard);
}

std::shared_ptr<IDataObject> TBaseLazyTree::DoCreateDataObject() { return CreateDataObject(false); }

void TBaseLazyTree::CollectClipboardFormats(std::vector<FORMATETC>& Formats) {
    Formats = TClipboardFormatList::EnumerateFormats(this, FClipboardFormats.get());
    DoGetUserClipboardFormats(Formats);
}

void TBaseLazyTree::DoGetUserClipboardFormats(std::vector<FORMATETC>& Formats) {
    if (OnGetUserClipboardFormats) OnGetUserClipboardFormats(this, Formats);
}

HRESULT TBaseLazyTree::DoRenderOLEData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) {
    HRESULT Result = E_FAIL;
    if (OnRenderOLEData) OnRenderOLEData(this, FormatEtcIn, Medium, ForClipboard, Result);
    return Result;
}

void TBaseLazyTree::WriteTransferNodes(TStream& Stream, bool ForClipboard) {
    for (PLazyNode Node : ForClipboard ? GetSortedCutCopySet(true) : GetSortedSelection(true))
        WriteNodeRecord(Stream, Node);
}

HRESULT TBaseLazyTree::RenderFormatData(const FORMATETC& FormatEtcIn, STGMEDIUM& Medium, bool ForClipboard) {
    Medium = STGMEDIUM{};
    if (FormatEtcIn.cfFormat == TreeDataFormat() && (FormatEtcIn.tymed & TYMED_ISTREAM)) {
        auto Stream = std::make_shared<TMemoryStream>();
        WriteTransferNodes(*Stream, ForClipboard);
        Stream->SetPosition(0);
        Medium.tymed = TYMED_ISTREAM;
        Medium.pstm = Stream;
        return S_OK;
    }
    if (FormatEtcIn.cfFormat == TreeDataFormat() && (FormatEtcIn.tymed & TYMED_HGLOBAL)) {
        TMemoryStream Stream;
        WriteTransferNodes(Stream, ForClipboard);
        if (Stream.Size() < 1) return E_FAIL;
        HGLOBAL Block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT | GMEM_SHARE, std::size_t(Stream.Size()) + 4);
        if (!Block) return E_OUTOFMEMORY;
        const Cardinal Size = Cardinal(Stream.Size());
        std::memcpy(Block->Bytes.data(), &Size, 4);
        std::memcpy(Block->Bytes.data() + 4, Stream.Memory(), Size);
        Medium.tymed = TYMED_HGLOBAL;
        Medium.hGlobal = Block;
        return S_OK;
    }
    return DoRenderOLEData(FormatEtcIn, Medium, ForClipboard);
}

// ---------------------------------------------------------------------------
// Cut and copy marks
// ---------------------------------------------------------------------------

void TBaseLazyTree::FlagCutCopyNodes() {
    // Marks left from an earlier transfer (a node a paste did not move) would
    // otherwise join this cut and be deleted with it.
    for (PLazyNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run)) Run->States.Exclude(vsCutOrCopy);
    if (FSelectionCount == 0) return;
    for (PLazyNode Node : GetSortedSelection(false))
        if (!Node->States.Contains(vsDisabled)) Node->States.Include(vsCutOrCopy);
}

PLazyNode TBaseLazyTree::GetFirstCutCopy(bool ConsiderChildrenAbove) {
    return GetNextCutCopy(nullptr, ConsiderChildrenAbove);
}

PLazyNode TBaseLazyTree::GetNextCutCopy(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!FStates.Contains(tsCopyPending) && !FStates.Contains(tsCutPending)) return nullptr;
    PLazyNode Run = !Node || Node == FRoot ? GetFirstNoInit(ConsiderChildrenAbove) : GetNextNoInit(Node, ConsiderChildrenAbove);
    while (Run && !Run->States.Contains(vsCutOrCopy)) Run = GetNextNoInit(Run, ConsiderChildrenAbove);
    if (Run && !Run->States.Contains(vsInitialized)) InitializeNode(Run);
    return Run;
}

PLazyNode TBaseLazyTree::GetPreviousCutCopy(PLazyNode Node, bool ConsiderChildrenAbove) {
    if (!FStates.Contains(tsCopyPending) && !FStates.Contains(tsCutPending)) return nullptr;
    PLazyNode Run = !Node || Node == FRoot ? GetLastNoInit(nullptr, ConsiderChildrenAbove)
                                           : GetPreviousNoInit(Node, ConsiderChildrenAbove);
    while (Run && !Run->States.Contains(vsCutOrCopy)) Run = GetPreviousNoInit(Run, ConsiderChildrenAbove);
    if (Run && !Run->States.Contains(vsInitialized)) InitializeNode(Run);
    return Run;
}

Cardinal TBaseLazyTree::CutCopyCount() {
    Cardinal Count = 0;
    for (PLazyNode Run = GetFirstCutCopy(); Run; Run = GetNextCutCopy(Run)) ++Count;
    return Count;
}

TLTLazyNodeEnumeration TBaseLazyTree::CutCopyNodes(bool ConsiderChildrenAbove) {
    TLTLazyNodeEnumeration E;
    E.FMode = vneCutCopy;
    E.FTree = this;
    E.FConsiderChildrenAbove = ConsiderChildrenAbove;
    return E;
}

TNodeArray TBaseLazyTree::SortedNodesInState(TLazyNodeState State, bool Resolve) {
    TNodeArray Result;
    PLazyNode Run = GetFirstNoInit();
    while (Run) {
        if (Run->States.Contains(State)) {
            Result.push_back(Run);
            if (Resolve) {
                // Skip the subtree: its nodes go with this one.
                while (Run != FRoot && !Run->NextSibling) Run = Run->Parent;
                Run = Run == FRoot ? nullptr : Run->NextSibling;
                continue;
            }
        }
        Run = GetNextNoInit(Run);
    }
    return Result;
}

TNodeArray TBaseLazyTree::GetSortedCutCopySet(bool Resolve) { return SortedNodesInState(vsCutOrCopy, Resolve); }

void TBaseLazyTree::CancelCutOrCopy() {
    if (FStates.Contains(tsCopyPending) || FStates.Contains(tsCutPending)) {
        for (PLazyNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run)) Run->States.Exclude(vsCutOrCopy);
        InvalidateTree();
    }
    DoStateChange({}, {tsCopyPending, tsCutPending});
}

void TBaseLazyTree::FinishCutOrCopy() {
    if (!FStates.Contains(tsCutPending)) return;
    PLazyNode Run = GetFirstNoInit();
    while (Run) {
        if (Run->States.Contains(vsCutOrCopy)) {
            PLazyNode Up = Run;
            while (Up != FRoot && !Up->NextSibling) Up = Up->Parent;
            PLazyNode Next = Up == FRoot ? nullptr : Up->NextSibling;
            DeleteNode(Run);
            Run = Next;
        } else {
            Run = GetNextNoInit(Run);
        }
    }
    DoStateChange({}, {tsCutPending});
}

void TBaseLazyTree::FlushClipboard() {
    if (!FStates.Contains(tsCopyPending) && !FStates.Contains(tsCutPending)) return;
    DoStateChange({tsClipboardFlushing});
    TFinally Leave{[this] { DoStateChange({}, {tsClipboardFlushing}); }};
    OleFlushClipboard();
    CancelCutOrCopy();
}

// ---------------------------------------------------------------------------
// Copy, cut and paste
// ---------------------------------------------------------------------------

void TBaseLazyTree::CopyToClipboard() {
    if (FSelectionCount == 0) return;
    if (FAILED(OleSetClipboard(CreateDataObject(true)))) return;
    FlagCutCopyNodes();
    DoStateChange({tsCopyPending});
    InvalidateTree();
}

void TBaseLazyTree::CutToClipboard() {
    if (FSelectionCount == 0 || ReadOnly()) return;
    if (FAILED(OleSetClipboard(CreateDataObject(true)))) return;
    FlagCutCopyNodes();
    DoStateChange({tsCutPending}, {tsCopyPending});
    InvalidateTree();
}

bool TBaseLazyTree::PasteFromClipboard() {
    if (ReadOnly()) return false;
    std::shared_ptr<IDataObject> Data;
    if (FAILED(OleGetClipboard(Data)) || !Data) throw ELazyTreeError(u"Clipboard operation failed.", 2007);
    TBaseLazyTree* Source = SourceTreeOfDataObject(Data);
    bool Result = ProcessOLEData(Source, Data, FFocusedNode, DefaultPasteMode,
                                 Source && Source->FStates.Contains(tsCutPending));
    if (Source) {
        if (Source == this) DoStateChange({}, {tsCutPending});
        else Source->FinishCutOrCopy();
    }
    return Result;
}

TBaseLazyTree* TBaseLazyTree::SourceTreeOfDataObject(const std::shared_ptr<IDataObject>& DataObject) {
    if (!DataObject) return nullptr;
    FORMATETC Format = NodeDataRequest(TreeReferenceFormat());
    Format.tymed = TYMED_HGLOBAL;
    STGMEDIUM Medium;
    if (FAILED(DataObject->GetData(Format, Medium))) return nullptr;
    TBaseLazyTree* Tree = nullptr;
    ByteString Bytes = Medium.tymed == TYMED_HGLOBAL && Medium.hGlobal ? Medium.hGlobal->Bytes : ByteString();
    if (Bytes.size() >= 8) {
        Cardinal Ids[2];
        std::memcpy(Ids, Bytes.data(), 8);
        Tree = TreeOfReference(Ids[0], Ids[1]);
    }
    ReleaseStgMedium(Medium);
    return Tree;
}

bool TBaseLazyTree::ProcessOLEData(TBaseLazyTree* Source, const std::shared_ptr<IDataObject>& DataObject,
                                   PLazyNode TargetNode, TLTNodeAttachMode Mode, bool Optimized) {
    const FORMATETC Request = NodeDataRequest(TreeDataFormat());
    if (!DataObject || FAILED(DataObject->QueryGetData(Request)) || ReadOnly()) return false;
    BeginUpdate();
    TFinally End{[this] { EndUpdate(); }};
    if (!TargetNode) TargetNode = FRoot;
    if (TargetNode == FRoot) {
        if (Mode == amInsertBefore) Mode = amAddChildFirst;
        else if (Mode == amInsertAfter) Mode = amAddChildLast;
    }
    if (Optimized && Source) {
        TNodeArray Nodes = Source->FStates.Contains(tsOLEDragging) ? Source->FDragSelection
                                                                     : Source->GetSortedCutCopySet(true);
        if (Mode != amInsertBefore && Mode != amAddChildLast) std::reverse(Nodes.begin(), Nodes.end());
        for (PLazyNode Node : Nodes) {
            // A node cannot go below itself; it stays where it is.
            if (Node == TargetNode || HasAsParent(TargetNode, Node)) continue;
            Source->MoveTo(Node, TargetNode, Mode, false);
        }
        return true;
    }

    STGMEDIUM Medium;
    if (FAILED(DataObject->GetData(Request, Medium))) return false;
    TMemoryStream Stream;
    if (Medium.tymed == TYMED_ISTREAM && Medium.pstm) {
        Stream.CopyFrom(Medium.pstm.get(), 0);
    } else if (Medium.tymed == TYMED_HGLOBAL && Medium.hGlobal) {
        const ByteString& Block = Medium.hGlobal->Bytes;
        Cardinal Count = 0;
        if (Block.size() >= 4) std::memcpy(&Count, Block.data(), 4);
        // A count beyond the block is damaged data: nothing of it is taken.
        if (Block.size() < 4 || Count > Block.size() - 4) {
            ReleaseStgMedium(Medium);
            return false;
        }
        Stream.WriteBuffer(Block.data() + 4, int(Count));
    } else {
        ReleaseStgMedium(Medium);
        return false;
    }
    ReleaseStgMedium(Medium);
    Stream.SetPosition(0);
    while (Stream.Position() < Stream.Size()) {
        PLazyNode Node = NewNodeBlock();
        LinkNode(Node, TargetNode, Mode, this);
        try {
            ReadSubtree(Stream, 2, Node);
        } catch (...) {
            // What a damaged record began goes again; the error reaches the caller.
            DeleteNode(Node);
            throw;
        }
        if (DoNodeCopying(Node, TargetNode == FRoot ? nullptr : TargetNode)) {
            DoNodeCopied(Node);
            StructureChanged(Node, Source == this ? crNodeCopied : crNodeAdded);
            if (Mode == amInsertAfter) TargetNode = Node;
        } else {
            DeleteNode(Node);
        }
    }
    return true;
}

bool TBaseLazyTree::ClipboardMessage(TMessage& Message) {
    switch (Message.Msg) {
    case WM_CUT:
        CutToClipboard();
        return true;
    case WM_COPY:
        CopyToClipboard();
        return true;
    case WM_PASTE:
        PasteFromClipboard();
        return true;
    default:
        return false;
    }
}
