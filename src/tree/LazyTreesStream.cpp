// The node stream (writing, reading, hostile input) and moving and copying nodes.

#include "tree/LazyTrees_p.h"

#include "framework/SysUtils.h"

namespace {
constexpr Word StreamVersion = 2;
constexpr Word Magic[6] = {0x2045, 0x0056, 0x0054, StreamVersion, 0x0020, 0x2046};
constexpr Cardinal AnchorChunk = 1, BaseChunk = 2, UserChunk = 4;
constexpr TLazyNodeStates TransientStates{vsChecking, vsCutOrCopy, vsDeleting, vsOnFreeNodeCallRequired, vsHeightMeasured};

[[noreturn]] void Fail(const char* Text, int Context) { throw ELazyTreeError(S(Text), Context); }

Cardinal StateBits(TLazyNodeStates States) { return Cardinal(States.Bits()); }
TLazyNodeStates StatesFromBits(Cardinal Bits) {
    TLazyNodeStates Result;
    for (unsigned Bit = 0; Bit <= unsigned(vsInitializing); ++Bit)
        if (Bits & (1u << Bit)) Result.Include(TLazyNodeState(Bit));
    return Result;
}

// Reads a header; answers the version. Short: error 2004 (or the stream's own
// read error when ShortIsReadError).
int ReadHeader(TStream& Stream, bool ShortIsReadError) {
    Byte Raw[12];
    if (ShortIsReadError) Stream.ReadBuffer(Raw, 12);
    else if (Stream.Read(Raw, 12) < 12) Fail("Unable to load tree structure, not enough data available.", 2004);
    Word Units[6];
    for (int I = 0; I < 6; ++I) Units[I] = Word(Raw[2 * I] | (Raw[2 * I + 1] << 8));
    if (Units[0] != Magic[0] || Units[1] != Magic[1] || Units[2] != Magic[2] || Units[5] != Magic[5])
        Fail("Unable to load tree structure, the format is wrong.", 2002);
    if (Units[3] > StreamVersion) Fail("Unable to load tree structure, the version is unknown.", 2003);
    return Units[3];
}
}  // namespace

// ---------------------------------------------------------------------------
// Writing
// ---------------------------------------------------------------------------

void TBaseLazyTree::DoSaveNode(PLazyNode Node, TStream& Stream) {
    if (OnSaveNode) OnSaveNode(this, Node == FRoot ? nullptr : Node, Stream);
}

void TBaseLazyTree::DoLoadNode(PLazyNode Node, TStream& Stream) {
    if (OnLoadNode) OnLoadNode(this, Node == FRoot ? nullptr : Node, Stream);
}

void TBaseLazyTree::PatchChunkSize(TStream& Stream, Int64 ChunkStart, Int64 ChunkEnd) {
    Stream.SetPosition(ChunkStart + 4);
    Stream.WriteDWord(Cardinal(ChunkEnd - ChunkStart - 8));
    Stream.SetPosition(ChunkEnd);
}

void TBaseLazyTree::SaveToStream(TStream& Stream, PLazyNode Node) {
    for (Word Unit : Magic) Stream.WriteWord(Unit);
    if (Node) {
        Stream.WriteDWord(1);
        WriteNodeRecord(Stream, Node);
    } else {
        Stream.WriteDWord(FRoot->ChildCount);
        for (PLazyNode Run = FRoot->FirstChild; Run; Run = Run->NextSibling) WriteNodeRecord(Stream, Run);
    }
    if (OnSaveTree) OnSaveTree(this, Stream);
}

void TBaseLazyTree::SaveToFile(const String& FileName) {
    TFileStream File(FileName, fmCreate);
    SaveToStream(File, nullptr);
}

void TBaseLazyTree::WriteNodeRecord(TStream& Stream, PLazyNode Node) {
    if (FOptions->MiscOptions().Contains(toInitOnSave)) {
        if (!Node->States.Contains(vsInitialized)) InitializeNode(Node);
        if (Node->States.Contains(vsHasChildren) && Node->ChildCount == 0) InitializeChildren(Node);
    }
    Int64 Start = Stream.Position();
    Stream.WriteDWord(AnchorChunk);
    Stream.WriteDWord(0);
    WriteStreamNode(Stream, Node);
    PatchChunkSize(Stream, Start, Stream.Position());
}

