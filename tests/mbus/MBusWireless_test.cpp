#include "MBusFixture.h"
#include "mbus/MBusCrypto.h"
#include "mbus/MBusWirelessDecode.h"

#include <gtest/gtest.h>

namespace {
// Bytes from hexadecimal text with blanks between the pairs.
TBytes Hex(std::u16string_view text) {
    String packed;
    for (char16_t c : text)
        if (c != u' ') packed += c;
    auto bytes = HexStr_To_Bytes(packed);
    EXPECT_TRUE(bytes.has_value()) << "bad hex in test";
    return bytes.value_or(TBytes{});
}
template <std::size_t N>
std::array<Byte, N> Arr(std::u16string_view text) {
    const TBytes b = Hex(text);
    std::array<Byte, N> a{};
    std::copy_n(b.begin(), std::min(N, b.size()), a.begin());
    return a;
}
TBytes Cat(TBytes a, const TBytes& b) {
    a.insert(a.end(), b.begin(), b.end());
    return a;
}

// The published security-mode-5 example's encrypted part (its key is Key5).
const TBytes Encrypted5 = Hex(u"59 23 C9 5A AA 26 D1 B2 E7 49 3B 01 3E C4 A6 F6 D3 52 9B 52 0E DF F0 EA 6D EF C9 9D 6D 69 EB F3");
const TBytes Module_Bytes = {0x00, 0x5A};
const TBytes Short_Header = Hex(u"2E 44 93 15 78 56 34 12 33 03 7A 2A 00 20 25");
const TBytes Extended_Header = Hex(u"31 44 93 15 78 56 34 12 33 03 8C 20 2A 7A 2A 00 20 25");
// The authenticated mode under key 000102...0F, counter 1.
const TAesKey Key7 = Arr<16>(u"000102030405060708090A0B0C0D0E0F");
const TBytes Telegram7 =
    Hex(u"43 44 93 15 78 56 34 12 33 03 8C 20 2A 90 0F 00 2C 25 01 00 00 00 A1 A2 A3 A4 A5 A6 A7 A8 7A 2A 00 20 07 10 "
        u"65 40 C9 50 6F 71 E1 AE FA 09 04 74 A9 80 CF F4 9F 8B AF 45 9A BC 4A A2 47 7E DF B0 97 73 82 9F 00 5A");

class MBusWireless : public TMBusTest {
protected:
    void TearDown() override {
        Cancel_WMBus_Slave_List();
        TMBusTest::TearDown();
    }
    // Decodes a datagram through a buffer of exactly its size.
    int Feed(const TBytes& datagram, TRadioModule module = rmAtCommand) {
        std::unique_ptr<Byte[]> exact(new Byte[datagram.size()]);
        std::copy(datagram.begin(), datagram.end(), exact.get());
        return decoder_.Decode_Wireless_Telegram(exact.get(), static_cast<int>(datagram.size()), module);
    }
    TSlave_wMBus& Meter(int i) { return *static_cast<TSlave_wMBus*>(WMBus_Slave_List.at(static_cast<std::size_t>(i))); }
    void Give_Key(int i, const TAesKey& key) {
        Meter(i).Key = key;
        Meter(i).Enable_Key = true;
    }
    // The records of the decrypted example: volume, time point, error flags, fillers.
    void Expect_Example_Records(const TSlave_wMBus& m) {
        EXPECT_FALSE(m.Cripted);
        ASSERT_EQ(m.List_Var.size(), 18u);
        EXPECT_EQ(m.List_Var[2]->ValueStr, u"28504.27");
        EXPECT_EQ(m.List_Var[2]->Desc_Type_Data, u"Volume m3");
        EXPECT_EQ(m.List_Var[3]->ValueStr, u"31/05/08 23:50");
        EXPECT_EQ(m.List_Var[4]->Desc_Type_Data, u"Error Flag (Binary)");
        EXPECT_EQ(m.List_Var[4]->ValueStr, u"0");
        int fillers = 0;
        for (const auto& v : m.List_Var) fillers += v->Real_Wireless_Var ? 0 : 1;
        EXPECT_EQ(fillers, 15);
    }

