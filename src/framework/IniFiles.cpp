#include "framework/IniFiles.h"

#include "framework/Encoding.h"
#include "framework/Files.h"
#include "framework/TextFiles.h"
#include "framework/Threads.h"

#include <cstdlib>
#include <mutex>
#include <poll.h>
#include <pwd.h>
#include <sys/eventfd.h>
#include <sys/inotify.h>
#include <unistd.h>
#include <vector>

namespace {

bool IsBlank(char16_t c) { return c <= 32; }

String Trim(std::u16string_view s) {
    std::size_t b = 0, e = s.size();
    while (b < e && IsBlank(s[b])) ++b;
    while (e > b && IsBlank(s[e - 1])) --e;
    return String(s.substr(b, e - b));
}

// Case folding for names: ASCII and the Latin-1 letters, which is what names
// in these files use.
char16_t Fold(char16_t c) {
    if (c >= u'a' && c <= u'z') return c - 32;
    if (c >= 0xE0 && c <= 0xFE && c != 0xF7) return c - 32;
    return c;
}

bool SameName(std::u16string_view a, std::u16string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (Fold(a[i]) != Fold(b[i])) return false;
    return true;
}

bool StartsWithName(std::u16string_view s, std::u16string_view prefix) {
    return s.size() >= prefix.size() && SameName(s.substr(0, prefix.size()), prefix);
}

// Line breaks cannot live in a line-based file.
String OneLine(std::u16string_view s) {
    String out(s);
    for (char16_t& c : out)
        if (c == u'\r' || c == u'\n') c = u' ';
    return out;
}

bool IsQuote(char16_t c) { return c == u'"' || c == u'\''; }

String Unquote(String v) {
    if (v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front()) return v.substr(1, v.size() - 2);
    return v;
}

String QuoteIfNeeded(const String& v) {
    const bool blanksAtEnds = !v.empty() && (IsBlank(v.front()) || IsBlank(v.back()));
    const bool looksQuoted = v.size() >= 2 && IsQuote(v.front()) && v.back() == v.front();
    return blanksAtEnds || looksQuoted ? u"\"" + v + u"\"" : v;
}

int HexDigit(char16_t c) {
    if (c >= u'0' && c <= u'9') return c - u'0';
    if (c >= u'a' && c <= u'f') return c - u'a' + 10;
    if (c >= u'A' && c <= u'F') return c - u'A' + 10;
    return -1;
}

// Optional sign, then decimal digits or "$"/"0x" hexadecimal (up to eight
// digits, taken as the 32 bits of the number); nothing else.
bool ParseInt(std::u16string_view s, int& out) {
    std::size_t i = 0;
    bool negative = false;
    if (i < s.size() && (s[i] == u'+' || s[i] == u'-')) negative = s[i++] == u'-';
    bool hex = false;
    if (i < s.size() && s[i] == u'$') {
        hex = true;
        ++i;
    } else if (i + 1 < s.size() && s[i] == u'0' && (s[i + 1] == u'x' || s[i + 1] == u'X')) {
        hex = true;
        i += 2;
    }
    if (i >= s.size()) return false;
    long long value = 0;
    const long long limit = hex ? 0xFFFFFFFFLL : (negative ? 2147483648LL : 2147483647LL);
    for (; i < s.size(); ++i) {
        const int d = hex ? HexDigit(s[i]) : (s[i] >= u'0' && s[i] <= u'9' ? s[i] - u'0' : -1);
        if (d < 0) return false;
        value = value * (hex ? 16 : 10) + d;
        if (value > limit) return false;
    }
    if (hex) value = static_cast<std::int32_t>(static_cast<std::uint32_t>(value));
    out = static_cast<int>(negative ? -value : value);
    return true;
}

String IntText(int v) { return Utf8ToString(std::to_string(v)); }

}  // namespace

// ---- TIniFile ----

struct TIniFile::Impl {
    struct Line {
        String raw;
        bool isEntry = false;
        String key;
        String value;  // as written, before unquoting
    };
    struct Section {
        String name;
        bool hasHeader = false;
        String header;
        std::vector<Line> lines;
    };

    String fileName;
    std::vector<Section> sections;  // the first holds the lines before any header
    TTextEncoding encoding = TTextEncoding::Utf8Bom;

    void Load();
    void Save();
    Section* Find(std::u16string_view name);
    const Section* Find(std::u16string_view name) const { return const_cast<Impl*>(this)->Find(name); }
    Line* FindEntry(std::u16string_view section, std::u16string_view key);
    const Line* FindEntry(std::u16string_view section, std::u16string_view key) const {
        return const_cast<Impl*>(this)->FindEntry(section, key);
    }
    Section& Ensure(const String& name);
};

