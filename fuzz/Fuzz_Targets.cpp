#include "Fuzz_Targets.h"

#include "Fuzz_Dialogs.h"
#include "Fuzz_Support.h"
#include "framework/Forms.h"
#include "shell/ULanguage.h"

#include <cstdlib>
#include <cstring>

namespace {

const TFuzzTarget Targets[] = {
    {"mbus_long_frame", Fuzz_MBus_Long_Frame},
    {"mbus_wireless", Fuzz_MBus_Wireless},
    {"mbus_network", Fuzz_MBus_Network},
    {"pargen", Fuzz_ParGen},
    {"settings", Fuzz_Settings},
    {"language", Fuzz_Language},
    {"table_loaders", Fuzz_Table_Loaders},
    {"image_builder", Fuzz_Image_Builder},
    {"grid_bin_stream", Fuzz_Grid_Bin_Stream},
    {"grid_loaders", Fuzz_Grid_Loaders},
    {"grid_workbook", Fuzz_Grid_Workbook},
    {"tree_stream", Fuzz_Tree_Stream},
    {"markup", Fuzz_Markup},
};

}  // namespace

std::span<const TFuzzTarget> Fuzz_Targets() { return Targets; }

const TFuzzTarget* Find_Fuzz_Target(const char* Name) {
    for (const TFuzzTarget& t : Targets)
        if (std::strcmp(t.Name, Name) == 0) return &t;
    return nullptr;
}

void Fuzz_Run(const TFuzzTarget& Target, const std::uint8_t* Data, std::size_t Size) {
    Target.Run(Data, Size);
    Application->ProcessMessages();
}

void Fuzz_Initialize() {
    static const bool done = [] {
        setenv("QT_QPA_PLATFORM", "offscreen", 0);
        Fuzz_Dialogs();
        Fuzz_Folder();
        Load_Default_Texts();
        return true;
    }();
    (void)done;
}
