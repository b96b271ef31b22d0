#pragma once
// "Update Device" turns the open project into the converter's bank files:
// Build_Device_Image picks the builder of the model's family from
// Image_Family_Table, which reads "ParGen.xml" and the family's table files
// and lays the parameter blocks and table sections into the bank buffers;
// Write_Device_Image writes the buffers as "bank.bin", "bank1.bin" ...
// "bank4.bin" and "bank_K64.bin" in the project's "bin" folder.
//
// Errors (see image/ImageError.h): both raise EImageError with the text to
// show when the build is refused or the files cannot be written, and the
// caller then stops the road (no update dialog). A failed build leaves no
// image to write; a failed write changes none of the bank files.

#include "image/DeviceImage.h"
#include "image/ImageError.h"

#include <memory>
#include <vector>

// The model's family builder on a fresh image. Raises EImageError for a model
// code outside the table and whatever the builder refuses.
std::unique_ptr<TDeviceImage> Build_Device_Image(const TImageSources& sources);

// Writes the model's bank files into projectDir + "/bin", all or none: each
// file goes to a temporary file first and replaces its old file only when
// every file of the set has been written. Files of other layouts are left as
// they are. A missing "bin" folder or a failed write raises EImageError and
// leaves every bank file as it was (only a rename refused after others of the
// set succeeded, which the folder's owner alone can cause, leaves a mixed set;
// it is reported all the same).
void Write_Device_Image(const TDeviceImage& image, const String& projectDir);

// The shell's calls: build for Model_Code from the open project's Path_*
// strings, keeping the image for Write_Device_Image, which writes it into
// Project_Dir. A failed build forgets any earlier image, so it cannot be
// written by mistake.
void Build_Device_Image();
void Write_Device_Image();

// One bank file of a model: its name, the buffer it comes from, and whether
// exactly the first 2048 bytes are written (the main block) or the length
// the build laid in.
struct TBankFile {
    const char16_t* Name;
    TBank Buffer;
    bool First_2048;
};

using TImageBuilder = void (*)(TDeviceImage& image, const TImageSources& sources);

struct TImageFamily {
    int Model_Code;
    const char* Builder_Name;  // the family builder's name, as the converter's documentation gives it
    TImageBuilder Build;
    std::vector<TBankFile> Files;
};

// The row of a model code; nullptr for a code outside the table.
const TImageFamily* Find_Image_Family(int modelCode);
