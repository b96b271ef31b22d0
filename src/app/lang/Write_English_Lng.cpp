// Writes the language file of the built-in English texts, installed beside
// the program so that the language page offers a way back to English:
// write_english_lng <path of English.lng>
#include "framework/SysUtils.h"
#include "framework/TextFiles.h"
#include "shell/ULanguage.h"

#include <cstdio>

int main(int argc, char** argv) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: write_english_lng <file>\n");
        return 2;
    }
    String text = u"/#/ The built-in English texts of the configurator\r\n";
    for (const String& line : Default_Lang_Lines()) text += line + u"\r\n";
    try {
        WriteTextFile(Utf8ToString(argv[1]), text, TTextEncoding::Utf8Bom);
    } catch (const Exception& e) {
        std::fprintf(stderr, "%s\n", StringToUtf8(e.Message()).c_str());
        return 1;
    }
    return 0;
}
