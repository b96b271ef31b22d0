#pragma once
// Database files read by a query: a desktop database (.mdb, .accdb) through
// its ODBC driver, read-only, and any other file as SQLite, also read-only:
// loading a table never changes the file.
//
// A TDatabase holds one connection, under a name of its own, from its
// creation to its end; every way out of it, errors included, closes the
// connection.

#include "framework/System.h"

#include <memory>
#include <vector>

class EDatabaseError : public Exception {
public:
    using Exception::Exception;
};

enum TDbFieldType { dftUnknown, dftString, dftInteger, dftFloat, dftBoolean, dftDateTime, dftBlob };

struct TDbField {
    String Name;
    TDbFieldType Type = dftUnknown;
};

struct TDbValue {
    bool IsNull = true;
    String Text;        // the value as text; dates as yyyy-mm-dd hh:nn:ss
    int ActualSize = 0;  // bytes of the value: UTF-8 bytes of a text, bytes of a blob, the width of a number; 0 for null
};

struct TDbResult {
    std::vector<TDbField> Fields;
    std::vector<std::vector<TDbValue>> Rows;  // each row has one value per field
};

class TDatabase {
public:
    // EDatabaseError "Cannot open database "<path>": <reason>" for a missing
    // file, a file that is no database, or a missing driver.
    explicit TDatabase(const String& fileName);
    ~TDatabase();
    TDatabase(const TDatabase&) = delete;
    TDatabase& operator=(const TDatabase&) = delete;

    const String& FileName() const;
    // Runs one statement and gives its whole result. EDatabaseError
    // "<reason>" (the driver's text) for a statement the database refuses.
    TDbResult Query(const String& sql);

private:
    struct Impl;
    std::unique_ptr<Impl> impl_;
};
