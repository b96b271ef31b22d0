#include "app/Pending_Windows.h"

#include "framework/Dialogs.h"
#include "shell/Globals.h"
#include "shell/Shell_Controls.h"

#if __has_include("image/ImageBuild.h")
#include "image/ImageBuild.h"
#endif

TPending_Window::TPending_Window(TComponent* AOwner, const char16_t* className, const char16_t* what) : TForm(AOwner) {
    SetName(String(className).substr(1));
    SetBorderStyle(bsDialog);
    SetPosition(poScreenCenter);
    SetCaption(String(className).substr(1));
    SetClientWidth(360);
    SetClientHeight(120);
    Font().SetName(u"Verdana");
    Font().SetHeight(-11);
    L_SW_Code = Make_Label(this, u"L_SW_Code", 16, 8);
    L_SW_Code->SetCaption(SW_Code);
    L_SW_Code->Font().SetHeight(-24);
    L_SW_Code->Font().SetColor(clGray);
    L_What = Make_Label(this, u"L_What", 16, 48);
    String text = what;
    text[0] = Char(text[0] - 32);
    L_What->SetCaption(text + u" is not built yet.");
    Btn_Close = new TButton(this);
    Btn_Close->SetParent(this);
    Btn_Close->SetBounds(264, 80, 80, 28);
    Btn_Close->SetCaption(u"Close");
    Btn_Close->SetModalResult(mrCancel);
    Btn_Close->SetCancel(true);
}

#define CONFIGURATOR_PENDING_GLOBAL(Class, Global) Class* Global = nullptr;
#ifndef CONFIGURATOR_HAS_PARGEN
CONFIGURATOR_PENDING_GLOBAL(TFParGen, FParGen)
#endif
#ifndef CONFIGURATOR_HAS_DESCFILES
CONFIGURATOR_PENDING_GLOBAL(TFProfinetFileName, FProfinetFileName)
#endif
#undef CONFIGURATOR_PENDING_GLOBAL

namespace {

void Not_Built(const char16_t* what) { MessageDlg(String(what) + u" is not built yet.", mtInformation, TMsgDlgButtons{mbOK}); }

}  // namespace

#if __has_include("image/ImageBuild.h")
void Run_Update_Device() {
    try {
        Build_Device_Image();
        Write_Device_Image();
    } catch (const Exception& e) {
        MessageDlg(e.Message(), mtError, TMsgDlgButtons{mbOK});
        return;
    }
    FBootTCP->ShowModal();
}
#else
void Run_Update_Device() { Not_Built(u"The image builder"); }
#endif

#ifndef CONFIGURATOR_HAS_DESCFILES
void Create_GSDML_File(const String&) { Not_Built(u"The PROFINET XML writer"); }
void Create_GSD_File() { Not_Built(u"The PROFIBUS GSD writer"); }
void Write_EDS_File(const String&) { Not_Built(u"The CANopen EDS writer"); }
void Create_MIB_File() { Not_Built(u"The SNMP MIB writer"); }
#endif
