// The decoder of long frames, data records and values: worked examples of
// real frames, the rules of the record walk, and tables of codes that catch
// slips in the data.
#include "MBusFixture.h"

#include <cstring>

namespace {

using MBusDecoder = TMBusTest;

TSlave_MBus& Wired(int position) { return *dynamic_cast<TSlave_MBus*>(MBus_Slave_List.at(position)); }

// Count bytes of a frame from At as hexadecimal digit pairs.
String StringOf(const TBytes& frame, std::size_t at, std::size_t count) {
    String s;
    for (std::size_t i = at; i < at + count; ++i) s += IntToHex(frame[i], 2);
    return s;
}

// Decode_VIF over the given data bytes and VIFEs, as the walk hands them over.
TVariable_MBus Value_Of(Byte vif, const TBytes& vifes, Byte dataField, const TBytes& data, Byte lvar = 0) {
    TMBusDecoder d;
    std::copy(data.begin(), data.end(), d.App_Data_Val.begin());
    std::copy(vifes.begin(), vifes.end(), d.App_Vife_Val.begin());
    TVariable_MBus v;
    d.Decode_VIF(vif, vifes.empty() ? 0 : vifes[0], dataField, lvar, static_cast<int>(data.size()), v);
    return v;
}

const TBytes Int_12345 = {0x39, 0x30, 0x00, 0x00};

}  // namespace

TEST_F(MBusDecoder, ExampleLongFrameGivesItsMeterAndThreeRecords) {
    Byte sum = 0;
    for (std::size_t i = 4; i < Example_Frame.size() - 2; ++i) sum = static_cast<Byte>(sum + Example_Frame[i]);
    ASSERT_EQ(sum, 0x18) << "the example frame is typed as published";
    ASSERT_EQ(Long_Frame(2, Example_Data()), Example_Frame) << "the frame builder of these tests";

    TMBusDecoder decoder;
    bool last = false;
    EXPECT_EQ(decoder.Decode_RSP_UD(Example_Frame.data(), static_cast<int>(Example_Frame.size()), -1, last), 0);
    EXPECT_TRUE(last);
    ASSERT_EQ(MBus_Slave_List.size(), 1u);
    const TSlave_MBus& m = Wired(0);
    EXPECT_EQ(m.Primary_Addresss, 2);
    EXPECT_EQ(m.Secondary_Addresss, u"12345678");
    EXPECT_EQ(m.Manufacture, 16420);
    EXPECT_EQ(m.descManufacture, u"PAD");
    EXPECT_EQ(m.Version, 1);
    EXPECT_EQ(m.Medium, 7);
    EXPECT_EQ(m.descmedium, u"Water");
    EXPECT_EQ(m.Status, 0);

    struct TExpect {
        String DIF, DIFE;
        int numdife;
        Byte dimension;
        String DataFieldStr, descdim;
        bool Is_BCD;
        int nbyte;
        String totdati;
        int dato_A;
        Int64 storage;
        Word tarif, device;
        String FunctionFieldStr;
        Byte VIF;
        int vifvalue;
        Word type_data;
        String Desc, Value;
    } expect[] = {
        {u"$03", u"", 0, 3, u"24 Bit Integer", u"24 Bit Integer", false, 3, u"153100", 12565, 0, 0, 0,
         u"Istantaneous value", 0x13, 0x13, 2, u"Volume m3", u"12.565"},
        {u"$DA", u"$02 ", 1, 0xA, u"4 Digit BCD", u"4 digit BCD", true, 2, u"1301", 0x0113, 5, 0, 0, u"Maximum value",
         0x3B, 0x3B, 8, u"Volume Flow m3/h", u"0.113"},
        {u"$8B", u"$60 ", 1, 0xB, u"6 Digit BCD", u"6 digit BCD", true, 3, u"371802", 0x021837, 0, 2, 1,
         u"Istantaneous value", 0x04, 0x04, 0, u"Energy Wh", u"218370"},
    };
    ASSERT_EQ(m.List_Var.size(), std::size(expect));
    for (std::size_t i = 0; i < std::size(expect); ++i) {
        const TVariable_MBus& v = *m.List_Var[i];
        const TExpect& e = expect[i];
        SCOPED_TRACE("record " + std::to_string(i + 1));
        EXPECT_EQ(v.DIF, e.DIF);
        EXPECT_EQ(v.DIFE, e.DIFE);
        EXPECT_EQ(v.numdife, e.numdife);
        EXPECT_EQ(v.dimension, e.dimension);
        EXPECT_EQ(v.DataFieldStr, e.DataFieldStr);
        EXPECT_EQ(v.descdim, e.descdim);
        EXPECT_EQ(v.Is_BCD, e.Is_BCD);
        EXPECT_EQ(v.nbyte, e.nbyte);
        EXPECT_EQ(v.totdati, e.totdati);
        EXPECT_EQ(v.dato_A, e.dato_A);
        EXPECT_EQ(v.dato_B, 0);
        EXPECT_EQ(v.storage_number, e.storage);
        EXPECT_EQ(v.tarif, e.tarif);
        EXPECT_EQ(v.device, e.device);
        EXPECT_EQ(v.FunctionFieldStr, e.FunctionFieldStr);
        EXPECT_EQ(v.VIF, e.VIF);
        EXPECT_EQ(v.casovif, 0);
        EXPECT_EQ(v.vifvalue, e.vifvalue);
        EXPECT_EQ(v.VIFE, u"");
        EXPECT_EQ(v.type_data, e.type_data);
        EXPECT_EQ(v.Desc_Type_Data, e.Desc);
        EXPECT_EQ(v.ValueStr, e.Value);
        EXPECT_EQ(v.Type_Data_Vife, 0);
        EXPECT_TRUE(v.Real_Wireless_Var);
        EXPECT_FALSE(v.errata);
        EXPECT_EQ(v.datagiorno, u"10/12/2026");
        EXPECT_EQ(v.tempo, u"09:05:07");
    }
}

TEST_F(MBusDecoder, WirelessExampleKeepsItsFillersAndAWiredWalkSkipsThem) {
    const TWalk wireless = Walk(Wireless_Example_Data(), mtWireless);
    EXPECT_TRUE(wireless.Result);
    ASSERT_EQ(wireless.List.size(), 18u);
    for (std::size_t i : {0, 1, 5, 11, 17}) {
        EXPECT_FALSE(wireless[i].Real_Wireless_Var) << i;
        EXPECT_FALSE(wireless[i].errata) << i;
        EXPECT_EQ(wireless[i].DIF, u"$2F") << i;
    }

    const TWalk wired = Walk(Wireless_Example_Data(), mtWired);
    ASSERT_EQ(wired.List.size(), 3u);
    for (const TWalk* w : {&wireless, &wired}) {
        const std::size_t first = w == &wireless ? 2 : 0;
        const TVariable_MBus& volume = (*w)[first];
        EXPECT_TRUE(volume.Is_BCD);
        EXPECT_EQ(volume.DataFieldStr, u"8 Digit BCD");
        EXPECT_EQ(volume.VIF, 0x14);
        EXPECT_EQ(volume.Desc_Type_Data, u"Volume m3");
        EXPECT_EQ(volume.ValueStr, u"28504.27");

        const TVariable_MBus& when = (*w)[first + 1];
        EXPECT_EQ(when.VIF, 0x6D);
        EXPECT_EQ(when.dimension, 4);
        EXPECT_EQ(when.Desc_Type_Data, u"Time Point Date and Time (Type F)");
        EXPECT_EQ(when.ValueStr, u"31/05/08 23:50");
        EXPECT_EQ(when.type_data, 20);

        const TVariable_MBus& error = (*w)[first + 2];
        EXPECT_EQ(error.VIF, 0xFD);
        EXPECT_EQ(error.VIFE, u"$17 ");
        EXPECT_EQ(error.casovif, 1);
        EXPECT_EQ(error.vifvalue, 0x17);
        EXPECT_EQ(error.Desc_Type_Data, u"Error Flag (Binary)");
        EXPECT_EQ(error.ValueStr, u"0");
        EXPECT_EQ(error.type_data, 19);
        EXPECT_EQ(error.Type_Data_Vife, 18);
    }
}

