#pragma once
// The core types every unit uses: the one text type, the fixed-width whole
// numbers, and the base exception. Text is UTF-16 throughout so that lengths
// and positions count as the converter's documents count them; conversion to
// UTF-8 happens only at the edges (files, the windowing layer, sockets).

#include <cstdint>
#include <exception>
#include <functional>
#include <string>
#include <string_view>

using Char = char16_t;
using String = std::u16string;

// Bytes of protocol data and binary files: never text.
using ByteString = std::string;

using Byte = std::uint8_t;
using Word = std::uint16_t;
using Cardinal = std::uint32_t;
using LongWord = std::uint32_t;
using SmallInt = std::int16_t;
using ShortInt = std::int8_t;
using Int64 = std::int64_t;
using UInt64 = std::uint64_t;

// UTF-8 <-> UTF-16. Malformed input becomes U+FFFD rather than an error:
// text from files and peers must never stop the program.
String Utf8ToString(std::string_view utf8);
std::string StringToUtf8(std::u16string_view text);

// Short form for ASCII or UTF-8 literals in code: S("Error").
inline String S(std::string_view utf8) { return Utf8ToString(utf8); }

// Base of every exception the system raises; Message is what a message box shows.
class Exception : public std::exception {
public:
    explicit Exception(String message);
    explicit Exception(std::string_view utf8Message) : Exception(Utf8ToString(utf8Message)) {}
    const String& Message() const noexcept { return message_; }
    void SetMessage(String message);
    const char* what() const noexcept override { return utf8_.c_str(); }

private:
    String message_;
    std::string utf8_;
};

// The exception kinds the system raises; each carries its message.
#define CONFIGURATOR_EXCEPTION(Name, Base)          \
    class Name : public Base {                       \
    public:                                          \
        using Base::Base;                            \
    };
CONFIGURATOR_EXCEPTION(EConvertError, Exception)   // text that is not a number or a date
CONFIGURATOR_EXCEPTION(EListError, Exception)      // list index out of bounds, duplicates refused
CONFIGURATOR_EXCEPTION(EStreamError, Exception)
CONFIGURATOR_EXCEPTION(EFOpenError, EStreamError)  // a file that cannot be opened
CONFIGURATOR_EXCEPTION(EFCreateError, EStreamError)
CONFIGURATOR_EXCEPTION(EReadError, EStreamError)
CONFIGURATOR_EXCEPTION(EWriteError, EStreamError)
CONFIGURATOR_EXCEPTION(EInOutError, Exception)     // a file system operation failed
CONFIGURATOR_EXCEPTION(EOSError, Exception)        // an operating-system call failed
CONFIGURATOR_EXCEPTION(EInvalidOperation, Exception)
CONFIGURATOR_EXCEPTION(EInvalidGraphic, Exception)  // a picture that cannot be read
CONFIGURATOR_EXCEPTION(EAbort, Exception)           // silent: ends an operation without a message
CONFIGURATOR_EXCEPTION(EAssertionFailed, Exception)  // a failed Assert, in every build
#undef CONFIGURATOR_EXCEPTION

// A malformed XML document: the message names the problem and the line;
// Line and Code (the parser's number for the kind of fault) are 0 when the
// error did not come from parsing.
class EXmlError : public Exception {
public:
    using Exception::Exception;
    EXmlError(String message, int line, int code) : Exception(std::move(message)), line_(line), code_(code) {}
    int Line() const noexcept { return line_; }
    int Code() const noexcept { return code_; }

private:
    int line_ = 0;
    int code_ = 0;
};

// Root of the object model; events name their sender through it.
class TObject {
public:
    virtual ~TObject() = default;
};

using TNotifyEvent = std::function<void(TObject* Sender)>;

// An object whose settings can be copied from another of a compatible kind.
class TPersistent : public TObject {
public:
    // Copies Source's settings; a kind that cannot take them raises
    // EConvertError "Cannot assign a <source> to a <target>".
    virtual void Assign(const TPersistent* Source);

protected:
    // Called when Source does not know this kind: the reverse direction.
    virtual void AssignTo(TPersistent* Dest) const;
    // The class name used in the error message.
    virtual String ClassName() const;
};
