#pragma once
// Starting an outside program (the updaters beside the executable) and
// waiting for it to end, up to a fixed limit.

#include "framework/System.h"

// The updater gets this long before the configurator stops waiting for it.
constexpr Cardinal Start_Program_Limit_Ms = 150000;
// How often the end of the program is looked for.
constexpr Cardinal Start_Program_Poll_Ms = 10;

// Starts NomeSW (a full path) with the command line Parameter (split by the
// original platform's rules, quoted paths with blanks kept whole) and waits
// until it ends or limitMs have passed; a program still running then goes on
// on its own, is not stopped and is reaped when it ends. tipo asked for a
// hidden window, which a program started here never has anyway. Returns
// whether the program started; its exit code is not passed on.
bool Start_Program(const String& NomeSW, const String& Parameter, bool tipo,
                   Cardinal limitMs = Start_Program_Limit_Ms);