TEST_F(MBusDecoder, FramesOfOneMeterAppendToItsRecords) {
    TMBusDecoder decoder;
    bool last = false;
    const TBytes filler = Long_Frame(1, {0x2F});
    ASSERT_EQ(filler.size(), 22u);
    EXPECT_EQ(decoder.Decode_RSP_UD(filler.data(), 22, -1, last), 0);
    EXPECT_TRUE(last);
    EXPECT_TRUE(Wired(0).List_Var.empty()) << "a filler is no record of a wired meter";

    const TBytes first = Long_Frame(5, {0x04, 0x13, 0x39, 0x30, 0x00, 0x00, 0x1F});
    const TBytes next = Long_Frame(9, {0x02, 0x5A, 0x10, 0x01}, {0x01, 0x00, 0x00, 0x00}, 0x0443, 0x10);
    const int position = decoder.Decode_RSP_UD(first.data(), static_cast<int>(first.size()), -1, last);
    EXPECT_EQ(position, 1);
    EXPECT_FALSE(last) << "DIF 0x1F: more records follow";
    EXPECT_EQ(decoder.Decode_RSP_UD(next.data(), static_cast<int>(next.size()), position, last), position);
    EXPECT_TRUE(last);
    ASSERT_EQ(MBus_Slave_List.size(), 2u);
    TSlave_MBus& m = Wired(1);
    ASSERT_EQ(m.List_Var.size(), 2u);
    EXPECT_EQ(m.List_Var[1]->Desc_Type_Data, u"Flow Temperature °C");
    EXPECT_EQ(m.List_Var[1]->ValueStr, u"27.2");
    EXPECT_EQ(m.Primary_Addresss, 5) << "a further frame leaves the meter's fixed fields";
    EXPECT_EQ(m.Secondary_Addresss, u"12345678");

    // A meter's first frame names it: identification, maker and medium.
    struct TCase {
        TBytes Id;
        Word Manufacturer;
        Byte Medium;
        String Secondary, Maker, Medium_Name;
    } cases[] = {
        {{0x01, 0x00, 0x00, 0x00}, 0x0443, 0x10, u"01", u"ABC", u"Other"},
        {{0x45, 0x23, 0x01, 0x00}, 0x0000, 0x08, u"12345", u"???", u"Heat Cost Allocator."},
        {{0xFF, 0xFF, 0xFF, 0xFF}, 0x8443, 0x0C, u"FFFFFFFF", u"?BC", u"Heat (inlet) "},
    };
    for (const TCase& c : cases) {
        const TBytes f = Long_Frame(3, {}, c.Id, c.Manufacturer, c.Medium);
        const int p = decoder.Decode_RSP_UD(f.data(), static_cast<int>(f.size()), -1, last);
        ASSERT_GE(p, 0);
        EXPECT_EQ(Wired(p).Secondary_Addresss, c.Secondary);
        EXPECT_EQ(Wired(p).descManufacture, c.Maker);
        EXPECT_EQ(Wired(p).descmedium, c.Medium_Name);
    }

    // What names no frame or no meter creates nothing.
    const std::size_t meters = MBus_Slave_List.size();
    EXPECT_EQ(decoder.Decode_RSP_UD(filler.data(), 20, -1, last), -1);
    EXPECT_TRUE(last);
    EXPECT_EQ(decoder.Decode_RSP_UD(nullptr, 37, -1, last), -1);
    EXPECT_EQ(decoder.Decode_RSP_UD(filler.data(), 22, static_cast<int>(meters), last), -1);
    EXPECT_EQ(MBus_Slave_List.size(), meters);
}

TEST_F(MBusDecoder, SpecialDIFsEndTheWalkSkipARecordOrStandForFillers) {
    const TBytes volume = {0x04, 0x13, 0x39, 0x30, 0x00, 0x00};
    auto with = [&](TBytes head, TBytes tail = {}) {
        head.insert(head.end(), tail.begin(), tail.end());
        return head;
    };
    struct TCase {
        const char* What;
        TBytes Area;
        TMBusType Type;
        std::size_t Records;
        bool Result;
    } cases[] = {
        {"maker's data to the end", with(volume, {0x0F, 0x04, 0x13, 0x01}), mtWired, 1, true},
        {"maker's data, more frames", with(volume, {0x1F, 0x04, 0x13}), mtWired, 1, false},
        {"data type not analysable", with(volume, with({0x3F, 0x13}, volume)), mtWired, 1, true},
        {"0x7F ends too", with({0x7F, 0x13}, volume), mtWired, 0, true},
        {"0x8F is skipped with its DIFE and VIF", with({0x8F, 0x01, 0x13}, volume), mtWired, 1, true},
        {"0xFF is skipped with its VIFEs", with({0xFF, 0x00, 0x93, 0x3B}, volume), mtWired, 1, true},
        {"selection for readout", with({0x08, 0x13}, volume), mtWired, 0, true},
        {"any VIF", with({0x04, 0x7E, 0x39, 0x30, 0x00, 0x00}, volume), mtWired, 0, true},
        {"any VIF with extension", with({0x04, 0xFE, 0x00, 0x39, 0x30, 0x00, 0x00}, volume), mtWired, 0, true},
        {"wired fillers", with({0x2F}, with(volume, {0x2F, 0x2F})), mtWired, 1, true},
        {"wireless fillers", with({0x2F}, with(volume, {0x2F, 0x2F})), mtWireless, 4, true},
        {"empty area", {}, mtWired, 0, true},
    };
    for (const TCase& c : cases) {
        const TWalk w = Walk(c.Area, c.Type);
        EXPECT_EQ(w.List.size(), c.Records) << c.What;
        EXPECT_EQ(w.Result, c.Result) << c.What;
        for (const auto& v : w.List) EXPECT_FALSE(v->errata) << c.What;
    }
}

TEST_F(MBusDecoder, DataInformationBlockGivesStorageTariffSubunitAndFunction) {
    struct TCase {
        TBytes Head;  // DIF and DIFEs
        Int64 Storage;
        Word Tariff, Unit;
        int numdife;
        String DIFE, Function;
    } cases[] = {
        {{0x04}, 0, 0, 0, 0, u"", u"Istantaneous value"},
        {{0x44}, 1, 0, 0, 0, u"", u"Istantaneous value"},
        {{0x14}, 0, 0, 0, 0, u"", u"Maximum value"},
        {{0x24}, 0, 0, 0, 0, u"", u"Minimum value"},
        {{0x34}, 0, 0, 0, 0, u"", u"Value during error state"},
        {{0x84, 0x90, 0x01}, 32, 1, 0, 2, u"$90 $01 ", u"Istantaneous value"},
        {{0xC4, 0x40}, 1, 0, 1, 1, u"$40 ", u"Istantaneous value"},
        {{0x84, 0xFF, 0x40}, 30, 3, 3, 2, u"$FF $40 ", u"Istantaneous value"},
        // Ten DIFEs, every storage nibble 0xF: the 32 bits wrap, nothing overflows.
        {{0x84, 0x8F, 0x8F, 0x8F, 0x8F, 0x8F, 0x8F, 0x8F, 0x8F, 0x8F, 0x0F}, 4294967294, 0, 0, 10,
         u"$8F $8F $8F $8F $8F $8F $8F $8F $8F $0F ", u"Istantaneous value"},
    };
    for (const TCase& c : cases) {
        TBytes area = c.Head;
        area.insert(area.end(), {0x13, 0x39, 0x30, 0x00, 0x00});
        const TWalk w = Walk(area);
        ASSERT_EQ(w.List.size(), 1u) << c.DIFE.size();
        const TVariable_MBus& v = w[0];
        SCOPED_TRACE(testing::Message() << "DIF " << std::hex << int(c.Head[0]) << " DIFEs " << c.numdife);
        EXPECT_EQ(v.storage_number, c.Storage);
        EXPECT_EQ(v.tarif, c.Tariff);
        EXPECT_EQ(v.device, c.Unit);
        EXPECT_EQ(v.numdife, c.numdife);
        EXPECT_EQ(v.DIFE, c.DIFE);
        EXPECT_EQ(v.FunctionFieldStr, c.Function);
        EXPECT_EQ(v.nbyte, 4);
        EXPECT_EQ(v.totdati, u"39300000");
        EXPECT_EQ(v.dato_A, 12345);
        EXPECT_EQ(v.casovif, 0);
        EXPECT_EQ(v.vifvalue, 0x13);
    }
}