void TIniFile::Impl::Load() {
    sections.assign(1, Section{});
    ByteString bytes;
    try {
        bytes = ReadFileBytes(fileName);
    } catch (const EFOpenError&) {
        return;  // a missing or unreadable file reads as empty, as profile files always did
    }
    if (bytes.starts_with("\xEF\xBB\xBF"))
        encoding = TTextEncoding::Utf8Bom;
    else if (bytes.starts_with("\xFF\xFE") || bytes.starts_with("\xFE\xFF"))
        encoding = TTextEncoding::Utf16LE;
    else
        encoding = TTextEncoding::Windows1252;
    for (String& text : SplitLines(DecodeText(bytes))) {
        const String t = Trim(text);
        if (!t.empty() && t.front() == u'[') {
            Section s;
            s.hasHeader = true;
            const std::size_t close = t.find(u']');
            s.name = Trim(std::u16string_view(t).substr(1, close == String::npos ? String::npos : close - 1));
            s.header = std::move(text);
            sections.push_back(std::move(s));
            continue;
        }
        Line line;
        const std::size_t eq = t.find(u'=');
        if (eq != String::npos && t.front() != u';') {
            line.key = Trim(std::u16string_view(t).substr(0, eq));
            line.value = Trim(std::u16string_view(t).substr(eq + 1));
            line.isEntry = !line.key.empty();
        }
        line.raw = std::move(text);
        sections.back().lines.push_back(std::move(line));
    }
}

void TIniFile::Impl::Save() {
    String text;
    for (const Section& s : sections) {
        if (s.hasHeader) text += s.header + u"\r\n";
        for (const Line& l : s.lines) text += l.raw + u"\r\n";
    }
    // A file read in the ANSI code page stays in it unless a character needs more.
    if (encoding == TTextEncoding::Windows1252 && Windows1252ToString(StringToWindows1252(text)) != text)
        encoding = TTextEncoding::Utf8Bom;
    WriteTextFile(fileName, text, encoding);
}

TIniFile::Impl::Section* TIniFile::Impl::Find(std::u16string_view name) {
    for (std::size_t i = 1; i < sections.size(); ++i)
        if (SameName(sections[i].name, name)) return &sections[i];
    return nullptr;
}

TIniFile::Impl::Line* TIniFile::Impl::FindEntry(std::u16string_view section, std::u16string_view key) {
    Section* s = Find(section);
    if (!s) return nullptr;
    for (Line& l : s->lines)
        if (l.isEntry && SameName(l.key, key)) return &l;
    return nullptr;
}

TIniFile::Impl::Section& TIniFile::Impl::Ensure(const String& name) {
    if (Section* s = Find(name)) return *s;
    // A blank line between the sections, as people write them.
    Section& last = sections.back();
    const bool fileEmpty = sections.size() == 1 && last.lines.empty();
    if (!fileEmpty && (last.lines.empty() ? last.hasHeader : !Trim(last.lines.back().raw).empty()))
        last.lines.push_back(Line{});
    Section s;
    s.name = name;
    s.hasHeader = true;
    s.header = u"[" + name + u"]";
    sections.push_back(std::move(s));
    return sections.back();
}

TIniFile::TIniFile(const String& fileName) : impl_(std::make_unique<Impl>()) {
    impl_->fileName = fileName;
    impl_->Load();
}

TIniFile::~TIniFile() = default;

const String& TIniFile::FileName() const { return impl_->fileName; }

String TIniFile::ReadString(const String& section, const String& ident, const String& defaultValue) const {
    const Impl::Line* l = impl_->FindEntry(section, ident);
    return l ? Unquote(l->value) : defaultValue;
}

void TIniFile::WriteString(const String& section, const String& ident, const String& value) {
    const String key = Trim(OneLine(ident));
    const String written = QuoteIfNeeded(OneLine(value));
    Impl::Section& s = impl_->Ensure(Trim(OneLine(section)));
    Impl::Line* l = impl_->FindEntry(s.name, key);
    if (!l) {
        // After the section's last entry, before any blank lines that end it.
        auto at = s.lines.end();
        while (at != s.lines.begin() && Trim((at - 1)->raw).empty()) --at;
        l = &*s.lines.insert(at, Impl::Line{String(), true, key, String()});
    }
    l->value = written;
    l->raw = l->key + u"=" + written;
    impl_->Save();
}

