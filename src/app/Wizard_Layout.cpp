#include "app/Wizard_Layout.h"

#include <algorithm>

namespace {

// Rows 3 onward per model; "+" in a row joins a second button in column 2.
struct TModel_Rows {
    std::vector<int> Models;
    std::vector<std::vector<const char16_t*>> Rows;
};

const std::vector<TModel_Rows>& Model_Rows() {
    static const std::vector<TModel_Rows> rows = {
        {{0, 27}, {{u"Btn_CAN_Rec_Frame", u"Btn_CAN_Rec_Info"}, {u"Btn_CAN_Send_Frame", u"Btn_CAN_Send_Info"}, {u"Btn_PROFINET_XML"}}},
        {{1}, {{u"Btn_DNet_Net", u"Btn_DNet_Offset"}, {u"Btn_PROFINET_XML"}}},
        {{2, 5, 9, 12, 13, 26, 31}, {{u"Btn_PROFINET_XML"}}},
        {{3}, {{u"Btn_PROFINET_XML", u"Btn_PROFIBUS_GSD"}}},
        {{4, 11, 25}, {{u"Btn_ModM_SetAccess"}, {u"Btn_PROFINET_XML"}}},
        {{6, 14}, {{u"Btn_J1939_Rec_Frame"}, {u"Btn_J1939_Send_Frame"}, {u"Btn_PROFINET_XML"}}},
        {{7, 28}, {{u"Btn_NMEA_Rec_Frame"}, {u"Btn_NMEA_Send_Frame"}, {u"Btn_PROFINET_XML"}}},
        {{8}, {{u"Btn_SDO_Server_CANopen"}, {u"Btn_SDO_Client_CANopen"}, {u"Btn_PDO_CANopen"}, {u"Btn_NodeGuard_CANopen"},
               {u"Btn_ReStart_Devices_CANopen"}, {u"Btn_PROFINET_XML", u"Btn_CANopen_EDS"}}},
        {{10}, {{u"Btn_MBus"}, {u"Btn_PROFINET_XML"}}},
        {{15, 34}, {{u"Btn_CAN_Rec_Frame", u"Btn_CAN_Rec_Info"}, {u"Btn_CAN_Send_Frame", u"Btn_CAN_Send_Info"}, {u"Btn_SNMP_Trap"},
                    {u"Btn_SNMP_MIB"}}},
        {{16, 17, 35}, {{u"Btn_SNMP_Trap"}, {u"Btn_SNMP_MIB"}}},
        {{18, 19, 30, 1018}, {{u"Btn_ModM_SetAccess"}, {u"Btn_SNMP_Trap"}, {u"Btn_SNMP_MIB"}}},
        {{20}, {{u"Btn_SNMP_Trap"}, {u"Btn_PROFINET_XML"}, {u"Btn_SNMP_MIB"}}},
        {{21}, {{u"Btn_MBus"}, {u"Btn_SNMP_Trap"}, {u"Btn_SNMP_MIB"}}},
        {{22, 29}, {{u"Btn_DMX_Default"}, {u"Btn_PROFINET_XML"}}},
        {{23}, {{u"Btn_PROFIBUS_GSD"}}},
        {{24}, {{u"Btn_SDO_Server_CANopen"}, {u"Btn_SDO_Client_CANopen"}, {u"Btn_PDO_CANopen"},
                {u"Btn_PROFINET_XML", u"Btn_CANopen_EDS"}}},
        {{32}, {{u"Btn_J1939_Rec_Frame"}, {u"Btn_J1939_Send_Frame"}, {u"Btn_SNMP_Trap"}, {u"Btn_SNMP_MIB"}}},
        {{33}, {{u"Btn_SDO_Server_CANopen"}, {u"Btn_SDO_Client_CANopen"}, {u"Btn_PDO_CANopen"}, {u"Btn_NodeGuard_CANopen"},
                {u"Btn_ReStart_Devices_CANopen"}, {u"Btn_SNMP_Trap"}, {u"Btn_SNMP_MIB", u"Btn_CANopen_EDS"}}},
        {{2004}, {}},
    };
    return rows;
}

}  // namespace

std::vector<TWizard_Place> Wizard_Places(int model) {
    std::vector<TWizard_Place> places;
    // Rows 1 and 2 are common; model 2004 offers no new project.
    if (model == 2004) {
        places.push_back({u"Btn_Open", 1, 1});
    } else {
        places.push_back({u"Btn_New", 1, 1});
        places.push_back({u"Btn_Open", 1, 2});
    }
    places.push_back({u"Btn_Prm_Gen", 2, 1});
    int row = 3;
    for (const TModel_Rows& entry : Model_Rows()) {
        if (std::find(entry.Models.begin(), entry.Models.end(), model) == entry.Models.end())
            continue;
        for (const auto& buttons : entry.Rows) {
            for (std::size_t c = 0; c < buttons.size(); ++c)
                places.push_back({buttons[c], row, static_cast<int>(c) + 1});
            ++row;
        }
        break;
    }
    places.push_back({u"Btn_CreateBin", row, 1});
    return places;
}

int Wizard_Step_Count(int model) { return Wizard_Places(model).back().Row; }
