#pragma once
// Frames and telegrams for the decoder tests, and a walk over a data area
// held in a buffer of exactly its size, so that a sanitizer build sees any
// read beyond it.
#include "framework/DateUtils.h"
#include "framework/SysUtils.h"
#include "mbus/MBusDecoder.h"
#include "shell/Globals.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

using TBytes = std::vector<Byte>;

// The variable-data RSP_UD example of the bus standard's documentation.
inline const TBytes Example_Frame = {0x68, 0x1F, 0x1F, 0x68, 0x08, 0x02, 0x72, 0x78, 0x56, 0x34, 0x12, 0x24, 0x40,
                                     0x01, 0x07, 0x55, 0x00, 0x00, 0x00, 0x03, 0x13, 0x15, 0x31, 0x00, 0xDA, 0x02,
                                     0x3B, 0x13, 0x01, 0x8B, 0x60, 0x04, 0x37, 0x18, 0x02, 0x18, 0x16};
// Its data records: frame bytes 19 to 34.
inline TBytes Example_Data() { return TBytes(Example_Frame.begin() + 19, Example_Frame.end() - 2); }

// The decrypted application data of the published wireless security-mode-5
// example telegram.
inline TBytes Wireless_Example_Data() {
    TBytes d = {0x2F, 0x2F, 0x0C, 0x14, 0x27, 0x04, 0x85, 0x02, 0x04, 0x6D,
                0x32, 0x37, 0x1F, 0x15, 0x02, 0xFD, 0x17, 0x00, 0x00};
    d.insert(d.end(), 13, 0x2F);
    return d;
}

// A long frame from meter address a with the example's fixed header around
// data: L fields, checksum (C field to the last data byte) and stop byte.
inline TBytes Long_Frame(Byte a, const TBytes& data, const TBytes& id = {0x78, 0x56, 0x34, 0x12},
                         Word manufacturer = 0x4024, Byte medium = 0x07) {
    TBytes f = {0x68, 0, 0, 0x68, 0x08, a, 0x72};
    f.insert(f.end(), id.begin(), id.end());
    f.insert(f.end(), {static_cast<Byte>(manufacturer), static_cast<Byte>(manufacturer >> 8), 0x01, medium, 0x55, 0x00,
                       0x00, 0x00});
    f.insert(f.end(), data.begin(), data.end());
    const Byte l = static_cast<Byte>(f.size() - 4);
    f[1] = f[2] = l;
    Byte sum = 0;
    for (std::size_t i = 4; i < f.size(); ++i) sum = static_cast<Byte>(sum + f[i]);
    f.push_back(sum);
    f.push_back(0x16);
    return f;
}

// A meter at address 3 whose records need the current coding: a humidity
// with its plain-text unit, a fabrication number as a string, a 16-byte key
// (LVAR 0xF0), a date the meter marks invalid, and a volume after them.
inline TBytes Current_Coding_Data() {
    TBytes d = {0x02, 0xFC, 0x03, 'H', 'R', '%', 0x75, 0x1D, 0x02, 0x0D, 0x78, 0x11};
    const std::string fabrication = "4185028021957100G";  // last character first
    d.insert(d.end(), fabrication.begin(), fabrication.end());
    d.insert(d.end(), {0x0D, 0xFD, 0x19, 0xF0});
    for (Byte b = 0; b < 16; ++b) d.push_back(b);
    d.insert(d.end(), {0x04, 0x6D, 0x9E, 0x0C, 0x8F, 0x33, 0x04, 0x13, 0x39, 0x30, 0x00, 0x00});
    return d;
}

