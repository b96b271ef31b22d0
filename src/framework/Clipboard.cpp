#include "framework/Clipboard.h"

#include "framework/DataTransfer.h"

// The text view of the clipboard that OleSetClipboard and OleGetClipboard
// share, the desktop's or the in-memory one of the tests.

TClipboard& Clipboard() {
    static TClipboard clipboard;
    return clipboard;
}

String TClipboard::AsText() const {
    std::shared_ptr<IDataObject> data;
    String text;
    if (SUCCEEDED(OleGetClipboard(data)) && data) GetTextData(*data, text);
    return text;
}

void TClipboard::SetAsText(const String& Value) {
    auto data = std::make_shared<TDataObject>();
    data->SetText(Value);
    OleSetClipboard(data);
    OleFlushClipboard();  // the text stays when the program ends
}

bool TClipboard::HasText() const {
    std::shared_ptr<IDataObject> data;
    if (FAILED(OleGetClipboard(data)) || !data) return false;
    FORMATETC f;
    f.cfFormat = CF_UNICODETEXT;
    if (data->QueryGetData(f) == S_OK) return true;
    f.cfFormat = CF_TEXT;
    return data->QueryGetData(f) == S_OK;
}
