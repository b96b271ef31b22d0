#pragma once
// "M_Bus.xml" as the network editor writes it, and reading back the images
// of the M-Bus models.

#include "ImageFixture.h"

#include <cstdint>
#include <string>
#include <vector>

// One "Nodo": its attributes and one attribute text per "Variabile".
struct TMBus_Node {
    std::string Attributes;
    std::vector<std::string> Variables;
};

inline std::string MBus_Network_Xml(const std::vector<TMBus_Node>& nodes) {
    std::string xml = "<M-Bus_Network>";
    for (const TMBus_Node& n : nodes) {
        xml += "<Nodo Descrizione=\"meter\" " + n.Attributes + ">";
        for (const std::string& v : n.Variables) xml += "<Variabile Desc=\"value\" " + v + "/>";
        xml += "</Nodo>";
    }
    return xml + "</M-Bus_Network>\r\n<!--SW_VERSION = 1.308-->\r\n";
}

inline void MBus_Network(const TProjectFixture& p, const std::vector<TMBus_Node>& nodes) {
    p.Raw_File("M_Bus.xml", MBus_Network_Xml(nodes));
}

// The keys the general-parameters form always writes for the M-Bus models.
inline TKeys MBus_ParGen(TKeys more = {}) {
    TKeys keys = {{"Meter_Baud", "5"}, {"Meter_Par", "1"}, {"Meter_Req_Delay", "300"}};
    keys.insert(keys.end(), more.begin(), more.end());
    return keys;
}

// Little-endian reads of an image file.
inline std::uint32_t U8_At(const std::string& s, std::size_t at) { return std::uint8_t(s.at(at)); }
inline std::uint32_t U16_At(const std::string& s, std::size_t at) { return U8_At(s, at) | U8_At(s, at + 1) << 8; }
inline std::uint32_t U32_At(const std::string& s, std::size_t at) { return U16_At(s, at) | U16_At(s, at + 2) << 16; }
