// The header stream: a user's column layout with the header's settings.
// The writer always writes the newest version; the reader takes every older
// one, down to the oldest form that starts right with the columns.

#include "tree/LazyTrees_p.h"

#include <numeric>

namespace {

constexpr int HeaderStreamVersion = 6;
// The smallest column record of a version: two empty texts and its integers.
int MinimalColumnRecord(int Version) { return 4 + 4 + 10 * 4 + (Version >= 1 ? 8 : 0) + (Version >= 2 ? 4 : 0); }

void WriteInt(TStream& Stream, int Value) { Stream.WriteDWord(Cardinal(Value)); }
int ReadInt(TStream& Stream) { return int(Stream.ReadDWord()); }

Int64 BytesLeft(TStream& Stream) { return Stream.Size() - Stream.Position(); }

// A stream that ends early or holds what no writer wrote: the platform's read error.
[[noreturn]] void ShortStream() { throw EReadError(S("Stream read error")); }

// An enumeration travels in the low byte of a u32; an ordinal beyond the
// last one would be a value the type cannot hold, and painting switches on it.
template <class E>
E ReadOrdinal(TStream& Stream, E Last) {
    const Cardinal Ordinal = Stream.ReadDWord() & 0xFF;
    if (Ordinal > Cardinal(Last)) ShortStream();
    return E(Ordinal);
}

// Pixel amounts that layout adds up: no screen or font comes near this, and
// a sum of a few of them stays within int.
constexpr int MaxPixels = 0x7FFF;

int ReadPixels(TStream& Stream) {
    const int Value = ReadInt(Stream);
    if (Value < -MaxPixels || Value > MaxPixels) ShortStream();
    return Value;
}

void WriteWide(TStream& Stream, const String& Text) {
    Stream.WriteDWord(Cardinal(Text.size()));
    for (char16_t Unit : Text) Stream.WriteWord(Word(Unit));
}

// A count beyond the bytes left is a damaged stream, not a reason to allocate.
String ReadWide(TStream& Stream) {
    const Cardinal Count = Stream.ReadDWord();
    if (Int64(Count) * 2 > BytesLeft(Stream)) ShortStream();
    String Text(Count, u'\0');
    for (char16_t& Unit : Text) Unit = char16_t(Stream.ReadWord());
    return Text;
}

// Older streams knew fewer column options: version 2 kept one byte, and
// before it the parent-colour bit did not exist, so the later ones sat one place lower.
Cardinal ColumnOptionBits(Cardinal Value, int Version) {
    if (Version >= 3) return Value & 0xFFFF;
    if (Version == 2) return Value & 0xFF;
    return (Value & 0x0F) | (((Value & ~0x0Fu) << 1) & 0xFF);
}

template <class E>
TSet<E> SetFromBits(std::uint64_t Bits) {
    TSet<E> Result;
    for (unsigned Bit = 0; Bit < 64; ++Bit)
        if (Bits & (std::uint64_t(1) << Bit)) Result.Include(E(Bit));
    return Result;
}

}  // namespace

// ---------------------------------------------------------------------------
// Column record
// ---------------------------------------------------------------------------

void TLazyTreeColumn::SetLayout(TLTHeaderColumnLayout Value) {
    if (Value == FLayout) return;
    FLayout = Value;
    ReportChange();
}

void TLazyTreeColumn::SetCaptionAlignment(TAlignment Value) {
    if (Value == FCaptionAlignment) return;
    FCaptionAlignment = Value;
    ReportChange();
}

void TLazyTreeColumn::SaveToStream(TStream& Stream) const {
    WriteWide(Stream, FText);
    WriteWide(Stream, FHint);
    WriteInt(Stream, FWidth);
    WriteInt(Stream, FMinWidth);
    WriteInt(Stream, FMaxWidth);
    Stream.WriteDWord(Cardinal(FStyle));
    WriteInt(Stream, FImageIndex);
    Stream.WriteDWord(Cardinal(FLayout));
    WriteInt(Stream, FMargin);
    WriteInt(Stream, FSpacing);
    Stream.WriteDWord(Cardinal(FBiDiMode));
    Stream.WriteDWord(Cardinal(FOptions.Bits() & 0xFFFF));
    WriteInt(Stream, int(FTag));
    Stream.WriteDWord(Cardinal(FAlignment));
    WriteInt(Stream, FColor);
    if (FOptions.Contains(coUseCaptionAlignment)) Stream.WriteDWord(Cardinal(FCaptionAlignment));
}

