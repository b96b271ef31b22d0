#pragma once
// Files and folders. Paths are String (UTF-16) like every other text and
// become UTF-8 only at the system call; the separator is "/".

#include "framework/System.h"

#include <string_view>
#include <vector>

// The running executable's folder, without a trailing separator.
String ExeDir();

String IncludeTrailingPathDelimiter(const String& path);
// Drops one trailing "/" unless the path is the root "/".
String ExcludeTrailingPathDelimiter(const String& path);
// a + "/" + b, with exactly one separator between them; an empty part gives the other.
String PathJoin(const String& a, const String& b);

// "/a/b/c.txt": ExtractFilePath "/a/b/", ExtractFileDir "/a/b",
// ExtractFileName "c.txt", ExtractFileExt ".txt" (the last dot of the name,
// empty when the name has none).
String ExtractFilePath(const String& fileName);
String ExtractFileDir(const String& fileName);
String ExtractFileName(const String& fileName);
String ExtractFileExt(const String& fileName);
// Replaces the extension (or appends one); extension includes its dot, or is
// empty to remove the extension.
String ChangeFileExt(const String& fileName, const String& extension);

// FileExists is false for a folder; DirectoryExists is false for a file.
// Both follow symbolic links.
bool FileExists(const String& fileName);
bool DirectoryExists(const String& dir);
// One level; false when it exists already or cannot be made.
bool CreateDir(const String& dir);
// Every missing level; true when the folder exists afterwards.
bool ForceDirectories(const String& dir);

struct TDirEntry {
    String Name;  // without the folder
    bool IsDirectory = false;
    Int64 Size = 0;  // bytes; 0 for folders
};
// The folder's entries without "." and "..", sorted by name (code unit
// order). A missing folder gives an empty list; a folder that cannot be read
// raises EInOutError.
std::vector<TDirEntry> ListDirectory(const String& dir);

// These answer false on failure, as their callers test the result.
bool DeleteFile(const String& fileName);
bool RemoveDir(const String& dir);  // only an empty folder
// Refuses to replace an existing newName, as the original's rename did.
bool RenameFile(const String& oldName, const String& newName);
// The copy is written atomically; with failIfExists an existing dst is kept
// and the answer is false.
bool CopyFile(const String& src, const String& dst, bool failIfExists);

// The whole file. EFOpenError: Cannot open file "<path>". <reason>
ByteString ReadFileBytes(const String& fileName);
// Replaces the file whole: the bytes go to a temporary file in the same
// folder, are flushed to the disk and renamed over the target. On any
// failure the temporary file is removed, the old file stays as it was, and
// EFCreateError is raised: Cannot create file "<path>". <reason>
void WriteFileAtomic(const String& fileName, std::string_view bytes);