// The key of the published security-mode-5 example, and its payload as an
// encrypted CI 8C telegram as the AT-command module passes it on (two
// trailing bytes).
inline const std::array<Byte, 16> Key5 = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 0x11};
inline const TBytes Telegram5_At = [] {
    TBytes t = {0x31, 0x44, 0x93, 0x15, 0x78, 0x56, 0x34, 0x12, 0x33, 0x03, 0x8C, 0x20, 0x2A, 0x7A, 0x2A, 0x00, 0x20, 0x25,
                0x59, 0x23, 0xC9, 0x5A, 0xAA, 0x26, 0xD1, 0xB2, 0xE7, 0x49, 0x3B, 0x01, 0x3E, 0xC4, 0xA6, 0xF6,
                0xD3, 0x52, 0x9B, 0x52, 0x0E, 0xDF, 0xF0, 0xEA, 0x6D, 0xEF, 0xC9, 0x9D, 0x6D, 0x69, 0xEB, 0xF3, 0x00, 0x5A};
    return t;
}();

// The network written from the example meter alone for scan code 11, cut
// after 3 frames, with the BCD check: one node and its three records.
inline const std::string Example_Network_Xml =
    "<M-Bus_Network><Nodo Enable_Node=\"1\" ID_Primary=\"2\" ID_Secondary=\"12345678\" Node_ID_Type=\"0\" "
    "Descrizione=\"PAD\" Send_SND_NKE=\"0\" Reset_App=\"0\" Cut_After=\"2\">"
    "<Variabile Enable=\"1\" Position=\"1\" Desc=\"Volume m3 (U0S0T0)\" Type=\"2\" VIF_ASCII=\"\" "
    "Fun_Field=\"0\" Length=\"0\" ModReg=\"1\" Dim=\"4\" Unit=\"0\" StoNumber=\"0\" Tariff=\"0\" VIFE=\"0\" "
    "ModScale=\"0\" BCDtoINT=\"0\" SWAP=\"0\"/>"
    "<Variabile Enable=\"1\" Position=\"2\" Desc=\"Volume Flow m3/h (U0S5T0)\" Type=\"8\" VIF_ASCII=\"\" "
    "Fun_Field=\"2\" Length=\"0\" ModReg=\"3\" Dim=\"1\" Unit=\"0\" StoNumber=\"5\" Tariff=\"0\" VIFE=\"0\" "
    "ModScale=\"0\" BCDtoINT=\"1\" SWAP=\"0\"/>"
    "<Variabile Enable=\"1\" Position=\"3\" Desc=\"Energy Wh (U1S0T2)\" Type=\"0\" VIF_ASCII=\"\" "
    "Fun_Field=\"0\" Length=\"0\" ModReg=\"4\" Dim=\"4\" Unit=\"1\" StoNumber=\"0\" Tariff=\"2\" VIFE=\"0\" "
    "ModScale=\"0\" BCDtoINT=\"1\" SWAP=\"0\"/>"
    "</Nodo></M-Bus_Network>\r\n";

struct TWalk {
    TVar_List List;
    bool Result = true;
    const TVariable_MBus& operator[](std::size_t i) const { return *List.at(i); }
};

// Decode_Data_Records over a heap copy of exactly the area's bytes.
inline TWalk Walk(TMBusDecoder& decoder, const TBytes& area) {
    TWalk w;
    std::unique_ptr<Byte[]> exact(area.empty() ? nullptr : new Byte[area.size()]);
    std::copy(area.begin(), area.end(), exact.get());
    w.Result = decoder.Decode_Data_Records(w.List, static_cast<int>(area.size()) - 1, exact.get());
    return w;
}

inline TWalk Walk(const TBytes& area, TMBusType type = mtWired) {
    TMBusDecoder decoder;
    decoder.MBusType = type;
    return Walk(decoder, area);
}

// Fixed clock and format settings; the wired list emptied after each test.
class TMBusTest : public testing::Test {
protected:
    TMBusTest() : clock_(EncodeDateTime(2026, 12, 10, 9, 5, 7, 0)), settings_(TFormatSettings{}) {}
    void TearDown() override { Cancel_MBus_Slave_List(); }

private:
    TClockGuard clock_;
    TFormatSettingsGuard settings_;
};