    TWirelessDecoder decoder_;
};
}  // namespace

TEST(MBusCrypto, PublishedVectors) {
    const TAesKey key = Arr<16>(u"2B7E151628AED2A6ABF7158809CF4F3C");
    struct Case {
        std::u16string_view Message, Mac;
    } cases[] = {
        {u"", u"BB1D6929E95937287FA37D129B756746"},
        {u"6BC1BEE22E409F96E93D7E117393172A", u"070A16B46B4D4144F79BDD9DD04A287C"},
        {u"6BC1BEE22E409F96E93D7E117393172AAE2D8A571E03AC9C9EB76FAC45AF8E5130C81C46A35CE411",
         u"DFA66747DE9AE63030CA32611497C827"},
    };
    for (const Case& c : cases) {
        const TBytes m = Hex(c.Message);
        TAesBlock mac{};
        ASSERT_TRUE(Aes128_Cmac(key, m.data(), m.size(), mac));
        EXPECT_EQ(mac, Arr<16>(c.Mac)) << TBytes(m).size();
    }

    TBytes data = Hex(u"7649ABAC8119B246CEE98E9B12E9197D 5086CB9B507219EE95DB113A917678B2");
    ASSERT_TRUE(Aes128_Cbc_Decrypt(key, Arr<16>(u"000102030405060708090A0B0C0D0E0F"), data.data(), data.size()));
    EXPECT_EQ(data, Hex(u"6BC1BEE22E409F96E93D7E117393172A AE2D8A571E03AC9C9EB76FAC45AF8E51"));

    // Not whole blocks: refused, the bytes untouched.
    TBytes ragged = Hex(u"7649ABAC8119B246CEE98E9B12E919");
    const TBytes before = ragged;
    EXPECT_FALSE(Aes128_Cbc_Decrypt(key, TAesBlock{}, ragged.data(), ragged.size()));
    EXPECT_EQ(ragged, before);

    // The derived key of the authenticated telegram below.
    const TBytes input = Hex(u"00 01000000 78563412 07070707070707");
    TAesBlock derived{};
    ASSERT_TRUE(Aes128_Cmac(Key7, input.data(), input.size(), derived));
    EXPECT_EQ(derived, Arr<16>(u"4A30486D9789C23387F94E92FDEA7CC0"));
}

TEST(MBusWirelessHex, PairsBecomeBytesAndBadTextGivesNothing) {
    EXPECT_EQ(HexStr_To_Bytes(u"00fFa51B"), (TBytes{0x00, 0xFF, 0xA5, 0x1B}));
    EXPECT_EQ(HexStr_To_Bytes(u""), TBytes{});
    for (std::u16string_view bad : {u"ABC", u"0G", u"12 3", u"x1"}) EXPECT_FALSE(HexStr_To_Bytes(String(bad))) << bad.size();
}

TEST(MBusWirelessModule, CompletenessAndSignalStrength) {
    const Byte telegram[] = {0x02, 0x44, 0x00, 0x00, 0x5A};
    EXPECT_TRUE(Wireless_Telegram_Complete(telegram, 5, rmAtCommand));
    EXPECT_FALSE(Wireless_Telegram_Complete(telegram, 4, rmAtCommand));
    EXPECT_TRUE(Wireless_Telegram_Complete(telegram, 3, rmByteCommand));
    EXPECT_FALSE(Wireless_Telegram_Complete(telegram, 4, rmByteCommand));
    struct Case {
        Byte Last;
        TRadioModule Module;
        int Rssi;
    } cases[] = {{0x5A, rmAtCommand, -92}, {0x00, rmAtCommand, -2}, {0xB4, rmByteCommand, -37},
                 {0xB5, rmByteCommand, -36}, {0x7F, rmByteCommand, 64}, {0x80, rmByteCommand, -63}};
    for (const Case& c : cases) EXPECT_EQ(Wireless_RSSI(c.Last, c.Module), c.Rssi) << int(c.Last);
}

