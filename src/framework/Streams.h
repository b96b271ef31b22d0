#pragma once
// Byte streams: the abstract stream, a growable memory stream and a file
// stream, with little-endian reading and writing of 8-, 16-, 32- and 64-bit
// values as the converter's images and the tree's node streams store them.

#include "framework/System.h"

#include <string_view>
#include <vector>

enum TSeekOrigin { soBeginning, soCurrent, soEnd };

// File modes; the share flags are accepted and ignored.
constexpr Word fmOpenRead = 0x0000;
constexpr Word fmOpenWrite = 0x0001;
constexpr Word fmOpenReadWrite = 0x0002;
constexpr Word fmShareCompat = 0x0000;
constexpr Word fmShareExclusive = 0x0010;
constexpr Word fmShareDenyWrite = 0x0020;
constexpr Word fmShareDenyRead = 0x0030;
constexpr Word fmShareDenyNone = 0x0040;
constexpr Word fmCreate = 0xFF00;  // create, or empty an existing file; read and write

class TStream : public TObject {
public:
    // Up to Count bytes; the number actually moved (0 at the end).
    virtual int Read(void* buffer, int count) = 0;
    virtual int Write(const void* buffer, int count) = 0;
    // The new position.
    virtual Int64 Seek(Int64 offset, TSeekOrigin origin) = 0;

    Int64 Position() { return Seek(0, soCurrent); }
    void SetPosition(Int64 position) { Seek(position, soBeginning); }
    virtual Int64 Size();
    virtual void SetSize(Int64 size);

    // Exactly Count bytes, or EReadError "Stream read error" /
    // EWriteError "Stream write error".
    void ReadBuffer(void* buffer, int count);
    void WriteBuffer(const void* buffer, int count);
    // Count bytes from Source's position; Count 0 copies the whole of Source
    // from its start. The number copied.
    Int64 CopyFrom(TStream* source, Int64 count);

    // Little-endian values; reading past the end raises EReadError.
    Byte ReadByte();
    Word ReadWord();
    Cardinal ReadDWord();
    Int64 ReadInt64();
    ByteString ReadBytes(int count);
    void WriteByte(Byte value);
    void WriteWord(Word value);
    void WriteDWord(Cardinal value);
    void WriteInt64(Int64 value);
    void WriteBytes(std::string_view bytes);
};

class TMemoryStream : public TStream {
public:
    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    Int64 Size() override { return static_cast<Int64>(data_.size()); }
    // Growing fills with zeros; shrinking below the position moves it to the end.
    void SetSize(Int64 size) override;

    void* Memory() { return data_.data(); }
    const void* Memory() const { return data_.data(); }
    std::string_view Bytes() const { return {data_.data(), data_.size()}; }
    void Clear();

    // Replaces the content with the whole of Stream (from its start); the
    // position becomes 0.
    void LoadFromStream(TStream* stream);
    // Writes the whole content at Stream's position.
    void SaveToStream(TStream* stream);
    // EFOpenError: Cannot open file "<path>". <reason>
    void LoadFromFile(const String& fileName);
    // Written whole and atomically; EFCreateError on failure, the old file kept.
    void SaveToFile(const String& fileName);

private:
    std::vector<char> data_;
    Int64 position_ = 0;
};

// A memory stream over bytes given at creation.
class TStringStream : public TMemoryStream {
public:
    explicit TStringStream(std::string_view bytes = {});
    ByteString DataString() const { return ByteString(Bytes()); }
};

// A file opened by mode: fmCreate raises EFCreateError
// "Cannot create file \"<path>\". <reason>", the open modes EFOpenError
// "Cannot open file \"<path>\". <reason>".
class TFileStream : public TStream {
public:
    TFileStream(const String& fileName, Word mode);
    ~TFileStream() override;
    TFileStream(const TFileStream&) = delete;
    TFileStream& operator=(const TFileStream&) = delete;

    int Read(void* buffer, int count) override;
    int Write(const void* buffer, int count) override;
    Int64 Seek(Int64 offset, TSeekOrigin origin) override;
    void SetSize(Int64 size) override;
    const String& FileName() const { return fileName_; }

private:
    String fileName_;
    int fd_ = -1;
};
