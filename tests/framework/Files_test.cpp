#include "framework/Files.h"

#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <csignal>
#include <filesystem>
#include <sys/resource.h>
#include <sys/stat.h>

namespace {
String P(const std::string& utf8) { return Utf8ToString(utf8); }
}  // namespace

TEST(Files, PathPartsFollowTheLastSeparatorAndDot) {
    struct Case { String in, path, dir, name, ext, changed; } cases[] = {
        {u"/a/b/c.txt", u"/a/b/", u"/a/b", u"c.txt", u".txt", u"/a/b/c.xml"},
        {u"/a/b.d/c", u"/a/b.d/", u"/a/b.d", u"c", u"", u"/a/b.d/c.xml"},
        {u"c.tar.gz", u"", u"", u"c.tar.gz", u".gz", u"c.tar.xml"},
        {u"/a", u"/", u"/", u"a", u"", u"/a.xml"},
        {u"/a/", u"/a/", u"/a", u"", u"", u"/a/.xml"},
        {u"PROJECTS/\u00C4rger.lng", u"PROJECTS/", u"PROJECTS", u"\u00C4rger.lng", u".lng", u"PROJECTS/\u00C4rger.xml"},
    };
    for (const auto& c : cases) {
        const std::string in = StringToUtf8(c.in);
        EXPECT_EQ(ExtractFilePath(c.in), c.path) << in;
        EXPECT_EQ(ExtractFileDir(c.in), c.dir) << in;
        EXPECT_EQ(ExtractFileName(c.in), c.name) << in;
        EXPECT_EQ(ExtractFileExt(c.in), c.ext) << in;
        EXPECT_EQ(ChangeFileExt(c.in, u".xml"), c.changed) << in;
    }
    EXPECT_EQ(ChangeFileExt(u"a/b.lng", u""), u"a/b");
    EXPECT_EQ(PathJoin(u"/opt/cfg", u"PROJECTS"), u"/opt/cfg/PROJECTS");
    EXPECT_EQ(PathJoin(u"/opt/cfg/", u"/PROJECTS"), u"/opt/cfg/PROJECTS");
    EXPECT_EQ(PathJoin(u"", u"x"), u"x");
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"/a"), u"/a/");
    EXPECT_EQ(IncludeTrailingPathDelimiter(u"/a/"), u"/a/");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(u"/a/"), u"/a");
    EXPECT_EQ(ExcludeTrailingPathDelimiter(u"/"), u"/");
}

TEST(Files, ExeDirIsTheFolderOfTheRunningProgram) {
    const String dir = ExeDir();
    EXPECT_TRUE(DirectoryExists(dir));
    EXPECT_NE(dir.back(), u'/');
    EXPECT_TRUE(FileExists(PathJoin(dir, u"framework_tests")));
}

TEST(Files, FoldersAreMadeListedAndRemoved) {
    TempDir tmp;
    const String root = P(tmp.path());
    const String deep = PathJoin(root, u"PROJECTS/M\u00FCller/bin");
    EXPECT_FALSE(CreateDir(deep));  // one level only
    EXPECT_TRUE(ForceDirectories(deep));
    EXPECT_TRUE(ForceDirectories(deep));  // already there
    EXPECT_FALSE(CreateDir(deep));
    EXPECT_TRUE(DirectoryExists(deep));
    EXPECT_FALSE(FileExists(deep));

    tmp.write("b.xml", "12345");
    tmp.write("a.lng", "");
    const auto entries = ListDirectory(root);
    ASSERT_EQ(entries.size(), 3u);
    EXPECT_EQ(entries[0].Name, u"PROJECTS");
    EXPECT_TRUE(entries[0].IsDirectory);
    EXPECT_EQ(entries[1].Name, u"a.lng");
    EXPECT_EQ(entries[2].Name, u"b.xml");
    EXPECT_FALSE(entries[2].IsDirectory);
    EXPECT_EQ(entries[2].Size, 5);
    EXPECT_TRUE(ListDirectory(PathJoin(root, u"none")).empty());

    EXPECT_FALSE(RemoveDir(PathJoin(root, u"PROJECTS")));  // not empty
    EXPECT_TRUE(RemoveDir(deep));
    EXPECT_FALSE(DirectoryExists(deep));
    EXPECT_FALSE(DeleteFile(PathJoin(root, u"PROJECTS")));  // a folder is not a file
}