TEST_F(MBusDecoder, DataFieldsAndVariableLengthsGiveLengthAndBothTexts) {
    struct TCase {
        Byte Field;
        int LVAR;  // -1: none
        int nbyte;
        String DataFieldStr, descdim;
        bool BCD;
    } cases[] = {
        {0x0, -1, 0, u"", u"No data", false},
        {0x1, -1, 1, u"8 Bit Integer", u"8 Bit Integer", false},
        {0x2, -1, 2, u"16 Bit Integer", u"16 Bit Integer", false},
        {0x3, -1, 3, u"24 Bit Integer", u"24 Bit Integer", false},
        {0x4, -1, 4, u"32 Bit Integer", u"32 Bit Integer", false},
        {0x5, -1, 4, u"32 Bit Real", u"32 Bit real", false},
        {0x6, -1, 6, u"48 Bit Integer", u"48 Bit Integer", false},
        {0x7, -1, 8, u"64 Bit Integer", u"64 Bit Integer", false},
        {0x9, -1, 1, u"2 Digit BCD", u"2 digit BCD", true},
        {0xA, -1, 2, u"4 Digit BCD", u"4 digit BCD", true},
        {0xB, -1, 3, u"6 Digit BCD", u"6 digit BCD", true},
        {0xC, -1, 4, u"8 Digit BCD", u"8 digit BCD", true},
        {0xE, -1, 6, u"12 Digit BCD", u"12 digit BCD", true},
        {0xD, 0x00, 0, u"Variable Length - ASCII String with 0characters",
         u"Variable length: ASCII string with 0 characters", false},
        {0xD, 0xBF, 191, u"Variable Length - ASCII String with 191characters",
         u"Variable length: ASCII string with 191 characters", false},
        {0xD, 0xC3, 3, u"Variable Length - Positive BCD Number with 6 digits",
         u"Variable length: Positive BCD number with 3 *2 digits", false},
        {0xD, 0xD9, 9, u"Variable Length - Negative BCD Number with 18 digits",
         u"Variable length: Negative BCD number with 9 *2 digits", false},
        {0xD, 0xE4, 4, u"Variable Length - Binary Number with 4 Bytes", u"Variable length: Binary number with 4 bytes",
         false},
        {0xD, 0xEF, 15, u"Variable Length - Binary Number with 15 Bytes",
         u"Variable length: Binary number with 15 bytes", false},
        // From 0xF0 binary numbers grow four bytes a step, then to 48 and 64.
        {0xD, 0xF0, 16, u"Variable Length - Binary Number with 16 Bytes",
         u"Variable length: Binary number with 16 bytes", false},
        {0xD, 0xF4, 32, u"Variable Length - Binary Number with 32 Bytes",
         u"Variable length: Binary number with 32 bytes", false},
        {0xD, 0xF5, 48, u"Variable Length - Binary Number with 48 Bytes",
         u"Variable length: Binary number with 48 bytes", false},
        {0xD, 0xF6, 64, u"Variable Length - Binary Number with 64 Bytes",
         u"Variable length: Binary number with 64 bytes", false},
    };
    for (const TCase& c : cases) {
        TBytes area = {c.Field, 0x13};
        if (c.LVAR >= 0) area.push_back(static_cast<Byte>(c.LVAR));
        for (int i = 0; i < c.nbyte; ++i) area.push_back(static_cast<Byte>(0x10 + i));
        area.insert(area.end(), {0x01, 0xFD, 0x0C, 0x07});  // a record after it: the walk went on at the right byte
        const TWalk w = Walk(area);
        SCOPED_TRACE(testing::Message() << "data field " << int(c.Field) << " LVAR " << c.LVAR);
        ASSERT_EQ(w.List.size(), 2u);
        EXPECT_EQ(w[0].nbyte, c.nbyte);
        EXPECT_EQ(w[0].totdati.size(), 2u * c.nbyte);
        EXPECT_EQ(w[0].DataFieldStr, c.DataFieldStr);
        EXPECT_EQ(w[0].descdim, c.descdim);
        EXPECT_EQ(w[0].Is_BCD, c.BCD);
        EXPECT_EQ(w[0].dimension, c.Field);
        EXPECT_FALSE(w[0].errata);
        EXPECT_EQ(w[1].Desc_Type_Data, u"Model Version");
        EXPECT_EQ(w[1].ValueStr, u"7");
    }
}

TEST_F(MBusDecoder, PlainTextUnitIsTheUnitOfANumberCodedByTheDataField) {
    // The unit follows the VIF, last character first; the data are coded by
    // the data field: a humidity of 541 tenths (VIFE 0x75, 10^-1) in "%RH",
    // a battery time of 2516 "days", and a BCD count in "kWh".
    const TWalk w = Walk({0x02, 0xFC, 0x03, 'H', 'R', '%', 0x75, 0x1D, 0x02,  //
                          0x02, 0x7C, 0x04, 's', 'y', 'a', 'd', 0xD4, 0x09,   //
                          0x0B, 0x7C, 0x03, 'h', 'W', 'k', 0x56, 0x34, 0x12});
    ASSERT_EQ(w.List.size(), 3u);
    struct TExpect {
        String Unit, Desc, Value;
    } expect[] = {
        {u"%RH", u"Vif in following String [%RH] - Moltiplicative Correction Factor: 10^(-1)", u"54.1"},
        {u"days", u"Vif in following String [days]", u"2516"},
        {u"kWh", u"Vif in following String [kWh]", u"123456"},
    };
    for (std::size_t i = 0; i < std::size(expect); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(w[i].casovif, 101);
        EXPECT_EQ(w[i].vifvalue, -1);
        EXPECT_EQ(w[i].type_data, 21);
        EXPECT_EQ(w[i].VIF_ASCII, expect[i].Unit);
        EXPECT_EQ(w[i].Desc_Type_Data, expect[i].Desc);
        EXPECT_EQ(w[i].ValueStr, expect[i].Value);
        EXPECT_FALSE(w[i].errata);
    }
    EXPECT_EQ(w[0].VIFE, u"$75 ");
    EXPECT_EQ(w[0].nbyte, 2);
    EXPECT_TRUE(w[2].Is_BCD);

    // An empty unit adds nothing to the description.
    const TWalk bare = Walk({0x01, 0x7C, 0x00, 0x2A});
    ASSERT_EQ(bare.List.size(), 1u);
    EXPECT_EQ(bare[0].Desc_Type_Data, u"Vif in following String");
    EXPECT_EQ(bare[0].ValueStr, u"42");
}

