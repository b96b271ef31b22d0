#include "shell/UStart_Program.h"

#include "framework/Process.h"
#include "framework/Threads.h"

bool Start_Program(const String& NomeSW, const String& Parameter, bool tipo, Cardinal limitMs) {
    TProcess process;
    try {
        process.Start(NomeSW, SplitCommandLine(Parameter));
    } catch (const EOSError&) {
        return false;
    }
    const Cardinal t0 = GetTickCount();
    // The windows do not respond meanwhile, as the updater expects to run alone.
    while (!process.Ended()) {
        if (GetTickCount() - t0 >= limitMs)
            break;
        Sleep(Start_Program_Poll_Ms);
    }
    return true;
}
