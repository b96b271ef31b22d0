#include "image/ImageBuild.h"

#include "framework/Files.h"
#include "image/ImageCAN.h"
#include "image/ImageCANopen.h"
#include "image/ImageDMX.h"
#include "image/ImageDeviceNetMaster.h"
#include "image/ImageEtherNetIP.h"
#include "image/ImageEthernet.h"
#include "image/ImageJ1939.h"
#include "image/ImageMBus.h"
#include "image/ImageModbusMaster.h"
#include "image/ImageModbusSlave.h"
#include "image/ImageModbusTCP.h"
#include "image/ImageProfibus.h"
#include "shell/Globals.h"
#include "shell/ULanguage.h"

#include <cstdio>
#include <string>

namespace {

// A model's bank files, in the order they are written.
constexpr TBankFile A_Len{u"bank.bin", TBank::A, false};
constexpr TBankFile A_2048{u"bank.bin", TBank::A, true};
constexpr TBankFile A1_Len{u"bank1.bin", TBank::A, false};
constexpr TBankFile A1_2048{u"bank1.bin", TBank::A, true};
constexpr TBankFile B1{u"bank1.bin", TBank::B, false};
constexpr TBankFile B2{u"bank2.bin", TBank::B, false};
constexpr TBankFile C1{u"bank1.bin", TBank::C, false};
constexpr TBankFile C2{u"bank2.bin", TBank::C, false};
constexpr TBankFile C3{u"bank3.bin", TBank::C, false};
constexpr TBankFile D4{u"bank4.bin", TBank::D, false};
constexpr TBankFile C_K64{u"bank_K64.bin", TBank::C, false};
constexpr TBankFile Profibus{u"bank.bin", TBank::Profibus_Block, true};
constexpr TBankFile MBus0{u"bank.bin", TBank::MBus_Bank, false};
constexpr TBankFile MBus1{u"bank1.bin", TBank::MBus_Bank1, false};
constexpr TBankFile MBus2{u"bank2.bin", TBank::MBus_Bank2, false};
constexpr TBankFile MBus3{u"bank3.bin", TBank::MBus_Bank3, false};

// Every model code, its family builder and the files its writer produces.
const TImageFamily Image_Family_Table[] = {
    {0, "Build_Image_CAN", Build_Image_CAN, {A1_Len, B2, C3}},
    {1, "Build_Image_DeviceNet_Master", Build_Image_DeviceNet_Master, {A_Len}},
    {2, "Build_Image_DeviceNet_Slave", Build_Image_DeviceNet_Slave, {A_2048}},
    {3, "Build_Image_Profibus_Block", Build_Image_Profibus_Block, {Profibus}},
    {4, "Build_Image_Modbus_Master", Build_Image_Modbus_Master, {A_Len, B1, C2}},
    {5, "Build_Image_Modbus_Slave", Build_Image_Modbus_Slave, {A_Len}},
    {6, "Build_Image_J1939", Build_Image_J1939, {A1_Len, B2, C3}},
    {7, "Build_Image_NMEA2000", Build_Image_NMEA2000, {A1_2048, B2}},
    {8, "Build_Image_CANopen", Build_Image_CANopen, {A1_Len, B2, C3, D4}},
    {9, "Build_Image_Serial", Build_Image_Serial, {A_2048, C_K64}},
    {10, "Build_Image_MBus", Build_Image_MBus, {MBus0, MBus1, MBus2, MBus3}},
    {11, "Build_Image_Modbus_TCP_Master", Build_Image_Modbus_TCP_Master, {A1_2048, B2, C3}},
    {12, "Build_Image_Modbus_TCP_Slave", Build_Image_Modbus_TCP_Slave, {A_Len, C1}},
    {13, "Build_Image_EtherNetIP", Build_Image_EtherNetIP, {A_2048, B1}},
    {14, "Build_Image_J1939", Build_Image_J1939, {A1_Len, B2}},
    {15, "Build_Image_CAN", Build_Image_CAN, {A1_Len, B2}},
    {16, "Build_Image_Modbus_Slave", Build_Image_Modbus_Slave, {A_Len}},
    {17, "Build_Image_Modbus_TCP_Slave", Build_Image_Modbus_TCP_Slave, {A_Len, C1}},
    {18, "Build_Image_Modbus_Master", Build_Image_Modbus_Master, {A_Len, B1, C2}},
    {19, "Build_Image_Modbus_TCP_Master", Build_Image_Modbus_TCP_Master, {A_Len}},
    {20, "Build_Image_SNMP_Agent", Build_Image_SNMP_Agent, {A_Len}},
    {21, "Build_Image_MBus", Build_Image_MBus, {MBus0, MBus1, MBus2, MBus3}},
    {22, "Build_Image_DMX", Build_Image_DMX, {A_Len}},
    {23, "Build_Image_Profibus_Slave", Build_Image_Profibus_Slave, {A_Len}},
    {24, "Build_Image_CANopen", Build_Image_CANopen, {A1_Len, B2}},
    {25, "Build_Image_Modbus_Master", Build_Image_Modbus_Master, {A_Len}},
    {26, "Build_Image_Modbus_Slave", Build_Image_Modbus_Slave, {A_Len}},
    {27, "Build_Image_CAN", Build_Image_CAN, {A1_Len, B2}},
    {28, "Build_Image_NMEA2000", Build_Image_NMEA2000, {A1_2048, B2}},
    {29, "Build_Image_DMX", Build_Image_DMX, {A1_Len, B2}},
    {30, "Build_Image_Modbus_Master", Build_Image_Modbus_Master, {A_Len}},
    {31, "Build_Image_Ethernet", Build_Image_Ethernet, {A_Len}},
    {32, "Build_Image_J1939", Build_Image_J1939, {A1_Len, B2}},
    {33, "Build_Image_CANopen", Build_Image_CANopen, {A1_Len, B2}},
    {34, "Build_Image_CAN", Build_Image_CAN, {A1_Len, B2}},
    {35, "Build_Image_EtherNetIP", Build_Image_EtherNetIP, {A_2048, B1, C2}},
    {1018, "Build_Image_Modbus_Master", Build_Image_Modbus_Master, {A_Len, B1, C2}},
    {2004, "Build_Image_Modbus_Master", Build_Image_Modbus_Master, {A_Len, B1, C2}},
};

String Num(int n) { return S(std::to_string(n)); }

std::unique_ptr<TDeviceImage> Last_Device_Image;

struct TPendingFile {
    String Final, Temporary;
    std::string_view Bytes;
};

}  // namespace