TEST_F(MBusWireless, ShortHeaderModeFiveIsNeverDecrypted) {
    std::vector<std::pair<int, TSlave_wMBus*>> reports;
    decoder_.UpdateListWirelessSlave = [&](int i, TSlave_wMBus* s) { reports.emplace_back(i, s); };
    ASSERT_EQ(Feed(Cat(Cat(Short_Header, Encrypted5), Module_Bytes)), 0);
    Give_Key(0, Key5);
    ASSERT_EQ(Feed(Cat(Cat(Short_Header, Encrypted5), Module_Bytes)), 0);
    ASSERT_EQ(WMBus_Slave_List.size(), 1u);
    const TSlave_wMBus& m = Meter(0);
    EXPECT_TRUE(m.Cripted);
    EXPECT_TRUE(m.List_Var.empty());
    EXPECT_EQ(m.RSSI, -92);
    EXPECT_EQ(m.ALA_Address, 0x12345678);
    EXPECT_EQ(m.ALA_Manu_str, u"ELS");
    EXPECT_EQ(m.ALA_Version, 0x33);
    EXPECT_EQ(m.ALA_DeviceType, 0x03);
    EXPECT_EQ(m.Message_Type, 0x44);
    EXPECT_EQ(m.RadioCrafts_Ind_Tab_Decript, -1);
    EXPECT_EQ(m.DateTime, Now());
    ASSERT_EQ(reports.size(), 2u);
    EXPECT_EQ(reports[1], std::make_pair(0, &Meter(0)));
}

TEST_F(MBusWireless, ExtendedLinkModeFiveDecryptsOnceTheMeterHasAKey) {
    const TBytes telegram = Cat(Cat(Extended_Header, Encrypted5), Module_Bytes);
    // A new meter is never decrypted, even with a key at hand.
    ASSERT_EQ(Feed(telegram), 0);
    EXPECT_TRUE(Meter(0).Cripted);
    EXPECT_TRUE(Meter(0).List_Var.empty());

    Give_Key(0, Key5);
    ASSERT_EQ(Feed(telegram), 0);
    Expect_Example_Records(Meter(0));

    // A repeated telegram replaces the records rather than adding to them.
    ASSERT_EQ(Feed(telegram), 0);
    EXPECT_EQ(Meter(0).List_Var.size(), 18u);

    // A wrong key frees the records and shows the meter encrypted.
    Give_Key(0, Key7);
    ASSERT_EQ(Feed(telegram), 0);
    EXPECT_TRUE(Meter(0).Cripted);
    EXPECT_TRUE(Meter(0).List_Var.empty());
}

TEST_F(MBusWireless, AuthenticatedModeSevenDecryptsOrIsRejected) {
    ASSERT_EQ(Feed(Telegram7), 0);
    EXPECT_TRUE(Meter(0).Cripted);

    // A wrong key rejects the telegram: the meter stays as it was.
    Give_Key(0, Key5);
    Meter(0).RSSI = 5;
    ASSERT_EQ(Feed(Telegram7), 0);
    EXPECT_TRUE(Meter(0).Cripted);
    EXPECT_EQ(Meter(0).RSSI, 5);

    Give_Key(0, Key7);
    ASSERT_EQ(Feed(Telegram7), 0);
    Expect_Example_Records(Meter(0));
    EXPECT_EQ(Meter(0).RSSI, -92);

    Give_Key(0, Key5);
    int reported = -2;
    decoder_.UpdateListWirelessSlave = [&](int i, TSlave_wMBus*) { reported = i; };
    ASSERT_EQ(Feed(Telegram7), 0);
    EXPECT_EQ(reported, 0);
    Expect_Example_Records(Meter(0));
}

