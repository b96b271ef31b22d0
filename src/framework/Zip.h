#pragma once
// Zip archives: the entries of an archive listed and read, and a new archive
// written with stored or deflated entries. A new archive appears whole or not
// at all: it is built beside the target and renamed over it on Commit.
//
// Every error is an EZipError whose message names the archive and, where one
// is concerned, the entry. Entries larger than MaxZipEntrySize are refused
// both ways, so that a crafted archive cannot make us allocate gigabytes.

#include "framework/System.h"

#include <memory>
#include <string_view>
#include <vector>

class EZipError : public Exception {
public:
    using Exception::Exception;
};

constexpr UInt64 MaxZipEntrySize = 256ull * 1024 * 1024;

enum TZipCompression { zcStored, zcDeflated };

struct TZipEntry {
    String Name;  // with "/" between folders, as stored
    UInt64 Size = 0;
    UInt64 CompressedSize = 0;
    TZipCompression Compression = zcStored;  // zcDeflated for any method but storing
};

class TZipReader {
public:
    // EZipError "Cannot open zip file "<path>": <reason>".
    explicit TZipReader(const String& fileName);
    ~TZipReader();
    TZipReader(const TZipReader&) = delete;
    TZipReader& operator=(const TZipReader&) = delete;

    const String& FileName() const;
    const std::vector<TZipEntry>& Entries() const;  // in archive order
    bool Contains(const String& name) const;
    // The entry's bytes, checked against its checksum. EZipError
    // "Cannot read "<entry>" from zip file "<path>": <reason>" for a missing,
    // damaged or oversized entry.
    ByteString Read(const String& name) const;

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

class TZipWriter {
public:
    // Nothing is written before Commit; an existing file stays as it is
    // until then, and for good when the writer goes without Commit.
    explicit TZipWriter(const String& fileName);
    ~TZipWriter();
    TZipWriter(const TZipWriter&) = delete;
    TZipWriter& operator=(const TZipWriter&) = delete;

    // A second entry of the same name replaces the first. EZipError
    // "Cannot add "<entry>" to zip file "<path>": <reason>".
    void Add(const String& name, std::string_view bytes, TZipCompression compression = zcDeflated);
    // Writes the archive and renames it over the file. EZipError
    // "Cannot write zip file "<path>": <reason>", the old file kept.
    void Commit();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
