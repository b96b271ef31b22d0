#include "app/Wizard_Actions.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "framework/XmlDoc.h"
#include "shell/Globals.h"
#include "shell/UComon.h"

int Read_SNMP_Map_Type() {
    int r = 1;
    if (FileExists(Path_ParGen)) {
        TXmlDocument xml;
        xml.LoadFromFile(Path_ParGen);
        if (Model_Code == 18 || Model_Code == 19) {
            const TXmlNode node = xml.DocumentElement().ChildNode(u"SNMP_MapType");
            r = node ? StrToIntDef(node.Text(), 0) : 0;
        }
    }
    return r;
}

int Read_SNMP_Map() {
    if (!FileExists(Path_ParGen))
        return 0;
    TXmlDocument xml;
    xml.LoadFromFile(Path_ParGen);
    const TXmlNode node = xml.DocumentElement().ChildNode(u"SNMP_MAP");
    return node ? SNMP_Map_Type_Code(node.Text()) : 0;
}

bool SNMP_Buttons_Enabled(int mapValue) {
    if (Model_Code == 30 || Model_Code == 1018)
        return true;
    return mapValue == 1;
}