TEST_F(MBusWireless, AddressesDecideTheMeter) {
    // Plain mode-0 telegrams with one volume record.
    const TBytes record = {0x0C, 0x14, 0x27, 0x04, 0x85, 0x02};
    auto plain = [&](TBytes header) {
        TBytes t = Cat(Cat(std::move(header), record), Module_Bytes);
        t[0] = static_cast<Byte>(t.size() - 3);
        return t;
    };
    const TBytes a = plain(Hex(u"00 44 93 15 78 56 34 12 33 03 7A 01 00 00 00"));
    EXPECT_EQ(Feed(a), 0);
    EXPECT_FALSE(Meter(0).Cripted);
    ASSERT_EQ(Meter(0).List_Var.size(), 1u);
    EXPECT_EQ(Meter(0).List_Var[0]->ValueStr, u"28504.27");

    // The long header carries the application address, read from 11 to 18:
    // the first meter's, under other link addresses.
    const TBytes longA = plain(Hex(u"00 44 93 15 11 11 11 11 01 02 72 78 56 34 12 93 15 33 03 01 00 00 00 2F 2F"));
    TBytes otherLink = longA;
    otherLink[4] = 0x99;
    EXPECT_EQ(Feed(longA), 0);
    EXPECT_EQ(Feed(otherLink), 0);
    ASSERT_EQ(WMBus_Slave_List.size(), 1u);
    EXPECT_EQ(Meter(0).LLA_Address, 0x12345678);  // from the first telegram
    TBytes longB = longA;
    longB[17] = 0x34;  // another application version
    EXPECT_EQ(Feed(longB), 1);
    EXPECT_EQ(Meter(1).ALA_Version, 0x34);
    EXPECT_EQ(Meter(1).ALA_Address, 0x12345678);
    EXPECT_EQ(Meter(1).ALA_Manu_str, u"ELS");
    EXPECT_EQ(Meter(1).LLA_Address, 0x11111111);
    EXPECT_EQ(Meter(1).LLA_Version, 0x01);
    EXPECT_FALSE(Meter(1).Cripted);
    EXPECT_EQ(Meter(1).List_Var.size(), 3u);  // two fillers and the volume

    // Kinds never readable, and lengths that would reach past the telegram.
    struct Case {
        const char* Name;
        TBytes Datagram;
        TRadioModule Module;
        int Rssi;
    } cases[] = {
        {"CI 8E", plain(Hex(u"00 44 93 15 01 00 00 00 01 07 8E 20 2A 7A 2A 00 00 00")), rmAtCommand, -92},
        {"mode 5 length 16 x 15",
         Cat(Hex(u"22 44 93 15 02 00 00 00 01 07 8C 20 2A 7A 2A 00 F0 25"), TBytes(19, 0x11)), rmAtCommand, -2},
        {"CI 8D with authentication", plain(Hex(u"00 44 93 15 03 00 00 00 01 07 8D 20 2A 00 00 00 00 00 00 90 2F 2F")),
         rmByteCommand, -37},
    };
    cases[1].Datagram.back() = 0x00;
    cases[2].Datagram.pop_back();
    cases[2].Datagram.back() = 0xB4;
    cases[2].Datagram[0] = static_cast<Byte>(cases[2].Datagram.size() - 1);  // L + 1 bytes
    for (Case& c : cases) {
        const int first = Feed(c.Datagram, c.Module);
        ASSERT_GE(first, 2) << c.Name;
        Give_Key(first, Key5);
        EXPECT_EQ(Feed(c.Datagram, c.Module), first) << c.Name;
        EXPECT_TRUE(Meter(first).Cripted) << c.Name;
        EXPECT_TRUE(Meter(first).List_Var.empty()) << c.Name;
        EXPECT_EQ(Meter(first).RSSI, c.Rssi) << c.Name;
    }
}

TEST_F(MBusWireless, DatagramsThatAreNoWholeTelegramChangeNothing) {
    bool reported = false;
    decoder_.UpdateListWirelessSlave = [&](int, TSlave_wMBus*) { reported = true; };
    const TBytes whole = Cat(Cat(Short_Header, Encrypted5), Module_Bytes);
    for (const TBytes& d : {TBytes(whole.begin(), whole.end() - 1), Cat(whole, {0x00}), TBytes{0x08, 0x44, 0, 0, 0, 0, 0, 0, 0, 0, 0},
                            TBytes{}}) {
        EXPECT_EQ(Feed(d.empty() ? TBytes{0x00} : d), -1) << d.size();
    }
    EXPECT_EQ(Feed(whole, rmByteCommand), -1);
    EXPECT_TRUE(WMBus_Slave_List.empty());
    EXPECT_FALSE(reported);
}
