#pragma once
// The folders beside the executable, the open project and the full path of
// every project file.
//
// A project is a folder named after it inside "PROJECTS", holding one XML
// file per kind of data (each written by its editor on its first save) and a
// "bin" folder for the configuration images.

#include "framework/System.h"

#include <vector>

// Exe_Dir := exeDir; Master_Dir, Projects_Dir, Language_Dir beneath it, each
// created (one level) when missing. A failure to create is not reported:
// later file operations there fail in their own ways.
void Set_Program_Folders(const String& exeDir);

// Projects_Dir + "/" + name.
String Project_Folder(const String& name);
// A project name is a plain folder name inside "PROJECTS": not ".", "..",
// nor anything with a path separator, so no project reaches outside it.
bool Is_Plain_Project_Name(const String& name);

// Project_Dir := the folder of Project_Name when it exists, else empty (the
// name is kept, so it is written back unchanged).
void Reopen_Last_Project();

// Opens the named project (empty name: no project open), then Set_Files.
// The folder is not checked: the open dialog has just listed it.
void Open_Project_Named(const String& name);

// Recomputes the path strings from Project_Dir for Model_Code. Paths the
// model does not use stay empty; with no project open they are the bare
// file names after a separator.
void Set_Files();

// The project file of every path string, in the stored order, with the model
// codes that use it; Set_Files reads it.
struct TProject_File {
    String* Path;
    const char16_t* File_Name;
    std::vector<int> Models;  // empty: every model
};
const std::vector<TProject_File>& Project_Files();
