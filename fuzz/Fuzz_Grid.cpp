// The grid's parsers: its binary cell stream, its text, CSV, fixed-width,
// XML and INI loaders, and workbooks. The grid has no parent: its loaders
// need no window, and a run makes one grid per input quickly.

#include "Fuzz_Support.h"
#include "Fuzz_Targets.h"
#include "framework/Files.h"
#include "framework/Streams.h"
#include "framework/Zip.h"
#include "grid/ExGrid.h"

#include <cstdlib>

namespace {

// A grid of 6 columns and 6 rows whose progress reports must stay percentages.
struct TFuzzGrid {
    TExStringGrid Grid{nullptr};
    TFuzzGrid() {
        Grid.SetColCount(6);
        Grid.SetRowCount(6);
        Grid.Tools().OnFileProgress = [](TObject*, short Progress) {
            if (Progress < 0 || Progress > 100) std::abort();
        };
    }
};

TMemoryStream Stream_Of(std::string_view Bytes) {
    TMemoryStream s;
    s.WriteBytes(Bytes);
    s.SetPosition(0);
    return s;
}

}  // namespace

// The first byte odd: the cells at column 2, row 3 of the grid; even: the
// whole grid.
void Fuzz_Grid_Bin_Stream(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    TFuzzInput in(Data, Size);
    const bool atPoint = in.Byte() & 1;
    TFuzzGrid g;
    TMemoryStream s = Stream_Of(in.Rest());
    Fuzz_Guarded([&] {
        if (atPoint) g.Grid.LoadAtPointFromBinStream(TPoint{2, 3}, s);
        else g.Grid.LoadFromBinStream(s);
    });
}

// The loader (a byte) and its file; the fixed-width loader takes its column
// positions from the next four bytes, the XML loader its two switches from
// the loader byte.
void Fuzz_Grid_Loaders(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    TFuzzInput in(Data, Size);
    const std::uint8_t loader = in.Byte();
    TFuzzGrid g;
    TExStringGrid& grid = g.Grid;
    Fuzz_Guarded([&] {
        switch (loader % 9) {
        case 0: grid.LoadFromFile(Fuzz_File(u"grid.txt", in.Rest())); break;
        case 1: {
            TMemoryStream s = Stream_Of(in.Rest());
            grid.LoadFromStream(s);
            break;
        }
        case 2: grid.LoadFromCSV(Fuzz_File(u"grid.csv", in.Rest())); break;
        case 3: {
            TMemoryStream s = Stream_Of(in.Rest());
            grid.LoadFromCSVStream(s, loader / 9 % 4);
            break;
        }
        case 4: {
            TIntList positions(0, 0);
            for (int i = 0; i < 4; ++i) positions.Add(in.Byte());
            grid.LoadFromFixed(Fuzz_File(u"grid.fix", in.Rest()), positions, loader / 9 % 2 ? -1 : 3, loader & 0x80);
            break;
        }
        case 5: grid.LoadFromXML(Fuzz_File(u"grid.xml", in.Rest()), loader & 0x40, loader & 0x80); break;
        case 6: grid.LoadPrintSettings(Fuzz_File(u"grid.ini", in.Rest()), u"Print"); break;
        case 7: grid.LoadVisualProps(Fuzz_File(u"grid.props", in.Rest())); break;
        default: grid.StringToColumnStates(Utf8ToString(in.Rest())); break;
        }
    });
}

// A workbook: the first byte even, the rest are its parts (a name piece and
// a content piece each), zipped here, so that the parts' XML is what varies;
// odd, the rest is the file itself. Its sheets are listed, the active one
// loaded and the first one loaded by name.
void Fuzz_Grid_Workbook(const std::uint8_t* Data, std::size_t Size) {
    Fuzz_Initialize();
    TFuzzInput in(Data, Size);
    String file;
    if (in.Byte() & 1) {
        file = Fuzz_File(u"book.xlsx", in.Rest());
    } else {
        file = PathJoin(Fuzz_Folder(), u"book.xlsx");
        TZipWriter zip(file);
        while (!in.Empty()) {
            const String name = Utf8ToString(in.Piece());
            const std::string_view part = in.Piece();
            Fuzz_Guarded([&] { zip.Add(name, part, zcDeflated); });
        }
        try {
            zip.Commit();
        } catch (const Exception&) {
            return;  // no workbook to read
        }
    }
    TFuzzGrid g;
    Fuzz_Guarded([&] {
        const std::unique_ptr<TStringList> sheets = g.Grid.GetXLSSheets(file);
        g.Grid.LoadFromXLS(file);
        if (sheets->Count() > 0) g.Grid.LoadFromXLSSheet(file, sheets->Strings(0));
    });
}
