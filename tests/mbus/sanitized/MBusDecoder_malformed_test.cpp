// Malformed frames and telegrams: cut short, too many extension bytes, units
// and lengths the records cannot hold, random and bit-flipped bytes. Built
// with the sanitizers, so that a read outside the data area fails the test.
// The walk keeps the records before a fault and marks the faulty one.
#include "MBusFixture.h"

#include <random>

namespace {

using MBusMalformed = TMBusTest;

// Only the last record of a walk may be marked as one that cannot be
// analysed; any record may hold a value its meter marks as not valid. A
// marked record shows its error text as its value.
void Expect_Fault_Only_Last(const TWalk& w, const std::string& what) {
    for (std::size_t i = 0; i < w.List.size(); ++i) {
        if (!w[i].errata) continue;
        const bool last = i + 1 == w.List.size();
        if (w[i].sterror != u"Valore non valido") {
            EXPECT_TRUE(last && w[i].sterror == u"Non analizabile") << what << " record " << i;
        }
        EXPECT_EQ(w[i].ValueStr, w[i].sterror) << what << " record " << i;
    }
}

const TBytes Good = {0x04, 0x13, 0x39, 0x30, 0x00, 0x00};

TBytes Then(TBytes head, const TBytes& tail) {
    head.insert(head.end(), tail.begin(), tail.end());
    return head;
}

}  // namespace

TEST_F(MBusMalformed, ExampleCutAfterEachByteKeepsTheWholeRecordsAndMarksTheCutOne) {
    const TBytes area = Example_Data();
    ASSERT_EQ(area.size(), 16u);
    const TWalk whole = Walk(area);
    const std::size_t ends[] = {5, 10, 16};  // where each record ends
    for (std::size_t cut = 1; cut <= area.size(); ++cut) {
        const TWalk w = Walk(TBytes(area.begin(), area.begin() + cut));
        const std::size_t complete = std::count_if(std::begin(ends), std::end(ends), [&](std::size_t e) { return e <= cut; });
        const bool at_boundary = std::find(std::begin(ends), std::end(ends), cut) != std::end(ends);
        SCOPED_TRACE("cut after " + std::to_string(cut) + " bytes");
        ASSERT_EQ(w.List.size(), complete + (at_boundary ? 0 : 1));
        EXPECT_TRUE(w.Result);
        for (std::size_t i = 0; i < complete; ++i) {
            EXPECT_FALSE(w[i].errata);
            EXPECT_EQ(w[i].ValueStr, whole[i].ValueStr);
        }
        if (!at_boundary) {
            const TVariable_MBus& cutRecord = w[complete];
            EXPECT_TRUE(cutRecord.errata);
            EXPECT_EQ(cutRecord.sterror, u"Non analizabile");
            EXPECT_EQ(cutRecord.DIF, whole[complete].DIF);
            EXPECT_EQ(cutRecord.totdati, u"") << "its data were not there";
        }

        // The same cut inside a frame whose length says so.
        TBytes frame(Example_Frame.begin(), Example_Frame.begin() + 19 + cut);
        frame.insert(frame.end(), {0x00, 0x16});
        std::unique_ptr<Byte[]> exact(new Byte[frame.size()]);
        std::copy(frame.begin(), frame.end(), exact.get());
        TMBusDecoder decoder;
        bool last = false;
        const int p = decoder.Decode_RSP_UD(exact.get(), static_cast<int>(frame.size()), -1, last);
        ASSERT_GE(p, 0);
        EXPECT_EQ(dynamic_cast<TSlave_MBus*>(MBus_Slave_List[p])->List_Var.size(), w.List.size());
    }
}

TEST_F(MBusMalformed, RecordsThatCannotBeReadWholeEndTheWalkMarked) {
    const TBytes ten_difes = {0x84, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x00, 0x13, 1, 2, 3, 4};
    const TBytes eleven_difes = {0x84, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x80, 0x00, 0x13, 1, 2, 3, 4};
    const TBytes ten_vifes = {0x04, 0x83, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x10, 1, 2, 3, 4};
    const TBytes eleven_vifes = {0x04, 0x83, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x90, 0x10, 1, 2, 3, 4};
    auto plain_text = [](int length) {
        TBytes r = {0x01, 0x7C, static_cast<Byte>(length)};
        r.insert(r.end(), length, 'x');
        r.push_back(0x05);
        return r;
    };
    struct TCase {
        const char* What;
        TBytes Area;
        std::size_t Records;
        bool Last_Marked;
    } cases[] = {
        {"ten DIFEs", Then(Good, Then(ten_difes, Good)), 3, false},
        {"eleven DIFEs", Then(Good, Then(eleven_difes, Good)), 2, true},
        {"ten VIFEs", Then(Good, Then(ten_vifes, Good)), 3, false},
        {"eleven VIFEs", Then(Good, Then(eleven_vifes, Good)), 2, true},
        {"plain text of 192", Then(Good, Then(plain_text(192), Good)), 3, false},
        {"plain text of 193", Then(Good, Then(plain_text(193), Good)), 2, true},
        {"plain text of 255", Then(Good, Then(plain_text(255), Good)), 2, true},
        {"plain text past the end", Then(Good, {0x01, 0x7C, 0x05, 'a', 'b'}), 2, true},
        {"LVAR 0xFB", Then(Good, Then({0x0D, 0x13, 0xFB, 1, 2, 3}, Good)), 2, true},
        {"LVAR 0xFF", Then(Good, Then({0x0D, 0x13, 0xFF}, Good)), 2, true},
        {"LVAR missing", Then(Good, {0x0D, 0x13}), 2, true},
        {"LVAR longer than the rest", Then(Good, {0x0D, 0x13, 0x05, 1, 2}), 2, true},
        {"DIFE missing", Then(Good, {0x84}), 2, true},
        {"VIF missing", Then(Good, {0x04}), 2, true},
        {"VIFE missing", Then(Good, {0x04, 0x93}), 2, true},
        {"skipped DIF with its VIF missing", Then(Good, {0x8F, 0x00}), 2, true},
    };
    for (const TCase& c : cases) {
        const TWalk w = Walk(c.Area);
        ASSERT_EQ(w.List.size(), c.Records) << c.What;
        EXPECT_EQ(w[0].ValueStr, u"12.345") << c.What << ": the record before is kept";
        EXPECT_EQ(w.List.back()->errata, c.Last_Marked) << c.What;
        Expect_Fault_Only_Last(w, c.What);
    }

    // A reserved LVAR still names its coding and its quantity.
    const TWalk reserved = Walk({0x0D, 0x13, 0xFB});
    ASSERT_EQ(reserved.List.size(), 1u);
    EXPECT_EQ(reserved[0].DataFieldStr, u"Variable Length - Reserved");
    EXPECT_EQ(reserved[0].descdim, u"Variable length: Reserved");
    EXPECT_EQ(reserved[0].Desc_Type_Data, u"Volume m3");
    EXPECT_EQ(reserved[0].nbyte, 0);

    const TWalk too_many = Walk(eleven_difes);
    ASSERT_EQ(too_many.List.size(), 1u);
    EXPECT_EQ(too_many[0].numdife, 10) << "the eleventh is not read";
}

