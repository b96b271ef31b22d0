#include "app/Wizard_Actions.h"

#include "framework/Files.h"
#include "framework/SysUtils.h"
#include "shell/Globals.h"
#include "shell/ParGenFile.h"
#include "shell/UComon.h"

int Read_SNMP_Map_Type() {
    int r = 1;
    if (FileExists(Path_ParGen)) {
        const TParGenFile parGen = TParGenFile::Load(Path_ParGen);
        if (Model_Code == 18 || Model_Code == 19) {
            const std::optional<String> text = parGen.Raw(u"SNMP_MapType");
            r = text ? StrToIntDef(*text, 0) : 0;
        }
    }
    return r;
}

int Read_SNMP_Map() {
    if (!FileExists(Path_ParGen))
        return 0;
    const std::optional<String> text = TParGenFile::Load(Path_ParGen).Raw(u"SNMP_MAP");
    return text ? SNMP_Map_Type_Code(*text) : 0;
}

bool SNMP_Buttons_Enabled(int mapValue) {
    if (Model_Code == 30 || Model_Code == 1018)
        return true;
    return mapValue == 1;
}
