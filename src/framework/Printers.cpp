// Pages are drawn on an image of the page at the printer's resolution with
// the ordinary canvas, then placed on the PDF or printer page whole.

#include "Printers.h"

#include "Graphics_p.h"
#include "QtApp_p.h"

#include <QFile>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QPrintDialog>
#include <QPrinter>
#include <QPrinterInfo>

struct TPrinter::Impl {
    std::unique_ptr<QPdfWriter> pdf;
    std::unique_ptr<QPrinter> printer;  // chosen in the print dialog
    QPagedPaintDevice* device = nullptr;
    std::unique_ptr<QPainter> painter;
    std::unique_ptr<TDeviceCanvas> page;  // the page being drawn
    QSize pagePixels;
};

namespace {
[[noreturn]] void InProgress() { throw EInvalidOperation("Printing in progress"); }
[[noreturn]] void NotPrinting() { throw EInvalidOperation("Printer is not currently printing"); }

// A4 at the resolution, in pixels, for the orientation.
QSize PagePixels(int dpi, TPrinterOrientation o) {
    const QSizeF mm = QPageSize(QPageSize::A4).size(QPageSize::Millimeter);
    QSize px(qRound(mm.width() / 25.4 * dpi), qRound(mm.height() / 25.4 * dpi));
    return o == poLandscape ? px.transposed() : px;
}
}  // namespace

TPrinter::TPrinter() : d_(std::make_unique<Impl>()) {}
TPrinter::~TPrinter() {
    if (printing_)
        Abort();
}

void TPrinter::SetOutputFileName(const String& fileName) {
    if (printing_)
        InProgress();
    fileName_ = fileName;
}

void TPrinter::SetOrientation(TPrinterOrientation o) {
    if (printing_)
        InProgress();
    orientation_ = o;
}

int TPrinter::PageWidth() const {
    return printing_ ? d_->pagePixels.width() : PagePixels(resolution_, orientation_).width();
}
int TPrinter::PageHeight() const {
    return printing_ ? d_->pagePixels.height() : PagePixels(resolution_, orientation_).height();
}

TCanvas& TPrinter::Canvas() {
    if (!printing_ || !d_->page)
        NotPrinting();
    return d_->page->Canvas();
}

void TPrinter::BeginDoc() {
    if (printing_)
        InProgress();
    EnsureQtApplication();
    const QPageLayout::Orientation qo = orientation_ == poLandscape ? QPageLayout::Landscape : QPageLayout::Portrait;
    if (!fileName_.empty()) {
        d_->pdf = std::make_unique<QPdfWriter>(QStr(fileName_));
        d_->pdf->setResolution(resolution_);
        d_->pdf->setPageLayout(QPageLayout(QPageSize(QPageSize::A4), qo, QMarginsF(0, 0, 0, 0)));
        d_->pdf->setTitle(QStr(title_));
        d_->pdf->setCreator(QStringLiteral("configurator"));
        d_->device = d_->pdf.get();
    } else if (d_->printer) {
        d_->printer->setPageOrientation(qo);
        d_->printer->setDocName(QStr(title_));
        d_->printer->setCopyCount(copies_);
        d_->printer->setFullPage(true);
        resolution_ = d_->printer->resolution();
        d_->device = d_->printer.get();
    } else {
        throw EInvalidOperation("No printer or output file chosen");
    }
    d_->painter = std::make_unique<QPainter>();
    if (!d_->painter->begin(d_->device)) {
        d_->painter.reset();
        d_->pdf.reset();
        d_->device = nullptr;
        throw EInvalidOperation(u"Cannot print to \"" + (fileName_.empty() ? S("the printer") : fileName_) + u"\"");
    }
    d_->pagePixels = PagePixels(resolution_, orientation_);
    printing_ = true;
    aborted_ = false;
    pageNumber_ = 1;
    d_->page = std::make_unique<TDeviceCanvas>(*d_->device);
    // Mapped drawing (0.1 mm) takes the page's own resolution.
    d_->page->Canvas().SetPixelsPerInch(resolution_);
    d_->page->Canvas().Font().SetPixelsPerInch(resolution_);
    d_->page->Canvas().Font().SetSize(10);
}

void TPrinter::StartPage() { d_->page->Clear(); }

void TPrinter::FlushPage() { d_->page->Flush(*d_->painter); }

void TPrinter::NewPage() {
    if (!printing_)
        NotPrinting();
    FlushPage();
    d_->device->newPage();
    ++pageNumber_;
    StartPage();
}

void TPrinter::EndDoc() {
    if (!printing_)
        NotPrinting();
    FlushPage();
    d_->painter->end();
    d_->painter.reset();
    d_->pdf.reset();  // the file is written when the writer goes
    d_->device = nullptr;
    d_->page.reset();
    printing_ = false;
}

void TPrinter::Abort() {
    if (!printing_)
        NotPrinting();
    if (d_->printer)
        d_->printer->abort();
    d_->painter->end();
    d_->painter.reset();
    const bool toFile = d_->pdf != nullptr;
    d_->pdf.reset();
    if (toFile)
        QFile::remove(QStr(fileName_));
    d_->device = nullptr;
    d_->page.reset();
    printing_ = false;
    aborted_ = true;
}

std::vector<String> TPrinter::Printers() const {
    EnsureQtApplication();
    std::vector<String> out;
    for (const QString& n : QPrinterInfo::availablePrinterNames())
        out.push_back(FromQStr(n));
    return out;
}

TPrinter* Printer() {
    static TPrinter* p = new TPrinter;  // lives for the whole program
    return p;
}

bool ExecutePrintDialog(TPrinter& printer) {
    if (printer.Printing())
        InProgress();
    EnsureQtApplication();
    auto qp = std::make_unique<QPrinter>(QPrinter::HighResolution);
    QPrintDialog dialog(qp.get());
    if (dialog.exec() != QDialog::Accepted)
        return false;
    printer.d_->printer = std::move(qp);
    printer.fileName_.clear();
    return true;
}
