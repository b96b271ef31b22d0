#include "mbus/MBusSaveConf.h"

#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "mbus/MBusRecords.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <algorithm>

namespace {

// By the data field of the DIF: the network's Dim code and the registers.
// 0xD (variable length) takes its registers from the data's length.
constexpr TMBus_Dim_Regs Dim_Table[16] = {
    {255, 0}, {0, 1}, {1, 1}, {4, 2}, {2, 2}, {6, 2}, {5, 3}, {3, 4},
    {255, 0}, {0, 1}, {1, 1}, {4, 2}, {2, 2}, {7, 0}, {5, 3}, {255, 0},
};

// The network's "Cut after" choice holds the frame counts 1 to 250 by index;
// a count outside them is taken as the nearest one so that the editor can show it.
int Cut_After_Index(int frames) { return std::clamp(frames, 1, 250) - 1; }

String Flag(bool b) { return b ? u"1" : u"0"; }

TXmlNode Open_Root(TXmlDocument& doc, const TSaveConfXML& in) {
    doc.Clear();
    if (in.Append == 1) {
        doc.LoadFromFile(in.File_Name);
        const auto top = doc.TopLevelNodes();
        if (!top.empty() && top.front().Kind() == TXmlNodeKind::Element)
            return top.front();
        if (TXmlNode root = doc.DocumentElement())
            return root;
        throw EConvertError(Lang_Message(1194, {in.File_Name}));
    }
    return doc.CreateRoot(u"M-Bus_Network");
}

// In start-address mode each meter's counter starts from its own entry; a
// meter without one starts from Mod_Start.
int Start_Register(const TSaveConfXML& in, std::size_t meter, int counter) {
    if (in.StartModnode != 1)
        return counter;
    return meter < in.SMN_Array.size() ? in.SMN_Array[meter] : in.Mod_Start;
}

void Write_Var(TXmlNode& nodo, const TVariable_MBus& r, std::size_t index, int& counter, const TSaveConfXML& in,
               bool check_bcd) {
    TXmlNode v = nodo.AddChild(u"Variabile");
    v.SetAttribute(u"Enable", Flag(r.Enable));
    v.SetAttribute(u"Position", IntToStr(index + 1));
    v.SetAttribute(u"Desc", r.Desc_Type_Data + u" (U" + IntToStr(r.device) + u"S" + IntToStr(r.storage_number) +
                                u"T" + IntToStr(r.tarif) + u")");
    v.SetAttribute(u"Type", IntToStr(r.type_data));
    v.SetAttribute(u"VIF_ASCII", r.type_data == 21 ? r.VIF_ASCII : String());
    // The function field's order in the network: maximum before minimum.
    const int fun = r.function_fild == 1 ? 2 : r.function_fild == 2 ? 1 : r.function_fild;
    v.SetAttribute(u"Fun_Field", IntToStr(fun));
    const TMBus_Dim_Regs dr = Dim_And_Registers(r.dimension, r.nbyte);
    v.SetAttribute(u"Length", IntToStr((r.dimension & 0x0F) == 0xD ? r.nbyte : 0));
    v.SetAttribute(u"ModReg", IntToStr(counter));
    v.SetAttribute(u"Dim", IntToStr(dr.Dim));
    v.SetAttribute(u"Unit", IntToStr(r.device));
    v.SetAttribute(u"StoNumber", IntToStr(r.storage_number));
    v.SetAttribute(u"Tariff", IntToStr(r.tarif));
    v.SetAttribute(u"VIFE", IntToStr(r.Type_Data_Vife));
    v.SetAttribute(u"ModScale", u"0");
    v.SetAttribute(u"BCDtoINT", Flag(r.Is_BCD && check_bcd));
    v.SetAttribute(u"SWAP", u"0");
    // In start-address mode a record the user did not keep takes no registers.
    if (in.StartModnode != 1 || r.Enable)
        counter += dr.Regs;
}

void Save(TXmlDocument& doc, const TSaveConfXML& in) {
    doc.SaveToFile(in.File_Name);
    doc.Clear();
}

}  // namespace