void TBaseLazyTree::WriteStreamNode(TStream& Stream, PLazyNode Node) {
    Int64 Start = Stream.Position();
    bool Initialized = Node->States.Contains(vsInitialized);
    Stream.WriteDWord(BaseChunk);
    Stream.WriteDWord(0);
    // An uninitialised node's children are not written, so it claims none:
    // every stream the writer makes can be read back.
    Stream.WriteDWord(Initialized ? Node->ChildCount : 0);
    Stream.WriteDWord(Node->NodeHeight);
    Stream.WriteDWord(StateBits(Node->States - TransientStates));
    Stream.WriteByte(Node->Align);
    Stream.WriteByte(Byte(Node->CheckState));
    Stream.WriteByte(Byte(Node->CheckType));
    Stream.WriteDWord(0);
    if (Initialized)
        for (PLazyNode Run = Node->FirstChild; Run; Run = Run->NextSibling) WriteNodeRecord(Stream, Run);
    PatchChunkSize(Stream, Start, Stream.Position());
    Int64 UserStart = Stream.Position();
    Stream.WriteDWord(UserChunk);
    Stream.WriteDWord(0);
    DoSaveNode(Node, Stream);
    Int64 End = Stream.Position();
    if (End == UserStart + 8) {
        Stream.SetPosition(UserStart);
        Stream.SetSize(UserStart);
    } else {
        PatchChunkSize(Stream, UserStart, End);
    }
}

// ---------------------------------------------------------------------------
// Reading
// ---------------------------------------------------------------------------

void TBaseLazyTree::LoadFromStream(TStream& Stream) {
    if (ReadOnly()) return;
    // The header is checked first: a stream that is no tree loses nothing.
    Int64 Start = Stream.Position();
    int Version = ReadHeader(Stream, false);
    (void)Version;
    Stream.SetPosition(Start);
    Clear();
    ReadStreamInto(Stream, FRoot, true);
}

void TBaseLazyTree::LoadFromFile(const String& FileName) {
    TFileStream File(FileName, fmOpenRead | fmShareDenyWrite);
    LoadFromStream(File);
}

void TBaseLazyTree::AddFromStream(TStream& Stream, PLazyNode TargetNode) {
    if (ReadOnly()) return;
    TreeAssert(TargetNode != nullptr, "Node must not be nil.");
    ReadStreamInto(Stream, TargetNode, false);
}

void TBaseLazyTree::ReadStreamInto(TStream& Stream, PLazyNode Target, bool WholeTree) {
    int Version = ReadHeader(Stream, !WholeTree);
    BeginUpdate();
    TFinally End{[this] { EndUpdate(); }};
    Int64 Count = 2147483647;
    if (Version >= 2) Count = Stream.ReadDWord();
    while (Stream.Position() < Stream.Size() && Count > 0) {
        --Count;
        PLazyNode Node = NewNodeBlock();
        LinkNode(Node, Target, amAddChildLast, this);
        ReadSubtree(Stream, Version, Node);
    }
    DoNodeCopied(WholeTree || Target == FRoot ? nullptr : Target);
    if (WholeTree && OnLoadTree) OnLoadTree(this, Stream);
}

void TBaseLazyTree::ReadSubtree(TStream& Stream, int Version, PLazyNode Node) {
    TreeAssert(Node != FRoot, "The root node cannot be loaded from stream.");
    Cardinal OldHeight = Node->TotalHeight;
    bool WasShown = GetFullyVisible(Node) && !GetEffectivelyFiltered(Node);
    // Whatever was read, also before an error, is made consistent.
    TFinally Settle{[&] {
        PLazyNode Up = Node;
        while (Up != FRoot && !Up->NextSibling) Up = Up->Parent;
        PLazyNode Stop = Up == FRoot ? nullptr : Up->NextSibling;
        RecountTotals(Node);
        RecomputeTotalHeights(Node);
        for (PLazyNode Run = Node; Run && Run != Stop; Run = GetNextNoInit(Run)) RecheckAllChildrenHidden(Run);
        PLazyNode Parent = Node->Parent;
        if (Node->TotalCount > 1) AddToTotalCount(Parent, int(Node->TotalCount - 1), true);
        if (Parent->States.Contains(vsExpanded))
            AddToTotalHeight(Parent, (Node->States.Contains(vsVisible) ? Int64(Node->TotalHeight) : 0) - OldHeight, true);
        Cardinal Now = GetFullyVisible(Node) ? CountShownChildren(Node) + (GetEffectivelyVisible(Node) ? 1 : 0) : 0;
        FVisibleCount = FVisibleCount + Now - (WasShown ? 1 : 0);
        bool Multi = FOptions->SelectionOptions().Contains(toMultiSelect);
        TNodeArray Add;
        for (PLazyNode Run = Node; Run && Run != Stop; Run = GetNextNoInit(Run)) {
            if (!Run->States.Contains(vsSelected)) continue;
            int Index;
            if (Multi && LocateInSelection(Run, Index)) continue;
            Run->States.Exclude(vsSelected);
            if (Multi) Add.push_back(Run);
        }
        if (!Add.empty()) MergeIntoSelection(Add, int(Add.size()), true);
    }};
    ReadNodeRecord(Stream, Version, Node);
}

