#pragma once
// The clipboard as text: a view of what OleSetClipboard and OleGetClipboard
// (DataTransfer.h) share, the desktop's clipboard or the tests' in-memory
// one. Used from the user-interface thread only, as every window is.

#include "framework/System.h"

class TClipboard {
public:
    // The clipboard's text; empty when it holds none.
    String AsText() const;
    // Replaces the clipboard's contents with Value.
    void SetAsText(const String& Value);
    bool HasText() const;
};

// The one clipboard of the program.
TClipboard& Clipboard();
