#pragma once
// Small project folders for the image tests, and expected blocks worked out
// by offset.

#include "image/DeviceImage.h"
#include "image/ImageBuild.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

using TKeys = std::vector<std::pair<std::string, std::string>>;

// A project folder "proj" with its "bin" folder inside a temporary folder.
class TProjectFixture {
public:
    explicit TProjectFixture(int model) : model_(model) { dir_.write("proj/bin/.keep", ""); }

    std::string Project() const { return dir_.file("proj"); }
    std::string Bin(const std::string& name) const { return dir_.file("proj/bin/" + name); }
    std::string Read_Bin(const std::string& name) const { return dir_.read("proj/bin/" + name); }
    const TempDir& Dir() const { return dir_; }

    void ParGen(const TKeys& keys) const {
        std::string xml = "<Par_Gen>";
        for (const auto& [key, value] : keys) xml += "<" + key + ">" + value + "</" + key + ">";
        dir_.write("proj/ParGen.xml", xml + "</Par_Gen>\r\n<!--Version 1.000-->\r\n");
    }
    // Rows as attribute texts, e.g. R"(Enable="Y" Position="3")".
    void SNMP_Trap(const std::vector<std::string>& readRows, const std::vector<std::string>& writeRows,
                   bool withWrite = true) const {
        std::string xml = "<SNMP_Trap><SNMP_Trap_Read>";
        for (const std::string& r : readRows) xml += "<row " + r + "/>";
        xml += "</SNMP_Trap_Read>";
        if (withWrite) {
            xml += "<SNMP_Trap_Write>";
            for (const std::string& r : writeRows) xml += "<row " + r + "/>";
            xml += "</SNMP_Trap_Write>";
        }
        dir_.write("proj/SNMP_Trap.xml", xml + "</SNMP_Trap>\r\n<!--Version 1.000-->\r\n");
    }
    void Raw_File(const std::string& name, const std::string& bytes) const { dir_.write("proj/" + name, bytes); }

    // The protocol table files as their editors write them: one element per
    // line, indented, the version comment after the root. Rows as attribute
    // texts, e.g. R"(Slave_ID="1" Type="Coil Status")".
    void ModbusM_SetAccess(const std::vector<std::string>& readRows, const std::vector<std::string>& writeRows) const {
        Requests("ModbusM_SetAccess.xml", "EtherNetIP_to_Modbus", readRows, writeRows);
    }
    void ModbusTCPM_SetAccess(const std::vector<std::string>& readRows, const std::vector<std::string>& writeRows) const {
        Requests("ModbusTCPM_SetAccess.xml", "PROFINET_Master_to_Modbus_TCP_Master", readRows, writeRows);
    }
    void DNETM_Net(const std::vector<std::string>& slaveRows) const {
        std::string xml = "<DNET_Net>\r\n";
        for (const std::string& r : slaveRows) xml += "  <row " + r + "/>\r\n";
        dir_.write("proj/DNETM_Net.xml", xml + "</DNET_Net>\r\n" + Version_Comment);
    }
    // Per slave the "Offset" texts of its input and output bytes ("" = not mapped).
    struct TSlaveOffsets {
        std::vector<std::string> In, Out;
    };
    void DNETM_DefOff(const std::vector<TSlaveOffsets>& slaves) const {
        std::string xml = "<Define_Offset>\r\n";
        for (const TSlaveOffsets& s : slaves) {
            xml += "  <Nodo_DNET>\r\n";
            for (const auto& [name, offsets] : {std::pair{"ByteIN", &s.In}, std::pair{"ByteOUT", &s.Out}}) {
                xml += std::string("    <") + name + ">\r\n";
                for (std::size_t k = 0; k < offsets->size(); ++k)
                    xml += "      <row Offset=\"" + (*offsets)[k] + "\" Mnemonic=\"b" + std::to_string(k) + "\"/>\r\n";
                xml += std::string("    </") + name + ">\r\n";
            }
            xml += "  </Nodo_DNET>\r\n";
        }
        dir_.write("proj/DNETM_DefOff.xml", xml + "</Define_Offset>\r\n" + Version_Comment);
    }