void TBaseLazyTree::ReadNodeRecord(TStream& Stream, int Version, PLazyNode Node) {
    Cardinal Type = Stream.ReadDWord();
    Cardinal Size = Stream.ReadDWord();
    if (Type != AnchorChunk) Fail("Stream data corrupt. A node's anchor chunk is missing.", 2005);
    Int64 End = Stream.Position() + Size;
    // A record passing the stream's end is refused before any of its chunks
    // is made room for: a caption claiming a gigabyte is not allocated.
    if (End > Stream.Size()) Fail("Stream data corrupt. Unexpected data after node's end position.", 2006);
    while (Stream.Position() < End) {
        if (End - Stream.Position() < 8) Fail("Stream data corrupt. Unexpected data after node's end position.", 2006);
        Cardinal ChunkType = Stream.ReadDWord();
        Cardinal ChunkSize = Stream.ReadDWord();
        // A chunk passing its record's end is refused before it is read.
        if (Stream.Position() + ChunkSize > End)
            Fail("Stream data corrupt. Unexpected data after node's end position.", 2006);
        ReadStreamChunk(Stream, Version, Node, ChunkType, ChunkSize);
    }
    if (Stream.Position() != End) Fail("Stream data corrupt. Unexpected data after node's end position.", 2006);
}

bool TBaseLazyTree::ReadStreamChunk(TStream& Stream, int Version, PLazyNode Node, Cardinal ChunkType, Cardinal ChunkSize) {
    Int64 BodyStart = Stream.Position();
    Int64 BodyEnd = BodyStart + ChunkSize;
    switch (ChunkType) {
    case BaseChunk: {
        Cardinal FieldSize = Version >= 2 ? 19 : 12;
        if (ChunkSize < FieldSize) Fail("Stream data corrupt. Unexpected data after node's end position.", 2006);
        Cardinal ChildCount = Stream.ReadDWord();
        Cardinal Height = Stream.ReadDWord();
        TLazyNodeStates States;
        if (Version >= 2) {
            States = StatesFromBits(Stream.ReadDWord());
        } else {
            Byte Old = Stream.ReadByte();
            States = StatesFromBits(Old & 0x7F);
            States.Include(vsVisible);
            if (Old & 0x80) States.Include(vsSelected);
        }
        Byte Align = Stream.ReadByte();
        Byte CheckState = Stream.ReadByte();
        Byte CheckType = Stream.ReadByte();
        if (Version >= 2) Stream.ReadDWord();
        // Only the lasting states are taken; the rest are worked out again.
        Node->States = (States * PersistentNodeStates) + (Node->States * TLazyNodeStates{vsOnFreeNodeCallRequired});
        Node->NodeHeight = Word(std::min<Cardinal>(Height, 65535));
        Node->TotalHeight = Node->NodeHeight;
        Node->Align = Align;
        Node->CheckState = TCheckState(std::min<Byte>(CheckState, Byte(csMixedDisabled)));
        Node->CheckType = TCheckType(std::min<Byte>(CheckType, Byte(ctButton)));
        // Children are linked one by one as they are read, so the count is
        // never trusted ahead of the data.
        Node->ChildCount = 0;
        for (Cardinal I = 0; I < ChildCount; ++I) {
            if (Stream.Position() >= BodyEnd)
                Fail("Stream data corrupt. Unexpected data after node's end position.", 2006);
            PLazyNode Child = NewNodeBlock();
            Child->Parent = Node;
            Child->PrevSibling = Node->LastChild;
            Child->Index = Node->LastChild ? Node->LastChild->Index + 1 : 0;
            if (Node->LastChild) Node->LastChild->NextSibling = Child;
            else Node->FirstChild = Child;
            Node->LastChild = Child;
            ++Node->ChildCount;
            ReadNodeRecord(Stream, Version, Child);
        }
        if (Stream.Position() != BodyEnd)
            Fail("Stream data corrupt. Unexpected data after node's end position.", 2006);
        if (Node->ChildCount == 0) Node->States.Exclude(vsExpanded);
        return true;
    }
    case UserChunk:
        if (ChunkSize == 0) return true;
        DoLoadNode(Node, Stream);
        if (Stream.Position() == BodyEnd) return true;
        {
            bool ReadSomething = Stream.Position() != BodyStart;
            Stream.SetPosition(BodyEnd);
            return ReadSomething;
        }
    default:
        Stream.SetPosition(BodyEnd);
        return false;
    }
}

