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
#include "tables/UDMXDefVal.h"
#include "tables/UDNet.h"
#include "tables/UDefOffset.h"
#include "tables/UModbus_TCP_Master_Set_Access.h"
#include "tables/UNodeGuard.h"
#include "tables/UReStart_Devices.h"
#include "tables/USNMP_Trap_Access.h"
#include "tables/USNMP_Trap_Access_MBus.h"
#include "tables/UCAN_Rec_Frames.h"
#include "tables/UCAN_Send_Frame.h"
#include "tables/UReceiveJ1939.h"
#include "tables/UReceiveNMEA.h"
#include "tables/UTransmitJ1939.h"
#include "tables/UTransmitNMEA.h"
#include "tables/U_Rec_Info.h"
#include "tables/U_Sen_Info.h"
#include "tables/USetAccess.h"
#include "tables/USet_PDO_Access.h"
#include "tables/USet_SDO_Client_Access.h"
#include "tables/USet_SDO_Server_Access.h"
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
