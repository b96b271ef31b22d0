#pragma once
// The open-project dialog and the listing of the existing projects.

#include "framework/System.h"

#include <vector>

// The names of the folders in Projects_Dir ("." and ".." and files left out).
std::vector<String> Load_Existing_Configuration();
// The index of the first entry equal to name when both are upper-cased, or -1.
int Search_Open_Conf(const std::vector<String>& SL, const String& name);
// The folder name of the open project: Project_Dir after Projects_Dir and
// the separator; empty when no project is open.
String Current_Project_Folder_Name();
