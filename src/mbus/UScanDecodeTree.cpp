// The two result trees of the scan window: a wired meter, or the wireless
// meter chosen in the grid, as a root node with one child per record and
// twelve detail lines under each record. A node's text is made when it is
// initialised, from its place in the tree; the ticks are kept in the
// meters' and records' Enable fields, which the network writers read.
#include "mbus/UScanDecode.h"

#include "framework/ImgList.h"
#include "framework/SysUtils.h"
#include "mbus/MBusWirelessDecode.h"
#include "shell/Globals.h"
#include "tree/LazyTrees.h"

#include <memory>
#include <mutex>
#include <new>

namespace {

constexpr int Detail_Lines = 12;

String Hex2(int v) { return IntToHex(v & 0xFF, 2); }

// The twelve detail lines of a record, in order.
String Detail_Text(const TVariable_MBus& v, int line) {
    switch (line) {
        case 0: return u"Storage Number = " + IntToStr(v.storage_number);
        case 1: return u"Tariff = " + IntToStr(v.tarif);
        case 2: return u"Unit = " + IntToStr(v.device);
        case 3: return u"Data Field = " + v.DataFieldStr;
        case 4: return u"Function Field = " + v.FunctionFieldStr;
        case 5: return u"Type = " + v.Desc_Type_Data;
        case 6: return u"Value = " + v.ValueStr;
        case 7: return u"DIF = " + v.DIF;
        case 8: return u"VIF = $" + Hex2(v.VIF);
        case 9: return u"DIFE = " + v.DIFE;
        case 10: return u"VIFE = " + v.VIFE;
        default: return u"DATA = $" + v.totdati;
    }
}

String Record_Text(const TVariable_MBus& v) {
    return u"Value = " + v.ValueStr + u" - " + u"Type = " + v.Desc_Type_Data + u" (U" + IntToStr(v.device) + u"S" +
           IntToStr(v.storage_number) + u"T" + IntToStr(v.tarif) + u")";
}

String Wired_Meter_Text(const TSlave_MBus& s) {
    return u"Primary Address = " + IntToStr(s.Primary_Addresss) + u" - " + u"Secondary Address = " +
           s.Secondary_Addresss + u" - " + u"Manufacturer = " + s.descManufacture + u"(" + IntToStr(s.Manufacture) +
           u") - " + u"Version = " + IntToStr(s.Version) + u" - " + u"Type = " + s.descmedium;
}

String Wireless_Meter_Text(const TSlave_wMBus& s) {
    String text = u"Manufacturer = " + s.ALA_Manu_str + u" - " + u"Address = " + IntToHex(s.ALA_Address, 8) + u" - " +
                  u"Version = " + IntToStr(s.ALA_Version) + u" - " + u"Device Type = " + IntToStr(s.ALA_DeviceType);
    if (s.Cripted) text += u" - CRIPTED!!";
    return text;
}

TSlave_MBus* Wired_Slave(std::size_t i) {
    return i < MBus_Slave_List.size() ? static_cast<TSlave_MBus*>(MBus_Slave_List[i]) : nullptr;
}
TVariable_MBus* Record(const TVar_List& list, std::size_t i) { return i < list.size() ? list[i].get() : nullptr; }

// A meter's root node with a node per record, each with its detail lines;
// the records keep their nodes. Gives the root node.
TLazyNode* Add_Meter_Nodes(TLazyStringTree& tree, TVar_List& records) {
    TLazyNode* root = tree.AddChild(nullptr);
    for (auto& v : records) {
        v->Node = tree.AddChild(root);
        for (int d = 0; d < Detail_Lines; ++d) tree.AddChild(v->Node);
    }
    return root;
}

}  // namespace

TSlave_wMBus* Wireless_Slave_At(int Position) {
    return Position >= 0 && std::size_t(Position) < WMBus_Slave_List.size()
               ? static_cast<TSlave_wMBus*>(WMBus_Slave_List[std::size_t(Position)])
               : nullptr;
}

