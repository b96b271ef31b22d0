// Decoding of wired RSP_UD long frames as the scan does it: every frame a new
// meter in MBus_Slave_List, the list emptied after each batch of 1,000.
// One iteration decodes 100,000 frames; for the published three-record
// example it must stay under 0.2 s on one core.
#include "mbus/MBusDecoder.h"
#include "shell/Globals.h"

#include <benchmark/benchmark.h>

#include <vector>

namespace {

constexpr int Frames = 100000;
constexpr int Batch = 1000;

// The variable-data RSP_UD example of the bus standard's documentation.
const std::vector<Byte> Example = {0x68, 0x1F, 0x1F, 0x68, 0x08, 0x02, 0x72, 0x78, 0x56, 0x34, 0x12, 0x24, 0x40,
                                   0x01, 0x07, 0x55, 0x00, 0x00, 0x00, 0x03, 0x13, 0x15, 0x31, 0x00, 0xDA, 0x02,
                                   0x3B, 0x13, 0x01, 0x8B, 0x60, 0x04, 0x37, 0x18, 0x02, 0x18, 0x16};

// The example's header around twenty records of a heat meter: integers and
// BCD of every width, a real, DIFEs, extension codes, VIFEs and time points.
std::vector<Byte> Twenty_Record_Frame() {
    const std::vector<Byte> records = {
        0x04, 0x06, 0x39, 0x30, 0x00, 0x00,              // energy, 32-bit
        0x0C, 0x14, 0x27, 0x04, 0x85, 0x02,              // volume, 8-digit BCD
        0x0B, 0x3B, 0x13, 0x01, 0x00,                    // flow, 6-digit BCD
        0x0A, 0x5A, 0x10, 0x07,                          // flow temperature
        0x0A, 0x5E, 0x20, 0x04,                          // return temperature
        0x0B, 0x61, 0x90, 0x02, 0x00,                    // temperature difference
        0x02, 0x2B, 0x10, 0x27,                          // power, 16-bit
        0x04, 0x6D, 0x1E, 0x0C, 0x8F, 0x33,              // date and time
        0x42, 0x6C, 0x7F, 0x2C,                          // due date, storage 1
        0x44, 0x06, 0x11, 0x22, 0x00, 0x00,              // energy at due date
        0x84, 0x10, 0x06, 0x01, 0x02, 0x03, 0x04,        // energy, tariff 1
        0x84, 0x90, 0x01, 0x06, 0x05, 0x06, 0x07, 0x08,  // energy, storage 32
        0x05, 0x2E, 0x00, 0x00, 0xC0, 0x3F,              // power, real
        0x01, 0xFD, 0x17, 0x00,                          // error flags
        0x03, 0xFD, 0x0C, 0x01, 0x02, 0x03,              // model version
        0x02, 0xFB, 0x7A, 0x10, 0x00,                    // cumulated active power
        0x04, 0x93, 0x3B, 0x44, 0x33, 0x22, 0x11,        // forward volume
        0x04, 0x83, 0xFC, 0x01, 0x12, 0x34, 0x56, 0x78,  // energy at phase L1
        0x0E, 0x03, 0x90, 0x78, 0x56, 0x34, 0x12, 0x00,  // energy, 12-digit BCD
        0x06, 0x6D, 0x05, 0x1E, 0x2C, 0x8F, 0x33, 0x00,  // extended date and time
    };
    std::vector<Byte> frame(Example.begin(), Example.begin() + 19);
    frame.insert(frame.end(), records.begin(), records.end());
    frame[1] = frame[2] = static_cast<Byte>(frame.size() - 4);
    Byte sum = 0;
    for (std::size_t i = 4; i < frame.size(); ++i) sum = static_cast<Byte>(sum + frame[i]);
    frame.push_back(sum);
    frame.push_back(0x16);
    return frame;
}

void Decode_Frames(benchmark::State& state, const std::vector<Byte>& frame, std::size_t records) {
    TMBusDecoder decoder;
    bool last = false;
    for (auto _ : state) {
        for (int done = 0; done < Frames; done += Batch) {
            for (int i = 0; i < Batch; ++i)
                decoder.Decode_RSP_UD(frame.data(), static_cast<int>(frame.size()), -1, last);
            const auto* meter = dynamic_cast<const TSlave_MBus*>(MBus_Slave_List.back());
            if (meter->List_Var.size() != records) {
                state.SkipWithError("the frame does not decode into its records");
                break;
            }
            Cancel_MBus_Slave_List();
        }
    }
    state.SetItemsProcessed(state.iterations() * Frames);
    state.SetLabel(std::to_string(Frames) + " frames of " + std::to_string(records) + " records");
}

void BM_Decode_RSP_UD_Example(benchmark::State& state) { Decode_Frames(state, Example, 3); }
BENCHMARK(BM_Decode_RSP_UD_Example)->Unit(benchmark::kMillisecond);

void BM_Decode_RSP_UD_Twenty_Records(benchmark::State& state) { Decode_Frames(state, Twenty_Record_Frame(), 20); }
BENCHMARK(BM_Decode_RSP_UD_Twenty_Records)->Unit(benchmark::kMillisecond);

}  // namespace