void TBaseLazyTree::SkipNodeRecord(TStream& Stream) {
    Cardinal Type = Stream.ReadDWord();
    Cardinal Size = Stream.ReadDWord();
    if (Type != AnchorChunk) Fail("Stream data corrupt. A node's anchor chunk is missing.", 2005);
    Stream.SetPosition(Stream.Position() + Size);
}

// ---------------------------------------------------------------------------
// Moving and copying
// ---------------------------------------------------------------------------

bool TBaseLazyTree::DoNodeMoving(PLazyNode Node, PLazyNode Target) {
    bool Allowed = true;
    if (OnNodeMoving) OnNodeMoving(this, Node, Target, Allowed);
    return Allowed;
}
void TBaseLazyTree::DoNodeMoved(PLazyNode Node) {
    if (OnNodeMoved) OnNodeMoved(this, Node);
}
bool TBaseLazyTree::DoNodeCopying(PLazyNode Node, PLazyNode Target) {
    bool Allowed = true;
    if (OnNodeCopying) OnNodeCopying(this, Node, Target, Allowed);
    return Allowed;
}
void TBaseLazyTree::DoNodeCopied(PLazyNode Node) {
    if (OnNodeCopied) OnNodeCopied(this, Node);
}

struct TLazyTreeAccess {
    static PLazyNode NewNode(TBaseLazyTree* T) { return T->NewNodeBlock(); }
    static void Link(TBaseLazyTree* T, PLazyNode N, PLazyNode D, TLTNodeAttachMode M) { T->LinkNode(N, D, M, T); }
};

namespace {
void FillFromStream(TBaseLazyTree* Source, TBaseLazyTree* Target, TStream& Stream, PLazyNode Destination,
                    TLTNodeAttachMode Mode, const std::function<void(PLazyNode)>& Each) {
    Stream.SetPosition(0);
    while (Stream.Position() < Stream.Size()) {
        PLazyNode Node = TLazyTreeAccess::NewNode(Target);
        TLazyTreeAccess::Link(Target, Node, Destination, Mode);
        Target->ReadSubtree(Stream, StreamVersion, Node);
        Each(Node);
    }
    (void)Source;
}
}  // namespace


