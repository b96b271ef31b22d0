#include "Fuzz_Support.h"

#include "framework/Files.h"
#include "shell/Globals.h"
#include "shell/UModel_Tables.h"
#include "shell/UProject_Files.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

std::uint8_t TFuzzInput::Byte() {
    if (rest_.empty()) return 0;
    const auto b = std::uint8_t(rest_.front());
    rest_.remove_prefix(1);
    return b;
}

std::string_view TFuzzInput::Piece() {
    const std::size_t length = Byte() | std::size_t(Byte()) << 8;
    const std::string_view piece = rest_.substr(0, length);
    rest_.remove_prefix(piece.size());
    return piece;
}

std::string_view TFuzzInput::Rest() {
    const std::string_view rest = rest_;
    rest_ = {};
    return rest;
}

const String& Fuzz_Folder() {
    static const String folder = [] {
        std::string pattern = (std::filesystem::temp_directory_path() / "configurator-fuzz-XXXXXX").string();
        if (!::mkdtemp(pattern.data())) std::abort();
        static const std::string made = pattern;
        std::atexit([] { std::filesystem::remove_all(made); });
        return Utf8ToString(made);
    }();
    return folder;
}

String Fuzz_File(const String& Name, std::string_view Bytes) {
    const String path = PathJoin(Fuzz_Folder(), Name);
    std::ofstream(StringToUtf8(path), std::ios::binary | std::ios::trunc).write(Bytes.data(), std::streamsize(Bytes.size()));
    return path;
}

int Fuzz_Model(std::uint8_t Selector) { return Model_Table[Selector % std::size(Model_Table)].Code; }

void Fuzz_Open_Project(int Model, TFuzzInput& Input) {
    static const bool folders = [] {
        Set_Program_Folders(Fuzz_Folder());
        ForceDirectories(PathJoin(Project_Folder(u"Fuzz"), u"bin"));
        return true;
    }();
    (void)folders;
    const auto& files = Project_Files();
    // Set_Files leaves the paths of other models as they were.
    for (const TProject_File& f : files) {
        f.Path->clear();
        DeleteFile(PathJoin(Project_Folder(u"Fuzz"), f.File_Name));
    }
    Model_Code = Model;
    Open_Project_Named(u"Fuzz");
    while (!Input.Empty()) {
        const TProject_File& f = files[Input.Byte() % files.size()];
        const std::string_view piece = Input.Piece();
        if (f.Path->empty()) continue;
        std::ofstream(StringToUtf8(*f.Path), std::ios::binary | std::ios::trunc)
            .write(piece.data(), std::streamsize(piece.size()));
    }
}
