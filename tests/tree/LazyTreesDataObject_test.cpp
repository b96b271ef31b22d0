#include "tree/TreeCheck.h"
#include "tree/LazyTrees.ClipboardFormats.h"

#include "framework/DataTransfer.h"
#include "framework/Messages.h"
#include "framework/SysUtils.h"

#include <cstring>
#include <string>
#include <vector>

using treetest::ExpectConsistent;

namespace {

struct MemoryClipboard {
    MemoryClipboard() { UseMemoryClipboard(true); }
    ~MemoryClipboard() { UseMemoryClipboard(false); }
};

// A tree whose nodes carry a number that travels in the node records.
struct NumberTree : TBaseLazyTree {
    NumberTree() : TBaseLazyTree(nullptr) {
        SetNodeDataSize(int(sizeof(int)));
        ClipboardFormats().Add(u"Lazy Tree Data");
        TreeOptions().SetSelectionOptions({toMultiSelect});
        OnSaveNode = [](TBaseLazyTree*, PLazyNode Node, TStream& S) { S.WriteDWord(Cardinal(*Node->GetData<int>())); };
        OnLoadNode = [](TBaseLazyTree*, PLazyNode Node, TStream& S) { *Node->GetData<int>() = int(S.ReadDWord()); };
    }
    PLazyNode Add(PLazyNode Parent, int Number) {
        PLazyNode Node = AddChild(Parent);
        *GetNodeData<int>(Node) = Number;
        return Node;
    }
    // The numbers in tree order, children in brackets.
    std::string Shape(PLazyNode Parent = nullptr) {
        std::string R;
        for (PLazyNode Run = GetFirstChildNoInit(Parent ? Parent : RootNode()); Run; Run = Run->NextSibling) {
            if (!R.empty()) R += ' ';
            R += std::to_string(*Run->GetData<int>());
            if (Run->FirstChild) R += "(" + Shape(Run) + ")";
        }
        return R;
    }
    PLazyNode Find(int Number) {
        for (PLazyNode Run = GetFirstNoInit(); Run; Run = GetNextNoInit(Run))
            if (*Run->GetData<int>() == Number) return Run;
        return nullptr;
    }
    void Select(std::initializer_list<int> Numbers) {
        ClearSelection();
        for (int N : Numbers) AddToSelection(Find(N));
    }
    // 1(11 12) 2 3
    void Fill() {
        PLazyNode One = Add(nullptr, 1);
        Add(One, 11);
        Add(One, 12);
        Add(nullptr, 2);
        Add(nullptr, 3);
    }
};

FORMATETC Format(CLIPFORMAT F, Cardinal Tymed = TYMED_HGLOBAL) {
    FORMATETC E;
    E.cfFormat = F;
    E.tymed = Tymed;
    return E;
}

std::shared_ptr<IDataObject> Clipboard() {
    std::shared_ptr<IDataObject> Data;
    EXPECT_EQ(OleGetClipboard(Data), S_OK);
    return Data;
}

TEST(LazyTreeDataObject, EnumeratorSteps) {
    NumberTree Tree;
    Tree.OnGetUserClipboardFormats = [](TBaseLazyTree*, std::vector<FORMATETC>& Formats) {
        Formats.push_back(Format(CF_TEXT));
        Formats.push_back(Format(CF_UNICODETEXT));
    };
    auto Data = Tree.CreateDataObject(false);
    std::shared_ptr<IEnumFORMATETC> Enum;
    ASSERT_EQ(Data->EnumFormatEtc(DATADIR_GET, Enum), S_OK);
    std::shared_ptr<IEnumFORMATETC> None;
    EXPECT_EQ(Data->EnumFormatEtc(DATADIR_SET, None), 0x00040000);
    EXPECT_FALSE(None);

    FORMATETC Got[5];
    Cardinal Fetched = 99;
    EXPECT_EQ(Enum->Next(1, Got, &Fetched), S_OK);
    EXPECT_EQ(Fetched, 1u);
    EXPECT_EQ(Got[0].cfFormat, TreeDataFormat());  // the registry's formats first
    std::shared_ptr<IEnumFORMATETC> Copy;
    ASSERT_EQ(Enum->Clone(Copy), S_OK);
    EXPECT_EQ(Enum->Next(5, Got, &Fetched), S_FALSE);  // two left
    EXPECT_EQ(Fetched, 2u);
    EXPECT_EQ(Got[0].cfFormat, CF_TEXT);
    EXPECT_EQ(Got[1].cfFormat, CF_UNICODETEXT);
    EXPECT_EQ(Copy->Next(1, Got, &Fetched), S_OK) << "the clone keeps the position";
    EXPECT_EQ(Got[0].cfFormat, CF_TEXT);

    struct Step {
        Cardinal Skip;
        HRESULT Result;
        Cardinal LeftAfter;
    };
    for (Step S : {Step{3, S_OK, 0}, Step{4, S_FALSE, 3}, Step{2, S_OK, 1}, Step{0, S_OK, 3}}) {
        EXPECT_EQ(Enum->Reset(), S_OK);
        EXPECT_EQ(Enum->Skip(S.Skip), S.Result) << S.Skip;
        EXPECT_EQ(Enum->Next(5, Got, &Fetched), S.LeftAfter == 5 ? S_OK : S_FALSE);
        EXPECT_EQ(Fetched, S.LeftAfter) << "after Skip(" << S.Skip << ")";
    }
}

TEST(LazyTreeDataObject, QueryGetDataCodes) {
    NumberTree Tree;
    auto Data = Tree.CreateDataObject(false);
    struct Case {
        FORMATETC Format;
        HRESULT Result;
    };
    FORMATETC Aspect = Format(TreeDataFormat());
    Aspect.dwAspect = 4;
    FORMATETC Index = Format(TreeDataFormat());
    Index.lindex = 0;
    for (const Case& C : {Case{Format(TreeDataFormat()), S_OK}, Case{Format(TreeDataFormat(), TYMED_HGLOBAL | TYMED_ISTREAM), S_OK},
                          Case{Format(TreeDataFormat(), TYMED_FILE), DV_E_TYMED}, Case{Aspect, DV_E_DVASPECT},
                          Case{Index, DV_E_LINDEX}, Case{Format(CF_TEXT), DV_E_FORMATETC}})
        EXPECT_EQ(Data->QueryGetData(C.Format), C.Result) << C.Format.cfFormat << " " << C.Format.tymed;
    FORMATETC Canonical;
    EXPECT_EQ(Data->GetCanonicalFormatEtc(Format(TreeDataFormat()), Canonical), DATA_S_SAMEFORMATETC);
    STGMEDIUM Medium;
    EXPECT_EQ(Data->GetDataHere(Format(TreeDataFormat()), Medium), E_NOTIMPL);
    std::vector<STATDATA> Advises;
    EXPECT_EQ(Data->EnumDAdvise(Advises), OLE_E_ADVISENOTSUPPORTED);
    EXPECT_EQ(Data->DUnadvise(1), E_NOTIMPL);
}

TEST(LazyTreeDataObject, RendersTheNodeRecordsOfItsNodes) {
    NumberTree Tree;
    Tree.Fill();
    auto Data = Tree.CreateDataObject(false);  // a drag: the selection travels
    STGMEDIUM Medium;
    EXPECT_EQ(Data->GetData(Format(TreeDataFormat()), Medium), E_FAIL) << "nothing to transfer";
    EXPECT_EQ(Medium.tymed, TYMED_NULL);

    Tree.Select({1, 12, 3});  // 12 travels inside 1
    ASSERT_EQ(Data->GetData(Format(TreeDataFormat()), Medium), S_OK);
    ASSERT_EQ(Medium.tymed, TYMED_HGLOBAL);
    const ByteString Block = Medium.hGlobal->Bytes;
    Cardinal Count;
    std::memcpy(&Count, Block.data(), 4);
    EXPECT_EQ(Count, Block.size() - 4);
    TMemoryStream Expected;
    Tree.SaveToStream(Expected, Tree.Find(1));
    // A saved subtree is the 12-byte stream header, a count, then the same record.
    const std::string Saved(static_cast<const char*>(Expected.Memory()), std::size_t(Expected.Size()));
    EXPECT_EQ(Block.substr(4, Saved.size() - 16), Saved.substr(16));

    STGMEDIUM Streamed;
    ASSERT_EQ(Data->GetData(Format(TreeDataFormat(), TYMED_HGLOBAL | TYMED_ISTREAM), Streamed), S_OK);
    EXPECT_EQ(Streamed.tymed, TYMED_HGLOBAL) << "the object offers the format in a block only";
    ASSERT_EQ(Tree.RenderFormatData(Format(TreeDataFormat(), TYMED_HGLOBAL | TYMED_ISTREAM), Streamed, false), S_OK);
    ASSERT_EQ(Streamed.tymed, TYMED_ISTREAM) << "the stream wins when both are asked";
    EXPECT_EQ(Streamed.pstm->Position(), 0);
    EXPECT_EQ(Streamed.pstm->ReadBytes(int(Count)), Block.substr(4));

    // A medium set on the object is served from then on.
    STGMEDIUM Own;
    Own.tymed = TYMED_HGLOBAL;
    Own.hGlobal = GlobalFromBytes("abc");
    EXPECT_EQ(Data->SetData(Format(TreeDataFormat()), Own, false), S_OK);
    Own.hGlobal->Bytes = "xyz";  // a copy was stored
    ASSERT_EQ(Data->GetData(Format(TreeDataFormat()), Medium), S_OK);
    EXPECT_EQ(Medium.hGlobal->Bytes, "abc");
    STGMEDIUM Odd;
    Odd.tymed = 64;
    EXPECT_EQ(Data->SetData(Format(CF_TEXT), Odd, false), DV_E_TYMED);
}

TEST(LazyTreeClipboard, CopyAndPasteWithinOneTreeCopies) {
    MemoryClipboard Board;
    NumberTree Tree;
    Tree.Fill();
    Tree.CopyToClipboard();
    EXPECT_FALSE(Tree.TreeStates().Contains(tsCopyPending)) << "nothing selected: nothing copied";
    std::shared_ptr<IDataObject> Empty = Clipboard();
    STGMEDIUM Medium;
    EXPECT_TRUE(FAILED(Empty->GetData(Format(TreeDataFormat()), Medium)));

    Tree.Select({2});
    Tree.Perform(WM_COPY);
    EXPECT_TRUE(Tree.TreeStates().Contains(tsCopyPending));
    EXPECT_EQ(Tree.CutCopyCount(), 1u);
    std::vector<TChangeReason> Reasons;
    Tree.OnStructureChange = [&](TBaseLazyTree*, PLazyNode, TChangeReason R) { Reasons.push_back(R); };
    Tree.SetFocusedNode(Tree.Find(3));
    EXPECT_TRUE(Tree.PasteFromClipboard());
    EXPECT_EQ(Tree.Shape(), "1(11 12) 2 3(2)");
    EXPECT_NE(Tree.Find(2), nullptr);
    EXPECT_TRUE(Tree.TreeStates().Contains(tsCopyPending)) << "a copy stays pending";
    EXPECT_NE(std::find(Reasons.begin(), Reasons.end(), crNodeCopied), Reasons.end());
    ExpectConsistent(Tree);
}

TEST(LazyTreeClipboard, CutInOneTreeAndPasteInAnotherMovesTheNodes) {
    MemoryClipboard Board;
    NumberTree A, B;
    A.Fill();
    B.Add(nullptr, 7);
    A.Select({1, 3});
    A.CutToClipboard();
    EXPECT_TRUE(A.TreeStates().Contains(tsCutPending));
    EXPECT_EQ(A.CutCopyCount(), 2u);
    int Copied = 0;
    B.OnNodeCopied = [&](TBaseLazyTree*, PLazyNode) { ++Copied; };
    B.SetFocusedNode(B.Find(7));
    B.DefaultPasteMode = amInsertAfter;
    EXPECT_TRUE(B.PasteFromClipboard());
    EXPECT_EQ(B.Shape(), "7 1(11 12) 3");
    EXPECT_EQ(A.Shape(), "2");
    EXPECT_EQ(Copied, 0) << "moved, not copied from the data";
    EXPECT_FALSE(A.TreeStates().Contains(tsCutPending));
    ExpectConsistent(A);
    ExpectConsistent(B);
}

TEST(LazyTreeClipboard, AFlushedCopyPastesFromTheData) {
    MemoryClipboard Board;
    NumberTree Tree;
    Tree.Fill();
    Tree.Select({1});
    Tree.CopyToClipboard();
    Tree.FlushClipboard();
    EXPECT_FALSE(Tree.TreeStates().Contains(tsCopyPending));
    EXPECT_EQ(Tree.GetFirstCutCopy(), nullptr);
    EXPECT_FALSE(Tree.Find(1)->States.Contains(vsCutOrCopy));
    Tree.CutToClipboard();  // replaced at once by the next copy: nothing is marked then
    Tree.FlushClipboard();
    std::shared_ptr<IDataObject> Data = Clipboard();
    STGMEDIUM Medium;
    EXPECT_TRUE(FAILED(Data->GetData(Format(TreeReferenceFormat()), Medium))) << "the flushed data names no tree";
    Tree.SetFocusedNode(nullptr);
    EXPECT_TRUE(Tree.PasteFromClipboard());
    EXPECT_EQ(Tree.Shape(), "1(11 12) 2 3 1(11 12)") << "copied, the cut ended with the flush";
    ExpectConsistent(Tree);
}

TEST(LazyTreeClipboard, PasteModesKeepOrTurnTheOrder) {
    struct Case {
        TLTNodeAttachMode Mode;
        bool Cut;
        const char* Shape;
    };
    const Case Cases[] = {
        {amInsertAfter, false, "1(11 12) 2 3 9 2 3"},
        {amAddChildFirst, false, "1(11 12) 2 3 9(3 2)"},  // each copy becomes the first child in turn
        {amAddChildLast, false, "1(11 12) 2 3 9(2 3)"},
        {amInsertBefore, false, "1(11 12) 2 3 2 3 9"},
        {amInsertAfter, true, "1(11 12) 9 2 3"},
        {amAddChildFirst, true, "1(11 12) 9(2 3)"},  // moved nodes keep their order
        {amInsertBefore, true, "1(11 12) 2 3 9"},
    };
    for (const Case& C : Cases) {
        MemoryClipboard Board;
        NumberTree Tree;
        Tree.Fill();
        Tree.Add(nullptr, 9);
        Tree.Select({2, 3});
        if (C.Cut) Tree.CutToClipboard();
        else Tree.CopyToClipboard();
        Tree.SetFocusedNode(Tree.Find(9));
        Tree.DefaultPasteMode = C.Mode;
        EXPECT_TRUE(Tree.PasteFromClipboard());
        EXPECT_EQ(Tree.Shape(), C.Shape) << C.Mode << (C.Cut ? " cut" : " copy");
        EXPECT_FALSE(Tree.TreeStates().Contains(tsCutPending));
        ExpectConsistent(Tree);
    }
    MemoryClipboard Board;
    NumberTree Tree;
    Tree.Fill();
    Tree.Select({2, 3});
    Tree.CopyToClipboard();
    Tree.SetFocusedNode(nullptr);
    Tree.DefaultPasteMode = amInsertAfter;
    Tree.PasteFromClipboard();
    EXPECT_EQ(Tree.Shape(), "1(11 12) 2 3 2 3") << "without a focused node: last top-level nodes";
}

TEST(LazyTreeClipboard, ACutNodeAboveTheTargetStaysAndLaterCutsLeaveIt) {
    MemoryClipboard Board;
    NumberTree A, B;
    A.Fill();
    A.Select({1, 3});
    A.CutToClipboard();
    A.SetFocusedNode(A.Find(12));
    A.DefaultPasteMode = amAddChildLast;
    EXPECT_TRUE(A.PasteFromClipboard());
    EXPECT_EQ(A.Shape(), "1(11 12(3)) 2");
    // Node 1 was not moved and kept its mark; a later cut must not take it along.
    A.Select({2});
    A.CutToClipboard();
    EXPECT_EQ(A.CutCopyCount(), 1u);
    EXPECT_TRUE(B.PasteFromClipboard());
    EXPECT_EQ(A.Shape(), "1(11 12(3))");
    EXPECT_EQ(B.Shape(), "2");
    ExpectConsistent(A);
}

TEST(LazyTreeClipboard, ReadOnlyTreesNeitherCutNorTakeNodes) {
    MemoryClipboard Board;
    NumberTree A, B;
    A.Fill();
    A.Select({2});
    A.TreeOptions().SetMiscOptions({toReadOnly});
    A.CutToClipboard();
    EXPECT_FALSE(A.TreeStates().Contains(tsCutPending));
    A.CopyToClipboard();
    EXPECT_TRUE(A.TreeStates().Contains(tsCopyPending)) << "copying leaves the tree alone";
    B.TreeOptions().SetMiscOptions({toReadOnly});
    EXPECT_FALSE(B.PasteFromClipboard());
    EXPECT_FALSE(B.ProcessOLEData(nullptr, Clipboard(), nullptr, amAddChildLast, false));
    EXPECT_TRUE(B.IsEmpty());
}

TEST(LazyTreeClipboard, DamagedOrForeignDataInsertsNothing) {
    MemoryClipboard Board;
    NumberTree Source, Tree;
    Source.Fill();
    Source.Select({2});
    auto Real = Source.CreateDataObject(false);
    ByteString Records;
    ASSERT_TRUE(GetFormatBytes(*Real, TreeDataFormat(), Records));

    // The count says more than the block holds.
    ByteString Long = Records;
    const Cardinal Over = Cardinal(Records.size());
    std::memcpy(Long.data(), &Over, 4);
    auto Data = std::make_shared<TDataObject>();
    Data->SetBytes(TreeDataFormat(), Long);
    EXPECT_FALSE(Tree.ProcessOLEData(nullptr, Data, nullptr, amAddChildLast, false));
    EXPECT_TRUE(Tree.IsEmpty());

    // A reference to a tree that does not exist, and one from another process.
    for (Cardinal Pid : {GetCurrentProcessId(), GetCurrentProcessId() + 1}) {
        auto Forged = std::make_shared<TDataObject>();
        Forged->SetBytes(TreeDataFormat(), Records);
        const Cardinal Ids[2] = {Pid, Pid == GetCurrentProcessId() ? 0x7FFFFFF0u : Source.ReferenceSerial()};
        Forged->SetBytes(TreeReferenceFormat(), std::string_view(reinterpret_cast<const char*>(Ids), 8));
        ASSERT_EQ(OleSetClipboard(Forged), S_OK);
        EXPECT_TRUE(Tree.PasteFromClipboard()) << "copied from the records";
    }
    EXPECT_EQ(Tree.Shape(), "2 2");
    EXPECT_EQ(Source.Shape(), "1(11 12) 2 3");

    // Records cut short: the error reaches the caller, the tree stays whole.
    auto Short = std::make_shared<TDataObject>();
    ByteString Cut = Records.substr(0, Records.size() - 3);
    const Cardinal CutCount = Cardinal(Cut.size() - 4);
    std::memcpy(Cut.data(), &CutCount, 4);
    Short->SetBytes(TreeDataFormat(), Cut);
    EXPECT_ANY_THROW(Tree.ProcessOLEData(nullptr, Short, nullptr, amAddChildLast, false));
    EXPECT_EQ(Tree.Shape(), "2 2");
    ExpectConsistent(Tree);
    EXPECT_FALSE(Tree.ProcessOLEData(nullptr, std::make_shared<TDataObject>(), nullptr, amAddChildLast, false));
}

TEST(LazyTreeClipboard, DataOutlivingItsTreeDoesNothing) {
    MemoryClipboard Board;
    NumberTree B;
    {
        NumberTree A;
        A.Fill();
        A.Select({1});
        A.CutToClipboard();
    }
    std::shared_ptr<IDataObject> Data = Clipboard();
    EXPECT_EQ(B.SourceTreeOfDataObject(Data), nullptr);
    EXPECT_FALSE(B.PasteFromClipboard()) << "the data cannot be rendered any more";
    EXPECT_TRUE(B.IsEmpty());
    EXPECT_EQ(OleSetClipboard(nullptr), S_OK);  // lets go of the object: nothing to cancel
    Data.reset();
}

}  // namespace
