#include "framework/Zip.h"

#include "framework/Process.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

#include <sys/mman.h>

namespace {

String P(const std::string& utf8) { return Utf8ToString(utf8); }

// Runs a Python script with the temporary folder as its argument; its exit code.
int RunPython(const TempDir& dir, const std::string& script) {
    dir.write("check.py", script);
    TProcess p;
    p.Start(u"/usr/bin/python3", {P(dir.file("check.py")), P(dir.path())});
    EXPECT_TRUE(p.WaitFor(20000));
    return p.ExitCode();
}

std::string Repeated(const std::string& s, int n) {
    std::string r;
    for (int i = 0; i < n; ++i) r += s;
    return r;
}

template <class E, class F>
String MessageOf(F f) {
    try {
        f();
    } catch (const E& e) {
        return e.Message();
    }
    return u"<no exception>";
}

}  // namespace

TEST(Zip, AnotherReaderReadsOurArchiveAndWeReadItsArchive) {
    TempDir dir;
    {
        TZipWriter w(P(dir.file("ours.zip")));
        w.Add(u"plain.txt", "stored text\n", zcStored);
        w.Add(u"sheet/rows.xml", Repeated("<row>1</row>", 1000), zcDeflated);
        w.Add(u"Gr\u00FC\u00DFe.txt", "\xC3\xA4", zcDeflated);
        w.Add(u"empty", "", zcStored);
        w.Add(u"plain.txt", "replaced\n", zcStored);  // same name: replaces
        w.Commit();
    }
    const int rc = RunPython(dir, R"(
import sys, zipfile, os
d = sys.argv[1]
with zipfile.ZipFile(os.path.join(d, 'ours.zip')) as z:
    assert z.testzip() is None
    info = {i.filename: i for i in z.infolist()}
    assert sorted(info) == sorted(['plain.txt', 'sheet/rows.xml', 'Gr\u00fc\u00dfe.txt', 'empty']), sorted(info)
    assert info['plain.txt'].compress_type == zipfile.ZIP_STORED
    assert info['sheet/rows.xml'].compress_type == zipfile.ZIP_DEFLATED
    assert info['sheet/rows.xml'].compress_size < 1000
    assert z.read('plain.txt') == b'replaced\n'
    assert z.read('sheet/rows.xml') == b'<row>1</row>' * 1000
    assert z.read('Gr\u00fc\u00dfe.txt') == '\u00e4'.encode()
    assert z.read('empty') == b''
with zipfile.ZipFile(os.path.join(d, 'theirs.zip'), 'w') as z:
    z.writestr('a/stored.bin', bytes(range(256)), compress_type=zipfile.ZIP_STORED)
    z.writestr('deflated.txt', 'x' * 5000, compress_type=zipfile.ZIP_DEFLATED)
    z.writestr('\u00e9t\u00e9.txt', 'summer')
)");
    ASSERT_EQ(rc, 0);

    TZipReader r(P(dir.file("theirs.zip")));
    ASSERT_EQ(r.Entries().size(), 3u);
    EXPECT_EQ(r.Entries()[0].Name, u"a/stored.bin");
    EXPECT_EQ(r.Entries()[0].Compression, zcStored);
    EXPECT_EQ(r.Entries()[0].Size, 256u);
    EXPECT_EQ(r.Entries()[1].Compression, zcDeflated);
    EXPECT_LT(r.Entries()[1].CompressedSize, 5000u);
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    EXPECT_EQ(r.Read(u"a/stored.bin"), all);
    EXPECT_EQ(r.Read(u"deflated.txt"), std::string(5000, 'x'));
    EXPECT_TRUE(r.Contains(u"\u00E9t\u00E9.txt"));
    EXPECT_EQ(r.Read(u"\u00E9t\u00E9.txt"), "summer");
}

TEST(Zip, AnArchiveAppearsOnlyOnCommitAndAFailureKeepsTheOldFile) {
    TempDir dir;
    const String file = P(dir.file("book.zip"));
    dir.write("book.zip", "old");
    {
        TZipWriter w(file);
        w.Add(u"x", "new");
    }  // no Commit
    EXPECT_EQ(dir.read("book.zip"), "old");

    {
        TZipWriter w(file);
        w.Commit();  // no entries: still a valid, empty archive
    }
    EXPECT_TRUE(TZipReader(file).Entries().empty());

    const String lost = P(dir.file("missing/book.zip"));
    TZipWriter w(lost);
    w.Add(u"x", "data");
    EXPECT_EQ(MessageOf<EZipError>([&] { w.Commit(); }).rfind(u"Cannot write zip file \"" + lost + u"\": ", 0), 0u);
}

TEST(Zip, ErrorsNameTheArchiveAndTheEntry) {
    TempDir dir;
    const String file = P(dir.file("a.zip"));
    {
        TZipWriter w(file);
        w.Add(u"good", "fine");
        w.Add(u"bad", "a stored entry whose bytes get damaged", zcStored);
        w.Add(u"huge", "small in truth", zcStored);
        w.Commit();
    }
    std::string bytes = dir.read("a.zip");
    // Damage the stored text of "bad" (its checksum no longer matches) and
    // make the central directory claim 300 MiB for "huge".
    bytes[bytes.find("whose bytes")] = 'W';
    const std::size_t central = bytes.find("PK\x01\x02", bytes.find("small in truth"));
    std::size_t hugeEntry = central;
    while (bytes.compare(hugeEntry + 46, 4, "huge") != 0) hugeEntry = bytes.find("PK\x01\x02", hugeEntry + 1);
    const Cardinal claimed = 300u * 1024 * 1024;
    for (int i = 0; i < 4; ++i) bytes[hugeEntry + 24 + i] = static_cast<char>(claimed >> (8 * i));
    dir.write("a.zip", bytes);
    dir.write("not.zip", "plain text, no archive");

    TZipReader r(file);
    EXPECT_EQ(r.Read(u"good"), "fine");
    struct Case {
        String entry, reasonStart;
    } cases[] = {
        {u"bad", u""},
        {u"huge", u"the entry is larger than 256 MiB"},
        {u"absent", u"no such entry"},
    };
    for (const Case& c : cases) {
        const String m = MessageOf<EZipError>([&] { r.Read(c.entry); });
        const String head = u"Cannot read \"" + c.entry + u"\" from zip file \"" + file + u"\": ";
        EXPECT_EQ(m.rfind(head + c.reasonStart, 0), 0u) << StringToUtf8(m);
    }
    EXPECT_EQ(MessageOf<EZipError>([&] { TZipReader(P(dir.file("not.zip"))); })
                  .rfind(u"Cannot open zip file \"" + P(dir.file("not.zip")) + u"\": ", 0),
              0u);

    // Writing refuses an oversized entry before touching its bytes (the
    // pages of the mapping are never filled).
    const std::size_t big = MaxZipEntrySize + 1;
    void* area = mmap(nullptr, big, PROT_READ, MAP_PRIVATE | MAP_ANONYMOUS, -1, 0);
    ASSERT_NE(area, MAP_FAILED);
    TZipWriter w(P(dir.file("big.zip")));
    EXPECT_EQ(MessageOf<EZipError>([&] { w.Add(u"big.bin", std::string_view(static_cast<char*>(area), big)); }),
              u"Cannot add \"big.bin\" to zip file \"" + P(dir.file("big.zip")) + u"\": the entry is larger than 256 MiB");
    munmap(area, big);
}
