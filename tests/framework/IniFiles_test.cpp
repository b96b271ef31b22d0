#include "framework/IniFiles.h"

#include "framework/Threads.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>

namespace {
String P(const std::string& utf8) { return Utf8ToString(utf8); }
}  // namespace

TEST(IniFiles, ReadsAHandWrittenFileWithoutRegardToCase) {
    TempDir dir;
    dir.write("grid.ini",
              "; settings\r\n"
              "[Columns]\r\n"
              "  Width = 120 \r\n"
              "Title=\"  padded  \"\r\n"
              "Quoted='x'\r\n"
              "Hex=0x1F\r\n"
              "Dollar=$FF\r\n"
              "Bad=12a\r\n"
              "On=yes\r\n"
              "Caf\xE9=1\r\n"   // Windows-1252 without a mark
              "\n"
              "[ Other ]\n"
              "width=7\n"
              "[columns]\n"
              "Width=999\n");
    TIniFile ini(P(dir.file("grid.ini")));
    EXPECT_EQ(ini.ReadSections(), (std::vector<String>{u"Columns", u"Other"}));
    EXPECT_EQ(ini.ReadString(u"COLUMNS", u"width", u"-"), u"120");  // first of duplicates
    EXPECT_EQ(ini.ReadString(u"columns", u"title", u"-"), u"  padded  ");
    EXPECT_EQ(ini.ReadString(u"columns", u"quoted", u"-"), u"x");
    EXPECT_EQ(ini.ReadInteger(u"Columns", u"Hex", 0), 31);
    EXPECT_EQ(ini.ReadInteger(u"Columns", u"Dollar", 0), 255);
    EXPECT_EQ(ini.ReadInteger(u"Columns", u"Bad", -1), -1);
    EXPECT_EQ(ini.ReadInteger(u"Columns", u"Missing", 5), 5);
    EXPECT_TRUE(ini.ReadBool(u"Columns", u"On", true));  // not a number: the default
    EXPECT_FALSE(ini.ReadBool(u"Columns", u"On", false));
    EXPECT_EQ(ini.ReadString(u"Columns", u"CAF\u00C9", u"-"), u"1");
    EXPECT_EQ(ini.ReadString(u"other", u"WIDTH", u"-"), u"7");
    EXPECT_TRUE(ini.SectionExists(u"oTHER"));
    EXPECT_TRUE(ini.ValueExists(u"Columns", u"hex"));
    EXPECT_FALSE(ini.ValueExists(u"Columns", u"settings"));
    EXPECT_EQ(ini.ReadSection(u"columns"), (std::vector<String>{u"Width", u"Title", u"Quoted", u"Hex", u"Dollar", u"Bad",
                                                  u"On", u"Caf\u00E9"}));  // the later [columns] is not merged
}

TEST(IniFiles, EveryWriteReachesTheFileAndReadsBack) {
    TempDir dir;
    const String path = P(dir.file("sub/../opts.ini"));
    dir.write("sub/.keep", "");
    {
        TIniFile ini(path);
        ini.WriteString(u"Main", u"Name", u"  two blanks ");
        ini.WriteString(u"Main", u"Quote", u"\"q\"");
        ini.WriteString(u"Main", u"Lines", u"a\r\nb");
        ini.WriteString(u"Main", u"Euro", u"\u20AC \u4E2D");
        ini.WriteInteger(u"Main", u"Count", -42);
        ini.WriteBool(u"Flags", u"Jump", true);
        ini.WriteString(u"MAIN", u"name", u"x");  // replaces, keeps the first spelling
    }
    EXPECT_EQ(dir.read("opts.ini"),
              "\xEF\xBB\xBF[Main]\r\nName=x\r\nQuote=\"\"q\"\"\r\nLines=a  b\r\nEuro=\xE2\x82\xAC \xE4\xB8\xAD\r\n"
              "Count=-42\r\n\r\n[Flags]\r\nJump=1\r\n");
    TIniFile ini(path);
    EXPECT_EQ(ini.ReadString(u"main", u"quote", u""), u"\"q\"");
    EXPECT_EQ(ini.ReadString(u"main", u"euro", u""), u"\u20AC \u4E2D");
    EXPECT_EQ(ini.ReadInteger(u"main", u"count", 0), -42);
    EXPECT_TRUE(ini.ReadBool(u"flags", u"jump", false));

    ini.WriteString(u"Main", u"Name", u"  two blanks ");
    EXPECT_EQ(TIniFile(path).ReadString(u"Main", u"Name", u""), u"  two blanks ");
    ini.DeleteKey(u"main", u"NAME");
    ini.EraseSection(u"FLAGS");
    TIniFile again(path);
    EXPECT_FALSE(again.ValueExists(u"Main", u"Name"));
    EXPECT_FALSE(again.SectionExists(u"Flags"));
    EXPECT_EQ(again.ReadSection(u"Main"), (std::vector<String>{u"Quote", u"Lines", u"Euro", u"Count"}));
}

TEST(IniFiles, KeepsCommentsAndTheAnsiFormOfAnExistingFile) {
    TempDir dir;
    dir.write("a.ini", "; note\r\n[S]\r\nK=\xE9\r\n");
    TIniFile ini(P(dir.file("a.ini")));
    ini.WriteString(u"S", u"L", u"\u00FC");
    EXPECT_EQ(dir.read("a.ini"), "; note\r\n[S]\r\nK=\xE9\r\nL=\xFC\r\n");
    ini.WriteString(u"S", u"M", u"\u4E2D");  // needs more than the code page: switches to UTF-8 with a mark
    EXPECT_EQ(dir.read("a.ini"), "\xEF\xBB\xBF; note\r\n[S]\r\nK=\xC3\xA9\r\nL=\xC3\xBC\r\nM=\xE4\xB8\xAD\r\n");
}