TEST_F(MBusDecoder, VariableLengthValuesAreTextsNumbersOrHexadecimal) {
    auto text = [](Byte dif, TBytes vib, const std::string& received) {
        TBytes r = {dif};
        r.insert(r.end(), vib.begin(), vib.end());
        r.push_back(static_cast<Byte>(received.size()));
        r.insert(r.end(), received.begin(), received.end());
        return r;
    };
    TBytes area;
    auto add = [&area](const TBytes& record) { area.insert(area.end(), record.begin(), record.end()); };
    // Strings arrive last character first, as the unit of a plain-text VIF.
    add(text(0x0D, {0x78}, "4185028021957100G"));                          // fabrication number
    add(text(0x0D, {0xFD, 0x0C}, "532DVR"));                                // model version
    add(text(0x0D, {0xFD, 0x11}, "ELBYC TSET"));                            // customer
    add({0x0D, 0x13, 0xC3, 0x56, 0x34, 0x12});                              // +123456 BCD, litres
    add({0x0D, 0x03, 0xD2, 0x34, 0x12});                                    // -1234 BCD, Wh
    add({0x0D, 0x13, 0xE2, 0x39, 0x30});                                    // binary 12345, litres
    add({0x0D, 0x03, 0xE8, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0x7F});  // the largest 64-bit number
    TBytes key = {0x0D, 0xFD, 0x19, 0xF0};                                  // a 16-byte security key
    for (Byte b = 0; b < 16; ++b) key.push_back(b);
    add(key);
    add({0x0D, 0x03, 0xE9, 1, 2, 3, 4, 5, 6, 7, 8, 9});  // nine bytes: beyond a number
    add({0x04, 0x13, 0x39, 0x30, 0x00, 0x00});           // the walk still knows where it is
    const TWalk w = Walk(area);
    struct TExpect {
        String Desc, Value;
        int nbyte;
    } expect[] = {
        {u"Fabrication No", u"G0017591208205814", 17},
        {u"Model Version", u"RVD235", 6},
        {u"Customer", u"TEST CYBLE", 10},
        {u"Volume m3", u"123.456", 3},
        {u"Energy Wh", u"-1234", 2},
        {u"Volume m3", u"12.345", 2},
        {u"Energy Wh", u"9223372036854775807", 8},
        {u"Security Key", u"0x0F0E0D0C0B0A09080706050403020100", 16},
        {u"Energy Wh", u"0x090807060504030201", 9},
        {u"Volume m3", u"12.345", 4},
    };
    ASSERT_EQ(w.List.size(), std::size(expect));
    for (std::size_t i = 0; i < std::size(expect); ++i) {
        SCOPED_TRACE(i);
        EXPECT_EQ(w[i].Desc_Type_Data, expect[i].Desc);
        EXPECT_EQ(w[i].ValueStr, expect[i].Value);
        EXPECT_EQ(w[i].nbyte, expect[i].nbyte);
        EXPECT_FALSE(w[i].errata);
    }
    EXPECT_EQ(w[7].DataFieldStr, u"Variable Length - Binary Number with 16 Bytes");
    EXPECT_EQ(w[7].totdati, u"000102030405060708090A0B0C0D0E0F");

    // Reserved lengths cannot be read: the record is marked and ends the walk.
    for (Byte lvar : {0xCA, 0xCF, 0xDA, 0xDF, 0xF7, 0xFF}) {
        const TWalk r = Walk({0x04, 0x13, 0x39, 0x30, 0x00, 0x00, 0x0D, 0x13, lvar, 0x01, 0x02, 0x04, 0x13});
        ASSERT_EQ(r.List.size(), 2u) << int(lvar);
        EXPECT_TRUE(r[1].errata);
        EXPECT_EQ(r[1].DataFieldStr, u"Variable Length - Reserved");
        EXPECT_EQ(r[1].ValueStr, u"Non analizabile") << "no made-up number";
        EXPECT_EQ(r[1].Desc_Type_Data, u"Volume m3");
    }
}

TEST_F(MBusDecoder, ValuesTheMeterMarksNotValidShowTheErrorText) {
    // A time point with its invalid bit, a date of all ones, BCD digits A to F.
    struct TCase {
        const char* What;
        Byte VIF;
        TBytes VIFEs;
        Byte Field;
        TBytes Data;
        String Desc;
        Byte LVAR = 0;
    } not_valid[] = {
        {"type F, invalid bit", 0x6D, {}, 0x4, {0x9E, 0x0C, 0x8F, 0x33}, u"Time Point Date and Time (Type F)"},
        {"type G, every bit set", 0x6C, {}, 0x2, {0xFF, 0xFF}, u"Time Point Date (Type G)"},
        {"date VIFE over type F", 0x83, {0x6A}, 0x4, {0x80, 0x00, 0x00, 0x00}, u"Energy Wh - Date(/Time) of Begin of First"},
        {"date VIFE over type G", 0x83, {0x42}, 0x2, {0xFF, 0xFF},
         u"Energy Wh - Date(/Time) of Begin of First Lower Limit Exceed"},
        {"2-digit BCD", 0x13, {}, 0x9, {0xAB}, u"Volume m3"},
        {"8-digit BCD", 0x13, {}, 0xC, {0x78, 0x56, 0x3A, 0x12}, u"Volume m3"},
        {"12-digit BCD, sign not in the last byte", 0x13, {}, 0xE, {0x01, 0xF0, 0, 0, 0, 0}, u"Volume m3"},
        {"error state EE", 0x13, {}, 0xA, {0xEE, 0xEE}, u"Volume m3"},
        {"variable-length BCD", 0x13, {}, 0xD, {0x1A, 0x00}, u"Volume m3", 0xC2},
        {"variable-length BCD with a sign nibble", 0x13, {}, 0xD, {0x01, 0xF0}, u"Volume m3", 0xD2},
    };
    for (const TCase& c : not_valid) {
        const TVariable_MBus v = Value_Of(c.VIF, c.VIFEs, c.Field, c.Data, c.LVAR);
        EXPECT_TRUE(v.errata) << c.What;
        EXPECT_EQ(v.sterror, u"Valore non valido") << c.What;
        EXPECT_EQ(v.ValueStr, u"Valore non valido") << c.What;
        EXPECT_EQ(v.Desc_Type_Data, c.Desc) << c.What;
    }

    // The same codings with valid contents: the summer-time bit and the sign
    // of the last BCD byte are no faults.
    const TCase valid[] = {
        {"type F, summer time", 0x6D, {}, 0x4, {0x1E, 0x8C, 0x8F, 0x33}, u"15/03/28 12:30"},
        {"type G", 0x6C, {}, 0x2, {0x8F, 0x33}, u"15/03/28"},
        {"negative BCD", 0x03, {}, 0xC, {0x78, 0x56, 0x34, 0xF2}, u"-2345678"},
        {"negative variable-length BCD", 0x03, {}, 0xD, {0x34, 0x12}, u"-1234", 0xD2},
    };
    for (const TCase& c : valid) {
        const TVariable_MBus v = Value_Of(c.VIF, c.VIFEs, c.Field, c.Data, c.LVAR);
        EXPECT_FALSE(v.errata) << c.What;
        EXPECT_EQ(v.ValueStr, c.Desc) << c.What;
    }

    // In a frame: the marked record is kept and the walk goes on.
    const TWalk w = Walk({0x04, 0x6D, 0x9E, 0x0C, 0x8F, 0x33, 0x0C, 0x13, 0x78, 0x56, 0x3A, 0x12, 0x04, 0x13, 0x39,
                          0x30, 0x00, 0x00});
    ASSERT_EQ(w.List.size(), 3u);
    EXPECT_EQ(w[0].ValueStr, u"Valore non valido");
    EXPECT_EQ(w[1].ValueStr, u"Valore non valido");
    EXPECT_FALSE(w[2].errata);
    EXPECT_EQ(w[2].ValueStr, u"12.345");
}

