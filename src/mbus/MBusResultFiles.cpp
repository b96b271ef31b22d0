#include "mbus/MBusResultFiles.h"

#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "mbus/MBusRecords.h"
#include "mbus/MBusWirelessDecode.h"
#include "shell/Globals.h"

#include <mutex>

namespace {
void Add_Variables(TXmlNode node, const TVar_List& list) {
    for (const auto& v : list) {
        TXmlNode var = node.AddChild(u"Variable");
        var.SetAttribute(u"Value", v->ValueStr);
        var.SetAttribute(u"Type", v->Desc_Type_Data);
        var.SetAttribute(u"UST", u"(U" + IntToStr(v->device) + u"S" + IntToStr(v->storage_number) + u"T" +
                                     IntToStr(v->tarif) + u")");
        var.AddChild(u"Storage_Number", IntToStr(v->storage_number));
        var.AddChild(u"Tariff", IntToStr(v->tarif));
        var.AddChild(u"Unit", IntToStr(v->device));
        var.AddChild(u"Data_Field", v->DataFieldStr);
        var.AddChild(u"Function_Field", v->FunctionFieldStr);
        var.AddChild(u"Type", v->Desc_Type_Data);
        var.AddChild(u"Value", v->ValueStr);
        var.AddChild(u"DIF", v->DIF);
        var.AddChild(u"VIF", u"$" + IntToHex(v->VIF, 2));
        var.AddChild(u"DIFE", v->DIFE);
        var.AddChild(u"VIFE", v->VIFE);
        var.AddChild(u"DATA", u"$" + v->totdati);
    }
}
}  // namespace

void Save_XML_File_DLL(const String& Path) {
    TXmlDocument doc;
    TXmlNode root = doc.CreateRoot(u"SCAN_M-Bus_Wired");
    for (const TObject* o : MBus_Slave_List) {
        const auto* s = dynamic_cast<const TSlave_MBus*>(o);
        if (!s) continue;
        TXmlNode node = root.AddChild(u"Node");
        node.SetAttribute(u"Primary_Address", IntToStr(s->Primary_Addresss));
        node.SetAttribute(u"Secondary_Address", s->Secondary_Addresss);
        node.SetAttribute(u"Manufacturer", s->descManufacture + u" (" + IntToStr(s->Manufacture) + u")");
        node.SetAttribute(u"Version", IntToStr(s->Version));
        node.SetAttribute(u"Type", IntToStr(s->Medium));
        Add_Variables(node, s->List_Var);
    }
    doc.SaveToFile(Path);
}

void Save_Wireless_XML_File_DLL(const String& Path) {
    TXmlDocument doc;
    TXmlNode root = doc.CreateRoot(u"SCAN_M-Bus_Wireless");
    {
        std::lock_guard<std::mutex> hold(WMBus_Slave_Lock());
        for (const TObject* o : WMBus_Slave_List) {
            const auto* s = dynamic_cast<const TSlave_wMBus*>(o);
            if (!s) continue;
            TXmlNode node = root.AddChild(u"Node");
            node.SetAttribute(u"Manufacturer", s->ALA_Manu_str);
            node.SetAttribute(u"Address", IntToHex(s->ALA_Address, 8));
            node.SetAttribute(u"Version", IntToStr(s->ALA_Version));
            node.SetAttribute(u"Device_Type", IntToStr(s->ALA_DeviceType));
            node.SetAttribute(u"Cripted", s->Cripted ? u"True" : u"False");
            Add_Variables(node, s->List_Var);
        }
    }
    doc.SaveToFile(Path);
}
