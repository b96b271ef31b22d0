// Every table editor's loader, as the wizard opens the editor: a project of
// a model that offers the editor, the editor shown (it reads its file and
// the general parameters) and OK pressed, which checks the rows and writes
// the file back.

#include "Fuzz_Dialogs.h"
#include "Fuzz_Support.h"
#include "Fuzz_Targets.h"
#include "app/Wizard_Layout.h"
#include "shell/Globals.h"
#include "shell/UModel_Tables.h"
#include "tables/Table_Window.h"
#include "tables/UCAN_Rec_Frames.h"
#include "tables/UCAN_Send_Frame.h"
#include "tables/UDMXDefVal.h"
#include "tables/UDNet.h"
#include "tables/UDefOffset.h"
#include "tables/UModbus_TCP_Master_Set_Access.h"
#include "tables/UNodeGuard.h"
#include "tables/UReStart_Devices.h"
#include "tables/UReceiveJ1939.h"
#include "tables/UReceiveNMEA.h"
#include "tables/USNMP_Trap_Access.h"
#include "tables/USetAccess.h"
#include "tables/USet_PDO_Access.h"
#include "tables/USet_SDO_Client_Access.h"
#include "tables/USet_SDO_Server_Access.h"
#include "tables/UTransmitJ1939.h"
#include "tables/UTransmitNMEA.h"
#include "tables/U_Rec_Info.h"
#include "tables/U_Sen_Info.h"

#include <vector>

namespace {

template <class T>
TTable_Editor_Form* Make() {
    return new T(nullptr);
}

// The wizard's button of each editor. The Modbus button opens the TCP
// master's editor for the models that have one.
struct TEditor {
    const char16_t* Button;
    TTable_Editor_Form* (*Make_Form)();
    bool (*Offered)(int Model);
    String* Path;  // the file it edits
};

bool Always(int) { return true; }
bool Tcp_Master(int Model) { return Model == 11 || Model == 19; }
bool Serial_Master(int Model) { return !Tcp_Master(Model); }

const TEditor Editors[] = {
    {u"Btn_CAN_Rec_Frame", Make<TFCAN_Rec_Frames>, Always, &Path_CAN_Rec_Frames},
    {u"Btn_CAN_Send_Frame", Make<TFCAN_Send_Frame>, Always, &Path_CAN_Send_Frames},
    {u"Btn_CAN_Rec_Info", Make<TF_Rec_Info>, Always, &Path_CAN_Rec_Info},
    {u"Btn_CAN_Send_Info", Make<TF_Sen_Info>, Always, &Path_CAN_Send_Info},
    {u"Btn_DNet_Net", Make<TFDNet>, Always, &Path_DNETM_Net},
    {u"Btn_DNet_Offset", Make<TFDefOffset>, Always, &Path_DNETM_DefOff},
    {u"Btn_ModM_SetAccess", Make<TFSetAccess>, Serial_Master, &Path_ModbusM_SetAccess},
    {u"Btn_ModM_SetAccess", Make<TFModbus_TCP_Master_Set_Access>, Tcp_Master, &Path_ModbusTCPM_SetAccess},
    {u"Btn_J1939_Rec_Frame", Make<TFReceiveJ1939>, Always, &Path_J1939_Rec_Frames},
    {u"Btn_J1939_Send_Frame", Make<TFTransmitJ1939>, Always, &Path_J1939_Send_Frames},
    {u"Btn_NMEA_Rec_Frame", Make<TFReceiveNMEA>, Always, &Path_NMEA_Rec_Frames},
    {u"Btn_NMEA_Send_Frame", Make<TFTransmitNMEA>, Always, &Path_NMEA_Send_Frames},
    {u"Btn_SDO_Server_CANopen", Make<TFSet_SDO_Server_Access>, Always, &Path_SDO_Server_CANopen},
    {u"Btn_SDO_Client_CANopen", Make<TFSet_SDO_Client_Access>, Always, &Path_SDO_Client_CANopen},
    {u"Btn_PDO_CANopen", Make<TFSet_PDO_Access>, Always, &Path_PDO_CANopen},
    {u"Btn_ReStart_Devices_CANopen", Make<TFReStart_Devices>, Always, &Path_ReStart_CANopen},
    {u"Btn_NodeGuard_CANopen", Make<TFNodeGuard>, Always, &Path_NodeGuard},
    {u"Btn_DMX_Default", Make<TFDMXDefVal>, Always, &Path_DMX_Default_Values},
    {u"Btn_SNMP_Trap", Make<TFSNMP_Trap_Access>, Always, &Path_SNMP_Trap},
};

struct TCase {
    const TEditor* Editor;
    int Model;
};

// Every editor with every model whose wizard offers it.
const std::vector<TCase>& Cases() {
    static const std::vector<TCase> cases = [] {
        std::vector<TCase> all;
        for (const TEditor& e : Editors)
            for (const TModel_Info& m : Model_Table)
                for (const TWizard_Place& p : Wizard_Places(m.Code))
                    if (String(p.Button) == e.Button && e.Offered(m.Code)) all.push_back({&e, m.Code});
        return all;
    }();
    return cases;
}

}  // namespace

int Fuzz_Table_Case(const String* Path, int Model) {
    for (std::size_t i = 0; i < Cases().size(); ++i)
        if (Cases()[i].Editor->Path == Path && Cases()[i].Model == Model) return int(i);
    return -1;
}

// The case (a byte: editor and model) and the project.
void Fuzz_Table_Loaders(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    TFuzzInput in(Data, Size);
    const TCase& c = Cases()[in.Byte() % Cases().size()];
    Fuzz_Open_Project(c.Model, in);
    TTable_Editor_Form& w = Fuzz_Window(std::pair{c.Editor, c.Model}, c.Editor->Make_Form);
    Fuzz_Show_Modal(w, [&] { w.Btn_OK->Click(); });
}
