#include "framework/Process.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

namespace fs = std::filesystem;

namespace {

using Clock = std::chrono::steady_clock;

long long MsSince(Clock::time_point t0) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - t0).count();
}

// The stand-in programs are built beside the test binary.
std::string Helper(const std::string& name) {
    return (fs::read_symlink("/proc/self/exe").parent_path() / name).string();
}

String U(const std::string& s) { return Utf8ToString(s); }

std::vector<std::string> RecordedArgs(const std::string& file) {
    std::ifstream in(file, std::ios::binary);
    std::vector<std::string> args;
    std::string arg;
    while (std::getline(in, arg, '\0')) args.push_back(arg);
    return args;
}

// A child that has ended but was not reaped shows as a zombie ('Z') until
// someone waits for it; a reaped one is gone from /proc.
bool Reaped(int pid, int withinMs) {
    const auto t0 = Clock::now();
    while (MsSince(t0) < withinMs) {
        if (!fs::exists("/proc/" + std::to_string(pid))) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    }
    return false;
}

}  // namespace

TEST(SplitCommandLine, FollowsTheOriginalPlatformsRules) {
    struct Case {
        String line;
        std::vector<String> args;
    } cases[] = {
        {u"", {}},
        {u"   \t ", {}},
        {u"192.168.0.5 2007 FW NO PW PR ", {u"192.168.0.5", u"2007", u"FW", u"NO", u"PW", u"PR"}},
        {u"10.0.0.1 2007 NO NO NO NO \"C:\\Prog Files\\MASTER\\sim52831.sim\" \"C:\\Prog Files\\PROJECTS\\My Plant\\bin\\bank.bin\"",
         {u"10.0.0.1", u"2007", u"NO", u"NO", u"NO", u"NO", u"C:\\Prog Files\\MASTER\\sim52831.sim",
          u"C:\\Prog Files\\PROJECTS\\My Plant\\bin\\bank.bin"}},
        {u"\"/opt/my app/MASTER/sim7.sim\" \"/home/u/PROJECTS/Plant 1/bin\"",
         {u"/opt/my app/MASTER/sim7.sim", u"/home/u/PROJECTS/Plant 1/bin"}},
        {u"a\"b c\"d e", {u"ab cd", u"e"}},              // quotes group blanks inside a word
        {u"\"\" x \"\"", {u"", u"x", u""}},              // empty quoted arguments are kept
        {u"\"say \"\"hi\"\"\"", {u"say \"hi\""}},        // doubled quote inside quotes
        {u"a\\\\b c\\d", {u"a\\\\b", u"c\\d"}},          // backslashes not before a quote stay
        {u"a\\\"b", {u"a\"b"}},                          // odd backslashes: literal quote
        {u"a\\\\\"b c\"", {u"a\\b c"}},                  // even backslashes: quote still quotes
        {u"a\\\\\\\"b", {u"a\\\"b"}},                    // three backslashes: one kept, quote literal
        {u"\"open to the end", {u"open to the end"}},
        {u"x\t\ty", {u"x", u"y"}},
    };
    for (const auto& c : cases) EXPECT_EQ(SplitCommandLine(c.line), c.args) << StringToUtf8(c.line);
}

// As the update dialog starts a per-model updater: a program whose path holds
// a blank, a command line of the original's form with quoted paths.
TEST(Process, StartsAProgramWithQuotedArgumentsAndReportsItsExitCode) {
    TempDir dir;
    const fs::path folder = fs::path(dir.path()) / "Program Files";
    fs::create_directories(folder);
    const fs::path program = folder / "TCP_52831_Update";
    fs::copy_file(Helper("proc_helper_record"), program);
    fs::permissions(program, fs::perms::owner_all);
    const std::string out = dir.file("argv.bin");

    const String line = U("\"" + out + "\" 192.168.2.205 2007 FW FR NO PR \"" + dir.path() +
                          "/MASTER/sim52831.sim\" \"" + dir.path() + "/PROJECTS/My Plant/bin/bank.bin\"");
    TProcess p;
    p.Start(U(program.string()), SplitCommandLine(line));
    EXPECT_TRUE(p.Started());
    ASSERT_TRUE(p.WaitFor(5000));
    EXPECT_TRUE(p.Ended());
    EXPECT_EQ(p.ExitCode(), 3);
    const std::vector<std::string> expected = {
        "192.168.2.205", "2007", "FW", "FR", "NO", "PR",
        dir.path() + "/MASTER/sim52831.sim", dir.path() + "/PROJECTS/My Plant/bin/bank.bin"};
    EXPECT_EQ(RecordedArgs(out), expected);
}