TEST_F(MBusDecoder, FixedDataStructureGivesItsHeaderAndTwoCounters) {
    // Identification 12345678, access number 0x0A, status, then the unit
    // bytes: counter 1 in litres (0x29) carrying the medium's low bits 11,
    // counter 2 "as counter 1, historic" (0x3E) carrying its high bits 01:
    // medium 7, water. Counters 12345 l and 1000 l.
    auto fixed = [](Byte ci, Byte status, TBytes counter1, TBytes counter2) {
        TBytes head = {0x78, 0x56, 0x34, 0x12, 0x0A, status, 0xE9, 0x7E};
        if (ci == 0x77) {  // every field with its most significant byte first
            std::reverse(head.begin(), head.begin() + 4);
            std::swap(head[6], head[7]);
            std::reverse(counter1.begin(), counter1.end());
            std::reverse(counter2.begin(), counter2.end());
        }
        TBytes f = {0x68, 0, 0, 0x68, 0x08, 0x05, ci};
        for (const TBytes* part : {&head, &counter1, &counter2}) f.insert(f.end(), part->begin(), part->end());
        f[1] = f[2] = static_cast<Byte>(f.size() - 4);
        Byte sum = 0;
        for (std::size_t i = 4; i < f.size(); ++i) sum = static_cast<Byte>(sum + f[i]);
        f.push_back(sum);
        f.push_back(0x16);
        return f;
    };
    struct TCase {
        const char* What;
        TBytes Frame;
        String DataField;
        String Value1, Value2;
    } cases[] = {
        {"BCD, least significant byte first", fixed(0x73, 0x00, {0x45, 0x23, 0x01, 0x00}, {0x00, 0x10, 0x00, 0x00}),
         u"8 Digit BCD", u"12.345", u"1"},
        {"BCD, most significant byte first", fixed(0x77, 0x00, {0x45, 0x23, 0x01, 0x00}, {0x00, 0x10, 0x00, 0x00}),
         u"8 Digit BCD", u"12.345", u"1"},
        {"binary", fixed(0x73, 0x01, {0x39, 0x30, 0x00, 0x00}, {0xE8, 0x03, 0x00, 0x00}), u"32 Bit Integer", u"12.345",
         u"1"},
        {"BCD error state", fixed(0x73, 0x00, {0x45, 0x23, 0x01, 0x00}, {0xEE, 0xEE, 0xEE, 0xEE}), u"8 Digit BCD",
         u"12.345", u"Valore non valido"},
    };
    TMBusDecoder decoder;
    for (const TCase& c : cases) {
        SCOPED_TRACE(c.What);
        ASSERT_EQ(c.Frame.size(), 25u);
        bool last = false;
        const int p = decoder.Decode_RSP_UD(c.Frame.data(), static_cast<int>(c.Frame.size()), -1, last);
        ASSERT_GE(p, 0);
        EXPECT_TRUE(last);
        const TSlave_MBus& m = Wired(p);
        EXPECT_EQ(m.Primary_Addresss, 5);
        EXPECT_EQ(m.Secondary_Addresss, u"12345678");
        EXPECT_EQ(m.Medium, 7);
        EXPECT_EQ(m.descmedium, u"Water");
        EXPECT_EQ(m.Manufacture, 0) << "the fixed structure names no maker";
        EXPECT_EQ(m.Status, c.Frame[12]);
        ASSERT_EQ(m.List_Var.size(), 2u) << "the header is not walked as records";
        const TVariable_MBus& one = *m.List_Var[0];
        const TVariable_MBus& two = *m.List_Var[1];
        for (const TVariable_MBus* v : {&one, &two}) {
            EXPECT_EQ(v->DataFieldStr, c.DataField);
            EXPECT_EQ(v->nbyte, 4);
            EXPECT_EQ(v->type_data, 2);
            EXPECT_EQ(v->Desc_Type_Data, u"Volume m3");
            EXPECT_EQ(v->Is_BCD, c.DataField == u"8 Digit BCD");
        }
        EXPECT_EQ(one.ValueStr, c.Value1);
        EXPECT_EQ(two.ValueStr, c.Value2);
        EXPECT_EQ(one.storage_number, 0);
        EXPECT_EQ(two.storage_number, 1) << "counter 2 is historic";
        EXPECT_EQ(one.totdati, u"" + StringOf(c.Frame, 15, 4));
    }

    // Other units and media, and counters stored at a fixed date.
    TBytes energy = fixed(0x73, 0x02, {0x45, 0x23, 0x01, 0x00}, {0x10, 0x00, 0x00, 0x00});
    energy[13] = 0x06;  // counter 1: kWh x 10, medium bits 00
    energy[14] = 0x80 | 0x39;  // counter 2: H.C.A. units, medium bits 10: medium 8
    energy[23] = 0;
    for (std::size_t i = 4; i < 23; ++i) energy[23] = static_cast<Byte>(energy[23] + energy[i]);
    bool last = false;
    const int p = decoder.Decode_RSP_UD(energy.data(), static_cast<int>(energy.size()), -1, last);
    ASSERT_GE(p, 0);
    const TSlave_MBus& m = Wired(p);
    EXPECT_EQ(m.descmedium, u"Heat Cost Allocator.");
    ASSERT_EQ(m.List_Var.size(), 2u);
    EXPECT_EQ(m.List_Var[0]->Desc_Type_Data, u"Energy Wh");
    EXPECT_EQ(m.List_Var[0]->ValueStr, u"123450000");
    EXPECT_EQ(m.List_Var[0]->type_data, 0);
    EXPECT_EQ(m.List_Var[0]->storage_number, 1);
    EXPECT_EQ(m.List_Var[1]->Desc_Type_Data, u"Units for H.C.A.");
    EXPECT_EQ(m.List_Var[1]->ValueStr, u"10");
    EXPECT_EQ(m.List_Var[1]->type_data, 22);

    // A frame too short for its second counter keeps the first and marks the cut.
    TBytes cut(energy.begin(), energy.begin() + 19);
    cut.insert(cut.end(), {0x00, 0x16});
    const int q = decoder.Decode_RSP_UD(cut.data(), static_cast<int>(cut.size()), -1, last);
    ASSERT_GE(q, 0);
    ASSERT_EQ(Wired(q).List_Var.size(), 2u);
    EXPECT_EQ(Wired(q).List_Var[0]->ValueStr, u"123450000");
    EXPECT_TRUE(Wired(q).List_Var[1]->errata);
    EXPECT_EQ(Wired(q).List_Var[1]->ValueStr, u"Non analizabile");
}

TEST_F(MBusDecoder, EveryPrimaryVIFRangeGivesItsClassTextAndScale) {
    struct TCase {
        Byte VIF;
        Word Type;
        String Desc, Value;
    } cases[] = {
        {0x00, 0, u"Energy Wh", u"12.345"},
        {0x06, 0, u"Energy Wh", u"12345000"},
        {0x0F, 1, u"Energy J", u"123450000000"},
        {0x13, 2, u"Volume m3", u"12.345"},
        {0x1A, 3, u"Mass kg", u"1234.5"},
        {0x20, 4, u"On Time Seconds", u"12345"},
        {0x21, 4, u"On Time Minutes", u"12345"},
        {0x22, 4, u"On Time Hours", u"12345"},
        {0x23, 4, u"On Time Days", u"12345"},
        {0x24, 5, u"Operating Time Seconds", u"12345"},
        {0x27, 5, u"Operating Time Days", u"12345"},
        {0x2B, 6, u"Power W", u"12345"},
        {0x30, 7, u"Power J/h", u"12345"},
        {0x3E, 8, u"Volume Flow m3/h", u"12345"},
        {0x40, 9, u"Volume Flow ext. m3/min", u"0.0012345"},
        {0x4F, 10, u"Volume Flow ext. m3/s", u"123.45"},
        {0x55, 11, u"Mass Flow kg/h", u"1234500"},
        {0x59, 12, u"Flow Temperature °C", u"123.45"},
        {0x5F, 13, u"Return Temperature °C", u"12345"},
        {0x60, 14, u"Temperature Difference K", u"12.345"},
        {0x66, 15, u"External Temperature °C", u"1234.5"},
        {0x6B, 16, u"Pressure bar", u"12345"},
        {0x6E, 22, u"Units for H.C.A.", u"12345"},
        {0x6F, 65535, u"", u"12345"},
        {0x70, 17, u"Averaging Duration Seconds", u"12345"},
        {0x72, 17, u"Averaging Duration Hours", u"12345"},
        {0x75, 18, u"Actuality Duration Minutes", u"12345"},
        {0x77, 18, u"Actuality Duration Days", u"12345"},
        {0x78, 23, u"Fabrication No", u"12345"},
        {0x79, 24, u"Identification", u"12345"},
        {0x7A, 25, u"Bus Address", u"12345"},
        {0x7B, 19, u"", u"12345"},
        {0x7D, 19, u"", u"12345"},
        {0x7E, 65535, u"Any VIF", u"12345"},
        {0x7F, 65535, u"Manufacturer Specific", u"12345"},
    };
    for (const TCase& c : cases) {
        const TVariable_MBus v = Value_Of(c.VIF, {}, 0x4, Int_12345);
        EXPECT_EQ(v.type_data, c.Type) << std::hex << int(c.VIF);
        EXPECT_EQ(v.Desc_Type_Data, c.Desc) << std::hex << int(c.VIF);
        EXPECT_EQ(v.ValueStr, c.Value) << std::hex << int(c.VIF);
        EXPECT_EQ(v.Type_Data_Vife, 0) << std::hex << int(c.VIF);
    }
}

