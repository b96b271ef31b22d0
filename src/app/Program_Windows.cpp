#include "app/Program_Windows.h"

#include "app/Pending_Windows.h"
#include "app/UBridgeformeFirmWare.h"
#include "shell/UAbout.h"
#include "shell/UNew_Project.h"
#include "shell/UOpenConf.h"
#include "shell/USoftOptions.h"

String Start_Folder;

void Create_Program_Windows() {
    Application->CreateForm(FBridgeformeFirmWare);
    Application->CreateForm(FNew_Project);
    Application->CreateForm(FOpenConf);
    Application->CreateForm(FAbout);
    Application->CreateForm(FParGen);
    Application->CreateForm(FBootTCP);
    Application->CreateForm(F_Rec_Info);
    Application->CreateForm(F_Sen_Info);
    Application->CreateForm(FCAN_Rec_Frames);
    Application->CreateForm(FCAN_Send_Frame);
    Application->CreateForm(FDefOffset);
    Application->CreateForm(FDNet);
    Application->CreateForm(FProfinetFileName);
    Application->CreateForm(FSetAccess);
    Application->CreateForm(FReceiveNMEA);
    Application->CreateForm(FTransmitNMEA);
    Application->CreateForm(FReceiveJ1939);
    Application->CreateForm(FTransmitJ1939);
    Application->CreateForm(FSet_PDO_Access);
    Application->CreateForm(FSet_SDO_Client_Access);
    Application->CreateForm(FSet_SDO_Server_Access);
    Application->CreateForm(FMeter_Bus);
    Application->CreateForm(FNewIDNode);
    Application->CreateForm(FSoftOptions);
    Application->CreateForm(FModbus_TCP_Master_Set_Access);
    Application->CreateForm(FAdvanceFunctions);
    Application->CreateForm(FDMXDefVal);
    Application->CreateForm(FSNMP_Trap_Access);
    Application->CreateForm(FInsertKeyWireless);
    Application->CreateForm(FModbusStartAdd_SD);
    Application->CreateForm(FScanDecode);
    Application->CreateForm(FScanModbusStart);
    Application->CreateForm(FReStart_Devices);
    Application->CreateForm(FNodeGuard);
    Application->CreateForm(FSNMP_Trap_Access_MBus);
    FMeter_Bus->Edit_SNMP_Map = [](std::vector<TSNMP_Row>& Rows) {
        return FSNMP_Trap_Access_MBus->Edit_Rows(Rows);
    };
    FSoftOptions->Change_Language = [] { FBridgeformeFirmWare->Change_Language(); };
    FSoftOptions->Show_Advance_Functions = [] { FAdvanceFunctions->ShowModal(); };
}
