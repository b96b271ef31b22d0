// The tree's node stream and header stream. The first byte chooses: bit 4
// gives the nodes an int of data each, read and written with the node;
// bit 5 makes the tree a string tree, which streams captions; modulo 3 the
// stream is read as the whole tree (0), under a node of its own (1) or as
// the header's column layout (2).

#include "Fuzz_Support.h"
#include "Fuzz_Targets.h"
#include "framework/Streams.h"
#include "tree/LazyTrees.h"

#include <memory>

void Fuzz_Tree_Stream(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    TFuzzInput in(Data, Size);
    const std::uint8_t how = in.Byte();
    const std::string_view rest = in.Rest();
    std::unique_ptr<TBaseLazyTree> tree;
    if (how & 0x20) tree = std::make_unique<TLazyStringTree>(nullptr);
    else tree = std::make_unique<TBaseLazyTree>(nullptr);
    if (how & 0x10) {
        tree->SetNodeDataSize(int(sizeof(int)));
        tree->OnLoadNode = [](TBaseLazyTree* t, PLazyNode n, TStream& s) { *t->GetNodeData<int>(n) = int(s.ReadDWord()); };
        tree->OnSaveNode = [](TBaseLazyTree* t, PLazyNode n, TStream& s) { s.WriteDWord(Cardinal(*t->GetNodeData<int>(n))); };
    }
    TMemoryStream stream;
    stream.WriteBytes(rest);
    stream.SetPosition(0);
    Fuzz_Guarded([&] {
        switch (how % 3) {
        case 0: tree->LoadFromStream(stream); break;
        case 1: tree->AddFromStream(stream, tree->AddChild(nullptr)); break;
        default: tree->Header().LoadFromStream(stream); break;
        }
    });
    // What was read is walked and written again, as a tree uses it.
    Fuzz_Guarded([&] {
        for (PLazyNode n = tree->GetFirst(); n; n = tree->GetNext(n)) tree->GetNodeLevel(n);
        TMemoryStream out;
        tree->SaveToStream(out);
        tree->Header().SaveToStream(out);
    });
}
