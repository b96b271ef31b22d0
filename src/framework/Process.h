#pragma once
// Starting outside programs (the updaters), waiting for them, and opening a
// link or a file in the desktop's default program.
//
// A program is started directly by its path with an argument list, never
// through a shell. A program that cannot be started raises EOSError naming it:
// the caller learns of it instead of going on as if it had run. Every started
// program is reaped when it ends, also after its TProcess is gone, so no
// zombie processes stay behind.

#include "framework/System.h"

#include <mutex>
#include <vector>

// Splits a command line written for the original platform into arguments, by
// that platform's C runtime rules:
// - blanks and tabs outside double quotes separate arguments;
// - a double quote starts or ends a quoted part, in which blanks are kept;
//   inside a quoted part two double quotes in a row give one literal quote;
// - 2n backslashes before a double quote give n backslashes and the quote
//   acts as above; 2n+1 backslashes before it give n backslashes and a
//   literal quote; backslashes before anything else are kept as they are;
// - a quoted part left open runs to the end of the line; "" alone is an empty
//   argument.
// So  1.2.3.4 2007 FW "C:\My Dir\sim1.sim"  gives four arguments.
std::vector<String> SplitCommandLine(const String& commandLine);

class TProcess {
public:
    TProcess() = default;
    // Does not stop a program that still runs; it is reaped when it ends.
    ~TProcess();
    TProcess(const TProcess&) = delete;
    TProcess& operator=(const TProcess&) = delete;

    // Starts program (a path, used as given; PATH is not searched) with the
    // arguments after the program name. Raises EOSError "Cannot start
    // "<path>": <reason>" when it cannot be started (missing, not executable,
    // not a program). A TProcess starts one program.
    void Start(const String& program, const std::vector<String>& arguments);

    bool Started() const { return pid_ > 0; }
    int Pid() const { return pid_; }

    // True once the program has ended (and it has then been reaped).
    bool Ended();
    // Waits up to timeoutMs (negative: without limit) for the end; true when
    // it has ended.
    bool WaitFor(int timeoutMs);
    // The program's exit status once it has ended: its exit code, or 128 plus
    // the signal number when a signal ended it; -1 while it runs.
    int ExitCode();

private:
    bool Poll();  // under mutex_
    std::mutex mutex_;
    int pid_ = -1;
    bool ended_ = false;
    int exitCode_ = -1;
};

// Opens a link ("http://...") or a file in the desktop's default program with
// xdg-open, without waiting for it. Raises EOSError when xdg-open cannot be
// started (it is looked up on PATH).
void OpenInDefaultProgram(const String& target);
