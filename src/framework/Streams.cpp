#include "framework/Streams.h"

#include "framework/Files.h"
#include "framework/Posix_p.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

// ---------------------------------------------------------------------------
// TStream
// ---------------------------------------------------------------------------

Int64 TStream::Size() {
    Int64 position = Seek(0, soCurrent);
    Int64 size = Seek(0, soEnd);
    Seek(position, soBeginning);
    return size;
}

void TStream::SetSize(Int64) { throw EStreamError("Stream size cannot be changed"); }

void TStream::ReadBuffer(void* buffer, int count) {
    if (count > 0 && Read(buffer, count) != count) throw EReadError("Stream read error");
}

void TStream::WriteBuffer(const void* buffer, int count) {
    if (count > 0 && Write(buffer, count) != count) throw EWriteError("Stream write error");
}

Int64 TStream::CopyFrom(TStream* source, Int64 count) {
    if (count == 0) {
        source->SetPosition(0);
        count = source->Size();
    }
    constexpr int kChunk = 64 * 1024;
    std::vector<char> buffer(static_cast<size_t>(std::min<Int64>(std::max<Int64>(count, 0), kChunk)));
    Int64 left = count;
    while (left > 0) {
        int n = static_cast<int>(std::min<Int64>(left, kChunk));
        source->ReadBuffer(buffer.data(), n);
        WriteBuffer(buffer.data(), n);
        left -= n;
    }
    return count;
}

Byte TStream::ReadByte() {
    Byte b;
    ReadBuffer(&b, 1);
    return b;
}

Word TStream::ReadWord() {
    Byte b[2];
    ReadBuffer(b, 2);
    return static_cast<Word>(b[0] | (b[1] << 8));
}

Cardinal TStream::ReadDWord() {
    Byte b[4];
    ReadBuffer(b, 4);
    return static_cast<Cardinal>(b[0]) | (static_cast<Cardinal>(b[1]) << 8) | (static_cast<Cardinal>(b[2]) << 16) |
           (static_cast<Cardinal>(b[3]) << 24);
}

Int64 TStream::ReadInt64() {
    Byte b[8];
    ReadBuffer(b, 8);
    UInt64 v = 0;
    for (int k = 7; k >= 0; --k) v = (v << 8) | b[k];
    return static_cast<Int64>(v);
}

ByteString TStream::ReadBytes(int count) {
    ByteString bytes(static_cast<size_t>(std::max(count, 0)), '\0');
    ReadBuffer(bytes.data(), count);
    return bytes;
}

void TStream::WriteByte(Byte value) { WriteBuffer(&value, 1); }

void TStream::WriteWord(Word value) {
    Byte b[2] = {static_cast<Byte>(value), static_cast<Byte>(value >> 8)};
    WriteBuffer(b, 2);
}

void TStream::WriteDWord(Cardinal value) {
    Byte b[4];
    for (int k = 0; k < 4; ++k) b[k] = static_cast<Byte>(value >> (8 * k));
    WriteBuffer(b, 4);
}

void TStream::WriteInt64(Int64 value) {
    Byte b[8];
    for (int k = 0; k < 8; ++k) b[k] = static_cast<Byte>(static_cast<UInt64>(value) >> (8 * k));
    WriteBuffer(b, 8);
}

void TStream::WriteBytes(std::string_view bytes) {
    if (bytes.size() > static_cast<size_t>(std::numeric_limits<int>::max()))
        throw EWriteError("Stream write error");
    WriteBuffer(bytes.data(), static_cast<int>(bytes.size()));
}

// ---------------------------------------------------------------------------
// TMemoryStream
// ---------------------------------------------------------------------------

int TMemoryStream::Read(void* buffer, int count) {
    if (count <= 0 || position_ >= Size()) return 0;
    int n = static_cast<int>(std::min<Int64>(count, Size() - position_));
    std::memcpy(buffer, data_.data() + position_, static_cast<size_t>(n));
    position_ += n;
    return n;
}

int TMemoryStream::Write(const void* buffer, int count) {
    if (count <= 0) return 0;
    Int64 end = position_ + count;
    if (end > Size()) data_.resize(static_cast<size_t>(end));
    std::memcpy(data_.data() + position_, buffer, static_cast<size_t>(count));
    position_ = end;
    return count;
}

