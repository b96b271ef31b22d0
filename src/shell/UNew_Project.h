#pragma once
// The new-project dialog and the creation of a project folder.

#include "framework/System.h"

// Creates the project folder with its "bin" folder in Projects_Dir and opens
// it (Project_Name, Project_Dir, Set_Files). Returns 0 on success, otherwise
// the index of the text to show: 45 for an empty name, 44 when the folder
// exists, 43 when it cannot be made or the name is not a plain folder name
// ("/", "\", "." and ".." would reach outside "PROJECTS").
int Create_Project_Folder(const String& name);