int TIniFile::ReadInteger(const String& section, const String& ident, int defaultValue) const {
    int v = 0;
    return ParseInt(ReadString(section, ident, String()), v) ? v : defaultValue;
}

void TIniFile::WriteInteger(const String& section, const String& ident, int value) {
    WriteString(section, ident, IntText(value));
}

bool TIniFile::ReadBool(const String& section, const String& ident, bool defaultValue) const {
    return ReadInteger(section, ident, defaultValue ? 1 : 0) != 0;
}

void TIniFile::WriteBool(const String& section, const String& ident, bool value) {
    WriteString(section, ident, value ? u"1" : u"0");
}

std::vector<String> TIniFile::ReadSections() const {
    std::vector<String> names;
    for (std::size_t i = 1; i < impl_->sections.size(); ++i) {
        const String& n = impl_->sections[i].name;
        bool seen = false;
        for (const String& m : names) seen = seen || SameName(m, n);
        if (!seen) names.push_back(n);
    }
    return names;
}

std::vector<String> TIniFile::ReadSection(const String& section) const {
    std::vector<String> keys;
    if (const Impl::Section* s = impl_->Find(section)) {
        for (const Impl::Line& l : s->lines) {
            if (!l.isEntry) continue;
            bool seen = false;
            for (const String& k : keys) seen = seen || SameName(k, l.key);
            if (!seen) keys.push_back(l.key);
        }
    }
    return keys;
}

bool TIniFile::SectionExists(const String& section) const { return impl_->Find(section) != nullptr; }

bool TIniFile::ValueExists(const String& section, const String& ident) const {
    return impl_->FindEntry(section, ident) != nullptr;
}

void TIniFile::EraseSection(const String& section) {
    bool erased = false;
    auto& all = impl_->sections;
    for (std::size_t i = all.size(); i-- > 1;) {
        if (SameName(all[i].name, section)) {
            all.erase(all.begin() + static_cast<std::ptrdiff_t>(i));
            erased = true;
        }
    }
    if (erased) impl_->Save();
}

void TIniFile::DeleteKey(const String& section, const String& ident) {
    Impl::Section* s = impl_->Find(section);
    if (!s) return;
    const auto before = s->lines.size();
    std::erase_if(s->lines, [&](const Impl::Line& l) { return l.isEntry && SameName(l.key, ident); });
    if (s->lines.size() != before) impl_->Save();
}

void TIniFile::UpdateFile() { impl_->Save(); }

// ---- TRegistryStore ----

namespace {

std::mutex g_defaultMutex;
String g_defaultOverride;

// "a/b\\c\\" -> "a\\b\\c".
String NormalizeKey(std::u16string_view key) {
    String out;
    String part;
    auto flush = [&] {
        const String p = Trim(part);
        if (!p.empty()) out += (out.empty() ? u"" : u"\\") + p;
        part.clear();
    };
    for (char16_t c : key) {
        if (c == u'\\' || c == u'/')
            flush();
        else
            part += c;
    }
    flush();
    return out;
}

// The default value of a key has no name; in the file it is "@".
String ValueKey(const String& name) { return name.empty() ? String(u"@") : name; }

}  // namespace

TRegistryStore::TRegistryStore() : TRegistryStore(DefaultFileName()) {}

// Watches the store's folder for the file being replaced (our writes rename a
// finished file over it) or written in place by another program. One thread
// per store, started by the first request.
struct TRegistryStore::ChangeWatch {
    std::string dir, name;
    int inotifyFd = -1, stopFd = -1;
    std::thread thread;
    std::mutex mutex;
    std::vector<TEvent*> waiting;

