#pragma once
// The windows and actions of the table editors, the M-Bus windows and the
// description-file writers, which are not built yet. Each window is a plain
// form under its own class and global, created in the start order and shown
// modally; it says what it will be. Each action says that it is not built
// yet. A subsystem that lands replaces its entries here with its own header.

#include "framework/Forms.h"
#include "framework/StdCtrls.h"
#include "image/UAdvanceFunctions.h"
#include "image/UBootTCP.h"
#include "tables/USNMP_Trap_Access.h"
#include "tables/USNMP_Trap_Access_MBus.h"
#include "mbus/UInsertKeyWireless.h"
#include "mbus/UMeter_Bus.h"
#include "mbus/UModbusStartAdd_SD.h"
#include "mbus/UNewIDNode.h"
#include "mbus/UScanDecode.h"
#include "mbus/UScanModbusStart.h"

#if __has_include("shell/UParGen.h")
#include "shell/UParGen.h"
#define CONFIGURATOR_HAS_PARGEN 1
#endif

class TPending_Window : public TForm {
public:
    TPending_Window(TComponent* AOwner, const char16_t* className, const char16_t* what);
    // Applies the texts of the window; a pending window has only its own.
    void Set_Lang() {}

protected:
    TLabel* L_SW_Code;
    TLabel* L_What;
    TButton* Btn_Close;
};

#define CONFIGURATOR_PENDING_WINDOW(Class, Global, What)                                     \
    class Class : public TPending_Window {                                                   \
    public:                                                                                  \
        explicit Class(TComponent* AOwner) : TPending_Window(AOwner, u## #Class, u##What) {} \
    };                                                                                       \
    extern Class* Global;

#ifndef CONFIGURATOR_HAS_PARGEN
CONFIGURATOR_PENDING_WINDOW(TFParGen, FParGen, "the general parameters")
#endif
CONFIGURATOR_PENDING_WINDOW(TF_Rec_Info, F_Rec_Info, "the CAN receive info editor")
CONFIGURATOR_PENDING_WINDOW(TF_Sen_Info, F_Sen_Info, "the CAN send info editor")
CONFIGURATOR_PENDING_WINDOW(TFCAN_Rec_Frames, FCAN_Rec_Frames, "the CAN receive frames editor")
CONFIGURATOR_PENDING_WINDOW(TFCAN_Send_Frame, FCAN_Send_Frame, "the CAN send frames editor")
CONFIGURATOR_PENDING_WINDOW(TFDefOffset, FDefOffset, "the DeviceNet offset editor")
CONFIGURATOR_PENDING_WINDOW(TFDNet, FDNet, "the DeviceNet network editor")
CONFIGURATOR_PENDING_WINDOW(TFSetAccess, FSetAccess, "the Modbus access editor")
CONFIGURATOR_PENDING_WINDOW(TFReceiveNMEA, FReceiveNMEA, "the NMEA 2000 receive editor")
CONFIGURATOR_PENDING_WINDOW(TFTransmitNMEA, FTransmitNMEA, "the NMEA 2000 transmit editor")
CONFIGURATOR_PENDING_WINDOW(TFReceiveJ1939, FReceiveJ1939, "the J1939 receive editor")
CONFIGURATOR_PENDING_WINDOW(TFTransmitJ1939, FTransmitJ1939, "the J1939 transmit editor")
CONFIGURATOR_PENDING_WINDOW(TFSet_PDO_Access, FSet_PDO_Access, "the PDO access editor")
CONFIGURATOR_PENDING_WINDOW(TFSet_SDO_Client_Access, FSet_SDO_Client_Access, "the SDO client editor")
CONFIGURATOR_PENDING_WINDOW(TFSet_SDO_Server_Access, FSet_SDO_Server_Access, "the SDO server editor")
CONFIGURATOR_PENDING_WINDOW(TFModbus_TCP_Master_Set_Access, FModbus_TCP_Master_Set_Access,
                            "the Modbus TCP master access editor")
CONFIGURATOR_PENDING_WINDOW(TFDMXDefVal, FDMXDefVal, "the DMX default-value editor")
CONFIGURATOR_PENDING_WINDOW(TFReStart_Devices, FReStart_Devices, "the CANopen restart editor")
CONFIGURATOR_PENDING_WINDOW(TFNodeGuard, FNodeGuard, "the node guarding editor")

#if __has_include("descfiles/UProfinetFileName.h")
#include "descfiles/UEds.h"
#include "descfiles/UGSDML.h"
#include "descfiles/UProfibus_GSD.h"
#include "descfiles/UProfinetFileName.h"
#include "descfiles/USNMP_MIB.h"
#define CONFIGURATOR_HAS_DESCFILES 1
#else
// The GSDML file-name dialog: confirmed with OK, it names the file.
class TFProfinetFileName : public TPending_Window {
public:
    explicit TFProfinetFileName(TComponent* AOwner)
        : TPending_Window(AOwner, u"TFProfinetFileName", u"the PROFINET XML file-name dialog") {}
    String Name_File_XML;
};
extern TFProfinetFileName* FProfinetFileName;
void Create_GSDML_File(const String& Name_File_XML);
void Create_GSD_File();
void Write_EDS_File(const String& FileName);
void Create_MIB_File();
#endif


#undef CONFIGURATOR_PENDING_WINDOW

// "Update Device" after its project guard: the images of the open project,
// then the update dialog. A refused build is shown and ends the step.
void Run_Update_Device();