TEST(Process, AProgramLongerThanTheWaitRunsOnAndIsReapedAfterTheCallerLetsGo) {
    int pid = -1;
    {
        TProcess p;
        p.Start(U(Helper("proc_helper_sleep")), {u"400"});
        pid = p.Pid();
        const auto t0 = Clock::now();
        EXPECT_FALSE(p.WaitFor(100));
        EXPECT_GE(MsSince(t0), 90);
        EXPECT_FALSE(p.Ended());
        EXPECT_EQ(p.ExitCode(), -1);
    }  // the caller stops waiting; the program is not stopped
    EXPECT_EQ(::kill(pid, 0), 0) << "the program must keep running";
    EXPECT_TRUE(Reaped(pid, 5000)) << "left as a zombie";
}

TEST(Process, ExitBySignalIsReportedAsSignalPlus128) {
    TProcess p;
    p.Start(U(Helper("proc_helper_sleep")), {u"10000"});
    ASSERT_EQ(::kill(p.Pid(), SIGKILL), 0);
    ASSERT_TRUE(p.WaitFor(5000));
    EXPECT_EQ(p.ExitCode(), 128 + SIGKILL);
}

TEST(Process, AProgramThatCannotBeStartedIsReportedNotTakenAsRun) {
    TempDir dir;
    dir.write("not_executable", "data");
    // A text without "#!" would run in a shell if the start went through one.
    dir.write("script", "touch " + dir.file("ran") + "\n");
    ::chmod(dir.file("script").c_str(), 0755);

    const std::string paths[] = {dir.file("Ethernet_Update.exe"), dir.file("not_executable"),
                                 dir.file("script"), dir.path()};
    for (const auto& path : paths) {
        TProcess p;
        try {
            p.Start(U(path), {});
            ADD_FAILURE() << "started: " << path;
        } catch (const EOSError& e) {
            EXPECT_NE(std::string(e.what()).find("\"" + path + "\""), std::string::npos) << e.what();
        }
        EXPECT_FALSE(p.Started());
        EXPECT_FALSE(p.WaitFor(0));
    }
    EXPECT_FALSE(fs::exists(dir.file("ran")));
}

TEST(Process, OpenInDefaultProgramHandsTheLinkToXdgOpenWithoutWaiting) {
    TempDir dir;
    // A stand-in opener that notes its argument and then lingers.
    dir.write("xdg-open", "#!/bin/sh\nprintf '%s' \"$1\" > \"" + dir.file("opened") + ".tmp\"\nmv \"" +
                              dir.file("opened") + ".tmp\" \"" + dir.file("opened") + "\"\nsleep 0.5\n");
    ::chmod(dir.file("xdg-open").c_str(), 0755);
    const char* old = std::getenv("PATH");
    const std::string oldPath = old ? old : "";
    ::setenv("PATH", (dir.path() + ":" + oldPath).c_str(), 1);

    const auto t0 = Clock::now();
    EXPECT_NO_THROW(OpenInDefaultProgram(u"http://example.invalid/home/download#CV52809"));
    EXPECT_LT(MsSince(t0), 1000);
    for (int i = 0; i < 250 && !fs::exists(dir.file("opened")); ++i)
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
    EXPECT_EQ(dir.read("opened"), "http://example.invalid/home/download#CV52809");

    ::setenv("PATH", (dir.path() + "/none").c_str(), 1);
    EXPECT_THROW(OpenInDefaultProgram(u"http://example.invalid/"), EOSError);
    ::setenv("PATH", oldPath.c_str(), 1);
}
