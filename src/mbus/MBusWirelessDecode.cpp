#include "mbus/MBusWirelessDecode.h"

#include "mbus/MBusCrypto.h"
#include "shell/Globals.h"

#include <algorithm>

std::mutex& WMBus_Slave_Lock() {
    static std::mutex lock;
    return lock;
}

namespace {
int Hex_Digit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    return -1;
}

int Trailing_Bytes(TRadioModule Module) { return Module == rmAtCommand ? 2 : 1; }

// The telegram with its bounds: reads outside the data area give -1, so that
// no comparison with a byte value holds there.
class TTelegram {
public:
    TTelegram(std::vector<Byte> bytes, int end) : b_(std::move(bytes)), end_(end) {}
    int operator[](int i) const { return i >= 0 && i < end_ ? b_[static_cast<std::size_t>(i)] : -1; }
    int End() const { return end_; }
    Byte* At(int i) { return b_.data() + i; }
    bool Fits(int start, int length) const { return start >= 0 && length >= 0 && start + length <= end_; }
    bool Fillers(int i) const { return (*this)[i] == 0x2F && (*this)[i + 1] == 0x2F; }

private:
    std::vector<Byte> b_;
    int end_;
};

int Le32(const TTelegram& t, int i) {
    return static_cast<int>(static_cast<unsigned>(std::max(t[i], 0)) |
                            static_cast<unsigned>(std::max(t[i + 1], 0)) << 8 |
                            static_cast<unsigned>(std::max(t[i + 2], 0)) << 16 |
                            static_cast<unsigned>(std::max(t[i + 3], 0)) << 24);
}
Byte U8(const TTelegram& t, int i) { return static_cast<Byte>(std::max(t[i], 0)); }
Word Le16(const TTelegram& t, int i) { return static_cast<Word>(U8(t, i) | U8(t, i + 1) << 8); }

// The start of the encrypted part of the authenticated mode, and the message
// counter, found by walking the authentication layer; -1 when the layer does
// not lead to a short transport header of mode 7.
struct TAuth_Walk {
    int Start = -1;
    int Length = 0;
    int Counter = -1;  // position of the 4-byte message counter
};

TAuth_Walk Walk_Auth_Layer(const TTelegram& t) {
    TAuth_Walk w;
    int p = 15;
    const int control = Le16(t, p);
    p += 2;
    int authType = 0;
    if (control & 0x2000) authType = U8(t, p++) & 0x0F;
    if (control & 0x0200) p += 2;
    if (control & 0x0800) {
        w.Counter = p;
        p += 4;
    }
    if (control & 0x0400) {
        static constexpr int macLength[] = {0, 0, 0, 2, 4, 8, 12, 16, 12};
        p += authType >= 0 && authType <= 8 ? macLength[authType] : 0;
    }
    if (control & 0x1000) p += 2;
    if (t[p] != 0x7A) return w;
    const int configLow = t[p + 3];
    const int configHigh = t[p + 4];
    if (configHigh < 0 || (configHigh & 0x1F) != 7) return w;
    // Access number, status, configuration field, its extension byte.
    p += 6;
    if (configHigh & 0x20) p += 4;
    w.Start = p;
    w.Length = 16 * (configLow >> 4);
    return w;
}

// The data area's start, or -1 when the telegram's kind is never readable.
// Readable tells whether its payload can be decoded as it stands.
struct TLayout {
    int Data = -1;
    bool Readable = false;
};

bool Mode_Readable(const TTelegram& t, int modeByte, int data) {
    const int mode = t[modeByte] & 0x0F;
    return t[modeByte] >= 0 && (mode == 0 || (mode == 5 && t.Fillers(data)));
}

