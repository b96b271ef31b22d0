#include "mbus/MBusRecords.h"

#include "shell/Globals.h"

void Cancel_Var_List(TVar_List& List) {
    while (!List.empty()) List.pop_back();
}

TSlave_MBus::~TSlave_MBus() { Cancel_Var_List(List_Var); }

TSlave_wMBus::~TSlave_wMBus() { Cancel_Var(); }

void TSlave_wMBus::Cancel_Var() { Cancel_Var_List(List_Var); }

int Find_Wireless_Slave(Word Manufacturer, int Address, Byte Version, Byte DeviceType) {
    for (std::size_t i = 0; i < WMBus_Slave_List.size(); ++i) {
        const auto* slave = dynamic_cast<const TSlave_wMBus*>(WMBus_Slave_List[i]);
        if (slave && slave->ALA_Manufacturer == Manufacturer && slave->ALA_Address == Address &&
            slave->ALA_Version == Version && slave->ALA_DeviceType == DeviceType)
            return static_cast<int>(i);
    }
    return -1;
}

namespace {
void Free_From_Last(std::vector<TObject*>& list) {
    while (!list.empty()) {
        delete list.back();
        list.pop_back();
    }
}
}  // namespace

void Cancel_MBus_Slave_List() { Free_From_Last(MBus_Slave_List); }

// A meter's destructor frees its records before the meter goes.
void Cancel_WMBus_Slave_List() { Free_From_Last(WMBus_Slave_List); }