TMBus_Dim_Regs Dim_And_Registers(Byte DataField, int Length_Bytes) {
    TMBus_Dim_Regs dr = Dim_Table[DataField & 0x0F];
    if ((DataField & 0x0F) == 0xD)
        dr.Regs = (Length_Bytes + 1) / 2;
    return dr;
}

bool Save_XML_Conf_Wired(const TSaveConfXML& in, bool Check_BCD) {
    if (MBus_Slave_List.empty())
        return false;
    TXmlDocument doc;
    TXmlNode root = Open_Root(doc, in);
    int counter = in.Mod_Start;
    for (std::size_t m = 0; m < MBus_Slave_List.size(); ++m) {
        const auto* s = static_cast<const TSlave_MBus*>(MBus_Slave_List[m]);
        counter = Start_Register(in, m, counter);
        TXmlNode n = root.AddChild(u"Nodo");
        n.SetAttribute(u"Enable_Node", Flag(s->Enable));
        n.SetAttribute(u"ID_Primary", IntToStr(s->Primary_Addresss));
        n.SetAttribute(u"ID_Secondary", s->Secondary_Addresss);
        n.SetAttribute(u"Node_ID_Type", IntToStr(in.Node_ID_Type));
        n.SetAttribute(u"Descrizione", s->descManufacture);
        n.SetAttribute(u"Send_SND_NKE", Flag(in.SND_NKE == 1));
        n.SetAttribute(u"Reset_App", Flag(in.Reset_App == 1));
        n.SetAttribute(u"Cut_After", IntToStr(Cut_After_Index(in.Cut_After)));
        for (std::size_t i = 0; i < s->List_Var.size(); ++i) Write_Var(n, *s->List_Var[i], i, counter, in, Check_BCD);
    }
    Save(doc, in);
    return true;
}

bool Save_XML_Conf_Wireless(const TSaveConfXML& in, bool Check_BCD) {
    if (WMBus_Slave_List.empty())
        return false;
    TXmlDocument doc;
    TXmlNode root = Open_Root(doc, in);
    int counter = in.Mod_Start;
    for (std::size_t m = 0; m < WMBus_Slave_List.size(); ++m) {
        const auto* s = static_cast<const TSlave_wMBus*>(WMBus_Slave_List[m]);
        counter = Start_Register(in, m, counter);
        TXmlNode n = root.AddChild(u"Nodo");
        n.SetAttribute(u"Enable_Node", Flag(s->Enable));
        n.SetAttribute(u"ID_Primary", u"1");
        n.SetAttribute(u"ID_Secondary", u"1");
        n.SetAttribute(u"Node_ID_Type", u"0");
        n.SetAttribute(u"Descrizione", s->ALA_Manu_str);
        n.SetAttribute(u"Send_SND_NKE", u"0");
        n.SetAttribute(u"Reset_App", u"0");
        n.SetAttribute(u"Cut_After", u"3");
        n.SetAttribute(u"MBus_Type", u"0");
        n.SetAttribute(u"wMBus_ManID", IntToStr(s->ALA_Manufacturer));
        n.SetAttribute(u"wMBus_Add", IntToStr(s->ALA_Address));
        n.SetAttribute(u"wMBus_Ver", IntToStr(s->ALA_Version));
        n.SetAttribute(u"wMBus_DevType", IntToStr(s->ALA_DeviceType));
        n.SetAttribute(u"wMBus_En_Key", Flag(s->Enable_Key));
        for (std::size_t k = 0; k < s->Key.size(); ++k)
            n.SetAttribute(u"wMBus_Key_" + IntToStr(k + 1), IntToStr(s->Key[k]));
        // Idle fillers are not written, but the positions after them count them.
        for (std::size_t i = 0; i < s->List_Var.size(); ++i)
            if (s->List_Var[i]->Real_Wireless_Var)
                Write_Var(n, *s->List_Var[i], i, counter, in, Check_BCD);
    }
    Save(doc, in);
    return true;
}
