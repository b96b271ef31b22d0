#include "app/Program_Windows.h"

#include "app/UBridgeformeFirmWare.h"
#include "descfiles/UProfinetFileName.h"
#include "image/UAdvanceFunctions.h"
#include "image/UBootTCP.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UNewIDNode.h"
#include "mbus/UScanDecode.h"
#include "mbus/UScanModbusStart.h"
#include "shell/UAbout.h"
#include "shell/UNew_Project.h"
#include "shell/UOpenConf.h"
#include "shell/UParGen.h"
#include "shell/USoftOptions.h"
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
#include "tables/USNMP_Trap_Access_MBus.h"
#include "tables/USetAccess.h"
#include "tables/USet_PDO_Access.h"
#include "tables/USet_SDO_Client_Access.h"
#include "tables/USet_SDO_Server_Access.h"
#include "tables/UTransmitJ1939.h"
#include "tables/UTransmitNMEA.h"
#include "tables/U_Rec_Info.h"
#include "tables/U_Sen_Info.h"

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
