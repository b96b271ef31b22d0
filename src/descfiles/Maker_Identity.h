#pragma once
// The maker's identity as the device-description files state it: one table,
// so that a change of address or of an assigned number is made in one place.

#include "framework/System.h"

struct TMaker_Identity {
    const char16_t* Vendor_Name;  // GSDML VendorName, GSD vendor, EDS VendorName/CreatedBy
    Word Profinet_Vendor_ID;      // GSDML DeviceIdentity VendorID
    // The GSD comment box.
    const char16_t* Street;
    const char16_t* Town;
    const char16_t* Province_Country;
    const char16_t* Telephone;
    const char16_t* Fax;
    const char16_t* Service_Mail;
    Word Profibus_Ident_Model_3;   // GSD Ident_Number, PROFINET / PROFIBUS slave
    Word Profibus_Ident_Model_23;  // GSD Ident_Number, PROFIBUS slave / SNMP agent
    // The MIB module.
    int Enterprise_Number;  // private enterprise number under "enterprises"
    const char16_t* Organization;
    const char16_t* Contact_Street;
    const char16_t* Contact_Town;
    const char16_t* Contact_Country;
    const char16_t* Contact_Mail;
};

extern const TMaker_Identity Maker;

// The PROFINET DeviceID of a model with a GSDML template; 0 for the others.
// Models 1 and 13 share theirs.
Word Profinet_Device_ID(int model);