void TLazyTreeColumn::LoadFromStream(TStream& Stream, int Version) {
    SetText(ReadWide(Stream));
    SetHint(ReadWide(Stream));
    const int Width = ReadInt(Stream);
    const int MinWidth = ReadInt(Stream);
    const int MaxWidth = ReadInt(Stream);
    // The limits first, so that a saved width below a new column's minimum comes back as saved.
    SetMinWidth(0);
    SetMaxWidth(MaxWidth);
    SetMinWidth(MinWidth);
    SetWidth(Width);
    SetStyle(ReadOrdinal(Stream, vsOwnerDraw));
    SetImageIndex(ReadInt(Stream));
    SetLayout(ReadOrdinal(Stream, blGlyphBottom));
    SetMargin(ReadPixels(Stream));
    SetSpacing(ReadPixels(Stream));
    SetBiDiMode(ReadOrdinal(Stream, bdRightToLeftReadingOnly));
    const TLTColumnOptions Options = SetFromBits<TLTColumnOption>(ColumnOptionBits(Stream.ReadDWord(), Version));
    SetOptions(Options);
    if (Version >= 1) {
        FTag = ReadInt(Stream);
        SetAlignment(ReadOrdinal(Stream, taCenter));
    }
    if (Version >= 2) {
        const TColor Color = ReadInt(Stream);
        // A column that follows the tree's colour keeps following it.
        if (Options.Contains(coParentColor)) {
            FColor = Color;
            ParentColorChanged();
        } else {
            SetColor(Color);
        }
    }
    if (Version >= 6 && Options.Contains(coUseCaptionAlignment))
        SetCaptionAlignment(ReadOrdinal(Stream, taCenter));
}

// ---------------------------------------------------------------------------
// Columns block
// ---------------------------------------------------------------------------

void TLazyTreeColumns::SaveToStream(TStream& Stream) const {
    Stream.WriteDWord(Cardinal(Count()));
    for (int I = 0; I < Count(); ++I) Items(I)->SaveToStream(Stream);
    if (Count() > 0) {
        for (int P = 0; P < Count(); ++P) WriteInt(Stream, ColumnFromPosition(P));
    }
    WriteInt(Stream, FDefaultWidth);
}

void TLazyTreeColumns::LoadFromStream(TStream& Stream, int Version) {
    Clear();
    const int N = ReadInt(Stream);
    // Each column needs its record and its place in the position array.
    if (N < 0 || Int64(N) * (MinimalColumnRecord(Version) + 4) > BytesLeft(Stream)) ShortStream();
    if (N > 0) {
        BeginUpdate();
        TFinally Done{[this] { EndUpdate(); }};
        for (int I = 0; I < N; ++I) Add()->LoadFromStream(Stream, Version);
        std::vector<TColumnIndex> Positions(std::size_t(N), 0);
        for (TColumnIndex& I : Positions) I = ReadInt(Stream);
        // Anything but a permutation of the indices would index out of range later.
        std::vector<TColumnIndex> Sorted = Positions;
        std::sort(Sorted.begin(), Sorted.end());
        std::vector<TColumnIndex> Identity(static_cast<std::size_t>(N));
        std::iota(Identity.begin(), Identity.end(), 0);
        FPositionToIndex = Sorted == Identity ? Positions : Identity;
        RefreshPositions(true);
    }
    if (Version >= 5) FDefaultWidth = ReadInt(Stream);
}

// ---------------------------------------------------------------------------
// Header
// ---------------------------------------------------------------------------

