#include "framework/Zip.h"

#include "framework/Files.h"

#include <zip.h>

#include <cstdlib>
#include <cstring>

namespace {

String Quoted(const String& s) { return u"\"" + s + u"\""; }

String ReasonOf(zip_error_t* error) { return Utf8ToString(zip_error_strerror(error)); }

String ReasonOf(zip_t* za) { return Utf8ToString(zip_strerror(za)); }

String ReasonOf(zip_file_t* zf) { return Utf8ToString(zip_file_strerror(zf)); }

const String kTooLarge = u"the entry is larger than 256 MiB";

// The 22 bytes of an archive without entries; libzip removes the file
// instead of writing one.
constexpr char kEmptyArchive[22] = {'P', 'K', 5, 6};

}  // namespace

// ---- TZipReader ----

struct TZipReader::Impl {
    String fileName;
    zip_t* za = nullptr;
    std::vector<TZipEntry> entries;

    ~Impl() {
        if (za) zip_discard(za);
    }
    [[noreturn]] void Fail(const String& entry, const String& reason) const {
        throw EZipError(u"Cannot read " + Quoted(entry) + u" from zip file " + Quoted(fileName) + u": " + reason);
    }
};

TZipReader::TZipReader(const String& fileName) : impl_(std::make_unique<Impl>()) {
    impl_->fileName = fileName;
    int code = 0;
    impl_->za = zip_open(StringToUtf8(fileName).c_str(), ZIP_RDONLY, &code);
    if (!impl_->za) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const String reason = ReasonOf(&error);
        zip_error_fini(&error);
        throw EZipError(u"Cannot open zip file " + Quoted(fileName) + u": " + reason);
    }
    const zip_int64_t n = zip_get_num_entries(impl_->za, 0);
    for (zip_int64_t i = 0; i < n; ++i) {
        zip_stat_t st;
        zip_stat_init(&st);
        if (zip_stat_index(impl_->za, static_cast<zip_uint64_t>(i), ZIP_FL_ENC_GUESS, &st) != 0)
            throw EZipError(u"Cannot open zip file " + Quoted(fileName) + u": " + ReasonOf(impl_->za));
        TZipEntry e;
        e.Name = Utf8ToString(st.name ? st.name : "");
        e.Size = st.size;
        e.CompressedSize = st.comp_size;
        e.Compression = st.comp_method == ZIP_CM_STORE ? zcStored : zcDeflated;
        impl_->entries.push_back(std::move(e));
    }
}

TZipReader::~TZipReader() = default;

const String& TZipReader::FileName() const { return impl_->fileName; }

const std::vector<TZipEntry>& TZipReader::Entries() const { return impl_->entries; }

bool TZipReader::Contains(const String& name) const {
    return zip_name_locate(impl_->za, StringToUtf8(name).c_str(), 0) >= 0;
}

ByteString TZipReader::Read(const String& name) const {
    const zip_int64_t index = zip_name_locate(impl_->za, StringToUtf8(name).c_str(), 0);
    if (index < 0) impl_->Fail(name, u"no such entry");
    const TZipEntry& entry = impl_->entries[static_cast<std::size_t>(index)];
    if (entry.Size > MaxZipEntrySize) impl_->Fail(name, kTooLarge);
    zip_file_t* zf = zip_fopen_index(impl_->za, static_cast<zip_uint64_t>(index), 0);
    if (!zf) impl_->Fail(name, ReasonOf(impl_->za));
    ByteString data(static_cast<std::size_t>(entry.Size), '\0');
    std::size_t got = 0;
    String failure;
    // Read to the end even when the size is reached: the checksum is
    // checked only there.
    for (;;) {
        char spill[1];
        char* at = got < data.size() ? data.data() + got : spill;
        const zip_uint64_t room = got < data.size() ? data.size() - got : 1;
        const zip_int64_t n = zip_fread(zf, at, room);
        if (n < 0) {
            failure = ReasonOf(zf);
            break;
        }
        if (n == 0) break;
        if (at == spill) {
            failure = u"the entry is longer than its stated size";
            break;
        }
        got += static_cast<std::size_t>(n);
    }
    zip_fclose(zf);
    if (failure.empty() && got != data.size()) failure = u"the entry is shorter than its stated size";
    if (!failure.empty()) impl_->Fail(name, failure);
    return data;
}

// ---- TZipWriter ----

struct TZipWriter::Impl {
    String fileName;
    zip_t* za = nullptr;
    bool any = false;

    ~Impl() {
        if (za) zip_discard(za);
    }
    [[noreturn]] void FailWrite(const String& reason) const {
        throw EZipError(u"Cannot write zip file " + Quoted(fileName) + u": " + reason);
    }
};

TZipWriter::TZipWriter(const String& fileName) : impl_(std::make_unique<Impl>()) {
    impl_->fileName = fileName;
    int code = 0;
    // Truncating means only that the old content is not carried over; the
    // file itself is replaced when the archive is closed.
    impl_->za = zip_open(StringToUtf8(fileName).c_str(), ZIP_CREATE | ZIP_TRUNCATE, &code);
    if (!impl_->za) {
        zip_error_t error;
        zip_error_init_with_code(&error, code);
        const String reason = ReasonOf(&error);
        zip_error_fini(&error);
        impl_->FailWrite(reason);
    }
}

TZipWriter::~TZipWriter() = default;

void TZipWriter::Add(const String& name, std::string_view bytes, TZipCompression compression) {
    auto fail = [&](const String& reason) {
        throw EZipError(u"Cannot add " + Quoted(name) + u" to zip file " + Quoted(impl_->fileName) + u": " + reason);
    };
    if (!impl_->za) fail(u"the archive is already written");
    if (name.empty()) fail(u"the entry has no name");
    if (bytes.size() > MaxZipEntrySize) fail(kTooLarge);
    // libzip reads the data only when the archive is closed: it gets its own
    // copy. An empty entry gets none, as libzip would never free it.
    void* copy = nullptr;
    if (!bytes.empty()) {
        copy = std::malloc(bytes.size());
        if (!copy) fail(u"out of memory");
        std::memcpy(copy, bytes.data(), bytes.size());
    }
    zip_source_t* src = zip_source_buffer(impl_->za, copy, bytes.size(), copy ? 1 : 0);
    if (!src) {
        std::free(copy);
        fail(ReasonOf(impl_->za));
    }
    const zip_int64_t index =
        zip_file_add(impl_->za, StringToUtf8(name).c_str(), src, ZIP_FL_OVERWRITE | ZIP_FL_ENC_UTF_8);
    if (index < 0) {
        zip_source_free(src);
        fail(ReasonOf(impl_->za));
    }
    if (zip_set_file_compression(impl_->za, static_cast<zip_uint64_t>(index),
                                 compression == zcStored ? ZIP_CM_STORE : ZIP_CM_DEFLATE, 0) != 0)
        fail(ReasonOf(impl_->za));
    impl_->any = true;
}

void TZipWriter::Commit() {
    if (!impl_->za) impl_->FailWrite(u"the archive is already written");
    if (!impl_->any) {
        zip_discard(impl_->za);
        impl_->za = nullptr;
        try {
            WriteFileAtomic(impl_->fileName, std::string_view(kEmptyArchive, sizeof kEmptyArchive));
        } catch (const Exception& e) {
            impl_->FailWrite(e.Message());
        }
        return;
    }
    if (zip_close(impl_->za) != 0) {
        const String reason = ReasonOf(impl_->za);
        zip_discard(impl_->za);
        impl_->za = nullptr;
        impl_->FailWrite(reason);
    }
    impl_->za = nullptr;
}