void TBaseLazyTree::MoveTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly) {
    TreeAssert(TreeFromNode(Source) == this, "The source tree must contain the source node.");
    if (!Target) {
        Target = FRoot;
        Mode = amAddChildFirst;
    }
    TBaseLazyTree* TargetTree = TreeFromNode(Target);
    if (Target == TargetTree->FRoot) {
        if (Mode == amInsertBefore) Mode = amAddChildFirst;
        else if (Mode == amInsertAfter) Mode = amAddChildLast;
    }
    if (!((Target != Source || (ChildrenOnly && (Mode == amInsertBefore || Mode == amInsertAfter))) &&
          Mode != amNoWhere && Source && Source != FRoot && !ReadOnly()))
        return;
    if (!Target->States.Contains(vsInitialized) && Target != TargetTree->FRoot) TargetTree->InitializeNode(Target);
    if (Target->States.Contains(vsHasChildren) && Target->ChildCount == 0 && Target != TargetTree->FRoot)
        TargetTree->InitializeChildren(Target);
    bool Allowed = DoNodeMoving(Source, Target == TargetTree->FRoot ? nullptr : Target);
    if (Allowed) {
        if (TargetTree == this) {
            if (Target != Source && HasAsParent(Target, Source))
                throw ELazyTreeError(u"Target node cannot be a child node of the node to be moved.", 2001);
            StopCacheValidation();
            if (!ChildrenOnly) {
                UnlinkNode(Source, true, true, false);
                LinkNode(Source, Target, Mode, this);
                DoNodeMoved(Source);
            } else {
                TNodeArray Children;
                for (PLazyNode Run = Source->FirstChild; Run; Run = Run->NextSibling) Children.push_back(Run);
                if (Mode == amAddChildFirst) std::reverse(Children.begin(), Children.end());
                for (PLazyNode Child : Children) {
                    UnlinkNode(Child, true, false, false);
                    LinkNode(Child, Target, Mode, this);
                    DoNodeMoved(Child);
                }
                Cardinal Index = 0;
                for (PLazyNode Run = Source->FirstChild; Run; Run = Run->NextSibling) Run->Index = Index++;
            }
        } else {
            TMemoryStream Stream;
            if (!ChildrenOnly) WriteNodeRecord(Stream, Source);
            else
                for (PLazyNode Run = Source->FirstChild; Run; Run = Run->NextSibling) WriteNodeRecord(Stream, Run);
            TargetTree->BeginUpdate();
            {
                TFinally End{[TargetTree] { TargetTree->EndUpdate(); }};
                FillFromStream(this, TargetTree, Stream, Target, Mode, [this](PLazyNode N) { DoNodeMoved(N); });
            }
            BeginUpdate();
            TFinally End{[this] { EndUpdate(); }};
            if (!ChildrenOnly) DeleteNode(Source);
            else DeleteChildren(Source, false);
        }
    }
    InvalidatePositionCache();
    if (Allowed && FUpdateCount == 0) {
        RevalidatePositionCache();
        UpdateScrollBars(true);
        InvalidateTree();
        if (TargetTree != this) TargetTree->InvalidateTree();
    }
    StructureChanged(ChildrenOnly ? nullptr : Source, crNodeMoved);
}

void TBaseLazyTree::MoveTo(PLazyNode Node, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly) {
    MoveTo(Node, Tree->FRoot, Mode, ChildrenOnly);
}

PLazyNode TBaseLazyTree::CopyTo(PLazyNode Source, PLazyNode Target, TLTNodeAttachMode Mode, bool ChildrenOnly) {
    if (Mode == amNoWhere || !Source || Source == FRoot) return nullptr;
    TreeAssert(TreeFromNode(Source) == this, "The source tree must contain the source node.");
    if (!Target) {
        Target = FRoot;
        Mode = amAddChildFirst;
    }
    TBaseLazyTree* TargetTree = TreeFromNode(Target);
    if (TargetTree->ReadOnly()) return nullptr;
    if (Target == TargetTree->FRoot) {
        if (Mode == amInsertBefore) Mode = amAddChildFirst;
        else if (Mode == amInsertAfter) Mode = amAddChildLast;
    }
    TMemoryStream Stream;
    if (!ChildrenOnly) WriteNodeRecord(Stream, Source);
    else
        for (PLazyNode Run = Source->FirstChild; Run; Run = Run->NextSibling) WriteNodeRecord(Stream, Run);
    PLazyNode Last = nullptr;
    TargetTree->BeginUpdate();
    {
        TFinally End{[TargetTree] { TargetTree->EndUpdate(); }};
        FillFromStream(this, TargetTree, Stream, Target, Mode, [&](PLazyNode Copy) {
            if (DoNodeCopying(Copy, Target == TargetTree->FRoot ? nullptr : Target)) {
                DoNodeCopied(Copy);
                Last = Copy;
            } else {
                TargetTree->DeleteNode(Copy);
                Last = nullptr;
            }
        });
    }
    TargetTree->InvalidatePositionCache();
    if (TargetTree->FUpdateCount == 0) {
        TargetTree->RevalidatePositionCache();
        TargetTree->UpdateScrollBars(true);
        TargetTree->InvalidateTree();
    }
    TargetTree->StructureChanged(ChildrenOnly ? nullptr : Source, crNodeCopied);
    return ChildrenOnly ? Target : Last;
}

PLazyNode TBaseLazyTree::CopyTo(PLazyNode Source, TBaseLazyTree* Tree, TLTNodeAttachMode Mode, bool ChildrenOnly) {
    return CopyTo(Source, Tree->FRoot, Mode, ChildrenOnly);
}
