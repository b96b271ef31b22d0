#pragma once
// Puts the shell's program-wide state back after a test: the model code,
// folders, project, settings values and every path string.

#include "shell/Globals.h"
#include "shell/UProject_Files.h"
#include "support/TempDir.h"

class ShellState {
public:
    ShellState() : model_(Model_Code) { Clear(); }
    ~ShellState() {
        Clear();
        Model_Code = model_;
    }
    static void Clear() {
        for (String* s : {&Project_Name, &Project_Dir, &Projects_Dir, &Exe_Dir, &Master_Dir, &Language_Dir,
                          &Last_IP_Address, &Language_Name})
            s->clear();
        Opt_Enable_Internet = Opt_Enable_Update = Opt_Jump_Field_Tables = Opt_Double_Click_Auto_Size = false;
        for (const TProject_File& f : Project_Files())
            f.Path->clear();
    }

private:
    int model_;
};

// A temporary folder standing for the executable's folder, with its three
// program folders made.
class ExeFolder : public ShellState {
public:
    ExeFolder() { Set_Program_Folders(Utf8ToString(dir.path())); }
    TempDir dir;
};