TEST_F(MBusMalformed, EmptyAreaGivesNoRecord) {
    TMBusDecoder decoder;
    TVar_List list;
    EXPECT_TRUE(decoder.Decode_Data_Records(list, -1, nullptr));
    EXPECT_TRUE(decoder.Decode_Data_Records(list, 0, nullptr));
    const Byte one = 0x2F;
    EXPECT_TRUE(decoder.Decode_Data_Records(list, -1, &one));
    EXPECT_TRUE(list.empty());
}

TEST_F(MBusMalformed, RandomAndBitFlippedInputNeverReadsOutsideItsArea) {
    std::mt19937 random(25);  // fixed: a failure repeats
    for (int round = 0; round < 3000; ++round) {
        TBytes area(random() % 300);
        for (Byte& b : area) b = static_cast<Byte>(random());
        const TMBusType type = round % 2 ? mtWireless : mtWired;
        Expect_Fault_Only_Last(Walk(area, type), "random area " + std::to_string(round));
    }

    // Every single bit of the example frame flipped, and every length of it.
    TMBusDecoder decoder;
    bool last = false;
    for (std::size_t bit = 0; bit < Example_Frame.size() * 8; ++bit) {
        TBytes frame = Example_Frame;
        frame[bit / 8] ^= static_cast<Byte>(1 << (bit % 8));
        std::unique_ptr<Byte[]> exact(new Byte[frame.size()]);
        std::copy(frame.begin(), frame.end(), exact.get());
        const int p = decoder.Decode_RSP_UD(exact.get(), static_cast<int>(frame.size()), -1, last);
        ASSERT_GE(p, 0);
        TWalk w;
        w.List = std::move(dynamic_cast<TSlave_MBus*>(MBus_Slave_List[p])->List_Var);
        Expect_Fault_Only_Last(w, "bit " + std::to_string(bit));
    }
    // The same for a fixed data structure frame of either byte order.
    for (Byte ci : {0x73, 0x77}) {
        TBytes fixed = {0x68, 0x13, 0x13, 0x68, 0x08, 0x05, ci, 0x78, 0x56, 0x34, 0x12, 0x0A, 0x00,
                        0xE9, 0x7E, 0x45, 0x23, 0x01, 0x00, 0x00, 0x10, 0x00, 0x00, 0x00, 0x16};
        for (std::size_t bit = 0; bit < fixed.size() * 8; ++bit) {
            TBytes frame = fixed;
            frame[bit / 8] ^= static_cast<Byte>(1 << (bit % 8));
            for (std::size_t length : {frame.size(), std::size_t(MBus_Min_Long_Frame), std::size_t(22)}) {
                std::unique_ptr<Byte[]> exact(new Byte[length]);
                std::copy(frame.begin(), frame.begin() + length, exact.get());
                const int p = decoder.Decode_RSP_UD(exact.get(), static_cast<int>(length), -1, last);
                if (p < 0) continue;  // the flipped CI may make it another structure
                TWalk w;
                w.List = std::move(dynamic_cast<TSlave_MBus*>(MBus_Slave_List[p])->List_Var);
                Expect_Fault_Only_Last(w, "fixed bit " + std::to_string(bit));
            }
        }
    }
    for (std::size_t length = 0; length <= Example_Frame.size(); ++length) {
        std::unique_ptr<Byte[]> exact(new Byte[std::max<std::size_t>(length, 1)]);
        std::copy(Example_Frame.begin(), Example_Frame.begin() + length, exact.get());
        const int p = decoder.Decode_RSP_UD(exact.get(), static_cast<int>(length), -1, last);
        EXPECT_EQ(p < 0, length < MBus_Min_Long_Frame) << length;
    }

    const TBytes telegram = Wireless_Example_Data();
    for (std::size_t bit = 0; bit < telegram.size() * 8; ++bit) {
        TBytes flipped = telegram;
        flipped[bit / 8] ^= static_cast<Byte>(1 << (bit % 8));
        Expect_Fault_Only_Last(Walk(flipped, mtWireless), "telegram bit " + std::to_string(bit));
    }
}
