#pragma once
// How the image builder, the bank-file writer and the update job report.
//
// Every failure that the user must see is raised as an exception whose
// Message() is the text to show; the window that ran "Update Device" shows it
// once and stops the road there (no update dialog, no updater started).
//
//  - EImageError: the build is refused or its files cannot be written: a
//    project file that is malformed or lacks the element that holds its rows,
//    a table with more rows than the converter holds, a value outside its
//    field, or a bank or job file that cannot be written. The message names
//    the file, the table and the limit where there is one.
//
// A refused build writes nothing: the bank files of an earlier build stay as
// they were, and every file of a build is replaced atomically.

#include "framework/System.h"

class EImageError : public Exception {
public:
    using Exception::Exception;
};
