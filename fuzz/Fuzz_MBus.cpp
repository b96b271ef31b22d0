// The M-Bus parsers: the wired long frames a meter answers, the wireless
// telegrams of the radio module (decrypted with the keys a user typed), and
// the project's network "M_Bus.xml" as the network editor shows it.

#include "Fuzz_Dialogs.h"
#include "Fuzz_Support.h"
#include "Fuzz_Targets.h"
#include "framework/ComCtrls.h"
#include "mbus/MBusDecoder.h"
#include "mbus/MBusWirelessDecode.h"
#include "mbus/UMeter_Bus.h"
#include "shell/Globals.h"

#include <algorithm>

// Frames as the wired scan reads them: a piece per frame, the first of a
// meter creating it and the further ones adding to it while the last one
// announced more.
void Fuzz_MBus_Long_Frame(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    TFuzzInput in(Data, Size);
    TMBusDecoder decoder;
    int meter = -1;
    bool last = true;
    while (!in.Empty()) {
        const std::string_view frame = in.Piece();
        const int at = decoder.Decode_RSP_UD(reinterpret_cast<const Byte*>(frame.data()), int(frame.size()),
                                             last ? -1 : meter, last);
        meter = at;
        if (at < 0) last = true;
    }
    Cancel_MBus_Slave_List();
}

// The radio module (a byte), the AES key every meter gets once it has been
// heard (16 bytes), then the datagrams, a piece each: a meter's second
// telegram is decrypted with the key.
void Fuzz_MBus_Wireless(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    TFuzzInput in(Data, Size);
    const TRadioModule module = in.Byte() % 2 ? rmByteCommand : rmAtCommand;
    std::array<Byte, 16> key{};
    for (Byte& b : key) b = in.Byte();
    TWirelessDecoder decoder;
    while (!in.Empty()) {
        const std::string_view datagram = in.Piece();
        const int at =
            decoder.Decode_Wireless_Telegram(reinterpret_cast<const Byte*>(datagram.data()), int(datagram.size()), module);
        if (at < 0) continue;
        auto* meter = static_cast<TSlave_wMBus*>(WMBus_Slave_List[std::size_t(at)]);
        meter->Enable_Key = true;
        meter->Key = key;
    }
    Cancel_WMBus_Slave_List();
}

// A project of an M-Bus model (10 or 21, by the first byte) shown in the
// network editor: the first nodes and variables are selected, as a user
// clicks through the tree, and OK writes the network back.
void Fuzz_MBus_Network(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    TFuzzInput in(Data, Size);
    const int model = in.Byte() % 2 ? 21 : 10;
    Fuzz_Open_Project(model, in);
    TFMeter_Bus& w = Fuzz_Window(model, Fuzz_Make<TFMeter_Bus>);
    Fuzz_Show_Modal(w, [&] {
        // The first items are enough to show a node and a variable of each kind read.
        for (int i = 0; i < std::min(w.TW->Items().Count(), 8); ++i) w.TW->SetSelected(w.TW->Items().Item(i));
        w.Btn_OK->Click();
    });
}
