#pragma once
// INI files and the per-user key store that stands in for the registry.
//
// Section and key names compare without regard to case, as the original's
// profile files did. Every write goes to the disk at once (the whole file,
// atomically), so UpdateFile is needed only to rewrite an unchanged file.

#include "framework/System.h"

#include <memory>
#include <vector>

class TEvent;

class TIniFile {
public:
    // Reads the file if it exists; a missing or unreadable file starts empty.
    explicit TIniFile(const String& fileName);
    ~TIniFile();
    TIniFile(const TIniFile&) = delete;
    TIniFile& operator=(const TIniFile&) = delete;

    const String& FileName() const;

    // Values are trimmed when read, and one pair of surrounding quotes ("" or
    // '') is removed; a value with leading or trailing blanks is therefore
    // written in double quotes so that it reads back as it was. Line breaks in
    // a value are written as blanks: the format has no way to hold them.
    String ReadString(const String& section, const String& ident, const String& defaultValue) const;
    void WriteString(const String& section, const String& ident, const String& value);
    // Decimal, "$" or "0x" hexadecimal; text that is not a whole number gives the default.
    int ReadInteger(const String& section, const String& ident, int defaultValue) const;
    void WriteInteger(const String& section, const String& ident, int value);
    // A whole number other than 0 is true; written as "1" or "0".
    bool ReadBool(const String& section, const String& ident, bool defaultValue) const;
    void WriteBool(const String& section, const String& ident, bool value);

    std::vector<String> ReadSections() const;                       // in file order
    std::vector<String> ReadSection(const String& section) const;  // the keys, in file order
    bool SectionExists(const String& section) const;
    bool ValueExists(const String& section, const String& ident) const;
    void EraseSection(const String& section);
    void DeleteKey(const String& section, const String& ident);

    // Writes the file whole, atomically; EFCreateError on failure (every
    // Write*, EraseSection and DeleteKey may raise it too).
    void UpdateFile();

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// A small per-user key store in INI form: each key path ("Software\Grid\Cols")
// is a section, each value a line. The file is
// $XDG_CONFIG_HOME/configurator/registry.ini, or ~/.config/configurator/registry.ini.
class TRegistryStore {
public:
    TRegistryStore();  // DefaultFileName()
    explicit TRegistryStore(const String& fileName);
    ~TRegistryStore();
    TRegistryStore(const TRegistryStore&) = delete;
    TRegistryStore& operator=(const TRegistryStore&) = delete;

    static String DefaultFileName();
    // Replaces the default file for the rest of the run (tests); empty restores it.
    static void SetDefaultFileName(const String& fileName);

    // A path beginning with "\" starts at the top, any other continues from
    // the current key; "/" separates like "\". False when the key does not
    // exist and canCreate is false.
    bool OpenKey(const String& key, bool canCreate);
    void CloseKey();
    bool KeyExists(const String& key) const;  // absolute path
    const String& CurrentPath() const;        // e.g. "Software\Grid"; empty when no key is open

    // Values of the current key. ReadString gives "" for a missing value;
    // ReadInteger raises EConvertError "Invalid data type for '<name>'" when
    // the value is missing or not a whole number.
    bool ValueExists(const String& name) const;
    String ReadString(const String& name) const;
    void WriteString(const String& name, const String& value);
    int ReadInteger(const String& name) const;
    void WriteInteger(const String& name, int value);
    bool DeleteValue(const String& name);

    // Asks once to be told of the next rewrite of the store file, by this
    // store, another one or another program: the event is set then (the
    // caller resets it and asks again). Requests end with the store, so the
    // event must outlive it or the store must go first. EOSError when the
    // store's folder cannot be watched.
    void NotifyChange(TEvent& event);

private:
    struct ChangeWatch;
    std::unique_ptr<TIniFile> ini_;
    String current_;
    std::unique_ptr<ChangeWatch> watch_;
};
