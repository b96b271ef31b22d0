#include "tree/LazyTrees.ClipboardFormats.h"
#include "tree/TreeCheck.h"

#include "framework/DataTransfer.h"
#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"

#include <functional>
#include <map>
#include <string>

using treetest::ExpectConsistent;

namespace {

// Two string trees side by side on a shown form, texts kept in their nodes'
// data; B takes drops of the tree's own format.
struct TwoTrees {
    // Make: the trees of a descendant class (nil: plain string trees).
    explicit TwoTrees(const std::function<TLazyStringTree*(TComponent*)>& Make = nullptr) {
        form.SetBounds(50, 50, 420, 200);
        for (int I = 0; I < 2; ++I) {
            auto* T = Make ? Make(&form) : new TLazyStringTree(&form);
            T->SetParent(&form);
            T->SetBounds(I * 210, 0, 200, 180);
            T->SetNodeDataSize(int(sizeof(int)));
            T->ClipboardFormats().Add(u"Lazy Tree Data");
            T->TreeOptions().SetMiscOptions({toAcceptOLEDrop});
            T->TreeOptions().SetSelectionOptions({toMultiSelect});
            T->OnGetText = [](TBaseLazyTree* Tree, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
                Text = S(std::to_string(*Tree->GetNodeData<int>(Node)));
            };
            T->OnSaveNode = [](TBaseLazyTree*, PLazyNode Node, TStream& S) { S.WriteDWord(Cardinal(*Node->GetData<int>())); };
            T->OnLoadNode = [](TBaseLazyTree*, PLazyNode Node, TStream& S) { *Node->GetData<int>() = int(S.ReadDWord()); };
            (I == 0 ? a : b) = T;
        }
        for (int N : {1, 2, 3}) Add(a, nullptr, N);
        PLazyNode Parent = Add(b, nullptr, 7);
        Add(b, Parent, 71);
        Add(b, nullptr, 8);
        form.Show();
    }
    static PLazyNode Add(TLazyStringTree* T, PLazyNode Parent, int N) {
        PLazyNode Node = T->AddChild(Parent);
        *T->GetNodeData<int>(Node) = N;
        return Node;
    }
    static std::string Shape(TBaseLazyTree* T, PLazyNode Parent = nullptr) {
        std::string R;
        for (PLazyNode Run = T->GetFirstChildNoInit(Parent ? Parent : T->RootNode()); Run; Run = Run->NextSibling) {
            if (!R.empty()) R += ' ';
            R += std::to_string(*Run->GetData<int>());
            if (Run->FirstChild) R += "(" + Shape(T, Run) + ")";
        }
        return R;
    }
    static PLazyNode Find(TBaseLazyTree* T, int N) {
        for (PLazyNode Run = T->GetFirstNoInit(); Run; Run = T->GetNextNoInit(Run))
            if (*Run->GetData<int>() == N) return Run;
        return nullptr;
    }
    // A point on a node's text, in the tree's client coordinates.
    static TPoint On(TBaseLazyTree* T, int N) {
        TRect R = T->GetDisplayRect(Find(T, N), true);
        return {R.Left + 3, (R.Top + R.Bottom) / 2};
    }
    // B accepts and inserts what is dropped where the mode says.
    void AcceptInB() {
        b->OnDragOver = [](TBaseLazyTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, Cardinal&, bool& Accept) {
            Accept = true;
        };
        b->OnDragDrop = [this](TBaseLazyTree* Sender, TObject*, std::shared_ptr<IDataObject> Data,
                               const std::vector<CLIPFORMAT>& Formats, TShiftState, TPoint, Cardinal& Effect, TDropMode Mode) {
            formats = Formats;
            TLTNodeAttachMode Attach = Mode == dmAbove ? amInsertBefore : Mode == dmBelow ? amInsertAfter : amAddChildLast;
            Sender->ProcessDrop(Data, Sender->DropTargetNode(), Effect, Attach);
        };
    }
    TForm form{nullptr};
    TLazyStringTree* a;
    TLazyStringTree* b;
    std::vector<CLIPFORMAT> formats;
};

TEST(LazyTreeDragDrop, SuggestedEffects) {
    TBaseLazyTree Tree(nullptr), Other(nullptr);
    constexpr Cardinal C = DROPEFFECT_COPY, M = DROPEFFECT_MOVE, L = DROPEFFECT_LINK, All = C | M | L;
    struct Case {
        TBaseLazyTree* Source;
        TShiftState Shift;
        Cardinal Allowed;
        Cardinal Expected;
    };
    const Case Cases[] = {
        {&Tree, {}, All, M},           {&Other, {}, All, C},          {nullptr, {}, All, C},
        {&Tree, {}, C | L, C | L},     {&Other, {}, M, M},            {&Tree, {ssCtrl}, All, C},
        {&Tree, {ssShift}, All, M},    {&Other, {ssShift}, All, M},   {&Tree, {ssCtrl, ssShift}, All, L},
        {&Tree, {ssAlt}, All, L},      {&Tree, {ssCtrl, ssShift}, C | M, M},
        {&Other, {ssCtrl}, M | L, M | L},
    };
    for (const Case& K : Cases)
        EXPECT_EQ(Tree.SuggestedDropEffect(K.Source, K.Shift, {0, 0}, K.Allowed), K.Expected)
            << (K.Source == &Tree) << " " << K.Allowed;
}

TEST(LazyTreeDragDrop, DropModesByPosition) {
    TBaseLazyTree Tree(nullptr);
    PLazyNode Node = Tree.AddChild(nullptr);
    const TRect R{0, 0, 100, 18};
    struct Case {
        TBaseLazyTree::THitPosition Where;
        int Y;
        bool Dropmark;
        TDropMode Mode;
    };
    for (const Case& C : {Case{TBaseLazyTree::hiOnItemRight, 3, true, dmAbove}, Case{TBaseLazyTree::hiOnItemRight, 12, true, dmBelow},
                          Case{TBaseLazyTree::hiOnItemIndent, 8, true, dmAbove}, Case{TBaseLazyTree::hiOnItemLabel, 3, true, dmOnNode},
                          Case{TBaseLazyTree::hiOnNormalIcon, 15, true, dmOnNode}, Case{TBaseLazyTree::hiOnItemRight, 3, false, dmOnNode}}) {
        Tree.TreeOptions().SetPaintOptions(C.Dropmark ? TLTPaintOptions{toShowDropmark} : TLTPaintOptions{});
        TBaseLazyTree::THitInfo Hit{Node, {C.Where}};
        EXPECT_EQ(Tree.DropModeAt({5, C.Y}, Hit, R), C.Mode) << C.Where << " y " << C.Y;
    }
    TBaseLazyTree::THitInfo Nothing;
    EXPECT_EQ(Tree.DropModeAt({5, 5}, Nothing, R), dmNowhere);
    Tree.TreeOptions().SetMiscOptions({toReportMode});
    TBaseLazyTree::THitInfo Beside{Node, {TBaseLazyTree::hiOnItemRight}};
    EXPECT_EQ(Tree.DropModeAt({5, 5}, Beside, R), dmNowhere) << "report mode: only the content takes drops";
    EXPECT_EQ(Beside.HitNode, nullptr);
}

TEST(LazyTreeDragDrop, NoDropWithoutAnAcceptingHandler) {
    TwoTrees F;
    F.a->AddToSelection(F.Find(F.a, 2));
    auto Data = F.a->CreateDataObject(false);
    const TPoint Over = F.b->ClientToScreen(TwoTrees::On(F.b, 8));
    Cardinal Effect = DROPEFFECT_COPY | DROPEFFECT_MOVE;
    auto Target = F.b->DragManager();
    EXPECT_EQ(Target->DragEnter(Data, MK_LBUTTON, Over, Effect), S_OK);
    EXPECT_EQ(Effect, DROPEFFECT_NONE);
    Effect = DROPEFFECT_COPY;
    EXPECT_EQ(Target->DragOver(MK_LBUTTON, Over, Effect), S_OK);
    EXPECT_EQ(Effect, DROPEFFECT_NONE);
    Effect = DROPEFFECT_COPY;
    EXPECT_EQ(Target->Drop(Data, 0, Over, Effect), E_FAIL);
    EXPECT_EQ(TwoTrees::Shape(F.b), "7(71) 8");
    EXPECT_EQ(F.b->DropTargetNode(), nullptr);
}

TEST(LazyTreeDragDrop, HoveringOpensTheTargetAfterTheDelay) {
    TwoTrees F;
    F.AcceptInB();
    F.b->TreeOptions().SetAutoOptions({toAutoDropExpand});
    F.b->AutoExpandDelay = 300;
    F.a->AddToSelection(F.Find(F.a, 1));
    auto Data = F.a->CreateDataObject(false);
    auto Target = F.b->DragManager();
    Cardinal Effect = DROPEFFECT_COPY;
    Target->DragEnter(Data, MK_LBUTTON, F.b->ClientToScreen(TwoTrees::On(F.b, 8)), Effect);
    const Cardinal Starts = F.b->TimerStarts(1);
    Effect = DROPEFFECT_COPY;
    Target->DragOver(MK_LBUTTON, F.b->ClientToScreen(TwoTrees::On(F.b, 7)), Effect);
    EXPECT_EQ(Effect, DROPEFFECT_COPY);
    EXPECT_EQ(F.b->DropTargetNode(), TwoTrees::Find(F.b, 7));
    EXPECT_EQ(F.b->TimerStarts(1), Starts + 1) << "a node with children arms the expand timer";
    EXPECT_FALSE(F.b->GetExpanded(TwoTrees::Find(F.b, 7)));
    F.b->TimerFired(1);
    EXPECT_TRUE(F.b->GetExpanded(TwoTrees::Find(F.b, 7)));
    Target->DragLeave();
    EXPECT_EQ(F.b->DropTargetNode(), nullptr);
}

TEST(LazyTreeDragDrop, ScriptedDragCopiesIntoAnotherTree) {
    TwoTrees F;
    F.AcceptInB();
    F.a->AddToSelection(F.Find(F.a, 2));
    F.a->AddToSelection(F.Find(F.a, 3));
    std::string Framework;
    F.a->OnStartDrag = [&](TObject*, TDragObject*&) { Framework += "start;"; };
    F.a->OnEndDrag = [&](TObject*, TObject* Target, int, int) { Framework += Target == F.a ? "end;" : "end?;"; };
    SimulateDrag({{TDragInput::Move, F.b, TwoTrees::On(F.b, 8)}, {TDragInput::Release, F.b, TwoTrees::On(F.b, 8)}});
    F.a->BeginDrag(true);
    EXPECT_EQ(Framework, "start;end;") << "the framework hears of OLE drags too";
    EXPECT_EQ(F.a->LastDragEffect(), DROPEFFECT_COPY);
    EXPECT_EQ(TwoTrees::Shape(F.b), "7(71) 8(2 3)");
    EXPECT_EQ(TwoTrees::Shape(F.a), "1 2 3");
    EXPECT_EQ(F.formats, std::vector<CLIPFORMAT>{TreeDataFormat()});
    EXPECT_FALSE(F.a->TreeStates().Contains(tsOLEDragging));
    ExpectConsistent(*F.b);
}

TEST(LazyTreeDragDrop, AMoveInsideOneTreeDeletesNothingAfterwards) {
    TwoTrees F;
    F.b->TreeOptions().SetAutoOptions({toAutoDeleteMovedNodes});
    F.b->OnDragOver = [](TBaseLazyTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, Cardinal&, bool& Accept) {
        Accept = true;
    };
    Cardinal Reported = 99;
    F.b->OnDragDrop = [&](TBaseLazyTree* Sender, TObject*, std::shared_ptr<IDataObject> Data, const std::vector<CLIPFORMAT>&,
                          TShiftState, TPoint, Cardinal& Effect, TDropMode) {
        EXPECT_EQ(Effect, DROPEFFECT_MOVE) << "inside one tree a move is suggested";
        Sender->ProcessDrop(Data, Sender->DropTargetNode(), Effect, amAddChildLast);
        Reported = Effect;
    };
    F.b->AddToSelection(TwoTrees::Find(F.b, 8));
    SimulateDrag({{TDragInput::Move, F.b, TwoTrees::On(F.b, 7)}, {TDragInput::Release, F.b, TwoTrees::On(F.b, 7)}});
    F.b->BeginDrag(true);
    EXPECT_EQ(Reported, DROPEFFECT_NONE);
    EXPECT_EQ(TwoTrees::Shape(F.b), "7(71 8)") << "moved, and not deleted after the drag";
    ExpectConsistent(*F.b);
}

TEST(LazyTreeDragDrop, MouseDragBetweenTwoTrees) {
    TwoTrees F;
    F.AcceptInB();
    F.a->OnDragAllowed = [](TBaseLazyTree*, PLazyNode, TColumnIndex, bool& Allowed) { Allowed = true; };
    const TPoint Start = TwoTrees::On(F.a, 1);
    SimulateDrag({{TDragInput::Move, F.b, TwoTrees::On(F.b, 7)}, {TDragInput::Release, F.b, TwoTrees::On(F.b, 7)}});
    SimulateMouseDown(F.a, mbLeft, Start.X, Start.Y);
    EXPECT_TRUE(F.a->TreeStates().Contains(tsOLEDragPending));
    EXPECT_TRUE(F.a->Dragging());
    SimulateMouseMove(F.a, Start.X + 2, Start.Y, {ssLeft});
    EXPECT_TRUE(F.a->TreeStates().Contains(tsOLEDragPending)) << "below the threshold";
    SimulateMouseMove(F.a, Start.X + 20, Start.Y, {ssLeft});  // the drag runs its script here
    SimulateMouseUp(F.a, mbLeft, Start.X + 20, Start.Y);
    EXPECT_FALSE(F.a->Dragging());
    EXPECT_EQ(TwoTrees::Shape(F.b), "7(71 1) 8");
    EXPECT_EQ(TwoTrees::Shape(F.a), "1 2 3");
}

TEST(LazyTreeDragDrop, FrameworkDragBetweenTwoTrees) {
    TwoTrees F;
    F.a->DragType = dtFw;
    std::string Log;
    F.b->OnDragOver = [&](TBaseLazyTree*, TObject* Source, TShiftState, TDragState State, TPoint, TDropMode,
                          Cardinal& Effect, bool& Accept) {
        Log += State == dsDragEnter ? "enter " : State == dsDragMove ? "move " : "leave ";
        Accept = Source == F.a && Effect == DROPEFFECT_COPY;
    };
    F.b->OnDragDrop = [&](TBaseLazyTree* Sender, TObject* Source, std::shared_ptr<IDataObject> Data,
                          const std::vector<CLIPFORMAT>& Formats, TShiftState, TPoint, Cardinal& Effect, TDropMode Mode) {
        Log += "drop";
        EXPECT_EQ(Source, F.a);
        EXPECT_FALSE(Data) << "a framework drag carries no data object";
        EXPECT_TRUE(Formats.empty());
        EXPECT_EQ(Effect, DROPEFFECT_COPY);
        EXPECT_EQ(Mode, dmOnNode);
        F.a->CopyTo(TwoTrees::Find(F.a, 2), Sender->DropTargetNode(), amAddChildLast, false);
    };
    TObject* EndTarget = nullptr;
    F.a->OnEndDrag = [&](TObject*, TObject* Target, int, int) { EndTarget = Target; };
    F.a->AddToSelection(TwoTrees::Find(F.a, 2));
    SimulateDrag({{TDragInput::Move, F.b, TwoTrees::On(F.b, 8)},
                  {TDragInput::Move, F.b, TwoTrees::On(F.b, 7)},
                  {TDragInput::Move, F.b, TwoTrees::On(F.b, 8)},
                  {TDragInput::Release, F.b, TwoTrees::On(F.b, 8)}});
    F.a->BeginDrag(true);
    EXPECT_EQ(Log, "enter move move drop");
    EXPECT_EQ(TwoTrees::Shape(F.b), "7(71) 8(2)");
    EXPECT_EQ(EndTarget, F.b);
    EXPECT_EQ(F.b->DropTargetNode(), nullptr);
    const TLazyTreeStates Drag{tsFwDragging, tsFwDragPending, tsFwDragFinished, tsUserDragObject};
    EXPECT_TRUE((F.a->TreeStates() * Drag).Empty());
    EXPECT_TRUE((F.b->TreeStates() * Drag).Empty()) << "left behind the drop";
    ExpectConsistent(*F.b);

    // Without OnDragOver a tree takes no framework drop.
    F.b->OnDragOver = nullptr;
    Log.clear();
    EndTarget = F.a;
    SimulateDrag({{TDragInput::Move, F.b, TwoTrees::On(F.b, 7)}, {TDragInput::Release, F.b, TwoTrees::On(F.b, 7)}});
    F.a->BeginDrag(true);
    EXPECT_EQ(Log, "");
    EXPECT_EQ(EndTarget, nullptr);
    EXPECT_EQ(TwoTrees::Shape(F.b), "7(71) 8(2)");
}

TEST(LazyTreeDragDrop, TreesScrollWhileADragStaysAtTheirEdge) {
    for (TLTDragType Kind : {dtOLE, dtFw}) {
        SCOPED_TRACE(Kind == dtOLE ? "OLE" : "framework");
        TwoTrees F;
        F.AcceptInB();
        for (int N = 10; N < 40; ++N) TwoTrees::Add(F.b, nullptr, N);
        F.b->TreeOptions().SetAutoOptions(F.b->TreeOptions().AutoOptions() + TLTAutoOptions{toAutoScroll});
        F.b->AutoScrollDelay = 0;  // every move at the edge scrolls at once
        F.a->DragType = Kind;
        F.a->AddToSelection(TwoTrees::Find(F.a, 1));
        const TPoint Edge{20, F.b->ClientHeight() - 4};
        SimulateDrag({{TDragInput::Move, F.b, Edge}, {TDragInput::Move, F.b, Edge}, {TDragInput::Move, F.b, Edge},
                      {TDragInput::Escape, F.b, Edge}});
        F.a->BeginDrag(true);
        EXPECT_LT(F.b->OffsetY(), 0) << "scrolled towards the lower edge";
        const int Scrolled = F.b->OffsetY();
        SimulateDrag({{TDragInput::Move, F.b, TPoint{20, 60}}, {TDragInput::Escape, F.b, TPoint{20, 60}}});
        F.a->BeginDrag(true);
        EXPECT_EQ(F.b->OffsetY(), Scrolled) << "away from the edges nothing moves";
    }
}

// Takes part in drags through the tree's hooks: the loop, the manager and the repaint under the picture.
class HookedDragTree : public TLazyStringTree {
public:
    using TLazyStringTree::TLazyStringTree;
    std::vector<Cardinal> Loops;
    bool OwnLoop = false;  // the hook answers instead of the platform's loop
    std::vector<std::pair<TBaseLazyTree*, TRect>> Repaints;
    std::shared_ptr<TLTDragManager> Made;
    void RunDragLoop(Cardinal AllowedEffects, const std::shared_ptr<IDataObject>& DataObject,
                     Cardinal& Effect) override {
        Loops.push_back(AllowedEffects);
        if (OwnLoop) Effect = DROPEFFECT_MOVE;
        else TLazyStringTree::RunDragLoop(AllowedEffects, DataObject, Effect);
    }
    void RepaintUnderDragImage(TBaseLazyTree* Source, TRect R, bool ReshowDragImage, bool UpdateNCArea) override {
        Repaints.emplace_back(Source, R);
        TLazyStringTree::RepaintUnderDragImage(Source, R, ReshowDragImage, UpdateNCArea);
    }
    std::shared_ptr<TLTDragManager> DoCreateDragManager() override {
        Made = std::make_shared<TLTDragManager>(this);
        return Made;
    }
};

TEST(LazyTreeDragDrop, DescendantsRunTheLoopMakeTheManagerAndRepaintUnderThePicture) {
    TwoTrees F([](TComponent* Owner) { return new HookedDragTree(Owner); });
    auto& A = static_cast<HookedDragTree&>(*F.a);
    auto& B = static_cast<HookedDragTree&>(*F.b);
    F.AcceptInB();
    EXPECT_EQ(B.DragManager(), B.Made) << "the drop target's manager came from the hook";
    A.DragOperations = {doCopy, doLink};
    A.AddToSelection(TwoTrees::Find(F.a, 2));
    SimulateDrag({{TDragInput::Move, F.b, TwoTrees::On(F.b, 7)},
                  {TDragInput::Move, F.b, TwoTrees::On(F.b, 8)},
                  {TDragInput::Release, F.b, TwoTrees::On(F.b, 8)}});
    A.BeginDrag(true);
    EXPECT_EQ(A.Loops, std::vector<Cardinal>{DROPEFFECT_COPY | DROPEFFECT_LINK});
    EXPECT_EQ(TwoTrees::Shape(F.b), "7(71) 8(2)");
    // Moving from node 7 to node 8 repaints both rows at once under the source's picture.
    TRect Both;
    UnionRect(Both, B.GetDisplayRect(TwoTrees::Find(F.b, 7), false), B.GetDisplayRect(TwoTrees::Find(F.b, 8), false));
    ASSERT_FALSE(B.Repaints.empty());
    for (const auto& [Source, R] : B.Repaints) EXPECT_EQ(Source, F.a);
    EXPECT_NE(std::find_if(B.Repaints.begin(), B.Repaints.end(), [&](const auto& Call) { return Call.second == Both; }),
              B.Repaints.end());

    // A loop of the descendant's own that reports a move: the moved nodes leave the source.
    A.TreeOptions().SetAutoOptions({toAutoDeleteMovedNodes});
    A.OwnLoop = true;
    A.AddToSelection(TwoTrees::Find(F.a, 3));
    A.BeginDrag(true);
    EXPECT_EQ(A.LastDragEffect(), DROPEFFECT_MOVE);
    EXPECT_EQ(TwoTrees::Shape(F.a), "1");
    ExpectConsistent(A);
}

// A drag manager of the application's own takes the tree's drags.
struct CountingManager : TLTDragManager {
    using TLTDragManager::TLTDragManager;
    HRESULT QueryContinueDrag(bool EscapePressed, Cardinal KeyState) override {
        ++Asked;
        return TLTDragManager::QueryContinueDrag(EscapePressed, KeyState);
    }
    int Asked = 0;
};

TEST(LazyTreeDragDrop, ApplicationSuppliesTheDragManager) {
    TwoTrees F;
    std::shared_ptr<CountingManager> Own;
    // Asked when the window first needs one, as a drop target.
    auto* C = new TLazyStringTree(&F.form);
    C->OnCreateDragManager = [&](TBaseLazyTree* Sender, std::shared_ptr<TLTDragManager>& Manager) {
        Own = std::make_shared<CountingManager>(Sender);
        Manager = Own;
    };
    C->SetParent(&F.form);
    C->SetBounds(0, 0, 100, 100);
    C->SetRootNodeCount(1);
    C->AddToSelection(C->GetFirst());
    ASSERT_TRUE(Own);
    SimulateDrag({{TDragInput::Move, F.b, TwoTrees::On(F.b, 8)}, {TDragInput::Escape, F.b, TwoTrees::On(F.b, 8)}});
    C->BeginDrag(true);
    EXPECT_EQ(C->DragManager(), Own) << "made once";
    EXPECT_GT(Own->Asked, 0);
}

}  // namespace
