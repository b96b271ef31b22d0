#pragma once
// The results of an M-Bus scan: one record per meter found, each holding the
// meter's decoded data records. Wired meters (TSlave_MBus) live in
// MBus_Slave_List, wireless ones (TSlave_wMBus) in WMBus_Slave_List; a list
// owns its meters and a meter owns its records. A meter's position in its list
// is its identity for the rest of the scan.

#include "framework/DateUtils.h"
#include "framework/System.h"

#include <array>
#include <memory>
#include <vector>

// A node of the scan window's trees. Records only refer to it; the node
// belongs to the tree and its handle dies when the tree is cleared.
struct TLazyNode;

// One decoded data record: its data information block, its value information
// block and its data, with the texts the scan window shows.
class TVariable_MBus : public TObject {
public:
    int dato_A = 0;             // data bytes 0..3, little-endian
    int dato_B = 0;             // data bytes 4..7, little-endian
    Byte dimension = 0;         // data field of the DIF (coding of the data)
    Word function_fild = 0;     // 0 instantaneous, 1 maximum, 2 minimum, 3 value during error state
    Int64 storage_number = 0;
    Word tarif = 0;
    Word device = 0;            // subunit
    Word type_data = 0;         // class of quantity of the primary VIF; none is 65535
    Word scale = 0;             // the scan leaves it 0
    bool errata = false;        // the record cannot be analysed; sterror says why
    String sterror;
    int nbyte = 0;              // data bytes of the record
    String descdim;             // description of the data coding
    int numdife = 0;
    int numvife = 0;            // the scan leaves it 0
    int vifvalue = -1;          // the VIF, or the first VIFE of an extension table; -1 while unknown
    int PrinVIFE = 0;           // the first VIFE
    Byte casovif = 0;           // 0 primary, 1 0xFD table, 2 0xFB table, 100 maker's VIF, 101 plain text, 102 maker's data
    int numdato = 0;            // the scan leaves it 0
    Byte VIF = 0;
    String VIFE;                // "$XX " per VIFE
    String DIF;                 // "$XX"
    String DIFE;                // "$XX " per DIFE
    String totdati;             // the data bytes as hexadecimal pairs, in the order received
    String VIF_ASCII;           // the unit of a plain-text VIF
    String Description;         // the scan leaves it empty
    String datagiorno;          // date of decoding, short date format
    String tempo;               // time of decoding, long time format
    String icon;                // the scan leaves it empty
    int Type_Data_Vife = 0;     // meaning the VIFEs add; 0 for none
    String Desc_Type_Data;      // quantity and unit, then the VIFEs' texts
    String ValueStr;            // the value scaled to its unit
    String FunctionFieldStr;
    String DataFieldStr;
    // The user keeps this record. The scan window keeps it in step with the
    // record's tick; the network writer reads this field, never the node.
    bool Enable = true;
    bool Real_Wireless_Var = false;  // false for an idle filler of a wireless telegram
    bool Is_BCD = false;
    TLazyNode* Node = nullptr;
};

// The records of one meter, in the order decoded.
using TVar_List = std::vector<std::unique_ptr<TVariable_MBus>>;

// Frees the records from the last to the first and leaves the list empty.
void Cancel_Var_List(TVar_List& List);

// One wired meter that answered the scan.
class TSlave_MBus : public TObject {
public:
    TSlave_MBus() = default;
    ~TSlave_MBus() override;  // Destry: frees the records
    TSlave_MBus(const TSlave_MBus&) = delete;
    TSlave_MBus& operator=(const TSlave_MBus&) = delete;

    Word Primary_Addresss = 0;  // the A field of the answer
    String Secondary_Addresss;  // identification number in hexadecimal digits
    int Manufacture = 0;
    int Version = 0;
    int Medium = 0;
    int Status = 0;
    String descManufacture;     // three-letter code
    String descmedium;
    String description;         // the scan leaves it empty
    TVar_List List_Var;         // records of every frame of the meter
    // The user keeps this meter; kept in step with its tick like a record's.
    bool Enable = true;
    TLazyNode* Node = nullptr;
};

// One wireless meter heard during a wireless scan.
class TSlave_wMBus : public TObject {
public:
    TSlave_wMBus() = default;
    ~TSlave_wMBus() override;  // Destry: frees the records
    TSlave_wMBus(const TSlave_wMBus&) = delete;
    TSlave_wMBus& operator=(const TSlave_wMBus&) = delete;

    // Frees the records of the last telegram; the meter stays.
    void Cancel_Var();

    Byte Message_Type = 0;      // C field of the first telegram
    Word LLA_Manufacturer = 0;
    String LLA_Manu_str;
    int LLA_Address = 0;
    Byte LLA_Version = 0;
    Byte LLA_DeviceType = 0;
    Word ALA_Manufacturer = 0;
    String ALA_Manu_str;
    int ALA_Address = 0;
    Byte ALA_Version = 0;
    Byte ALA_DeviceType = 0;
    ShortInt RSSI = 0;
    TDateTime DateTime = 0;     // when the last accepted telegram was decoded
    bool Cripted = false;       // that telegram is encrypted and was not decrypted
    bool Enable = true;
    bool Enable_Key = false;
    std::array<Byte, 16> Key{}; // AES-128 key as typed by the user
    int RadioCrafts_Ind_Tab_Decript = 0;  // the decoder sets -1 for a new meter
    TVar_List List_Var;         // records of the last accepted telegram
    TLazyNode* Node = nullptr;
};

// The position in WMBus_Slave_List of the first meter with this application-
// layer address, or -1. The link-layer address plays no part: telegrams that
// differ only there come from one meter.
int Find_Wireless_Slave(Word Manufacturer, int Address, Byte Version, Byte DeviceType);

// Empty the two lists, freeing every meter and its records from the last to
// the first. The scan window clears its trees (and the wireless grid) after.
void Cancel_MBus_Slave_List();
void Cancel_WMBus_Slave_List();
