#pragma once
// The printer: a document of pages drawn through a Canvas with the same
// rules as every other canvas, written to a PDF file or sent to a printer
// chosen in the desktop's print dialog. Pages are drawn at the printer's
// resolution (300 pixels per inch for PDF files); the canvas font has that
// resolution too, so a font's point size prints at its size.

#include "framework/Graphics.h"

#include <memory>
#include <vector>

enum TPrinterOrientation { poPortrait, poLandscape };

class TPrinter : public TObject {
public:
    TPrinter();
    ~TPrinter() override;
    TPrinter(const TPrinter&) = delete;
    TPrinter& operator=(const TPrinter&) = delete;

    // Where the next document goes: a PDF file, or (empty) the printer last
    // chosen in the print dialog. Without either, BeginDoc raises EInvalidOperation.
    const String& OutputFileName() const { return fileName_; }
    void SetOutputFileName(const String& fileName);

    // "Printing in progress" (EInvalidOperation) when already printing.
    void BeginDoc();
    void NewPage();
    // Finishes the document; the file is complete afterwards.
    void EndDoc();
    // Drops the document: nothing is printed and no file is left.
    void Abort();
    bool Printing() const { return printing_; }
    bool Aborted() const { return aborted_; }
    int PageNumber() const { return pageNumber_; }

    // Valid only while printing (EInvalidOperation "Printer is not currently printing" otherwise).
    TCanvas& Canvas();
    // Pixels of the printable page at the current orientation.
    int PageWidth() const;
    int PageHeight() const;
    int XResolution() const { return resolution_; }
    int YResolution() const { return resolution_; }

    TPrinterOrientation Orientation() const { return orientation_; }
    // Not while printing ("Printing in progress").
    void SetOrientation(TPrinterOrientation o);
    const String& Title() const { return title_; }
    void SetTitle(const String& t) { title_ = t; }
    int Copies() const { return copies_; }
    void SetCopies(int n) { copies_ = n < 1 ? 1 : n; }

    // The names of the installed printers.
    std::vector<String> Printers() const;

private:
    friend bool ExecutePrintDialog(TPrinter&);
    void StartPage();
    void FlushPage();
    struct Impl;
    std::unique_ptr<Impl> d_;
    String fileName_;
    String title_;
    TPrinterOrientation orientation_ = poPortrait;
    int copies_ = 1;
    int resolution_ = 300;
    bool printing_ = false;
    bool aborted_ = false;
    int pageNumber_ = 0;
};

// The process-wide printer.
TPrinter* Printer();

// The desktop's print dialog for the printer; true when the user chose a
// printer (the next document goes to it), false when cancelled.
bool ExecutePrintDialog(TPrinter& printer);
