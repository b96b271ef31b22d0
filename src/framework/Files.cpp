#include "framework/Files.h"

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstdio>
#include <cstring>
#include <dirent.h>
#include <fcntl.h>
#include <string>
#include <sys/stat.h>
#include <unistd.h>

namespace {

constexpr char16_t kDelimiter = u'/';

std::string Native(const String& path) { return StringToUtf8(path); }

String Reason(int error) { return Utf8ToString(std::strerror(error)); }

std::size_t LastDelimiter(const String& path) { return path.rfind(kDelimiter); }

// Start of the extension's dot in the file-name part, or npos.
std::size_t ExtensionStart(const String& fileName) {
    const std::size_t dot = fileName.rfind(u'.');
    if (dot == String::npos) return String::npos;
    const std::size_t slash = LastDelimiter(fileName);
    if (slash != String::npos && slash > dot) return String::npos;
    return dot;
}

bool StatOf(const String& path, struct stat& st) { return ::stat(Native(path).c_str(), &st) == 0; }

[[noreturn]] void RaiseCreate(const String& fileName, int error) {
    throw EFCreateError(u"Cannot create file \"" + fileName + u"\". " + Reason(error));
}

bool WriteAll(int fd, std::string_view bytes) {
    const char* p = bytes.data();
    std::size_t left = bytes.size();
    while (left > 0) {
        const ssize_t n = ::write(fd, p, left);
        if (n < 0) {
            if (errno == EINTR) continue;
            return false;
        }
        p += n;
        left -= static_cast<std::size_t>(n);
    }
    return true;
}

// The file a write must replace: the target of a symbolic link, so that the
// link stays a link.
std::string ResolveTarget(const std::string& path) {
    struct stat st {};
    if (::lstat(path.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
        char buf[PATH_MAX];
        if (::realpath(path.c_str(), buf)) return buf;
    }
    return path;
}

}  // namespace

String ExeDir() {
    char buf[PATH_MAX];
    const ssize_t n = ::readlink("/proc/self/exe", buf, sizeof buf - 1);
    if (n <= 0) return u".";
    return ExtractFileDir(Utf8ToString(std::string_view(buf, static_cast<std::size_t>(n))));
}

String IncludeTrailingPathDelimiter(const String& path) {
    if (!path.empty() && path.back() == kDelimiter) return path;
    return path + kDelimiter;
}

String ExcludeTrailingPathDelimiter(const String& path) {
    if (path.size() > 1 && path.back() == kDelimiter) return path.substr(0, path.size() - 1);
    return path;
}

String PathJoin(const String& a, const String& b) {
    if (a.empty()) return b;
    if (b.empty()) return a;
    String tail = b;
    while (!tail.empty() && tail.front() == kDelimiter) tail.erase(0, 1);
    return IncludeTrailingPathDelimiter(a) + tail;
}

String ExtractFilePath(const String& fileName) {
    const std::size_t slash = LastDelimiter(fileName);
    return slash == String::npos ? String() : fileName.substr(0, slash + 1);
}

String ExtractFileDir(const String& fileName) {
    const std::size_t slash = LastDelimiter(fileName);
    if (slash == String::npos) return String();
    // The root keeps its separator: the folder of "/a" is "/".
    return fileName.substr(0, slash == 0 ? 1 : slash);
}

String ExtractFileName(const String& fileName) {
    const std::size_t slash = LastDelimiter(fileName);
    return slash == String::npos ? fileName : fileName.substr(slash + 1);
}

String ExtractFileExt(const String& fileName) {
    const std::size_t dot = ExtensionStart(fileName);
    return dot == String::npos ? String() : fileName.substr(dot);
}

String ChangeFileExt(const String& fileName, const String& extension) {
    const std::size_t dot = ExtensionStart(fileName);
    return (dot == String::npos ? fileName : fileName.substr(0, dot)) + extension;
}

bool FileExists(const String& fileName) {
    struct stat st {};
    return !fileName.empty() && StatOf(fileName, st) && !S_ISDIR(st.st_mode);
}

bool DirectoryExists(const String& dir) {
    struct stat st {};
    return !dir.empty() && StatOf(dir, st) && S_ISDIR(st.st_mode);
}

bool CreateDir(const String& dir) { return !dir.empty() && ::mkdir(Native(dir).c_str(), 0777) == 0; }

bool ForceDirectories(const String& dir) {
    if (dir.empty()) return false;
    const String path = ExcludeTrailingPathDelimiter(dir);
    if (DirectoryExists(path)) return true;
    const String parent = ExtractFileDir(path);
    if (!parent.empty() && parent != path && !ForceDirectories(parent)) return false;
    // Another process may have made it meanwhile: that is success too.
    return CreateDir(path) || DirectoryExists(path);
}

std::vector<TDirEntry> ListDirectory(const String& dir) {
    std::vector<TDirEntry> entries;
    const std::string native = Native(dir);
    DIR* d = ::opendir(native.c_str());
    if (!d) {
        if (errno == ENOENT) return entries;
        throw EInOutError(u"Cannot read folder \"" + dir + u"\". " + Reason(errno));
    }
    while (const dirent* e = ::readdir(d)) {
        const std::string name = e->d_name;
        if (name == "." || name == "..") continue;
        TDirEntry entry;
        entry.Name = Utf8ToString(name);
        struct stat st {};
        const std::string full = native + "/" + name;
        // A dangling link is listed as a file of size 0.
        if (::stat(full.c_str(), &st) == 0 || ::lstat(full.c_str(), &st) == 0) {
            entry.IsDirectory = S_ISDIR(st.st_mode);
            entry.Size = entry.IsDirectory ? 0 : static_cast<Int64>(st.st_size);
        }
        entries.push_back(std::move(entry));
    }
    ::closedir(d);
    std::sort(entries.begin(), entries.end(),
              [](const TDirEntry& a, const TDirEntry& b) { return a.Name < b.Name; });
    return entries;
}

bool DeleteFile(const String& fileName) {
    if (DirectoryExists(fileName)) return false;
    return ::unlink(Native(fileName).c_str()) == 0;
}

bool RemoveDir(const String& dir) { return ::rmdir(Native(dir).c_str()) == 0; }

bool RenameFile(const String& oldName, const String& newName) {
    const std::string from = Native(oldName);
    const std::string to = Native(newName);
    struct stat st {};
    if (::lstat(to.c_str(), &st) == 0) return false;
    return ::rename(from.c_str(), to.c_str()) == 0;
}

bool CopyFile(const String& src, const String& dst, bool failIfExists) {
    if (failIfExists && ::access(Native(dst).c_str(), F_OK) == 0) return false;
    try {
        WriteFileAtomic(dst, ReadFileBytes(src));
    } catch (const EStreamError&) {
        return false;
    }
    return true;
}

ByteString ReadFileBytes(const String& fileName) {
    const std::string native = Native(fileName);
    const int fd = ::open(native.c_str(), O_RDONLY | O_CLOEXEC);
    auto fail = [&](int error) -> ByteString {
        throw EFOpenError(u"Cannot open file \"" + fileName + u"\". " + Reason(error));
    };
    if (fd < 0) return fail(errno);
    struct stat st {};
    if (::fstat(fd, &st) == 0 && S_ISDIR(st.st_mode)) {
        ::close(fd);
        return fail(EISDIR);
    }
    ByteString bytes;
    if (st.st_size > 0) bytes.reserve(static_cast<std::size_t>(st.st_size));
    char buf[65536];
    for (;;) {
        const ssize_t n = ::read(fd, buf, sizeof buf);
        if (n == 0) break;
        if (n < 0) {
            if (errno == EINTR) continue;
            const int error = errno;
            ::close(fd);
            return fail(error);
        }
        bytes.append(buf, static_cast<std::size_t>(n));
    }
    ::close(fd);
    return bytes;
}

void WriteFileAtomic(const String& fileName, std::string_view bytes) {
    static std::atomic<unsigned> counter{0};
    const std::string target = ResolveTarget(Native(fileName));
    const std::size_t slash = target.rfind('/');
    const std::string folder = slash == std::string::npos ? "." : (slash == 0 ? "/" : target.substr(0, slash));

    struct stat old {};
    const bool hadOld = ::stat(target.c_str(), &old) == 0;
    if (hadOld && S_ISDIR(old.st_mode)) RaiseCreate(fileName, EISDIR);

    // The temporary name sits beside the target so the rename never crosses
    // file systems.
    std::string temp;
    int fd = -1;
    for (int attempt = 0; attempt < 100 && fd < 0; ++attempt) {
        temp = target + ".tmp" + std::to_string(::getpid()) + "-" + std::to_string(counter++);
        fd = ::open(temp.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0666);
        if (fd < 0 && errno != EEXIST) break;
    }
    if (fd < 0) RaiseCreate(fileName, errno);

    auto abandon = [&](int error) {
        ::close(fd);
        ::unlink(temp.c_str());
        RaiseCreate(fileName, error);
    };
    // The replacement keeps the permissions of the file it replaces.
    if (hadOld) (void)::fchmod(fd, old.st_mode & 07777);
    if (!WriteAll(fd, bytes)) abandon(errno);
    if (::fsync(fd) != 0) abandon(errno);
    if (::close(fd) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        RaiseCreate(fileName, error);
    }
    if (::rename(temp.c_str(), target.c_str()) != 0) {
        const int error = errno;
        ::unlink(temp.c_str());
        RaiseCreate(fileName, error);
    }
    // Make the rename itself durable; a failure here changes nothing already done.
    const int dirFd = ::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (dirFd >= 0) {
        (void)::fsync(dirFd);
        ::close(dirFd);
    }
}
