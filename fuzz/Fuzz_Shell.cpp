// The shell's parsers: the general parameters of a project under every
// model code, the settings file beside the executable and a language file.

#include "Fuzz_Dialogs.h"
#include "Fuzz_Support.h"
#include "Fuzz_Targets.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"
#include "shell/UParGen.h"
#include "shell/USettings.h"


// The model (a byte) and its project; the general-parameters form is shown
// as the wizard shows it (it also counts the Modbus requests and CAN frames
// of their files) and OK checks the values and writes them back.
void Fuzz_ParGen(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    TFuzzInput in(Data, Size);
    const int model = Fuzz_Model(in.Byte());
    Fuzz_Open_Project(model, in);
    TFParGen& f = Fuzz_Window(model, Fuzz_Make<TFParGen>);  // its layout is the model's
    Fuzz_Show_Modal(f, [&] { f.Btn_OK_Click(&f); });
}

// "Bridgeform.xml" read at start-up, written back at the end and read again.
void Fuzz_Settings(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    Exe_Dir = Fuzz_Folder();
    Fuzz_File(u"Bridgeform.xml", std::string_view(reinterpret_cast<const char*>(Data), Size));
    Read_Settings();
    Fuzz_Guarded([] {
        Save_Setting();
        Read_Settings();
    });
}

// A language file over the built-in texts.
void Fuzz_Language(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    const String path = Fuzz_File(u"Fuzz.lng", std::string_view(reinterpret_cast<const char*>(Data), Size));
    Load_Default_Texts();
    Load_Lang_File(path);
}