    TImageSources Sources() const {
        TImageSources s;
        s.Model_Code = model_;
        s.Project_Dir = Utf8ToString(Project());
        s.Path_ParGen = Utf8ToString(Project() + "/ParGen.xml");
        s.Path_SNMP_Trap = Utf8ToString(Project() + "/SNMP_Trap.xml");
        for (auto [path, name] : {std::pair{&s.Path_CAN_Rec_Frames, "CAN_Rec_Frames.xml"},
                                  {&s.Path_CAN_Rec_Info, "CAN_Rec_Info.xml"},
                                  {&s.Path_CAN_Send_Frames, "CAN_Send_Frames.xml"},
                                  {&s.Path_CAN_Send_Info, "CAN_Send_Info.xml"},
                                  {&s.Path_SDO_Server_CANopen, "SDO_Server_CANopen.xml"},
                                  {&s.Path_SDO_Client_CANopen, "SDO_Client_CANopen.xml"},
                                  {&s.Path_PDO_CANopen, "PDO_CANopen.xml"},
                                  {&s.Path_NodeGuard, "NodeGuard.xml"},
                                  {&s.Path_ReStart_CANopen, "ReStart_CANopen.xml"},
                                  {&s.Path_J1939_Rec_Frames, "J1939_Rec_Frames.xml"},
                                  {&s.Path_J1939_Send_Frames, "J1939_Send_Frames.xml"},
                                  {&s.Path_NMEA_Rec_Frames, "NMEA_Rec_Frames.xml"},
                                  {&s.Path_NMEA_Send_Frames, "NMEA_Send_Frames.xml"}})
            *path = Utf8ToString(Project() + "/" + name);
        s.Path_M_Bus = Utf8ToString(Project() + "/M_Bus.xml");
        s.Path_DMX_Default_Values = Utf8ToString(Project() + "/DMX_Default_Values.xml");
        s.Path_ModbusM_SetAccess = Utf8ToString(Project() + "/ModbusM_SetAccess.xml");
        s.Path_ModbusTCPM_SetAccess = Utf8ToString(Project() + "/ModbusTCPM_SetAccess.xml");
        s.Path_DNETM_Net = Utf8ToString(Project() + "/DNETM_Net.xml");
        s.Path_DNETM_DefOff = Utf8ToString(Project() + "/DNETM_DefOff.xml");
        return s;
    }

private:
    static constexpr const char* Version_Comment = "<!--Version 1.000-->\r\n";
    void Requests(const std::string& file, const std::string& root, const std::vector<std::string>& readRows,
                  const std::vector<std::string>& writeRows) const {
        std::string xml = "<" + root + ">\r\n";
        for (const auto& [table, rows] : {std::pair{"Modbus_Read", &readRows}, std::pair{"Modbus_Write", &writeRows}}) {
            xml += std::string("  <") + table + ">\r\n";
            for (const std::string& r : *rows) xml += "    <row " + r + "/>\r\n";
            xml += std::string("  </") + table + ">\r\n";
        }
        dir_.write("proj/" + file, xml + "</" + root + ">\r\n" + Version_Comment);
    }

    int model_;
    TempDir dir_;
};

// "Update Device" on the project: build, then write the bank files.
inline void Build_And_Write(const TProjectFixture& p) {
    std::unique_ptr<TDeviceImage> image = Build_Device_Image(p.Sources());
    Write_Device_Image(*image, p.Sources().Project_Dir);
}

// The keys with more appended.
inline TKeys With(TKeys keys, const TKeys& more) {
    keys.insert(keys.end(), more.begin(), more.end());
    return keys;
}

// A PROFINET address set with its gateway enabled, and "PROFINET_PORT" 502
// (which only some families read); Profinet_Bytes is what lands at +40..+51.
inline const TKeys Profinet_Keys = {
    {"PROFINET_IP1", "10"}, {"PROFINET_IP2", "0"}, {"PROFINET_IP3", "0"}, {"PROFINET_IP4", "7"},
    {"PROFINET_SM1", "255"}, {"PROFINET_SM2", "255"}, {"PROFINET_SM3", "0"}, {"PROFINET_SM4", "0"},
    {"PROFINET_GAT1", "10"}, {"PROFINET_GAT2", "0"}, {"PROFINET_GAT3", "0"}, {"PROFINET_GAT4", "1"},
    {"PROFINET_EN_GAT", "1"}, {"PROFINET_PORT", "502"},
};
inline const std::vector<std::uint8_t> Profinet_Bytes = {10, 0, 0, 7, 255, 255, 0, 0, 10, 0, 0, 1};

// A 2048-byte block expected by offset; Close() stores the byte sum of
// bytes 0..2043 in 2044..2047.
struct TExpectedBlock {
    std::vector<std::uint8_t> b = std::vector<std::uint8_t>(2048, 0);