void TLTHeader::SaveToStream(TStream& Stream) const {
    WriteInt(Stream, -1);
    WriteInt(Stream, HeaderStreamVersion);
    FColumns->SaveToStream(Stream);
    WriteInt(Stream, FAutoSizeIndex);
    WriteInt(Stream, FBackground);
    WriteInt(Stream, FHeight);
    Stream.WriteDWord(Cardinal(Options.Bits()));
    Stream.WriteDWord(Cardinal(FStyle));
    WriteInt(Stream, FFont.Color());
    WriteInt(Stream, FFont.Height());
    const std::string Name = StringToUtf8(FFont.Name());
    WriteInt(Stream, int(Name.size()));
    Stream.WriteBytes(Name);
    Stream.WriteDWord(Cardinal(FFont.Pitch()));
    Stream.WriteDWord(Cardinal(FFont.Style().Bits()));
    WriteInt(Stream, MainColumn);
    WriteInt(Stream, SortColumn);
    Stream.WriteDWord(Cardinal(SortDirection));
    Stream.WriteDWord(FParentFont ? 1 : 0);
    WriteInt(Stream, FMaxHeight);
    WriteInt(Stream, FMinHeight);
    WriteInt(Stream, FDefaultHeight);
    Stream.WriteDWord(FFixedAreaConstraints.FMaxHeightPercent);
    Stream.WriteDWord(FFixedAreaConstraints.FMaxWidthPercent);
    Stream.WriteDWord(FFixedAreaConstraints.FMinHeightPercent);
    Stream.WriteDWord(FFixedAreaConstraints.FMinWidthPercent);
}

void TLTHeader::LoadFromStream(TStream& Stream) {
    States.Include(hsLoading);
    // No option reacts while widths and heights arrive; a stream that fails
    // before its options gets the header's own back.
    const THeaderOptions Kept = Options;
    bool OptionsRead = false;
    Options = {};
    TFinally Done{[&] {
        if (!OptionsRead) Options = Kept;
        States.Exclude(hsLoading);
        FOwner->DoColumnResize(-1);
    }};
    int Version = ReadInt(Stream);
    if (Version < 0) {
        Version = ReadInt(Stream);
    } else {
        Stream.Seek(-4, soCurrent);
        Version = -1;
    }
    FColumns->LoadFromStream(Stream, Version);
    SetAutoSizeIndex(ReadInt(Stream));
    SetBackground(ReadInt(Stream));
    SetHeight(ReadInt(Stream));
    constexpr Cardinal KnownOptions = (1u << (unsigned(hoAutoColumnPopupMenu) + 1)) - 1;
    const THeaderOptions Read = SetFromBits<THeaderOption>(Stream.ReadDWord() & KnownOptions);
    Options = Kept;
    OptionsRead = true;
    SetOptions(Read);
    SetStyle(ReadOrdinal(Stream, hsPlates));
    FFont.SetColor(ReadInt(Stream));
    FFont.SetHeight(ReadPixels(Stream));
    const int NameLength = ReadInt(Stream);
    if (NameLength < 0 || NameLength > BytesLeft(Stream)) ShortStream();
    FFont.SetName(Utf8ToString(Stream.ReadBytes(NameLength)));
    FFont.SetPitch(ReadOrdinal(Stream, fpFixed));
    FFont.SetStyle(SetFromBits<TFontStyle>(Stream.ReadDWord() & 0x0F));
    if (Version >= 1) {
        SetMainColumn(ReadInt(Stream));
        SetSortColumn(ReadInt(Stream));
        SetSortDirection(ReadOrdinal(Stream, sdDescending));
    }
    if (Version >= 5) {
        SetParentFont(Stream.ReadDWord() != 0);
        FMaxHeight = ReadInt(Stream);
        FMinHeight = ReadInt(Stream);
        FDefaultHeight = ReadInt(Stream);
        FFixedAreaConstraints.FMaxHeightPercent = Byte(Stream.ReadDWord());
        FFixedAreaConstraints.FMaxWidthPercent = Byte(Stream.ReadDWord());
        FFixedAreaConstraints.FMinHeightPercent = Byte(Stream.ReadDWord());
        FFixedAreaConstraints.FMinWidthPercent = Byte(Stream.ReadDWord());
    }
}
