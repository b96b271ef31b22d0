#include "tree/LazyTreesEdit.h"

#include "framework/Forms.h"
#include "framework/Messages.h"
#include "framework/Simulate.h"

#include <gtest/gtest.h>

#include <map>
#include <string>

namespace {

// An editable tree of three top-level nodes on a shown form; texts live in a map.
struct EditFixture {
    EditFixture() {
        form.SetBounds(50, 50, 300, 200);
        tree = new TLazyStringTree(&form);
        tree->SetParent(&form);
        tree->SetBounds(0, 0, 200, 150);
        tree->TreeOptions().SetMiscOptions({toEditable});
        tree->OnGetText = [this](TBaseLazyTree*, PLazyNode Node, TColumnIndex, TLSTTextType Type, String& Text) {
            if (Type == ttNormal) Text = texts[Node->Index];
        };
        tree->OnNewText = [this](TBaseLazyTree*, PLazyNode Node, TColumnIndex, String Text) {
            texts[Node->Index] = Text;
            log += "new " + std::to_string(Node->Index) + ";";
        };
        tree->OnEditCancelled = [this](TBaseLazyTree*, TColumnIndex) { log += "cancelled;"; };
        tree->SetRootNodeCount(3);
        form.Show();
        tree->SetFocus();
    }
    TLTEdit* Edit() {
        auto Link = std::dynamic_pointer_cast<TStringEditLink>(tree->EditLink());
        return Link ? Link->Edit() : nullptr;
    }
    PLazyNode Node(int Index) {
        PLazyNode N = tree->GetFirst();
        while (Index-- > 0) N = tree->GetNextSibling(N);
        return N;
    }
    std::string Text(int Index) { return StringToUtf8(texts[Cardinal(Index)]); }
    std::map<Cardinal, String> texts{{0, u"alpha"}, {1, u"b"}, {2, u"gamma"}};
    std::string log;
    // Last, so that the tree goes before what its handlers write to.
    TForm form{nullptr};
    TLazyStringTree* tree;
};

TEST(LazyTreeEditor, ATreeDestroyedWhileEditingTellsNoCancellation) {
    int Cancelled = 0;
    {
        EditFixture F;
        F.tree->OnEditCancelled = [&](TBaseLazyTree*, TColumnIndex) { ++Cancelled; };
        ASSERT_TRUE(F.tree->EditNode(F.Node(0), NoColumn));
    }
    EXPECT_EQ(Cancelled, 0);
}

TEST(LazyTreeEditor, BoxFitsItsTextAndKeepsTheMinimumWidth) {
    EditFixture F;
    ASSERT_TRUE(F.tree->EditNode(F.Node(0), NoColumn));
    TLTEdit* Edit = F.Edit();
    ASSERT_TRUE(Edit);
    EXPECT_TRUE(Edit->Visible());
    EXPECT_EQ(StringToUtf8(Edit->Text()), "alpha");
    EXPECT_EQ(Edit->SelLength(), 5) << "all text selected";
    auto Expected = [&] {
        TCanvas& C = F.tree->Canvas();
        C.Font().Assign(&Edit->Font());
        return C.TextWidth(Edit->Text() + u"yG") + 2 * F.tree->TextMargin();
    };
    EXPECT_EQ(Edit->Width(), Expected());
    const int Narrow = Edit->Width();
    Edit->SetText(u"alpha with a longer text");  // tells EN_UPDATE: the box grows
    EXPECT_EQ(Edit->Width(), Expected());
    EXPECT_GT(Edit->Width(), Narrow);

    auto Link = F.tree->EditLink();
    struct Case {
        TRect In;
        TRect Out;
    };
    const int Client = F.tree->ClientWidth();
    for (const Case& C : {Case{{10, 5, 20, 20}, {10, 5, 40, 20}}, Case{{-5, 5, 100, 20}, {0, 5, 100, 20}},
                          Case{{150, 5, Client + 40, 20}, {150, 5, Client, 20}}}) {
        Link->SetBounds(C.In);
        EXPECT_EQ(Link->GetBounds(), C.Out) << C.In.Left << "," << C.In.Right;
    }

    F.tree->CancelEditNode();
    F.tree->TreeOptions().SetMiscOptions({toEditable, toGridExtensions});
    ASSERT_TRUE(F.tree->EditNode(F.Node(1), NoColumn));
    const TRect Given = F.tree->EditLink()->GetBounds();
    F.Edit()->SetText(u"a much longer text than before");
    EXPECT_EQ(F.tree->EditLink()->GetBounds(), Given) << "grid extensions keep the size the tree gave";
}

TEST(LazyTreeEditor, KeysEndCancelAndMoveTheEdit) {
    EditFixture F;
    // Enter stores a modified text; an unmodified one is not written back.
    ASSERT_TRUE(F.tree->EditNode(F.Node(0), NoColumn));
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(F.tree->IsEditing());
    EXPECT_EQ(F.log, "");
    ASSERT_TRUE(F.tree->EditNode(F.Node(0), NoColumn));
    SimulateText(u"new");
    SimulateKey(VK_RETURN);
    EXPECT_FALSE(F.tree->IsEditing());
    EXPECT_EQ(F.Text(0), "new");
    EXPECT_EQ(F.log, "new 0;");
    EXPECT_TRUE(F.tree->Focused());

    // Escape cancels.
    F.log.clear();
    ASSERT_TRUE(F.tree->EditNode(F.Node(1), NoColumn));
    SimulateText(u"zzz");
    SimulateKey(VK_ESCAPE);
    EXPECT_FALSE(F.tree->IsEditing());
    EXPECT_EQ(F.Text(1), "b");
    EXPECT_EQ(F.log, "cancelled;");

    // Tab ends the edit and starts one on the next node.
    F.log.clear();
    ASSERT_TRUE(F.tree->EditNode(F.Node(1), NoColumn));
    SimulateText(u"x");
    SimulateKey(VK_TAB);
    EXPECT_EQ(F.Text(1), "x");
    EXPECT_TRUE(F.tree->IsEditing());
    EXPECT_EQ(F.tree->FocusedNode(), F.Node(2));
    ASSERT_TRUE(F.Edit());
    EXPECT_EQ(StringToUtf8(F.Edit()->Text()), "gamma");
    F.tree->CancelEditNode();
}

TEST(LazyTreeEditor, MultiLineNodesBreakLinesAndEndWithCtrlEnter) {
    EditFixture F;
    F.tree->SetMultiline(F.Node(2), true);
    ASSERT_TRUE(F.tree->EditNode(F.Node(2), NoColumn));
    ASSERT_TRUE(F.Edit()->MultiLine());
    SimulateKey(VK_END);
    SimulateKey(VK_RETURN);
    SimulateText(u"z");
    EXPECT_TRUE(F.tree->IsEditing()) << "Enter breaks the line";
    SimulateKey(VK_RETURN, {ssCtrl});
    EXPECT_FALSE(F.tree->IsEditing());
    EXPECT_EQ(F.Text(2), "gamma\r\nz");
}

TEST(LazyTreeEditor, LeavingTheBoxAcceptsOrCancelsByTheOption) {
    for (bool Accept : {true, false}) {
        EditFixture F;
        if (!Accept) F.tree->SetStringOptions({toSaveCaptions});
        ASSERT_TRUE(F.tree->EditNode(F.Node(0), NoColumn));
        SimulateText(u"left");
        F.Edit()->Perform(CM_EXIT);
        EXPECT_FALSE(F.tree->IsEditing());
        EXPECT_EQ(F.Text(0), Accept ? "left" : "alpha");
        EXPECT_EQ(F.log, Accept ? "new 0;" : "cancelled;");
    }
}

TEST(LazyTreeEditor, ALinkWithoutAStringTreeIsRefused) {
    TBaseLazyTree Plain(nullptr);
    auto Link = std::make_shared<TStringEditLink>();
    EXPECT_FALSE(Link->PrepareEdit(&Plain, Plain.AddChild(nullptr), NoColumn));
    // Its box never got a window: it goes with the link.
}

}  // namespace
