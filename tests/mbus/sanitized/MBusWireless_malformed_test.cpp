// Wireless telegrams cut short, with lengths and layer sizes that reach past
// them, and random bytes, decoded for a meter that has a key. Built with the
// sanitizers, so that a read or write outside the datagram fails the test.
#include "MBusFixture.h"
#include "mbus/MBusWirelessDecode.h"

#include <random>

namespace {

class MBusWirelessMalformed : public TMBusTest {
protected:
    void TearDown() override {
        Cancel_WMBus_Slave_List();
        TMBusTest::TearDown();
    }
    // The datagram in a buffer of exactly its size, its L field made to fit.
    int Feed(TBytes d, TRadioModule module) {
        d[0] = static_cast<Byte>(d.size() - (module == rmAtCommand ? 3 : 1));
        std::unique_ptr<Byte[]> exact(new Byte[d.size()]);
        std::copy(d.begin(), d.end(), exact.get());
        const int i = decoder_.Decode_Wireless_Telegram(exact.get(), static_cast<int>(d.size()), module);
        if (i >= 0) {
            auto* m = static_cast<TSlave_wMBus*>(WMBus_Slave_List.at(static_cast<std::size_t>(i)));
            m->Enable_Key = true;
            m->Key.fill(0x5A);
        }
        return i;
    }
    TWirelessDecoder decoder_;
};

// Headers of every kind, each followed by long encrypted lengths and
// authentication layers that claim more than there is.
const TBytes Heads[] = {
    {0, 0x44, 0x93, 0x15, 1, 0, 0, 0, 1, 7, 0x8C, 0x20, 0x2A, 0x7A, 0x2A, 0x00, 0xF0, 0x25, 0x11, 0x11},
    {0, 0x44, 0x93, 0x15, 2, 0, 0, 0, 1, 7, 0x8C, 0x20, 0x2A, 0x90, 0xF0, 0xFF, 0xFF, 0x28, 1, 0, 0, 0},
    {0, 0x44, 0x93, 0x15, 3, 0, 0, 0, 1, 7, 0x8C, 0x20, 0x2A, 0x90, 0x00, 0x00, 0x00, 0x7A, 0x2A, 0x00, 0xF0, 0x27},
    {0, 0x44, 0x93, 0x15, 4, 0, 0, 0, 1, 7, 0x8D, 0x20, 0x2A, 0, 0, 0, 0, 0, 0, 0x72},
    {0, 0x44, 0x93, 0x15, 5, 0, 0, 0, 1, 7, 0x72, 0x78, 0x56, 0x34, 0x12, 0x93, 0x15, 0x33, 0x03},
};

}  // namespace

TEST_F(MBusWirelessMalformed, CutHeadersAndOverlongLengthsStayInsideTheDatagram) {
    for (TRadioModule module : {rmAtCommand, rmByteCommand}) {
        for (const TBytes& head : Heads) {
            for (std::size_t cut = 1; cut <= head.size(); ++cut) {
                TBytes d(head.begin(), head.begin() + static_cast<std::ptrdiff_t>(cut));
                d.insert(d.end(), {0x00, 0x5A});
                // Twice: the second time the meter is known and has a key.
                Feed(d, module);
                Feed(d, module);
            }
        }
    }
}

TEST_F(MBusWirelessMalformed, RandomTelegramsOfKnownMeters) {
    std::mt19937 random(34);
    for (int round = 0; round < 3000; ++round) {
        TBytes d = Heads[static_cast<std::size_t>(round) % std::size(Heads)];
        const std::size_t extra = random() % 80;
        for (std::size_t k = 0; k < extra; ++k) d.push_back(static_cast<Byte>(random()));
        for (int flips = 0; flips < 3; ++flips) d[11 + random() % (d.size() - 11)] = static_cast<Byte>(random());
        Feed(d, round % 2 ? rmAtCommand : rmByteCommand);
    }
    EXPECT_FALSE(WMBus_Slave_List.empty());
}