TEST(IniFiles, AFailedWriteRaisesAndLeavesTheFile) {
    TempDir dir;
    dir.write("blocker", "x");
    TIniFile ini(P(dir.file("blocker/a.ini")));  // unreadable: starts empty
    EXPECT_FALSE(ini.SectionExists(u"S"));
    EXPECT_THROW(ini.WriteString(u"S", u"K", u"v"), EFCreateError);
    EXPECT_EQ(dir.read("blocker"), "x");
}

TEST(RegistryStore, KeysAndValuesPersistInTheUserFile) {
    TempDir dir;
    const String file = P(dir.file("cfg/configurator/registry.ini"));
    {
        TRegistryStore reg(file);
        EXPECT_FALSE(reg.OpenKey(u"Software\\Grid", false));
        ASSERT_TRUE(reg.OpenKey(u"\\Software\\Grid", true));
        EXPECT_EQ(reg.CurrentPath(), u"Software\\Grid");
        reg.WriteString(u"Layout", u"wide");
        reg.WriteInteger(u"Cols", 12);
        reg.WriteString(u"", u"default");
        ASSERT_TRUE(reg.OpenKey(u"Sub/Deeper", true));  // relative, either separator
        EXPECT_EQ(reg.CurrentPath(), u"Software\\Grid\\Sub\\Deeper");
    }
    TRegistryStore reg(file);
    EXPECT_TRUE(reg.KeyExists(u"software"));  // a parent of a stored key
    EXPECT_TRUE(reg.OpenKey(u"SOFTWARE\\grid", false));
    EXPECT_EQ(reg.ReadString(u"layout"), u"wide");
    EXPECT_EQ(reg.ReadInteger(u"Cols"), 12);
    EXPECT_EQ(reg.ReadString(u""), u"default");
    EXPECT_EQ(reg.ReadString(u"none"), u"");
    EXPECT_THROW(reg.ReadInteger(u"none"), EConvertError);
    try {
        reg.ReadInteger(u"Layout");
        FAIL();
    } catch (const EConvertError& e) {
        EXPECT_EQ(e.Message(), u"Invalid data type for 'Layout'");
    }
    EXPECT_TRUE(reg.DeleteValue(u"Layout"));
    EXPECT_FALSE(reg.DeleteValue(u"Layout"));
    TRegistryStore fresh(file);
    ASSERT_TRUE(fresh.OpenKey(u"\\Software\\Grid", false));
    EXPECT_FALSE(fresh.ValueExists(u"Layout"));
    EXPECT_TRUE(fresh.ValueExists(u"Cols"));
}

TEST(RegistryStore, NotifyChangeSetsTheEventOnceWhenTheFileIsRewritten) {
    TempDir dir;
    const String file = P(dir.file("cfg/registry.ini"));
    TEvent changed;
    TRegistryStore watcher(file);
    watcher.NotifyChange(changed);
    dir.write("cfg/neighbour.ini", "[x]\n");  // another file of the folder: not the store
    EXPECT_EQ(changed.WaitFor(100), wrTimeout);

    TRegistryStore writer(file);  // another accessor of the same store
    ASSERT_TRUE(writer.OpenKey(u"\\Software\\Office", true));
    writer.WriteInteger(u"Theme", 2);
    ASSERT_EQ(changed.WaitFor(5000), wrSignaled);

    // One request, one signal: a rewrite after the reset goes unnoticed
    // until the next request, which then sees a program rewriting the file.
    changed.ResetEvent();
    writer.WriteInteger(u"Theme", 3);
    EXPECT_EQ(changed.WaitFor(100), wrTimeout);
    watcher.NotifyChange(changed);
    dir.write("cfg/registry.ini", "[Software\\Office]\nTheme=1\n");
    EXPECT_EQ(changed.WaitFor(5000), wrSignaled);
}

TEST(RegistryStore, DefaultFileFollowsTheUserConfigFolder) {
    struct Env {
        const char* name;
        std::optional<std::string> value;
        explicit Env(const char* n) : name(n) {
            if (const char* v = std::getenv(n)) value = v;
        }
        ~Env() { value ? ::setenv(name, value->c_str(), 1) : ::unsetenv(name); }
    } xdg("XDG_CONFIG_HOME"), home("HOME");
    ::setenv("XDG_CONFIG_HOME", "/home/u/.cfg", 1);
    EXPECT_EQ(TRegistryStore::DefaultFileName(), u"/home/u/.cfg/configurator/registry.ini");
    ::setenv("XDG_CONFIG_HOME", "relative", 1);  // not absolute: ignored
    ::setenv("HOME", "/home/u", 1);
    EXPECT_EQ(TRegistryStore::DefaultFileName(), u"/home/u/.config/configurator/registry.ini");
    TRegistryStore::SetDefaultFileName(u"/tmp/x.ini");
    EXPECT_EQ(TRegistryStore::DefaultFileName(), u"/tmp/x.ini");
    TRegistryStore::SetDefaultFileName(String());
}