Int64 TMemoryStream::Seek(Int64 offset, TSeekOrigin origin) {
    Int64 base = origin == soBeginning ? 0 : origin == soCurrent ? position_ : Size();
    Int64 target = base + offset;
    // A position before the start is refused; past the end is allowed (a
    // later write fills the gap with zeros).
    if (target < 0) throw EStreamError("Invalid stream position");
    position_ = target;
    return position_;
}

void TMemoryStream::SetSize(Int64 size) {
    if (size < 0) throw EStreamError("Invalid stream size");
    data_.resize(static_cast<size_t>(size), '\0');
    if (position_ > size) position_ = size;
}

void TMemoryStream::Clear() {
    data_.clear();
    data_.shrink_to_fit();
    position_ = 0;
}

void TMemoryStream::LoadFromStream(TStream* stream) {
    stream->SetPosition(0);
    Int64 size = stream->Size();
    std::vector<char> data(static_cast<size_t>(size));
    Int64 done = 0;
    while (done < size) {
        int n = static_cast<int>(std::min<Int64>(size - done, std::numeric_limits<int>::max()));
        stream->ReadBuffer(data.data() + done, n);
        done += n;
    }
    data_.swap(data);
    position_ = 0;
}

void TMemoryStream::SaveToStream(TStream* stream) { stream->WriteBytes(Bytes()); }

void TMemoryStream::LoadFromFile(const String& fileName) {
    ByteString bytes = ReadFileBytes(fileName);
    data_.assign(bytes.begin(), bytes.end());
    position_ = 0;
}

void TMemoryStream::SaveToFile(const String& fileName) { WriteFileAtomic(fileName, Bytes()); }

TStringStream::TStringStream(std::string_view bytes) {
    WriteBytes(bytes);
    SetPosition(0);
}

// ---------------------------------------------------------------------------
// TFileStream
// ---------------------------------------------------------------------------

TFileStream::TFileStream(const String& fileName, Word mode) : fileName_(fileName) {
    const std::string native = StringToUtf8(fileName);
    if (mode == fmCreate || (mode & 0xFF00) == fmCreate) {
        fd_ = ::open(native.c_str(), O_RDWR | O_CREAT | O_TRUNC | O_CLOEXEC, 0666);
        if (fd_ < 0)
            throw EFCreateError(u"Cannot create file \"" + fileName + u"\". " + Utf8ToString(posix::ErrnoText(errno)));
        return;
    }
    int access = mode & 0x3;
    int flags = access == fmOpenWrite ? O_WRONLY : access == fmOpenReadWrite ? O_RDWR : O_RDONLY;
    fd_ = ::open(native.c_str(), flags | O_CLOEXEC);
    if (fd_ >= 0) {
        struct stat st {};
        if (::fstat(fd_, &st) == 0 && S_ISDIR(st.st_mode)) {
            posix::CloseFd(fd_);
            errno = EISDIR;
        }
    }
    if (fd_ < 0)
        throw EFOpenError(u"Cannot open file \"" + fileName + u"\". " + Utf8ToString(posix::ErrnoText(errno)));
}

TFileStream::~TFileStream() {
    if (fd_ >= 0) posix::CloseFd(fd_);
}

int TFileStream::Read(void* buffer, int count) {
    int done = 0;
    while (done < count) {
        ssize_t n = ::read(fd_, static_cast<char*>(buffer) + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<int>(n);
    }
    return done;
}

int TFileStream::Write(const void* buffer, int count) {
    int done = 0;
    while (done < count) {
        ssize_t n = ::write(fd_, static_cast<const char*>(buffer) + done, static_cast<size_t>(count - done));
        if (n < 0 && errno == EINTR) continue;
        if (n <= 0) break;
        done += static_cast<int>(n);
    }
    return done;
}

Int64 TFileStream::Seek(Int64 offset, TSeekOrigin origin) {
    int whence = origin == soBeginning ? SEEK_SET : origin == soCurrent ? SEEK_CUR : SEEK_END;
    off_t r = ::lseek(fd_, static_cast<off_t>(offset), whence);
    if (r < 0) throw EStreamError("Invalid stream position");
    return static_cast<Int64>(r);
}

void TFileStream::SetSize(Int64 size) {
    if (::ftruncate(fd_, static_cast<off_t>(size)) != 0)
        throw EWriteError(u"Stream write error: " + Utf8ToString(posix::ErrnoText(errno)));
    if (Position() > size) SetPosition(size);
}
