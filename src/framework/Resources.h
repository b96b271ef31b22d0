#pragma once
// The program's resources: named bitmaps, cursors and raw data compiled into
// the program. A bitmap or cursor resource is a painter that draws its
// pixels on demand; units register theirs (a static registrar in the unit
// that uses them is enough) and load them by name.

#include "framework/Graphics.h"

#include <functional>

// "Resource <name> not found".
class EResNotFound : public Exception {
public:
    using Exception::Exception;
};

// Paints a bitmap resource: sets the size and pixel format and draws.
using TResourcePainter = std::function<void(TBitmap&)>;

struct TCursorResource {
    TBitmap Image;    // the cursor's picture; its TransparentColor pixels are see-through
    TPoint HotSpot;
};
using TCursorPainter = std::function<void(TCursorResource&)>;

// Registering a name again replaces the earlier resource. Names compare
// without regard to case, as the platform's resource names do.
void RegisterBitmapResource(const String& name, TResourcePainter painter);
void RegisterCursorResource(const String& name, TCursorPainter painter);
void RegisterDataResource(const String& name, ByteString data);

enum TResourceKind { rkBitmap, rkCursor, rkData };
bool ResourceExists(const String& name, TResourceKind kind);

// Raise EResNotFound for an unknown name.
void LoadBitmapResource(TBitmap& bitmap, const String& name);
void LoadCursorResource(TCursorResource& cursor, const String& name);
ByteString LoadDataResource(const String& name);

// For a unit's static registration: `static TResourceRegistrar r([] { RegisterBitmapResource(...); });`
struct TResourceRegistrar {
    explicit TResourceRegistrar(const std::function<void()>& registerAll) { registerAll(); }
};
