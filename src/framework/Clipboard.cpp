#include "framework/Clipboard.h"

#include "framework/QtApp_p.h"

#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>

namespace {

QClipboard* Board() {
    EnsureQtApplication();
    return QGuiApplication::clipboard();
}

}  // namespace

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

String TClipboard::AsText() const {
    const QString text = Board()->text();
    return String(reinterpret_cast<const Char*>(text.utf16()), size_t(text.size()));
}

void TClipboard::SetAsText(const String& Value) {
    Board()->setText(QString::fromUtf16(Value.data(), qsizetype(Value.size())));
}

bool TClipboard::HasText() const {
    const QMimeData* data = Board()->mimeData();
    return data && data->hasText();
}