TEST_F(MBusDecoder, EveryExtensionRangeGivesItsCodeTextAndScale) {
    struct TCase {
        Byte VIF, VIFE;
        int Code;
        String Desc, Value;
    } cases[] = {
        {0xFD, 0x00, 1, u"Credit of (currency units)", u"12.345"},
        {0xFD, 0x07, 2, u"Debit of (currency units)", u"12345"},
        {0xFD, 0x08, 3, u"Unique message Identification", u"12345"},
        {0xFD, 0x09, 4, u"Device Type", u"12345"},
        {0xFD, 0x0A, 5, u"Manufacturer", u"12345"},
        {0xFD, 0x0B, 6, u"Parameter Set Identification", u"12345"},
        {0xFD, 0x0C, 7, u"Model Version", u"12345"},
        {0xFD, 0x0D, 8, u"Hardware Version Number", u"12345"},
        {0xFD, 0x0E, 9, u"Metrology (Firmware) Version Number", u"12345"},
        {0xFD, 0x0F, 10, u"Other Software Version Number", u"12345"},
        {0xFD, 0x10, 11, u"Customer LOcation", u"12345"},
        {0xFD, 0x11, 12, u"Customer", u"12345"},
        {0xFD, 0x12, 13, u"Access Code User", u"12345"},
        {0xFD, 0x13, 14, u"Access Code Operator", u"12345"},
        {0xFD, 0x14, 15, u"Access Code System Operator", u"12345"},
        {0xFD, 0x15, 16, u"Access Code Developer", u"12345"},
        {0xFD, 0x16, 17, u"Password", u"12345"},
        {0xFD, 0x17, 18, u"Error Flag (Binary)", u"12345"},
        {0xFD, 0x18, 19, u"Error Mask", u"12345"},
        {0xFD, 0x19, 126, u"Security Key", u"12345"},
        {0xFD, 0x1A, 20, u"Digital Output (Binary)", u"12345"},
        {0xFD, 0x1B, 21, u"Digital Input (Binary)", u"12345"},
        {0xFD, 0x1C, 22, u"Baudrate [Baud]", u"12345"},
        {0xFD, 0x1D, 23, u"Responce Delay Time [Bit-Times]", u"12345"},
        {0xFD, 0x1E, 24, u"Retry", u"12345"},
        {0xFD, 0x1F, 127, u"Remote Control (Device Specific e.g. Gas Value)", u"12345"},
        {0xFD, 0x20, 25, u"First Storage Number for Cyclic Storage", u"12345"},
        {0xFD, 0x21, 26, u"Last Storage Number for Cyclic Storage", u"12345"},
        {0xFD, 0x22, 27, u"Size of Storage Block", u"12345"},
        {0xFD, 0x23, 0, u"Reserved", u"12345"},
        {0xFD, 0x26, 28, u"Storage Interval Hour(s)", u"12345"},
        {0xFD, 0x28, 29, u"Storage Interval Month(s)", u"12345"},
        {0xFD, 0x29, 30, u"Storage Interval Year(s)", u"12345"},
        {0xFD, 0x2A, 128, u"Operator Specific Data", u"12345"},
        {0xFD, 0x2B, 129, u"Time Point Second (0 to 59)", u"12345"},
        {0xFD, 0x2C, 31, u"Duration Since Last Readout Second(s)", u"12345"},
        {0xFD, 0x30, 32, u"Start (Date/Time) of Tariff", u"12345"},
        {0xFD, 0x31, 33, u"Duration of Tariff Minute(s)", u"12345"},
        {0xFD, 0x33, 33, u"Duration of Tariff Day(s)", u"12345"},
        {0xFD, 0x35, 34, u"Period of Tariff Minute(s)", u"12345"},
        {0xFD, 0x38, 35, u"Period of Tariff Month(s)", u"12345"},
        {0xFD, 0x39, 36, u"Period of Tariff Year(s)", u"12345"},
        {0xFD, 0x3A, 37, u"Dimensionless / No VIF", u"12345"},
        {0xFD, 0x3B, 130, u"Data Container for Wireless M-Bus Protocol", u"12345"},
        {0xFD, 0x3F, 131, u"Period of Nominal Data Transmissions Day(s)", u"12345"},
        {0xFD, 0x4A, 38, u"Electric Units Volts", u"123450"},
        {0xFD, 0x59, 39, u"Electric Units A", u"12.345"},
        {0xFD, 0x60, 40, u"Reset Counter", u"12345"},
        {0xFD, 0x61, 41, u"Cumulation Counter", u"12345"},
        {0xFD, 0x62, 42, u"Control Signal", u"12345"},
        {0xFD, 0x63, 43, u"Day of Week", u"12345"},
        {0xFD, 0x64, 44, u"Week Number", u"12345"},
        {0xFD, 0x65, 45, u"Time Point of Day Change", u"12345"},
        {0xFD, 0x66, 46, u"State of Parameter Activation", u"12345"},
        {0xFD, 0x67, 47, u"Special Supplier Information", u"12345"},
        {0xFD, 0x69, 48, u"Duration Since Last Cumulation Day(s)", u"12345"},
        {0xFD, 0x6F, 49, u"Operating Time Battery Year(s)", u"12345"},
        {0xFD, 0x70, 50, u"Date and Time of Battery Change", u"12345"},
        {0xFD, 0x71, 132, u"RF Level Units: dBm", u"12345"},
        {0xFD, 0x72, 133, u"Daylight Savings (Beginning, Ending, Deviation) Data Type K", u"12345"},
        {0xFD, 0x73, 134, u"Listening Window Management Data Type L", u"12345"},
        {0xFD, 0x74, 135, u"Remaining Battery Life Time (Days)", u"12345"},
        {0xFD, 0x75, 136, u"Number Times the Meter Was Stopped", u"12345"},
        {0xFD, 0x7F, 0, u"Reserved", u"12345"},
        {0xFB, 0x00, 51, u"Energy MWh", u"1234.5"},
        {0xFB, 0x03, 137, u"Reactive Energy kVARh", u"123450"},
        {0xFB, 0x04, 138, u"Apparent Energy kVAh", u"12345"},
        {0xFB, 0x06, 0, u"Reserved", u"12345"},
        {0xFB, 0x09, 52, u"Energy GJ", u"12345"},
        {0xFB, 0x0E, 139, u"Energy MCal", u"123450"},
        {0xFB, 0x11, 53, u"Volume m3", u"12345000"},
        {0xFB, 0x14, 140, u"Reactive Power kVAR", u"12.345"},
        {0xFB, 0x18, 54, u"Volume t", u"1234500"},
        {0xFB, 0x1B, 141, u"Relative Humidity %", u"12345"},
        {0xFB, 0x20, 142, u"Volume Feet 3", u"12345"},
        {0xFB, 0x21, 55, u"Volume 0,1 Feet 3", u"12345"},
        {0xFB, 0x22, 56, u"Volume 0,1 American Gallon", u"12345"},
        {0xFB, 0x23, 57, u"Volume 1 American Gallon", u"12345"},
        {0xFB, 0x24, 58, u"Volume Flow 0,001 American Gallon/min", u"12345"},
        {0xFB, 0x25, 59, u"Volume Flow 1 American Gallon/min", u"12345"},
        {0xFB, 0x26, 60, u"Volume Flow 1 American Gallon/h", u"12345"},
        {0xFB, 0x28, 61, u"Power MW", u"1234.5"},
        {0xFB, 0x2A, 143, u"Phase U-U (Volt. to Volt.)", u"12345"},
        {0xFB, 0x2B, 144, u"Phase U-I (Volt. to Current)", u"12345"},
        {0xFB, 0x2E, 145, u"Frequency Hz", u"1234.5"},
        {0xFB, 0x31, 62, u"Power GJ/h", u"12345"},
        {0xFB, 0x37, 146, u"Apparent Power kVA", u"12345"},
        {0xFB, 0x40, 0, u"Reserved", u"12345"},
        {0xFB, 0x58, 63, u"Flow Temperature °F", u"12.345"},
        {0xFB, 0x5D, 64, u"Return Temperature °F", u"123.45"},
        {0xFB, 0x62, 65, u"Temperature Difference °F", u"1234.5"},
        {0xFB, 0x67, 66, u"External Temperature °F", u"12345"},
        {0xFB, 0x70, 67, u"Cold / Warm Temperature Limit °F", u"12.345"},
        {0xFB, 0x75, 68, u"Cold / Warm Temperature Limit °C", u"123.45"},
        {0xFB, 0x7A, 69, u"Cum. Max. of Active Power W", u"1234.5"},
    };
    for (const TCase& c : cases) {
        const TVariable_MBus v = Value_Of(c.VIF, {c.VIFE}, 0x4, Int_12345);
        SCOPED_TRACE(testing::Message() << std::hex << int(c.VIF) << " " << int(c.VIFE));
        EXPECT_EQ(v.type_data, 19);
        EXPECT_EQ(v.Type_Data_Vife, c.Code);
        EXPECT_EQ(v.Desc_Type_Data, c.Desc);
        EXPECT_EQ(v.ValueStr, c.Value);
    }
}

