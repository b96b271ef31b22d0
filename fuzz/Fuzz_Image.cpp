// The image builder over a fuzzed project: "Update Device" of the model (a
// byte) reads the general parameters and the family's table files and
// writes the bank files.

#include "Fuzz_Support.h"
#include "Fuzz_Targets.h"
#include "image/ImageBuild.h"

void Fuzz_Image_Builder(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    TFuzzInput in(Data, Size);
    Fuzz_Open_Project(Fuzz_Model(in.Byte()), in);
    Fuzz_Guarded([] {
        Build_Device_Image();
        Write_Device_Image();
    });
}
