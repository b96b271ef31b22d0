#pragma once
// The fuzz targets: one entry point per parser, fed what a hostile file,
// stream or datagram could hold. A libFuzzer executable runs one of them
// (Fuzz_Main.cpp, built by scripts/fuzz with clang); the replay test runs
// every one over its corpus in the normal build, so each input that once
// broke a parser stays mended.
//
// An entry catches what the parser raises for bad input (the framework's
// Exception and its kin): anything else that escapes, a crash, a leak or a
// sanitizer report is a finding.

#include <cstddef>
#include <cstdint>
#include <span>

struct TFuzzTarget {
    const char* Name;  // also the corpus folder: fuzz/corpus/<Name>/
    void (*Run)(const std::uint8_t* Data, std::size_t Size);
};

std::span<const TFuzzTarget> Fuzz_Targets();
// The target of that name; nullptr when there is none.
const TFuzzTarget* Find_Fuzz_Target(const char* Name);

// Runs Target over one input, then handles the messages it left waiting, as
// the program's loop would: what it let go of later (a window, a font the
// platform caches until a timer) is freed there, so a long run stays small.
void Fuzz_Run(const TFuzzTarget& Target, const std::uint8_t* Data, std::size_t Size);

// What every target needs before its first input: the offscreen platform,
// scripted answers to every box, a scratch folder and the built-in texts.
void Fuzz_Initialize();

void Fuzz_MBus_Long_Frame(const std::uint8_t* Data, std::size_t Size);
void Fuzz_MBus_Wireless(const std::uint8_t* Data, std::size_t Size);
void Fuzz_MBus_Network(const std::uint8_t* Data, std::size_t Size);
void Fuzz_ParGen(const std::uint8_t* Data, std::size_t Size);
void Fuzz_Settings(const std::uint8_t* Data, std::size_t Size);
void Fuzz_Language(const std::uint8_t* Data, std::size_t Size);
void Fuzz_Table_Loaders(const std::uint8_t* Data, std::size_t Size);
void Fuzz_Image_Builder(const std::uint8_t* Data, std::size_t Size);
void Fuzz_Grid_Bin_Stream(const std::uint8_t* Data, std::size_t Size);
void Fuzz_Grid_Loaders(const std::uint8_t* Data, std::size_t Size);
void Fuzz_Grid_Workbook(const std::uint8_t* Data, std::size_t Size);
void Fuzz_Tree_Stream(const std::uint8_t* Data, std::size_t Size);
void Fuzz_Markup(const std::uint8_t* Data, std::size_t Size);
