// The tree's part of the seed corpus: node streams of a plain tree with
// node data and of a string tree with captions, and a header's column layout.

#include "framework/Streams.h"
#include "framework/SysUtils.h"
#include "tree/LazyTrees.h"

#include <string>
#include <vector>

void Seed(const char* target, const std::string& name, const std::string& bytes);

void Tree_Seeds(std::string (*B)(int)) {
    {
        TBaseLazyTree t(nullptr);
        t.SetNodeDataSize(int(sizeof(int)));
        t.OnSaveNode = [](TBaseLazyTree* s, PLazyNode n, TStream& st) { st.WriteDWord(Cardinal(*s->GetNodeData<int>(n))); };
        std::vector<PLazyNode> nodes;
        for (int i = 0; i < 12; ++i) {
            PLazyNode parent = i < 3 ? nullptr : nodes[std::size_t(i % 3)];
            PLazyNode n = t.AddChild(parent);
            *t.GetNodeData<int>(n) = i;
            n->CheckType = TCheckType(i % 3);
            nodes.push_back(n);
        }
        t.SetExpanded(nodes[0], true);
        t.SetFiltered(nodes[4], true);
        t.SetVisible(nodes[5], false);
        TMemoryStream s;
        t.SaveToStream(s);
        Seed("tree_stream", "nodes_with_data", B(0x10) + std::string(s.Bytes()));
        Seed("tree_stream", "nodes_added", B(0x10 + 1) + std::string(s.Bytes()));
    }
    {
        TLazyStringTree t(nullptr);
        t.OnGetText = [](TBaseLazyTree*, PLazyNode n, TColumnIndex c, TLSTTextType, String& text) {
            text = u"node " + IntToStr(int(n->Index)) + u" col " + IntToStr(c) + u" \u00E9";
        };
        for (int i = 0; i < 3; ++i) t.AddChild(t.AddChild(nullptr));
        TMemoryStream s;
        t.SaveToStream(s);
        Seed("tree_stream", "string_tree", B(0x20) + std::string(s.Bytes()));
    }
    {
        TBaseLazyTree t(nullptr);
        TLTHeader& h = t.Header();
        for (int i = 0; i < 4; ++i) {
            TLazyTreeColumn* c = h.Columns().Add();
            c->SetText(u"Column " + IntToStr(i));
            c->SetHint(u"hint");
            c->SetWidth(40 + 10 * i);
            c->SetLayout(TLazyTreeColumn::TLTHeaderColumnLayout(i));
            c->SetAlignment(TAlignment(i % 3));
            if (i == 2) c->SetOptions(c->Options() + TLTColumnOptions{coUseCaptionAlignment});
            c->SetCaptionAlignment(taCenter);
        }
        h.SetSortColumn(1);
        h.SetSortDirection(sdDescending);
        h.SetStyle(hsFlatButtons);
        h.Font().SetHeight(-13);
        TMemoryStream s;
        h.SaveToStream(s);
        Seed("tree_stream", "header", B(2) + std::string(s.Bytes()));
    }
}

