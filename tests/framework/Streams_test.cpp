#include "framework/Streams.h"

#include "framework/Files.h"
#include "support/TempDir.h"

#include <gtest/gtest.h>

namespace {
void WriteSample(TStream& s) {
    s.WriteByte(0xAB);
    s.WriteWord(0x1234);
    s.WriteDWord(0xDEADBEEF);
    s.WriteInt64(-2);
    s.WriteBytes("xyz");
}

void CheckSample(TStream& s) {
    EXPECT_EQ(s.ReadByte(), 0xAB);
    EXPECT_EQ(s.ReadWord(), 0x1234);
    EXPECT_EQ(s.ReadDWord(), 0xDEADBEEFu);
    EXPECT_EQ(s.ReadInt64(), -2);
    EXPECT_EQ(s.ReadBytes(3), "xyz");
}

const std::string kSampleBytes("\xAB\x34\x12\xEF\xBE\xAD\xDE\xFE\xFF\xFF\xFF\xFF\xFF\xFF\xFFxyz", 18);
}  // namespace

TEST(MemoryStream, WritesLittleEndianAndReadsItBack) {
    TMemoryStream s;
    WriteSample(s);
    EXPECT_EQ(s.Size(), 18);
    EXPECT_EQ(std::string(s.Bytes()), kSampleBytes);
    s.SetPosition(0);
    CheckSample(s);
    EXPECT_EQ(s.Position(), 18);
}

TEST(MemoryStream, ReadingPastTheEndRaisesAndShortReadsCount) {
    TStringStream s(std::string("\x01\x02\x03", 3));
    EXPECT_EQ(s.ReadWord(), 0x0201);
    try {
        s.ReadWord();
        FAIL();
    } catch (const EReadError& e) {
        EXPECT_EQ(e.Message(), u"Stream read error");
    }
    s.SetPosition(1);
    char buf[8];
    EXPECT_EQ(s.Read(buf, 8), 2);
    EXPECT_EQ(s.Read(buf, 8), 0);
    EXPECT_THROW(s.Seek(-1, soBeginning), EStreamError);
}

TEST(MemoryStream, SeekSizeAndGaps) {
    TMemoryStream s;
    s.Seek(4, soBeginning);
    s.WriteByte(9);  // the gap reads as zeros
    EXPECT_EQ(std::string(s.Bytes()), std::string("\0\0\0\0\x09", 5));
    EXPECT_EQ(s.Seek(-2, soEnd), 3);
    s.SetSize(2);
    EXPECT_EQ(s.Position(), 2);
    s.SetSize(4);
    EXPECT_EQ(std::string(s.Bytes()), std::string(4, '\0'));
    s.Clear();
    EXPECT_EQ(s.Size(), 0);
    EXPECT_EQ(s.Position(), 0);
}

TEST(FileStream, RoundTripsThroughAFileAndCopiesBetweenStreams) {
    TempDir dir;
    const String path = S(dir.file("data.bin"));
    {
        TFileStream f(path, fmCreate);
        WriteSample(f);
        EXPECT_EQ(f.Size(), 18);
    }
    {
        TFileStream f(path, fmOpenRead | fmShareDenyWrite);
        CheckSample(f);
        EXPECT_THROW(f.ReadByte(), EReadError);
        f.SetPosition(0);
        TMemoryStream m;
        EXPECT_EQ(m.CopyFrom(&f, 7), 7);
        EXPECT_EQ(std::string(m.Bytes()), kSampleBytes.substr(0, 7));
        EXPECT_EQ(m.CopyFrom(&f, 0), 18);  // 0 = the whole source
        EXPECT_EQ(m.Size(), 25);
    }
    {
        TFileStream f(path, fmOpenReadWrite);
        f.Seek(0, soEnd);
        f.WriteByte(1);
        f.SetSize(5);
        EXPECT_EQ(f.Size(), 5);
    }
    TMemoryStream m;
    m.LoadFromFile(path);
    EXPECT_EQ(std::string(m.Bytes()), kSampleBytes.substr(0, 5));
    m.WriteDWord(7);
    const String copy = S(dir.file("copy.bin"));
    m.SaveToFile(copy);
    EXPECT_EQ(ReadFileBytes(copy), std::string("\x07\0\0\0", 4) + kSampleBytes[4]);
}

TEST(FileStream, OpenAndCreateFailuresNameTheFile) {
    TempDir dir;
    const String missing = S(dir.file("missing.bin"));
    try {
        TFileStream f(missing, fmOpenRead);
        FAIL();
    } catch (const EFOpenError& e) {
        EXPECT_EQ(e.Message().rfind(u"Cannot open file \"" + missing + u"\". ", 0), 0u) << e.what();
        EXPECT_GT(e.Message().size(), missing.size() + 20);  // a reason follows
    }
    try {
        TFileStream f(S(dir.file("no/such/folder.bin")), fmCreate);
        FAIL();
    } catch (const EFCreateError& e) {
        EXPECT_EQ(e.Message().rfind(u"Cannot create file \"", 0), 0u);
    }
    EXPECT_THROW(TFileStream(S(dir.path()), fmOpenRead), EFOpenError);  // a folder
    TMemoryStream m;
    EXPECT_THROW(m.LoadFromFile(missing), EFOpenError);
}
