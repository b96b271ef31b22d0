#include "shell/USettings.h"

#include "framework/Files.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"

namespace {

void Set_Defaults() {
    Project_Name.clear();
    Project_Dir.clear();
    Last_IP_Address = Default_IP_Address;
    Language_Name = u"English";
    Opt_Enable_Internet = false;
    Opt_Enable_Update = false;
    Opt_Jump_Field_Tables = false;
    Opt_Double_Click_Auto_Size = false;
}

// The text of group/leaf under the root, or the default when either is
// missing or the text cannot be taken. Values are taken untrimmed.
String Leaf(const TXmlNode& root, const char16_t* group, const char16_t* leaf, const String& defaultText) {
    return root.ChildNode(group).ChildNode(leaf).Text(defaultText);
}

// Only exactly "1" is on.
bool Flag(const TXmlNode& root, const char16_t* leaf) {
    return Leaf(root, u"lastinternet", leaf, u"0") == u"1";
}

}  // namespace

String Settings_File_Name() { return PathJoin(Exe_Dir, u"Bridgeform.xml"); }

void Read_Settings() {
    Set_Defaults();
    const String file = Settings_File_Name();
    if (!FileExists(file))
        return;
    TXmlDocument xml;
    try {
        xml.LoadFromFile(file);
    } catch (const Exception&) {
        // A damaged or unreadable file counts as missing; it is replaced only
        // when the settings are next saved.
        return;
    }
    // The root is the first element, also behind a declaration or comment
    // that a hand edit put in front: reading such a file as all defaults
    // would overwrite the user's settings at the next save.
    const TXmlNode root = xml.DocumentElement();
    Project_Name = Leaf(root, u"lastproj", u"projectname", String());
    Last_IP_Address = Leaf(root, u"lastipadd", u"ipaddress", Default_IP_Address);
    Language_Name = Leaf(root, u"lastlang", u"language", u"English");
    Opt_Enable_Internet = Flag(root, u"enable_internet");
    Opt_Enable_Update = Flag(root, u"enable_update");
    Opt_Jump_Field_Tables = Flag(root, u"enable_jump_field_tables");
    Opt_Double_Click_Auto_Size = Flag(root, u"Double_Click_Auto_Size");
}

void Save_Setting() {
    auto flag = [](bool on) { return on ? u"1" : u"0"; };
    TXmlDocument xml;
    TXmlNode root = xml.CreateRoot(u"Conf_Settings");
    root.AddChild(u"lastproj").AddChild(u"projectname", Project_Name);
    root.AddChild(u"lastipadd").AddChild(u"ipaddress", Last_IP_Address);
    root.AddChild(u"lastlang").AddChild(u"language", Language_Name);
    TXmlNode internet = root.AddChild(u"lastinternet");
    internet.AddChild(u"enable_internet", flag(Opt_Enable_Internet));
    internet.AddChild(u"enable_update", flag(Opt_Enable_Update));
    internet.AddChild(u"enable_jump_field_tables", flag(Opt_Jump_Field_Tables));
    internet.AddChild(u"Double_Click_Auto_Size", flag(Opt_Double_Click_Auto_Size));
    xml.SaveToFile(Settings_File_Name());
}