const TImageFamily* Find_Image_Family(int modelCode) {
    for (const TImageFamily& family : Image_Family_Table)
        if (family.Model_Code == modelCode) return &family;
    return nullptr;
}

std::unique_ptr<TDeviceImage> Build_Device_Image(const TImageSources& sources) {
    const TImageFamily* family = Find_Image_Family(sources.Model_Code);
    if (!family) throw EImageError(Lang_Message(1162, {Num(sources.Model_Code)}));
    auto image = std::make_unique<TDeviceImage>();
    image->Model_Code = sources.Model_Code;
    family->Build(*image, sources);
    return image;
}

void Write_Device_Image(const TDeviceImage& image, const String& projectDir) {
    const TImageFamily* family = Find_Image_Family(image.Model_Code);
    if (!family) throw EImageError(Lang_Message(1162, {Num(image.Model_Code)}));
    String bin = PathJoin(projectDir, u"bin");
    if (projectDir.empty() || !DirectoryExists(bin))
        throw EImageError(Lang_Message(1163, {bin}));

    std::vector<TPendingFile> files;
    for (const TBankFile& file : family->Files) {
        const TBankBuffer& buffer = image.Buffer(file.Buffer);
        std::size_t length = file.First_2048 ? Param_Block_Size : buffer.Len;
        if (length > buffer.Capacity() || (length > 0 && buffer.Data() == nullptr))
            throw EImageError(Lang_Message(1164, {S(buffer.Name())}));
        files.push_back({PathJoin(bin, file.Name), PathJoin(bin, String(u".") + file.Name + u".new"),
                         std::string_view(reinterpret_cast<const char*>(buffer.Data()), length)});
    }

    // Every file of the set first goes to its temporary; only a complete set
    // replaces the old files, so a failure never leaves a mixed set to flash.
    std::size_t written = 0;
    try {
        for (; written < files.size(); ++written) WriteFileAtomic(files[written].Temporary, files[written].Bytes);
    } catch (const Exception& e) {
        for (std::size_t i = 0; i < written; ++i) DeleteFile(files[i].Temporary);
        throw EImageError(Lang_Message(1165, {e.Message()}));
    }
    for (std::size_t i = 0; i < files.size(); ++i) {
        if (std::rename(StringToUtf8(files[i].Temporary).c_str(), StringToUtf8(files[i].Final).c_str()) != 0) {
            for (std::size_t j = i; j < files.size(); ++j) DeleteFile(files[j].Temporary);
            throw EImageError(Lang_Message(1166, {files[i].Final}));
        }
    }
}

void Build_Device_Image() {
    Last_Device_Image.reset();
    Last_Device_Image = Build_Device_Image(TImageSources::From_Globals());
}

void Write_Device_Image() {
    if (!Last_Device_Image || Last_Device_Image->Model_Code != Model_Code)
        throw EImageError(Lang_Table[1167]);
    Write_Device_Image(*Last_Device_Image, Project_Dir);
}
