// The tree in drags with other programs on the X display: text and files
// dragged from another program reach its drop event, and nodes dragged out
// of it reach the other program as text. Real X input, two processes.
#include "tree/LazyTrees.h"
#include "tree/LazyTrees.ClipboardFormats.h"

#include "framework/DataTransfer.h"
#include "framework/Forms.h"

#include "support/DesktopDrag.h"
#include "support/RealDisplay.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

// A shown string tree of three nodes, "one" to "three", that offers its
// text and takes drops.
struct TreeForm {
    TForm form{nullptr};
    TLazyStringTree* t;
    TreeForm() {
        form.SetBounds(0, 0, 320, 240);
        form.SetCaption(u"tree under test");
        t = new TLazyStringTree(&form);
        t->SetParent(&form);
        t->SetBounds(0, 0, 300, 200);
        t->ClipboardFormats().Add(u"Unicode text");
        t->TreeOptions().SetMiscOptions({toAcceptOLEDrop});
        t->OnGetText = [](TBaseLazyTree*, PLazyNode Node, TColumnIndex, TLSTTextType, String& Text) {
            static const char16_t* const names[] = {u"one", u"two", u"three"};
            Text = names[Node->Index % 3];
        };
        t->SetRootNodeCount(3);
        form.Show();
    }
    PLazyNode Node(int Index) {
        PLazyNode n = t->GetFirst();
        while (Index-- > 0) n = t->GetNext(n);
        return n;
    }
    TPoint Screen(int Index) {
        const TRect r = t->GetDisplayRect(Node(Index), true);
        return t->ClientToScreen({r.Left + 8, (r.Top + r.Bottom) / 2});
    }
};

}  // namespace

TEST(LazyTreesRealDisplayDesktopDrag, TextAndFilesFromAnotherProgramReachTheDropEvent) {
    if (!HaveXDisplay()) GTEST_SKIP() << "needs an X display";
    TempDir dir;
    dir.write("nodes.csv", "a,b\r\n");
    TreeForm f;
    int overs = 0;
    f.t->OnDragOver = [&](TBaseLazyTree*, TObject*, TShiftState, TDragState, TPoint, TDropMode, Cardinal&,
                          bool& Accept) {
        ++overs;
        Accept = true;
    };
    struct Drop {
        bool fromOutside = false;
        bool text = false, files = false;
        String content;
        PLazyNode node = nullptr;
    } got;
    f.t->OnDragDrop = [&](TBaseLazyTree* Sender, TObject* Source, std::shared_ptr<IDataObject> Data,
                          const std::vector<CLIPFORMAT>& Formats, TShiftState, TPoint, Cardinal&, TDropMode) {
        got.fromOutside = Source == nullptr;
        got.node = Sender->DropTargetNode();
        for (CLIPFORMAT c : Formats) {
            got.text |= c == CF_UNICODETEXT;
            got.files |= c == CF_HDROP;
        }
        ByteString block;
        if (got.files && GetFormatBytes(*Data, CF_HDROP, block)) {
            for (const String& n : DragQueryFiles(block)) got.content += n;
        } else {
            GetTextData(*Data, got.content);
        }
    };
    TDragPeer peer("source", {400, 40}, {"text:first\nsecond", "file:" + dir.file("nodes.csv")});
    ASSERT_TRUE(peer.Ready());
    ASSERT_TRUE(RunXSteps({XWindowShown("tree under test")}));

    struct Case {
        int band, node;
        bool files;
        String content;
    };
    for (const Case& c : {Case{0, 1, false, u"first\r\nsecond"}, Case{1, 2, true, S(dir.file("nodes.csv"))}}) {
        SCOPED_TRACE(c.band);
        got = Drop();
        overs = 0;
        peer.Clear();
        const TPoint to = f.Screen(c.node);
        int failed = -1;
        ASSERT_TRUE(RunXSteps({{XMoveTo(peer.Band(c.band)), {}},
                               {{"mousedown", "1"}, {}},
                               {XMoveTo(Plus(peer.Band(c.band), 40, 0)), {}},
                               {XMoveTo(to), {}},
                               {XMoveTo(Plus(to, 2, 1)), {}},
                               {{}, [&] { return overs > 0; }},
                               {{"mouseup", "1"}, {}},
                               {{}, [&] { return peer.Has("done"); }}},
                              &failed))
            << "step " << failed;
        EXPECT_TRUE(got.fromOutside);
        EXPECT_EQ(got.node, f.Node(c.node));
        EXPECT_EQ(got.files, c.files);
        EXPECT_EQ(got.text, !c.files);
        EXPECT_EQ(got.content, c.content);
        // From another program the tree suggests a copy.
        EXPECT_EQ(peer.Last("done"), "copy");
    }
}

TEST(LazyTreesRealDisplayDesktopDrag, NodesDraggedOutReachAnotherProgramAsText) {
    if (!HaveXDisplay()) GTEST_SKIP() << "needs an X display";
    TreeForm f;
    f.t->OnDragAllowed = [](TBaseLazyTree*, PLazyNode, TColumnIndex, bool& Allowed) { Allowed = true; };
    TDragPeer peer("target", {400, 40});
    ASSERT_TRUE(peer.Ready());
    ASSERT_TRUE(RunXSteps({XWindowShown("tree under test")}));
    const TPoint from = f.Screen(1);
    int failed = -1;
    ASSERT_TRUE(RunXSteps({{XMoveTo(from), {}},
                           {{"mousedown", "1"}, {}},
                           {XMoveTo(Plus(from, 12, 6)), {}},
                           {XMoveTo(peer.Middle()), {}},
                           {{}, [&] { return peer.Has("over"); }},
                           {{"mouseup", "1"}, {}},
                           {{}, [&] { return peer.Has("drop") && !f.t->Dragging(); }}},
                          &failed))
        << "step " << failed;
    EXPECT_EQ(peer.Last("text"), "two\\n");
    EXPECT_EQ(peer.Last("drop"), "move");
    // The other program's move takes the node away (toAutoDeleteMovedNodes).
    EXPECT_EQ(f.t->RootNodeCount(), 2u);
}