TLayout Layout(const TTelegram& t) {
    switch (t[10]) {
    case 0x7A: return {15, Mode_Readable(t, 14, 15)};
    case 0x72: return {23, t.Fillers(23)};
    case 0x8C:
        switch (t[13]) {
        case 0x78: return {14, true};
        case 0x7A: return {18, Mode_Readable(t, 17, 18)};
        case 0x72: return {26, Mode_Readable(t, 25, 26)};
        case 0x90: {
            const TAuth_Walk w = Walk_Auth_Layer(t);
            const int data = w.Start >= 0 ? w.Start : U8(t, 14) + 21;
            return {data, t.Fillers(data)};
        }
        default: return {};
        }
    case 0x8D:
        switch (t[19]) {
        case 0x78: return {20, true};
        case 0x7A: return {24, Mode_Readable(t, 23, 24)};
        case 0x72: return {32, Mode_Readable(t, 31, 32)};
        default: return {};  // an authentication layer here is not handled
        }
    default: return {};
    }
}

// Mode 5 under a short extended link layer: the IV is the link-layer address
// and eight copies of the access number. A wrong key leaves garbage, which
// the readability test then refuses.
void Decrypt_Mode5(TTelegram& t, const TAesKey& key) {
    if ((t[17] & 0x05) != 0x05 || t[18] == 0x2F || t[19] == 0x2F) return;
    const int length = 16 * (U8(t, 16) >> 4);
    if (length == 0 || !t.Fits(18, length)) return;
    TAesBlock iv{};
    for (int i = 0; i < 8; ++i) iv[static_cast<std::size_t>(i)] = U8(t, 2 + i);
    std::fill(iv.begin() + 8, iv.end(), U8(t, 14));
    Aes128_Cbc_Decrypt(key, iv, t.At(18), static_cast<std::size_t>(length));
}

// Mode 7 after an authentication layer: the key is derived by CMAC from the
// message counter and the identification. False when the telegram must be
// rejected (the result is not a plaintext).
bool Decrypt_Mode7(TTelegram& t, const TAesKey& key) {
    const int afll = U8(t, 14);
    if (t[afll + 15] != 0x7A || t[afll + 19] < 0 || (t[afll + 19] & 0x07) != 0x07) return true;
    const TAuth_Walk w = Walk_Auth_Layer(t);
    if (w.Start < 0 || w.Counter < 0 || !t.Fits(w.Counter, 4)) return true;
    if (t[w.Start] == 0x2F || t[w.Start + 1] == 0x2F) return true;
    if (w.Length == 0 || !t.Fits(w.Start, w.Length)) return true;
    Byte input[16] = {0x00};
    for (int i = 0; i < 4; ++i) input[1 + i] = U8(t, w.Counter + i);
    for (int i = 0; i < 4; ++i) input[5 + i] = U8(t, 4 + i);
    std::fill(std::begin(input) + 9, std::end(input), Byte{0x07});
    TAesKey derived{};
    if (!Aes128_Cmac(key, input, sizeof input, derived)) return true;
    std::vector<Byte> part(t.At(w.Start), t.At(w.Start) + w.Length);
    if (!Aes128_Cbc_Decrypt(derived, TAesBlock{}, part.data(), part.size())) return true;
    if (part[0] != 0x2F || part[1] != 0x2F) return false;
    std::copy(part.begin(), part.end(), t.At(w.Start));
    return true;
}
}  // namespace

std::optional<std::vector<Byte>> HexStr_To_Bytes(const String& Text) {
    if (Text.size() % 2 != 0) return std::nullopt;
    std::vector<Byte> bytes;
    bytes.reserve(Text.size() / 2);
    for (std::size_t i = 0; i < Text.size(); i += 2) {
        const int hi = Hex_Digit(Text[i]), lo = Hex_Digit(Text[i + 1]);
        if (hi < 0 || lo < 0) return std::nullopt;
        bytes.push_back(static_cast<Byte>(hi << 4 | lo));
    }
    return bytes;
}

bool Wireless_Telegram_Complete(const Byte* Data, int Length, TRadioModule Module) {
    // The byte-command module counts its trailing byte in the L field.
    return Data && Length > 0 && Data[0] + (Module == rmAtCommand ? 3 : 1) == Length;
}