TLazyStringTree* TFScanDecode::Make_Tree(TWinControl* parent, const char16_t* name, bool wireless) {
    auto* t = new TLazyStringTree(this);
    t->SetName(name);
    t->SetParent(parent);
    t->SetNodeDataSize(int(sizeof(TMyRec)));
    t->TreeOptions().SetMiscOptions(t->TreeOptions().MiscOptions() + TLTMiscOptions{toCheckSupport});
    t->TreeOptions().SetPaintOptions(t->TreeOptions().PaintOptions() +
                                     TLTPaintOptions{toShowButtons, toShowRoot, toShowTreeLines});
    t->SetImages(IL_Tree);
    t->SetColor(clWindow);
    t->OnInitNode = [this, wireless](TBaseLazyTree* s, TLazyNode*, TLazyNode* n, TLazyNodeInitStates& st) {
        Tree_InitNode(s, n, wireless, st.Contains(ivsReInit));
    };
    t->OnFreeNode = [this](TBaseLazyTree* s, TLazyNode* n) { Tree_FreeNode(s, n); };
    t->OnGetText = [this](TBaseLazyTree* s, TLazyNode* n, TColumnIndex, TLSTTextType, String& text) {
        Tree_GetText(s, n, text);
    };
    t->OnGetImageIndexEx = [](TBaseLazyTree* s, TLazyNode* n, TBaseLazyTree::TLTImageKind kind, TColumnIndex, bool&,
                              int& index, TImageList*&) {
        if (kind == TBaseLazyTree::ikNormal || kind == TBaseLazyTree::ikSelected) index = int(s->GetNodeLevel(n));
    };
    t->OnChecking = [](TBaseLazyTree*, TLazyNode*, TCheckState&, bool& allowed) { allowed = true; };
    t->OnChecked = [this, wireless](TBaseLazyTree* s, TLazyNode* n) { Tree_Checked(s, n, wireless); };
    return t;
}

void TFScanDecode::Place_Tree(TLazyStringTree* Tree, TRect Bounds, TAnchors Anchors, TAlign Align) {
    Tree->SetBounds(Bounds.Left, Bounds.Top, Bounds.Right - Bounds.Left, Bounds.Bottom - Bounds.Top);
    Tree->SetAnchors(Anchors);
    Tree->SetAlign(Align);
}

void TFScanDecode::Show_Tree(bool Shown) { static_cast<TControl*>(LST)->SetVisible(Shown); }

void TFScanDecode::Clear_Trees() {
    LST->Clear();
    LST_Wireless->Clear();
}

void TFScanDecode::Show_Slave_in_Tree() {
    LST->BeginUpdate();
    LST->Clear();
    for (std::size_t i = 0; i < MBus_Slave_List.size(); ++i) {
        Index_Dev_MBus = int(i);
        TSlave_MBus* s = Wired_Slave(i);
        s->Node = Add_Meter_Nodes(*LST, s->List_Var);
    }
    // Every text is made now, from the results as they are.
    LST->InitRecursive(nullptr, 0xFFFFFFFF, false);
    LST->EndUpdate();
}

void TFScanDecode::Show_Slave_in_Tree_Wireless(int Position) {
    std::lock_guard hold(WMBus_Slave_Lock());
    Cancel_Device_List_Wireless();
    TSlave_wMBus* s = Wireless_Slave_At(Position);
    if (!s) return;
    FWireless_Tree_Slave = Position;
    LST_Wireless->BeginUpdate();
    s->Node = Add_Meter_Nodes(*LST_Wireless, s->List_Var);
    // The texts are made while the meter cannot change under them.
    LST_Wireless->InitRecursive(nullptr, 0xFFFFFFFF, false);
    LST_Wireless->EndUpdate();
}

