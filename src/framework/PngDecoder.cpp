#include "Graphics_p.h"

void TPngImage::Decode(const ByteString& data, TImageData& into) { throw EInvalidGraphic("PNG image is not valid"); }
