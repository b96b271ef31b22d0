#pragma once
// What the fuzz targets share: taking an input apart, a scratch folder of
// the process for the files a parser reads, a fuzzed project, and the guard
// that lets a parser's refusal of bad input pass.

#include "framework/System.h"

#include <cstddef>
#include <cstdint>
#include <string_view>

// Takes an input apart from the front: single bytes, pieces (a 16-bit
// little-endian length, then that many bytes or what is left) and the rest.
class TFuzzInput {
public:
    TFuzzInput(const std::uint8_t* Data, std::size_t Size)
        : rest_(reinterpret_cast<const char*>(Data), Size) {}
    bool Empty() const { return rest_.empty(); }
    std::uint8_t Byte();  // 0 once nothing is left
    std::string_view Piece();
    std::string_view Rest();

private:
    std::string_view rest_;
};

// A folder of this process's own, removed when it ends.
const String& Fuzz_Folder();
// Bytes written whole as Name in the scratch folder; the file's path.
String Fuzz_File(const String& Name, std::string_view Bytes);

// The model code that Selector picks among the 38, in the model table's order.
int Fuzz_Model(std::uint8_t Selector);

// A fuzzed project, opened for Model as the shell opens one: the folder
// "PROJECTS/Fuzz" of the scratch folder, with its "bin" folder. The rest of
// the input holds its files, each a byte naming it (its place in
// Project_Files, modulo their count) and a piece; a file the model does not
// use is left out, and no other file exists.
void Fuzz_Open_Project(int Model, TFuzzInput& Input);

// For the seed writer: the case of the table-loaders target that shows the
// editor of the file at Path for Model; -1 when no editor of the model edits it.
int Fuzz_Table_Case(const String* Path, int Model);

// Runs Step: what the parsers raise for bad input is one of the outcomes.
template <class F>
void Fuzz_Guarded(F&& Step) {
    try {
        Step();
    } catch (const Exception&) {
    }
}
