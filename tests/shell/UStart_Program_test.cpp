#include "shell/UStart_Program.h"

#include "framework/Threads.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <filesystem>

namespace {

// A stand-in updater: records its arguments, one per line, then sleeps.
String Stand_In(const TempDir& dir, const std::string& name, const std::string& sleepSeconds) {
    dir.write(name, "#!/bin/sh\nprintf '%s\\n' \"$@\" > \"" + dir.file("args.txt") + "\"\nsleep " +
                        sleepSeconds + "\n");
    std::filesystem::permissions(dir.file(name), std::filesystem::perms::owner_all);
    return Utf8ToString(dir.file(name));
}

}  // namespace

TEST(StartProgram, WaitsForAProgramThatEndsAndPassesItsCommandLine) {
    TempDir dir;
    const String program = Stand_In(dir, "updater", "0");
    const Cardinal t0 = GetTickCount();
    EXPECT_TRUE(Start_Program(program, u"192.168.2.205 2007 FW NO \"/a b/MASTER/fw.bin\" \"bin\\bank.bin\"", true));
    EXPECT_LT(GetTickCount() - t0, 5000u);
    EXPECT_EQ(dir.read("args.txt"), "192.168.2.205\n2007\nFW\nNO\n/a b/MASTER/fw.bin\nbin\\bank.bin\n");
}

TEST(StartProgram, GivesUpAfterTheLimitAndReportsAProgramThatCannotStart) {
    TempDir dir;
    const String program = Stand_In(dir, "slow", "2");
    const Cardinal t0 = GetTickCount();
    EXPECT_TRUE(Start_Program(program, u"", false, 300));
    const Cardinal waited = GetTickCount() - t0;
    EXPECT_GE(waited, 300u);
    EXPECT_LT(waited, 1500u);  // returned while the program still runs

    EXPECT_FALSE(Start_Program(Utf8ToString(dir.file("missing")), u"", false));
}