TEST_F(MBusDecoder, VIFEsAppendTheirTextsTheFirstCodeWinsAndMultipliersScale) {
    String nine_reserved = u"Energy Wh";
    for (int i = 0; i < 9; ++i) nine_reserved += u" - Reserved";
    struct TCase {
        Byte VIF;
        TBytes VIFEs;
        Word Type;
        int Code;
        String Desc, Value;
    } cases[] = {
        {0x93, {0x3B}, 2, 95, u"Volume m3 - Accumulation Only if Positive Contributions (Forward Flow Contribution)",
         u"12.345"},
        {0x83, {0x10}, 0, 0, u"Energy Wh - Reserved", u"12345"},
        {0xFD, {0x17}, 19, 18, u"Error Flag (Binary)", u"12345"},
        {0xFD, {0x97, 0x00}, 19, 18, u"Error Flag (Binary) - None", u"12345"},
        {0xFD, {0x17, 0x00}, 19, 18, u"Error Flag (Binary)", u"12345"},  // the first VIFE ended the chain
        {0xFD, {0xF6, 0x22}, 19, 72, u"Reserved - Per Hour", u"12345"},
        {0xFB, {0x7A}, 19, 69, u"Cum. Max. of Active Power W", u"1234.5"},
        {0xFF, {0x3B}, 65535, 0, u"Manufacturer Specific", u"12345"},
        {0x83, {0x90, 0xA2, 0x00}, 0, 72, u"Energy Wh - Reserved - Per Hour - None", u"12345"},
        {0x83, {0x27}, 0, 77, u"Energy Wh - Per Revolution / Measurement", u"12345"},
        {0x83, {0x3C}, 0, 96, u"Energy Wh - Accumulation of abs Value Only if Negative Contributions (Backward Flow)",
         u"12345"},
        {0x83, {0xC8, 0x29}, 0, 97, u"Energy Wh - Upper Limit Value - Increment per Input Pulse on Input Channel 1",
         u"12345"},
        {0x83, {0x5F}, 0, 100, u"Energy Wh - Duration 03 of Last Upper Limit Exceed", u"12345"},
        {0x83, {0x6C}, 0, 149, u"Energy Wh - Value During Upper Limit Exceed", u"12345"},
        {0x83, {0x7F}, 0, 107, u"Energy Wh - Next VIFEs and Data of This Block Are Manufacturer Specific", u"12345"},
        // VIFE 0x7C takes the next one as a phase.
        {0x83, {0xFC, 0x01}, 0, 0, u"Energy Wh - At Phase L1", u"12345"},
        {0x83, {0xFC, 0x02}, 0, 0, u"Energy Wh - At Phase L2", u"12345"},
        {0x83, {0xFC, 0x03}, 0, 0, u"Energy Wh - At Phase L3", u"12345"},
        {0x83, {0xFC, 0x04}, 0, 0, u"Energy Wh - At Neutral (N)", u"12345"},
        {0x83, {0xFC, 0x05}, 0, 0, u"Energy Wh - Between Phase L1 and L2", u"12345"},
        {0x83, {0xFC, 0x06}, 0, 0, u"Energy Wh - Between Phase L2 and L3", u"12345"},
        {0x83, {0xFC, 0x07}, 0, 0, u"Energy Wh - Between Phase L3 and L1", u"12345"},
        {0x83,
         {0xFC, 0x10},
         0,
         0,
         u"Energy Wh - Accumulation of abs. Value for Both Positive and Negative Contribution (Absolute Count)",
         u"12345"},
        {0x83, {0xFC, 0x08}, 0, 0, u"Energy Wh", u"12345"},
        {0x83, {0xFC, 0x81, 0x22}, 0, 72, u"Energy Wh - At Phase L1 - Per Hour", u"12345"},
        {0x83, {0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x7C}, 0, 0, nine_reserved, u"12345"},
        // Correction factors, over Energy Wh * 10^4.
        {0x87, {0x70}, 0, 103, u"Energy Wh - Moltiplicative Correction Factor: 10^(-6)", u"123.45"},
        {0x87, {0x71}, 0, 103, u"Energy Wh - Moltiplicative Correction Factor: 10^(-5)", u"1234.5"},
        {0x87, {0x72}, 0, 103, u"Energy Wh - Moltiplicative Correction Factor: 10^(-4)", u"12345"},
        {0x87, {0x73}, 0, 103, u"Energy Wh - Moltiplicative Correction Factor: 10^(-3)", u"123450"},
        {0x87, {0x74}, 0, 103, u"Energy Wh - Moltiplicative Correction Factor: 10^(-2)", u"1234500"},
        {0x87, {0x75}, 0, 103, u"Energy Wh - Moltiplicative Correction Factor: 10^(-1)", u"12345000"},
        {0x87, {0x76}, 0, 103, u"Energy Wh - Moltiplicative Correction Factor: 10^(0)", u"123450000"},
        {0x87, {0x77}, 0, 103, u"Energy Wh - Moltiplicative Correction Factor: 10^(1)", u"1234500000"},
        {0x87, {0x78}, 0, 104, u"Energy Wh - Additive Correction Constant: 10^(-3) * Unit of VIF", u"123450"},
        {0x87, {0x79}, 0, 104, u"Energy Wh - Additive Correction Constant: 10^(-2) * Unit of VIF", u"1234500"},
        {0x87, {0x7A}, 0, 104, u"Energy Wh - Additive Correction Constant: 10^(-1) * Unit of VIF", u"12345000"},
        {0x87, {0x7B}, 0, 104, u"Energy Wh - Additive Correction Constant: 10^(0) * Unit of VIF", u"123450000"},
        {0x87, {0x7D}, 0, 105, u"Energy Wh - Multiplicative Cerrection Factor: 10^(3)", u"123450000000"},
        {0x87, {0xF3, 0x7D}, 0, 103,
         u"Energy Wh - Moltiplicative Correction Factor: 10^(-3) - Multiplicative Cerrection Factor: 10^(3)",
         u"123450000"},
    };
    for (const TCase& c : cases) {
        const TVariable_MBus v = Value_Of(c.VIF, c.VIFEs, 0x4, Int_12345);
        SCOPED_TRACE(testing::Message() << std::hex << int(c.VIF) << " " << int(c.VIFEs[0]));
        EXPECT_EQ(v.type_data, c.Type);
        EXPECT_EQ(v.Type_Data_Vife, c.Code);
        EXPECT_EQ(v.Desc_Type_Data, c.Desc);
        EXPECT_EQ(v.ValueStr, c.Value);
    }
}