void TFScanDecode::Tree_InitNode(TBaseLazyTree* Sender, TLazyNode* Node, bool Wireless, bool ReInit) {
    auto* rec = static_cast<TMyRec*>(Sender->GetNodeData(Node));
    if (!ReInit) rec = new (rec) TMyRec;
    rec->Caption.clear();
    const Cardinal level = Sender->GetNodeLevel(Node);
    // The node's place tells what it shows: meter, record, detail line.
    TLazyNode* record_node = level == 2 ? Node->Parent : level == 1 ? Node : nullptr;
    TLazyNode* meter_node = level == 0 ? Node : record_node->Parent;
    const TVar_List* records = nullptr;
    bool meter_enable = true;
    if (Wireless) {
        const TSlave_wMBus* s = Wireless_Slave_At(FWireless_Tree_Slave);
        if (!s) return;
        records = &s->List_Var;
        meter_enable = s->Enable;
        if (level == 0) rec->Caption = Wireless_Meter_Text(*s);
    } else {
        const TSlave_MBus* s = Wired_Slave(meter_node->Index);
        if (!s) return;
        records = &s->List_Var;
        meter_enable = s->Enable;
        if (level == 0) rec->Caption = Wired_Meter_Text(*s);
    }
    const TVariable_MBus* v = record_node ? Record(*records, record_node->Index) : nullptr;
    if (level == 1 && v)
        rec->Caption = Wireless && !v->Real_Wireless_Var ? String(u"Idle Filler") : Record_Text(*v);
    else if (level == 2 && v)
        rec->Caption = Detail_Text(*v, int(Node->Index));
    if (level < 2) {
        Node->CheckType = ctCheckBox;
        const bool ticked = level == 0 ? meter_enable : v && v->Enable;
        Node->CheckState = ticked ? csCheckedNormal : csUncheckedNormal;
        rec->Check = ticked;
    }
}

void TFScanDecode::Tree_FreeNode(TBaseLazyTree* Sender, TLazyNode* Node) {
    if (!Node->States.Contains(vsInitialized)) return;
    std::destroy_at(static_cast<TMyRec*>(Sender->GetNodeData(Node)));
}

void TFScanDecode::Tree_GetText(TBaseLazyTree* Sender, TLazyNode* Node, String& Text) {
    if (!Node->States.Contains(vsInitialized)) return;
    Text = static_cast<TMyRec*>(Sender->GetNodeData(Node))->Caption;
}

void TFScanDecode::Tree_Checked(TBaseLazyTree* Sender, TLazyNode* Node, bool Wireless) {
    const TCheckState state = Node->CheckState;
    if (state != csCheckedNormal && state != csUncheckedNormal) return;
    const bool ticked = state == csCheckedNormal;
    static_cast<TMyRec*>(Sender->GetNodeData(Node))->Check = ticked;
    const Cardinal level = Sender->GetNodeLevel(Node);
    if (level > 1) return;
    if (Wireless) {
        std::lock_guard hold(WMBus_Slave_Lock());
        TSlave_wMBus* s = Wireless_Slave_At(FWireless_Tree_Slave);
        if (!s) return;
        if (level == 0)
            s->Enable = ticked;
        else if (TVariable_MBus* v = Record(s->List_Var, Node->Index))
            v->Enable = ticked;
    } else {
        TSlave_MBus* s = Wired_Slave(level == 0 ? Node->Index : Node->Parent->Index);
        if (!s) return;
        if (level == 0)
            s->Enable = ticked;
        else if (TVariable_MBus* v = Record(s->List_Var, Node->Index))
            v->Enable = ticked;
    }
}

void TFScanDecode::Cancel_Device_List() {
    LST->Clear();
    Cancel_MBus_Slave_List();
    Index_Dev_MBus = -1;
}

void TFScanDecode::Cancel_Device_List_Wireless() {
    // The nodes go: no meter keeps a handle to them.
    if (TSlave_wMBus* s = Wireless_Slave_At(FWireless_Tree_Slave)) {
        s->Node = nullptr;
        for (auto& v : s->List_Var) v->Node = nullptr;
    }
    LST_Wireless->Clear();
    FWireless_Tree_Slave = -1;
}
