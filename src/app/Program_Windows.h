#pragma once
// Program start: every window is created once, in a fixed order, and lives
// until the program ends. The main window comes first because its creation
// builds the text table, loads the language and sets the software code,
// which every later window takes when it is created.

#include "framework/System.h"

// The folder the configurator keeps its files in; empty: the executable's
// folder. Tests point it at a temporary folder.
extern String Start_Folder;

// Creates the 35 windows in the start order and joins what they need of one
// another (the Options dialog's language change and diagnostics window).
void Create_Program_Windows();