TEST_F(MBusDecoder, TimePointsAndDateVIFEsWriteTheDateByTheDataField) {
    struct TCase {
        Byte VIF;
        TBytes VIFEs;
        Byte Field;
        TBytes Data;
        String Desc, Value;
    } cases[] = {
        {0x6D, {}, 0x4, {0x1E, 0x0C, 0x8F, 0x33}, u"Time Point Date and Time (Type F)", u"15/03/28 12:30"},
        {0x6C, {}, 0x2, {0x8F, 0x33}, u"Time Point Date (Type G)", u"15/03/28"},
        {0x6D, {}, 0x3, {0x05, 0x1E, 0x0C}, u"Time Point Extended Time Point (Type J)", u"12:30:05"},
        {0x6D, {}, 0x6, {0x05, 0x1E, 0x2C, 0x8F, 0x33, 0x00}, u"Time Point Extended Date and Time Point (Type I)",
         u"Monday 15/03/28 12:30:05"},
        {0x6D, {}, 0x6, {0x05, 0x1E, 0xEC, 0x8F, 0x33, 0x00}, u"Time Point Extended Date and Time Point (Type I)",
         u"Sunday 15/03/28 12:30:05"},
        {0x6D, {}, 0x6, {0x05, 0x1E, 0x0C, 0x01, 0xF1, 0x00}, u"Time Point Extended Date and Time Point (Type I)",
         u"01/01/120 12:30:05"},
        {0x6D, {}, 0x1, {0x05}, u"", u"5"},
        {0x83, {0x6A}, 0x4, {0x1E, 0x0C, 0x8F, 0x33}, u"Energy Wh - Date(/Time) of Begin of First", u"15/03/28 12:30"},
        {0x83, {0x42}, 0x2, {0x8F, 0x33}, u"Energy Wh - Date(/Time) of Begin of First Lower Limit Exceed",
         u"15/03/28"},
        {0x83, {0x6F}, 0x3, {0x05, 0x00, 0x00}, u"Energy Wh - Date(/Time) of End of Last", u"5"},
    };
    for (const TCase& c : cases) {
        const TVariable_MBus v = Value_Of(c.VIF, c.VIFEs, c.Field, c.Data);
        EXPECT_EQ(v.Desc_Type_Data, c.Desc) << StringToUtf8(c.Value);
        EXPECT_EQ(v.ValueStr, c.Value);
    }
    EXPECT_EQ(Value_Of(0x6D, {}, 0x4, {0x1E, 0x0C, 0x8F, 0x33}).type_data, 20);
}

TEST_F(MBusDecoder, EachDataCodingGivesItsRawValue) {
    float f = 1.5f;
    TBytes floatBytes(4);
    std::memcpy(floatBytes.data(), &f, 4);
    struct TCase {
        Byte Field;
        TBytes Data;
        String Value;
        Byte LVAR = 0;
    } cases[] = {
        {0x0, {}, u"0"},
        {0x1, {0xFF}, u"-1"},
        {0x2, {0xFE, 0xFF}, u"-2"},
        {0x3, {0x00, 0x00, 0x80}, u"-8388608"},
        {0x3, {0xFF, 0xFF, 0x7F}, u"8388607"},
        {0x4, {0xFF, 0xFF, 0xFF, 0xFF}, u"-1"},
        {0x5, floatBytes, u"1.5"},
        {0x6, {0x00, 0x00, 0x00, 0x00, 0x00, 0x80}, u"-140737488355328"},
        {0x7, {0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00}, u"281474976710657"},
        {0x7, {0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF, 0xFF}, u"-1"},
        {0x8, {}, u"0"},
        {0x9, {0x42}, u"42"},
        {0xA, {0x23, 0xF1}, u"-123"},
        {0xB, {0x56, 0x34, 0x12}, u"123456"},
        {0xC, {0x78, 0x56, 0x34, 0xF2}, u"-2345678"},
        {0xE, {0x90, 0x78, 0x56, 0x34, 0x12, 0x00}, u"1234567890"},
        {0xD, {0x56, 0x34, 0x12}, u"123456", 0xC3},
        {0xD, {0x56, 0x34, 0x12}, u"-123456", 0xD3},
        {0xD, {0x01, 0x02, 0x03, 0x04}, u"67305985", 0xE4},
        {0xD, {0xFE, 0xFF}, u"-2", 0xE2},
        {0xD, {}, u"0", 0xE0},
        {0xD, {'c', 'b', 'a'}, u"abc", 0x03},
        {0xD, {}, u"", 0x00},
        {0xD, {0x01, 0, 0, 0, 0, 0, 0, 0, 0, 0}, u"0", 0xCA},
        {0xF, {}, u"0"},
    };
    for (const TCase& c : cases) {
        const TVariable_MBus v = Value_Of(0x03, {}, c.Field, c.Data, c.LVAR);  // Energy Wh, 10^0
        EXPECT_EQ(v.ValueStr, c.Value) << "data field " << int(c.Field) << " LVAR " << std::hex << int(c.LVAR);
    }
}

TEST_F(MBusDecoder, SmallRoutinesNameAndConvert) {
    struct TBCD {
        TBytes Data;
        int N;
        Int64 Value;
    } bcd[] = {
        {{0x23, 0xF1}, 2, -123},
        {{0x78, 0x56, 0x34, 0xF2}, 4, -2345678},
        {{0xF5}, 1, -5},
        {{0x5F}, 1, 65},
        {{0xF5, 0x01}, 2, 255},  // only the last byte's high nibble is a sign
        {{0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99, 0x99}, 9, 999999999999999999},
        {{0x12}, 0, 0},
    };
    for (const TBCD& c : bcd) {
        TMBusDecoder d;
        std::copy(c.Data.begin(), c.Data.end(), d.App_Data_Val.begin());
        EXPECT_EQ(d.BCD_To_Int64(c.N), c.Value) << c.Value;
    }

    const std::pair<int, Int64> powers[] = {{0, 1}, {1, 10}, {3, 1000}, {17, 100000000000000000}, {-1, 0}};
    for (auto [n, p] : powers) EXPECT_EQ(Power10(n), p) << n;

    const std::pair<int, String> digits[] = {{0, u"00"}, {5, u"05"}, {10, u"10"}, {127, u"127"}};
    for (const auto& [n, s] : digits) EXPECT_EQ(Two_Digits(n), s);

    const std::pair<int, String> makers[] = {{0x4024, u"PAD"}, {0x0443, u"ABC"}, {0, u"???"},
                                             {0x6B5A, u"ZZZ"}, {0x7FFF, u"???"}, {0x8443, u"?BC"}};
    for (const auto& [m, s] : makers) EXPECT_EQ(Trova_Man(m), s) << m;
    EXPECT_EQ(Man_Char('A'), u"A");
    EXPECT_EQ(Man_Char('@'), u"?");
    EXPECT_EQ(Man_Char('['), u"?");

    const std::pair<int, String> media[] = {
        {0, u"Other"},       {1, u"Oil"},          {7, u"Water"},        {8, u"Heat Cost Allocator."},
        {12, u"Heat (inlet) "}, {15, u"Unknown Medium"}, {16, u"Other"}, {22, u"Cold Water"},
        {25, u"A/D Converter"}, {26, u"Other"},     {-1, u"Other"}};
    for (const auto& [m, s] : media) EXPECT_EQ(Trova_Medium(m), s) << m;
}

TEST_F(MBusDecoder, RecordsOfOneFrameShareOneStampInTheUsersFormats) {
    TFormatSettings s;
    s.DecimalSeparator = u',';
    s.ShortDateFormat = u"yyyy-mm-dd";
    s.DateSeparator = u'-';
    s.LongTimeFormat = u"hh.nn.ss";
    TFormatSettingsGuard settings(s);
    // A clock that moves a second at every look.
    TDateTime now = EncodeDateTime(2026, 12, 31, 23, 59, 58, 0);
    TClockGuard clock([&] {
        now += 1.0 / SecsPerDay;
        return now;
    });

    TMBusDecoder decoder;
    bool last = false;
    decoder.Decode_RSP_UD(Example_Frame.data(), static_cast<int>(Example_Frame.size()), -1, last);
    const TSlave_MBus& m = Wired(0);
    ASSERT_EQ(m.List_Var.size(), 3u);
    for (const auto& v : m.List_Var) {
        EXPECT_EQ(v->datagiorno, u"2026-12-31");
        EXPECT_EQ(v->tempo, u"23.59.59");
    }
    EXPECT_EQ(m.List_Var[0]->ValueStr, u"12,565");

    decoder.Decode_RSP_UD(Example_Frame.data(), static_cast<int>(Example_Frame.size()), 0, last);
    EXPECT_EQ(m.List_Var[3]->datagiorno, u"2027-01-01") << "the next frame takes its own stamp";
    EXPECT_EQ(m.List_Var[3]->tempo, u"00.00.00");
}