TEST(Files, RenameCopyAndDeleteAnswerWhetherTheyDidIt) {
    TempDir tmp;
    const String a = P(tmp.file("a.txt")), b = P(tmp.file("b.txt")), c = P(tmp.file("c.txt"));
    tmp.write("a.txt", "A");
    tmp.write("b.txt", "B");
    EXPECT_FALSE(RenameFile(a, b));  // never replaces
    EXPECT_EQ(tmp.read("b.txt"), "B");
    EXPECT_TRUE(RenameFile(a, c));
    EXPECT_FALSE(FileExists(a));
    EXPECT_FALSE(CopyFile(c, b, true));
    EXPECT_EQ(tmp.read("b.txt"), "B");
    EXPECT_TRUE(CopyFile(c, b, false));
    EXPECT_EQ(tmp.read("b.txt"), "A");
    EXPECT_FALSE(CopyFile(a, P(tmp.file("d.txt")), false));  // missing source
    EXPECT_TRUE(DeleteFile(b));
    EXPECT_FALSE(DeleteFile(b));
}

TEST(Files, ReadingAMissingFileSaysWhichAndWhy) {
    TempDir tmp;
    try {
        ReadFileBytes(P(tmp.file("none.bin")));
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(StringToUtf8(e.Message()), "Cannot open file \"" + tmp.file("none.bin") + "\". No such file or directory");
    }
    EXPECT_THROW(ReadFileBytes(P(tmp.path())), EFOpenError);
}

TEST(Files, AtomicWriteReplacesWholeAndKeepsPermissions) {
    TempDir tmp;
    const String f = P(tmp.file("bank.bin"));
    const std::string data("\x00\x01\xFF payload", 11);
    WriteFileAtomic(f, data);
    EXPECT_EQ(ReadFileBytes(f), data);
    ::chmod(tmp.file("bank.bin").c_str(), 0640);
    WriteFileAtomic(f, "short");
    EXPECT_EQ(tmp.read("bank.bin"), "short");
    struct stat st {};
    ::stat(tmp.file("bank.bin").c_str(), &st);
    EXPECT_EQ(st.st_mode & 0777, 0640u);
    EXPECT_EQ(ListDirectory(P(tmp.path())).size(), 1u);  // no temporary file left
}

TEST(Files, FailedAtomicWriteLeavesTheOldFileAndNoLeftovers) {
    TempDir tmp;
    tmp.write("ParGen.xml", "old");
    tmp.write("plain", "x");
    std::filesystem::create_directory(tmp.file("folder.xml"));
    const String target = P(tmp.file("ParGen.xml"));

    // Each of these fails even for root.
    for (const std::string& bad : {tmp.file("plain/ParGen.xml"), tmp.file("folder.xml"), tmp.file("none/ParGen.xml")}) {
        try {
            WriteFileAtomic(P(bad), "new");
            ADD_FAILURE() << bad;
        } catch (const EFCreateError& e) {
            EXPECT_EQ(StringToUtf8(e.Message()).rfind("Cannot create file \"" + bad + "\". ", 0), 0u)
                << StringToUtf8(e.Message());
        }
    }

    // A write that breaks off in the middle: the file size limit refuses the
    // bytes after the first 4 KiB.
    rlimit saved {};
    ::getrlimit(RLIMIT_FSIZE, &saved);
    auto previous = std::signal(SIGXFSZ, SIG_IGN);
    rlimit small = saved;
    small.rlim_cur = 4096;
    ::setrlimit(RLIMIT_FSIZE, &small);
    bool raised = false;
    try {
        WriteFileAtomic(target, std::string(100000, 'n'));
    } catch (const EFCreateError& e) {
        raised = true;
        EXPECT_NE(StringToUtf8(e.Message()).find("ParGen.xml"), std::string::npos);
    }
    ::setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previous);
    EXPECT_TRUE(raised);
    EXPECT_EQ(tmp.read("ParGen.xml"), "old");
    EXPECT_EQ(ListDirectory(P(tmp.path())).size(), 3u);  // ParGen.xml, plain, folder.xml
}