    ChangeWatch(const String& fileName)
        : dir(StringToUtf8(ExtractFileDir(fileName))), name(StringToUtf8(ExtractFileName(fileName))) {
        if (dir.empty()) dir = ".";
        inotifyFd = inotify_init1(IN_CLOEXEC | IN_NONBLOCK);
        stopFd = eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK);
        if (inotifyFd < 0 || stopFd < 0 ||
            inotify_add_watch(inotifyFd, dir.c_str(), IN_MOVED_TO | IN_CLOSE_WRITE) < 0) {
            Close();
            throw EOSError(u"Cannot watch the key store " + fileName);
        }
        thread = std::thread([this] { Run(); });
    }

    ~ChangeWatch() {
        const std::uint64_t one = 1;
        if (write(stopFd, &one, sizeof one) < 0) { /* the thread then ends with the descriptors below */ }
        thread.join();
        Close();
    }

    void Close() {
        if (inotifyFd >= 0) close(inotifyFd);
        if (stopFd >= 0) close(stopFd);
        inotifyFd = stopFd = -1;
    }

    void Run() {
        alignas(inotify_event) char buf[4096];
        for (;;) {
            pollfd fds[2] = {{inotifyFd, POLLIN, 0}, {stopFd, POLLIN, 0}};
            if (poll(fds, 2, -1) < 0) continue;
            if (fds[1].revents) return;
            const ssize_t n = read(inotifyFd, buf, sizeof buf);
            bool changed = false;
            for (ssize_t i = 0; i < n;) {
                const auto* ev = reinterpret_cast<const inotify_event*>(buf + i);
                if (ev->len && name == ev->name) changed = true;
                i += static_cast<ssize_t>(sizeof(inotify_event) + ev->len);
            }
            if (!changed) continue;
            std::vector<TEvent*> fire;
            {
                std::lock_guard lock(mutex);
                fire.swap(waiting);
            }
            for (TEvent* e : fire) e->SetEvent();
        }
    }
};

TRegistryStore::TRegistryStore(const String& fileName) : ini_(std::make_unique<TIniFile>(fileName)) {}

TRegistryStore::~TRegistryStore() = default;

void TRegistryStore::NotifyChange(TEvent& event) {
    if (!watch_) {
        ForceDirectories(ExtractFileDir(ini_->FileName()));
        watch_ = std::make_unique<ChangeWatch>(ini_->FileName());
    }
    std::lock_guard lock(watch_->mutex);
    watch_->waiting.push_back(&event);
}

String TRegistryStore::DefaultFileName() {
    {
        std::lock_guard lock(g_defaultMutex);
        if (!g_defaultOverride.empty()) return g_defaultOverride;
    }
    String base;
    if (const char* xdg = std::getenv("XDG_CONFIG_HOME"); xdg && xdg[0] == '/') {
        base = Utf8ToString(xdg);
    } else {
        const char* home = std::getenv("HOME");
        if (!home || !*home) {
            const passwd* pw = ::getpwuid(::getuid());
            home = pw ? pw->pw_dir : "/tmp";
        }
        base = PathJoin(Utf8ToString(home), u".config");
    }
    return PathJoin(base, u"configurator/registry.ini");
}

void TRegistryStore::SetDefaultFileName(const String& fileName) {
    std::lock_guard lock(g_defaultMutex);
    g_defaultOverride = fileName;
}

bool TRegistryStore::KeyExists(const String& key) const {
    const String path = NormalizeKey(key);
    if (path.empty() || ini_->SectionExists(path)) return true;
    for (const String& s : ini_->ReadSections())
        if (StartsWithName(s, path + u"\\")) return true;
    return false;
}

bool TRegistryStore::OpenKey(const String& key, bool canCreate) {
    const bool absolute = !key.empty() && (key.front() == u'\\' || key.front() == u'/');
    const String path = NormalizeKey(absolute || current_.empty() ? key : current_ + u"\\" + key);
    if (!KeyExists(path)) {
        if (!canCreate) return false;
        ForceDirectories(ExtractFileDir(ini_->FileName()));
        // An empty section marks a key that exists without values.
        if (!ini_->SectionExists(path)) {
            ini_->WriteString(path, u"@", u"");
            ini_->DeleteKey(path, u"@");
        }
    }
    current_ = path;
    return true;
}

void TRegistryStore::CloseKey() { current_.clear(); }

const String& TRegistryStore::CurrentPath() const { return current_; }

bool TRegistryStore::ValueExists(const String& name) const { return ini_->ValueExists(current_, ValueKey(name)); }

String TRegistryStore::ReadString(const String& name) const { return ini_->ReadString(current_, ValueKey(name), String()); }

void TRegistryStore::WriteString(const String& name, const String& value) {
    ForceDirectories(ExtractFileDir(ini_->FileName()));
    ini_->WriteString(current_, ValueKey(name), value);
}

int TRegistryStore::ReadInteger(const String& name) const {
    int v = 0;
    if (!ValueExists(name) || !ParseInt(ReadString(name), v))
        throw EConvertError(u"Invalid data type for '" + name + u"'");
    return v;
}

void TRegistryStore::WriteInteger(const String& name, int value) { WriteString(name, IntText(value)); }

bool TRegistryStore::DeleteValue(const String& name) {
    if (!ValueExists(name)) return false;
    ini_->DeleteKey(current_, ValueKey(name));
    return true;
}
