#include "tree/TreeCheck.h"

#include "framework/Streams.h"
#include "support/TempDir.h"

#include <random>
#include <string>
#include <vector>

using treetest::ExpectConsistent;

namespace {

std::string Bytes(TMemoryStream& S) {
    std::string R(std::size_t(S.Size()), '\0');
    S.SetPosition(0);
    S.ReadBuffer(R.data(), int(R.size()));
    return R;
}

std::string Hex(const std::string& Raw) {
    static const char* Digits = "0123456789ABCDEF";
    std::string R;
    for (unsigned char C : Raw) {
        if (!R.empty()) R += ' ';
        R += Digits[C >> 4];
        R += Digits[C & 15];
    }
    return R;
}

const std::string Header = "45 20 56 00 54 00 02 00 20 00 46 20";

TEST(LazyTreeStream, WritesTheFormatByteForByte) {
    TBaseLazyTree Tree(nullptr);
    TMemoryStream Empty;
    Tree.SaveToStream(Empty);
    EXPECT_EQ(Hex(Bytes(Empty)), Header + " 00 00 00 00");

    Tree.TreeOptions().SetAutoOptions({});  // the node stays uninitialised until saving
    Tree.AddChild(nullptr);
    TMemoryStream One;
    Tree.SaveToStream(One);
    EXPECT_EQ(Hex(Bytes(One)), Header + " 01 00 00 00 01 00 00 00 1B 00 00 00 02 00 00 00 13 00 00 00"
                                        " 00 00 00 00 12 00 00 00 81 00 00 00 32 00 00 00 00 00 00");
    EXPECT_EQ(One.Size(), 51);
    TBaseLazyTree Plain(nullptr);
    Plain.TreeOptions().SetAutoOptions({});
    Plain.TreeOptions().SetMiscOptions({});
    Plain.AddChild(nullptr);
    TMemoryStream NoInit;
    Plain.SaveToStream(NoInit);
    EXPECT_EQ(Bytes(NoInit).substr(40, 4), std::string("\x80\0\0\0", 4));
}

TEST(LazyTreeStream, RandomTreeRoundTripsWithItsData) {
    std::mt19937 Random(7);
    TBaseLazyTree Source(nullptr), Target(nullptr);
    for (TBaseLazyTree* T : {&Source, &Target}) {
        T->SetNodeDataSize(int(sizeof(int)));
        T->OnSaveNode = [](TBaseLazyTree* Sender, PLazyNode N, TStream& S) { S.WriteDWord(Cardinal(*Sender->GetNodeData<int>(N))); };
        T->OnLoadNode = [](TBaseLazyTree* Sender, PLazyNode N, TStream& S) { *Sender->GetNodeData<int>(N) = int(S.ReadDWord()); };
    }
    int Next = 1;
    Source.BeginUpdate();
    std::vector<PLazyNode> All;
    for (int I = 0; I < 60; ++I) {
        PLazyNode Parent = All.empty() || Random() % 4 == 0 ? nullptr : All[Random() % All.size()];
        PLazyNode N = Source.AddChild(Parent);
        *Source.GetNodeData<int>(N) = Next++;
        N->CheckType = TCheckType(Random() % 3);
        All.push_back(N);
    }
    Source.EndUpdate();
    for (PLazyNode N : All)
        if (Random() % 2) Source.SetExpanded(N, true);
    Source.SetFiltered(All[5], true);
    Source.SetVisible(All[9], false);
    TMemoryStream Stream;
    Source.SaveToStream(Stream);
    Stream.SetPosition(0);
    Target.LoadFromStream(Stream);
    ExpectConsistent(Target);
    auto Describe = [](TBaseLazyTree& T) {
        std::string R;
        for (PLazyNode N = T.GetFirstNoInit(); N; N = T.GetNextNoInit(N))
            R += std::to_string(T.GetNodeLevel(N)) + ":" + std::to_string(*T.GetNodeData<int>(N)) + ":" +
                 std::to_string(int(N->CheckType)) + ":" +
                 std::to_string((N->States - TLazyNodeStates{vsAllChildrenHidden, vsOnFreeNodeCallRequired, vsHeightMeasured}).Bits()) + " ";
        return R;
    };
    EXPECT_EQ(Describe(Target), Describe(Source));
    EXPECT_EQ(Target.VisibleCount(), Source.VisibleCount());
    EXPECT_EQ(Target.RootNode()->TotalHeight, Source.RootNode()->TotalHeight);
}

TEST(LazyTreeStream, HostileInputGivesItsErrorAndLeavesAConsistentTree) {
    auto Record = [](const std::string& Fields, const std::string& Rest = "") {
        std::string Base = std::string("\x02\0\0\0", 4);
        Cardinal Size = Cardinal(Fields.size());
        Base += std::string(reinterpret_cast<const char*>(&Size), 4) + Fields;
        std::string Body = Base + Rest;
        Cardinal AnchorSize = Cardinal(Body.size());
        return std::string("\x01\0\0\0", 4) + std::string(reinterpret_cast<const char*>(&AnchorSize), 4) + Body;
    };
    auto Fields = [](Cardinal Children, Cardinal States) {
        std::string F;
        F += std::string(reinterpret_cast<const char*>(&Children), 4);
        F += std::string("\x12\0\0\0", 4);
        F += std::string(reinterpret_cast<const char*>(&States), 4);
        F += std::string("\x32\0\0\0\0\0\0", 7);
        return F;
    };
    const std::string Good = std::string("\x45\x20\x56\0\x54\0\x02\0\x20\0\x46\x20", 12);
    const std::string One = std::string("\x01\0\0\0", 4);
    struct Case {
        const char* Name;
        std::string Data;
        int Context;  // 0: loads
        Cardinal Nodes;
    };
    const Case Cases[] = {
        {"short header", Good.substr(0, 7), 2004, 2},
        {"wrong unit", "X" + Good.substr(1), 2002, 2},
        {"version 3", Good.substr(0, 6) + std::string("\x03\0", 2) + Good.substr(8), 2003, 2},
        {"missing anchor", Good + One + std::string("\x02\0\0\0\0\0\0\0", 8), 2005, 1},
        {"chunk overrun", Good + One + std::string("\x01\0\0\0\x08\0\0\0\x05\0\0\0\x40\0\0\0", 16), 2006, 1},
        {"children claimed, none there", Good + One + Record(Fields(0xFFFFFFFF, 0x81)), 2006, 1},
        {"odd caption", Good + One + Record(Fields(0, 0x81), std::string("\x03\0\0\0\x03\0\0\0abc", 11)), 0, 1},
        {"state bits 11 and 14", Good + One + Record(Fields(0, 0x81 | (1 << 11) | (1 << 14) | (1 << 5))), 0, 1},
        {"version 1, read to the end",
         Good.substr(0, 6) + std::string("\x01\0", 2) + Good.substr(8) +
             std::string("\x01\0\0\0\x14\0\0\0\x02\0\0\0\x0C\0\0\0\0\0\0\0\x12\0\0\0\x81\x32\0\0", 28) +
             std::string("\x01\0\0\0\x14\0\0\0\x02\0\0\0\x0C\0\0\0\0\0\0\0\x12\0\0\0\x80\x32\0\0", 28),
         0, 2},
        {"blank unit differs", Good.substr(0, 8) + "xx" + Good.substr(10) + std::string(4, '\0'), 0, 0},
    };
    for (const Case& C : Cases) {
        SCOPED_TRACE(C.Name);
        TBaseLazyTree Tree(nullptr);
        Tree.SetNodeDataSize(8);
        Tree.SetRootNodeCount(2);
        TMemoryStream S;
        S.WriteBuffer(C.Data.data(), int(C.Data.size()));
        S.SetPosition(0);
        int Context = 0;
        try {
            Tree.LoadFromStream(S);
        } catch (const ELazyTreeError& E) {
            Context = E.HelpContext();
        }
        EXPECT_EQ(Context, C.Context);
        EXPECT_EQ(Tree.RootNodeCount(), C.Nodes);
        ExpectConsistent(Tree);
        if (PLazyNode N = Tree.GetFirstNoInit()) {
            EXPECT_FALSE(N->States.Contains(vsReleaseCallOnUserDataRequired));
            EXPECT_FALSE(N->States.Contains(vsToggling));
            Tree.ToggleNode(N);  // a stored toggling bit does not block the node
        }
    }
}

// A string tree's record that claims two gigabytes, its caption one, while
// the stream ends two bytes later: refused at once, nothing allocated for it.
TEST(LazyTreeStream, ARecordPassingTheStreamsEndIsRefusedBeforeItsCaptionIsRead) {
    TLazyStringTree Tree(nullptr);
    Tree.SetRootNodeCount(1);
    const std::string Data =
        std::string("\x45\x20\x56\0\x54\0\x02\0\x20\0\x46\x20\x01\0\0\0", 16) +
        std::string("\x01\0\0\0\xF0\xFF\xFF\x7F", 8) +                                         // the record
        std::string("\x02\0\0\0\x13\0\0\0\0\0\0\0\x12\0\0\0\x81\0\0\0\x32\0\0\0\0\0\0", 27) +  // its node
        std::string("\x03\0\0\0\x00\0\0\x40", 8) + "ab";                                      // its caption
    TMemoryStream S;
    S.WriteBuffer(Data.data(), int(Data.size()));
    S.SetPosition(0);
    int Context = 0;
    try {
        Tree.LoadFromStream(S);
    } catch (const ELazyTreeError& E) {
        Context = E.HelpContext();
    }
    EXPECT_EQ(Context, 2006);
    EXPECT_EQ(Tree.RootNodeCount(), 1u);
    ExpectConsistent(Tree);
}

TEST(LazyTreeStream, AStreamErrorWinsOverAHandlerFailingInTheClosingUpdate) {
    TBaseLazyTree Tree(nullptr);
    Tree.OnStructureChange = [](TBaseLazyTree*, PLazyNode, TChangeReason) { throw Exception("handler"); };
    TMemoryStream S;
    const std::string Data = std::string("\x45\x20\x56\0\x54\0\x02\0\x20\0\x46\x20\x01\0\0\0\x02\0\0\0\0\0\0\0", 24);
    S.WriteBuffer(Data.data(), int(Data.size()));
    S.SetPosition(0);
    EXPECT_THROW(Tree.LoadFromStream(S), ELazyTreeError);
    EXPECT_EQ(Tree.UpdateCount(), 0);
    Tree.OnStructureChange = nullptr;
    ExpectConsistent(Tree);
}

TEST(LazyTreeStream, CopiesAndFiles) {
    TBaseLazyTree Tree(nullptr), ReadOnly(nullptr);
    Tree.SetRootNodeCount(2);
    PLazyNode Second = Tree.RootNode()->LastChild;
    Tree.SetChildCount(Second, 2);
    std::vector<PLazyNode> Copied;
    Tree.OnNodeCopied = [&](TBaseLazyTree*, PLazyNode N) { Copied.push_back(N); };
    PLazyNode Copy = Tree.CopyTo(Second, PLazyNode(nullptr), amAddChildLast, false);  // nil target: first top-level node
    EXPECT_EQ(Tree.RootNode()->FirstChild, Copy);
    EXPECT_EQ(Copy->ChildCount, 2u);
    EXPECT_EQ(Copied, (std::vector<PLazyNode>{Copy}));
    ExpectConsistent(Tree);
    ReadOnly.TreeOptions().SetMiscOptions({toReadOnly});
    EXPECT_EQ(Tree.CopyTo(Second, &ReadOnly, amAddChildLast, false), nullptr);
    EXPECT_EQ(ReadOnly.RootNodeCount(), 0u);

    // Adding below a node: the stored nodes become its last children.
    TMemoryStream Saved;
    Tree.SaveToStream(Saved, Second);
    Saved.SetPosition(0);
    Copied.clear();
    Tree.AddFromStream(Saved, Copy);
    EXPECT_EQ(Copy->ChildCount, 3u);
    EXPECT_EQ(Copied, (std::vector<PLazyNode>{Copy}));
    ExpectConsistent(Tree);
    std::string Newer = Bytes(Saved);
    Newer[6] = 3;
    TMemoryStream Version3;
    Version3.WriteBuffer(Newer.data(), int(Newer.size()));
    Version3.SetPosition(0);
    try {
        Tree.AddFromStream(Version3, Copy);
        ADD_FAILURE();
    } catch (const ELazyTreeError& E) {
        EXPECT_EQ(E.HelpContext(), 2003);
    }
    EXPECT_EQ(Copy->ChildCount, 3u);

    TempDir Dir;
    String File = Utf8ToString(Dir.file("tree.bin"));
    Tree.SaveToFile(File);
    TBaseLazyTree Loaded(nullptr);
    Loaded.LoadFromFile(File);
    EXPECT_EQ(Loaded.RootNode()->TotalCount, Tree.RootNode()->TotalCount);
    ExpectConsistent(Loaded);
}

TEST(LazyTreeStream, MovesWithinAndBetweenTrees) {
    TBaseLazyTree Tree(nullptr), Other(nullptr);
    Tree.SetRootNodeCount(3);
    PLazyNode A = Tree.GetFirst();
    Tree.SetChildCount(A, 3);
    Tree.SetExpanded(A, true);
    std::vector<PLazyNode> Kids{A->FirstChild, A->FirstChild->NextSibling, A->LastChild};
    Tree.MoveTo(A, A, amInsertAfter, true);  // children become following siblings, reversed
    std::vector<PLazyNode> Top;
    for (PLazyNode N = Tree.RootNode()->FirstChild; N; N = N->NextSibling) Top.push_back(N);
    ASSERT_EQ(Top.size(), 6u);
    EXPECT_EQ((std::vector<PLazyNode>{Top[1], Top[2], Top[3]}), (std::vector<PLazyNode>{Kids[2], Kids[1], Kids[0]}));
    ExpectConsistent(Tree);
    // A target inside the moved subtree is refused after the handler allowed it.
    Tree.SetChildCount(Top[5], 1);
    int Asked = 0;
    Tree.OnNodeMoving = [&](TBaseLazyTree*, PLazyNode, PLazyNode, bool&) { ++Asked; };
    try {
        Tree.MoveTo(Top[5], Top[5]->FirstChild, amAddChildLast, false);
        ADD_FAILURE();
    } catch (const ELazyTreeError& E) {
        EXPECT_EQ(E.HelpContext(), 2001);
    }
    EXPECT_EQ(Asked, 1);
    ExpectConsistent(Tree);
    // Into another tree: the source nodes are freed.
    int Freed = 0;
    Tree.OnFreeNode = [&](TBaseLazyTree*, PLazyNode) { ++Freed; };
    Tree.MoveTo(Top[5], &Other, amAddChildLast, false);
    EXPECT_EQ(Other.RootNode()->TotalCount, 3u);
    EXPECT_EQ(Tree.RootNodeCount(), 5u);
    EXPECT_EQ(Freed, 2);
    ExpectConsistent(Tree);
    ExpectConsistent(Other);
}

}  // namespace
