#pragma once
// Reception of wireless M-Bus telegrams during a wireless scan: each complete
// datagram of the converter's radio module is one telegram followed by the
// module's trailing bytes. The telegram's meter is found or added in
// WMBus_Slave_List by its application-layer address, decrypted when the meter
// has a key and the telegram uses one of the two handled security modes, and
// its data records are decoded when the payload is readable.
//
// The input comes from the air: nothing is read outside the telegram.

#include "mbus/MBusDecoder.h"
#include "mbus/MBusRecords.h"

#include <functional>
#include <mutex>
#include <optional>
#include <vector>

// The radio module of the converter. The AT-command module answers "OK\r"
// and sends two trailing bytes; the byte-command module answers the ">"
// prompt and sends one.
enum TRadioModule { rmAtCommand = 0, rmByteCommand = 1 };

// Guards WMBus_Slave_List and its meters: the listener thread holds it while
// it changes a meter, the window while it reads one.
std::mutex& WMBus_Slave_Lock();

// Each pair of hexadecimal digits becomes one byte. Nothing for an odd number
// of digits or a character that is no hexadecimal digit.
std::optional<std::vector<Byte>> HexStr_To_Bytes(const String& Text);

// Whether a datagram of Length bytes is one whole telegram of the module:
// L + 3 bytes from the AT-command module, L + 1 from the byte-command one.
bool Wireless_Telegram_Complete(const Byte* Data, int Length, TRadioModule Module);

// Signal strength from the module's last byte.
ShortInt Wireless_RSSI(Byte Last, TRadioModule Module);

class TWirelessDecoder {
public:
    TWirelessDecoder() { Decoder.MBusType = mtWireless; }

    // Called after each telegram with the meter's position and the meter, the
    // list lock no longer held. The scan thread hands it to the window.
    std::function<void(int Index, TSlave_wMBus* Slave)> UpdateListWirelessSlave;

    // Decodes one complete datagram. Returns the meter's position, or -1 for
    // a datagram that is no whole telegram (nothing changes, nothing is
    // reported).
    int Decode_Wireless_Telegram(const Byte* Data, int Length, TRadioModule Module);

    TMBusDecoder Decoder;
};