ShortInt Wireless_RSSI(Byte Last, TRadioModule Module) {
    if (Module == rmAtCommand) return static_cast<ShortInt>(static_cast<Byte>(-Last - 2));
    return static_cast<ShortInt>(static_cast<ShortInt>(Last) / 2 + 1);
}

int TWirelessDecoder::Decode_Wireless_Telegram(const Byte* Data, int Length, TRadioModule Module) {
    if (!Wireless_Telegram_Complete(Data, Length, Module)) return -1;
    const int end = Length - Trailing_Bytes(Module);
    // Up to the CI field at least; anything shorter names no meter.
    if (end < 11) return -1;
    const TDateTime now = Now();
    TTelegram t(std::vector<Byte>(Data, Data + Length), end);

    const Byte c = U8(t, 1);
    const Word llaManufacturer = Le16(t, 2);
    const int llaAddress = Le32(t, 4);
    const Byte llaVersion = U8(t, 8), llaDeviceType = U8(t, 9);
    const int ci = t[10];
    const bool linkIsApplication = ci == 0x7A || ci == 0x8C || ci == 0x8D;
    const Word alaManufacturer = linkIsApplication ? llaManufacturer : Le16(t, 15);
    const int alaAddress = linkIsApplication ? llaAddress : Le32(t, 11);
    const Byte alaVersion = linkIsApplication ? llaVersion : U8(t, 17);
    const Byte alaDeviceType = linkIsApplication ? llaDeviceType : U8(t, 18);
    const ShortInt rssi = Wireless_RSSI(Data[Length - 1], Module);

    int index;
    TSlave_wMBus* slave;
    {
        std::lock_guard<std::mutex> hold(WMBus_Slave_Lock());
        index = Find_Wireless_Slave(alaManufacturer, alaAddress, alaVersion, alaDeviceType);
        bool rejected = false;
        if (index < 0) {
            auto fresh = std::make_unique<TSlave_wMBus>();
            fresh->Message_Type = c;
            fresh->LLA_Manufacturer = llaManufacturer;
            fresh->LLA_Manu_str = Trova_Man(llaManufacturer);
            fresh->LLA_Address = llaAddress;
            fresh->LLA_Version = llaVersion;
            fresh->LLA_DeviceType = llaDeviceType;
            fresh->ALA_Manufacturer = alaManufacturer;
            fresh->ALA_Manu_str = Trova_Man(alaManufacturer);
            fresh->ALA_Address = alaAddress;
            fresh->ALA_Version = alaVersion;
            fresh->ALA_DeviceType = alaDeviceType;
            fresh->RSSI = rssi;
            fresh->RadioCrafts_Ind_Tab_Decript = -1;
            slave = fresh.get();
            WMBus_Slave_List.push_back(fresh.release());
            index = static_cast<int>(WMBus_Slave_List.size()) - 1;
        } else {
            slave = static_cast<TSlave_wMBus*>(WMBus_Slave_List[static_cast<std::size_t>(index)]);
            if (ci == 0x8C && slave->Enable_Key) {
                if (t[13] == 0x7A) Decrypt_Mode5(t, slave->Key);
                else if (t[13] == 0x90) rejected = !Decrypt_Mode7(t, slave->Key);
            }
        }
        if (!rejected) {
            slave->Cancel_Var();
            slave->DateTime = now;
            slave->RSSI = rssi;
            const TLayout layout = Layout(t);
            slave->Cripted = !(layout.Data >= 0 && layout.Readable);
            if (!slave->Cripted && layout.Data < end)
                Decoder.Decode_Data_Records(slave->List_Var, end - layout.Data - 1, t.At(layout.Data));
        }
    }
    if (UpdateListWirelessSlave) UpdateListWirelessSlave(index, slave);
    return index;
}