    TExpectedBlock& Bytes(std::size_t off, std::vector<std::uint8_t> v) {
        for (std::size_t i = 0; i < v.size(); ++i) b[off + i] = v[i];
        return *this;
    }
    TExpectedBlock& U16(std::size_t off, std::uint32_t v) { return Bytes(off, {std::uint8_t(v), std::uint8_t(v >> 8)}); }
    TExpectedBlock& U32(std::size_t off, std::uint32_t v) {
        return Bytes(off, {std::uint8_t(v), std::uint8_t(v >> 8), std::uint8_t(v >> 16), std::uint8_t(v >> 24)});
    }
    TExpectedBlock& Text(std::size_t off, const std::string& s) { return Bytes(off, {s.begin(), s.end()}); }
    std::string Close() {
        std::uint32_t sum = 0;
        for (std::size_t i = 0; i < 2044; ++i) sum += b[i];
        U32(2044, sum);
        return std::string(b.begin(), b.end());
    }
};

// The defaults of the two blocks, as the converter's documentation gives them.
inline TExpectedBlock Main_Defaults() {
    TExpectedBlock e;
    e.U32(0, 125000).U32(12, 9600).U16(16, 8).U16(52, 10000).U16(54, 10001).U16(56, 10001).U32(60, 9600).U16(64, 8);
    e.b[131] = 255;
    return e;
}
inline TExpectedBlock CPU2_Defaults() {
    TExpectedBlock e;
    e.U32(0, 250000).U32(4, 250000).U32(12, 9600).Bytes(40, {192, 168, 2, 205, 255, 255, 255, 0, 255, 255, 255, 255});
    e.U16(52, 10000).U16(54, 10001).U16(56, 10001).Bytes(436, {8, 8, 8, 8, 8, 8, 8, 8});
    return e;
}

// A 32-byte Modbus request entry expected field by field (TCP fields zero for RTU).
struct TExpectedRequest {
    std::uint16_t Position = 0, Bit = 0;
    std::uint32_t Poll = 0;
    std::uint8_t Slave = 0, Function = 0;
    std::uint16_t Address = 0, Points = 0, Port = 0;
    std::vector<std::uint8_t> IP_Image_Bytes = {0, 0, 0, 0};
    std::uint32_t Max_Error = 0;
    std::uint8_t SNMP_Type = 0, Byte_Count = 0, Flags = 0;

    std::string Bytes() const {
        TExpectedBlock e;
        e.U16(0, Position).U16(2, Bit).U32(4, Poll).Bytes(8, {Slave, Function}).U16(10, Address).U16(12, Points);
        e.U16(14, Port).Bytes(16, IP_Image_Bytes).U32(24, Max_Error).Bytes(28, {SNMP_Type, 0, Byte_Count, Flags});
        return std::string(e.b.begin(), e.b.begin() + 32);
    }
};
inline std::string Requests_Bytes(const std::vector<TExpectedRequest>& requests) {
    std::string s;
    for (const TExpectedRequest& r : requests) s += r.Bytes();
    return s;
}

// A 48-byte trap entry expected field by field.
inline std::string Trap_Entry(std::uint16_t position, std::uint16_t bit, std::uint16_t numBits, std::uint8_t conversion,
                              std::uint8_t flags, std::uint32_t time, const std::string& community,
                              const std::string& description, std::vector<std::uint8_t> ipImageBytes) {
    std::vector<std::uint8_t> e(48, 0);
    auto u16 = [&](std::size_t o, std::uint16_t v) { e[o] = std::uint8_t(v); e[o + 1] = std::uint8_t(v >> 8); };
    u16(0, position);
    u16(2, bit);
    u16(4, numBits);
    e[6] = conversion;
    e[7] = flags;
    for (int i = 0; i < 4; ++i) e[8 + i] = std::uint8_t(time >> (8 * i));
    for (std::size_t i = 0; i < community.size(); ++i) e[12 + i] = std::uint8_t(community[i]);
    for (std::size_t i = 0; i < description.size(); ++i) e[28 + i] = std::uint8_t(description[i]);
    for (std::size_t i = 0; i < ipImageBytes.size(); ++i) e[44 + i] = ipImageBytes[i];
    return std::string(e.begin(), e.end());
}

// Byte-for-byte equality that reports the sizes and the first differing
// offset instead of printing whole images.
inline ::testing::AssertionResult Same_Bytes(const std::string& actual, const std::string& expected) {
    if (actual == expected) return ::testing::AssertionSuccess();
    std::size_t at = 0;
    while (at < actual.size() && at < expected.size() && actual[at] == expected[at]) ++at;
    auto byte = [](const std::string& s, std::size_t i) {
        return i < s.size() ? std::to_string(static_cast<unsigned>(static_cast<std::uint8_t>(s[i]))) : std::string("end");
    };
    std::ostringstream what;
    what << "sizes " << actual.size() << " and " << expected.size() << ", first difference at offset " << at << " (0x"
         << std::hex << at << std::dec << "): " << byte(actual, at) << " instead of " << byte(expected, at);
    return ::testing::AssertionFailure() << what.str();
}
