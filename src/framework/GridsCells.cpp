// The cell store of the string grid.
#include "framework/Grids.h"

#include <algorithm>
#include <type_traits>

namespace {

const String kEmpty;

void CheckIndex(int ACol, int ARow) {
    if (ACol < 0 || ARow < 0) throw EInvalidGridOperation("Grid index out of range");
}

// Moves the item at FromIndex of v to ToIndex, the ones between shifting by one.
template <class T>
void MoveItem(std::vector<T>& v, int FromIndex, int ToIndex) {
    if (FromIndex < ToIndex)
        std::rotate(v.begin() + FromIndex, v.begin() + FromIndex + 1, v.begin() + ToIndex + 1);
    else
        std::rotate(v.begin() + ToIndex, v.begin() + FromIndex, v.begin() + FromIndex + 1);
}

}  // namespace

void TGridCells::Row::Reserve(int Chars) {
    if (Chars <= packedCap) return;
    auto grown = std::make_unique_for_overwrite<Char[]>(size_t(Chars));
    std::copy_n(packed.get(), packedLen, grown.get());
    packed = std::move(grown);
    packedCap = Chars;
}

// Short texts are copied here in two overlapping pieces and not by the
// library's block copy: on processors with wide vector registers that copy
// slows down the plain code run after it, which a fill does for every cell
// (filling 100,000 x 20 cells took twice the time).
inline void TGridCells::Row::AppendPacked(const String& Text) {
    const int n = static_cast<int>(Text.size());
    if (packedLen + n > packedCap) Reserve(std::max({packedLen + n, 2 * packedCap, 16}));
    Char* d = packed.get() + packedLen;
    const Char* s = Text.data();
    const auto piece = [&]<int Chars>(std::integral_constant<int, Chars>) {
        __builtin_memcpy(d, s, Chars * sizeof(Char));
        __builtin_memcpy(d + n - Chars, s + n - Chars, Chars * sizeof(Char));
    };
    if (n > 16) std::copy_n(s, n, d);
    else if (n >= 8) piece(std::integral_constant<int, 8>());
    else if (n >= 4) piece(std::integral_constant<int, 4>());
    else if (n >= 2) piece(std::integral_constant<int, 2>());
    else if (n == 1) d[0] = s[0];
    packedLen += n;
}

TGridCells::~TGridCells() { Clear(); }

void TGridCells::FreeRow(int ARow) {
    delete rows_[ARow];
    rows_[ARow] = nullptr;
}

bool TGridCells::Row::Empty() const {
    const bool noText = isPacked ? packedLen == 0
                                 : std::all_of(texts.begin(), texts.end(), [](const String& s) { return s.empty(); });
    return noText && std::all_of(objects.begin(), objects.end(), [](TObject* o) { return o == nullptr; });
}

void TGridCells::Row::Unpack() {
    if (!isPacked) return;
    texts.resize(ends.size());
    int start = 0;
    for (size_t i = 0; i < ends.size(); ++i) {
        texts[i].assign(packed.get() + start, size_t(ends[i] - start));
        start = ends[i];
    }
    packed.reset();
    packedLen = packedCap = 0;
    std::vector<int>().swap(ends);
    isPacked = false;
}

inline TGridCells::Row& TGridCells::RowFor(int ARow) {
    if (ARow < static_cast<int>(rows_.size()) && rows_[ARow]) return *rows_[ARow];
    return NewRow(ARow);
}

TGridCells::Row& TGridCells::NewRow(int ARow) {
    if (ARow >= static_cast<int>(rows_.size())) rows_.resize(ARow + 1, nullptr);
    if (!rows_[ARow]) {
        rows_[ARow] = new Row;
        // Rows are mostly filled one after another and as wide as the one
        // above: taking its width at once spares growing cell by cell.
        if (ARow > 0 && rows_[ARow - 1]) {
            const Row& above = *rows_[ARow - 1];
            Row& r = *rows_[ARow];
            if (above.isPacked) {
                r.Reserve(above.packedLen);
                r.ends.reserve(above.ends.size());
            } else {
                r.ends.reserve(above.texts.size());
            }
        }
    }
    return *rows_[ARow];
}

// Rows at the end that hold nothing are given back.
void TGridCells::Trim() {
    while (!rows_.empty() && (!rows_.back() || rows_.back()->Empty())) {
        delete rows_.back();
        rows_.pop_back();
    }
}

const String& TGridCells::Text(int ACol, int ARow) const {
    Row* r = RowAt(ARow);
    if (!r || ACol < 0 || ACol >= r->TextCount()) return kEmpty;
    r->Unpack();
    return r->texts[ACol];
}

std::u16string_view TGridCells::TTakenRow::ViewOf(const Row* r, int ACol) {
    if (!r || ACol < 0 || ACol >= r->TextCount()) return {};
    if (!r->isPacked) return r->texts[size_t(ACol)];
    const int start = ACol == 0 ? 0 : r->ends[size_t(ACol - 1)];
    return r->Packed().substr(size_t(start), size_t(r->ends[size_t(ACol)] - start));
}

std::u16string_view TGridCells::TextView(int ACol, int ARow) const { return TTakenRow::ViewOf(RowAt(ARow), ACol); }

TGridCells::TTakenRow& TGridCells::TTakenRow::operator=(TTakenRow&& Other) noexcept {
    if (this != &Other) {
        delete row_;
        row_ = Other.row_;
        Other.row_ = nullptr;
    }
    return *this;
}

TGridCells::TTakenRow::~TTakenRow() { delete row_; }

std::u16string_view TGridCells::TTakenRow::TextView(int ACol) const { return ViewOf(row_, ACol); }

TObject* TGridCells::TTakenRow::Object(int ACol) const {
    return !row_ || ACol < 0 || ACol >= static_cast<int>(row_->objects.size()) ? nullptr : row_->objects[size_t(ACol)];
}

TGridCells::TTakenRow TGridCells::TakeRow(int ARow) {
    Row* r = RowAt(ARow);
    if (!r) return TTakenRow();
    rows_[size_t(ARow)] = nullptr;
    Trim();
    return TTakenRow(r);
}

void TGridCells::SetText(int ACol, int ARow, const String& Value) {
    CheckIndex(ACol, ARow);
    if (!Value.empty()) {
        // A row filled from left to right takes the text at the end of its buffer.
        Row& r = RowFor(ARow);
        if (r.isPacked && ACol == r.TextCount()) {
            r.AppendPacked(Value);
            r.ends.push_back(r.packedLen);
            return;
        }
    }
    SetTextElsewhere(ACol, ARow, Value);
}

void TGridCells::SetTextElsewhere(int ACol, int ARow, const String& Value) {
    if (Value.empty()) {
        Row* r = RowAt(ARow);
        if (!r || ACol >= r->TextCount()) return;
        r->Unpack();
        r->texts[ACol].clear();
        while (!r->texts.empty() && r->texts.back().empty()) r->texts.pop_back();
        if (r->Empty()) FreeRow(ARow);
        Trim();
        return;
    }
    Row& r = RowFor(ARow);
    if (r.isPacked && ACol >= r.TextCount()) {
        // The cells skipped stay empty.
        if (ACol > r.TextCount()) r.ends.resize(ACol, r.packedLen);
        r.AppendPacked(Value);
        r.ends.push_back(r.packedLen);
        return;
    }
    r.Unpack();
    if (ACol >= static_cast<int>(r.texts.size())) r.texts.resize(ACol + 1);
    r.texts[ACol] = Value;
}

void TGridCells::SetObject(int ACol, int ARow, TObject* Value) {
    CheckIndex(ACol, ARow);
    if (!Value) {
        Row* r = RowAt(ARow);
        if (!r || ACol >= static_cast<int>(r->objects.size())) return;
        r->objects[ACol] = nullptr;
        while (!r->objects.empty() && !r->objects.back()) r->objects.pop_back();
        if (r->Empty()) FreeRow(ARow);
        Trim();
        return;
    }
    Row& r = RowFor(ARow);
    if (ACol >= static_cast<int>(r.objects.size())) r.objects.resize(ACol + 1, nullptr);
    r.objects[ACol] = Value;
}

void TGridCells::InsertRow(int ARow) {
    if (ARow < 0 || ARow >= static_cast<int>(rows_.size())) return;
    rows_.insert(rows_.begin() + ARow, nullptr);
}

void TGridCells::DeleteRow(int ARow) {
    if (ARow < 0 || ARow >= static_cast<int>(rows_.size())) return;
    FreeRow(ARow);
    rows_.erase(rows_.begin() + ARow);
    Trim();
}

void TGridCells::MoveRow(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0) return;
    const int need = std::max(FromIndex, ToIndex) + 1;
    if (need > static_cast<int>(rows_.size())) {
        // Moving rows that hold nothing changes nothing.
        if (FromIndex >= static_cast<int>(rows_.size()) && ToIndex >= static_cast<int>(rows_.size())) return;
        rows_.resize(need, nullptr);
    }
    MoveItem(rows_, FromIndex, ToIndex);
    Trim();
}

void TGridCells::SwapRows(int A, int B) {
    if (A == B || A < 0 || B < 0) return;
    const int extent = static_cast<int>(rows_.size());
    if (A >= extent && B >= extent) return;  // two rows that hold nothing
    if (std::max(A, B) >= extent) rows_.resize(std::max(A, B) + 1, nullptr);
    std::swap(rows_[A], rows_[B]);
    Trim();
}

void TGridCells::InsertColumn(int ACol) {
    if (ACol < 0) return;
    for (auto& r : rows_) {
        if (!r) continue;
        r->Unpack();
        if (ACol < static_cast<int>(r->texts.size())) r->texts.insert(r->texts.begin() + ACol, String());
        if (ACol < static_cast<int>(r->objects.size())) r->objects.insert(r->objects.begin() + ACol, nullptr);
    }
}

void TGridCells::DeleteColumn(int ACol) {
    if (ACol < 0) return;
    for (auto& r : rows_) {
        if (!r) continue;
        r->Unpack();
        if (ACol < static_cast<int>(r->texts.size())) r->texts.erase(r->texts.begin() + ACol);
        if (ACol < static_cast<int>(r->objects.size())) r->objects.erase(r->objects.begin() + ACol);
        while (!r->texts.empty() && r->texts.back().empty()) r->texts.pop_back();
        while (!r->objects.empty() && !r->objects.back()) r->objects.pop_back();
        if (r->Empty()) {
            delete r;
            r = nullptr;
        }
    }
    Trim();
}

void TGridCells::MoveColumn(int FromIndex, int ToIndex) {
    if (FromIndex == ToIndex || FromIndex < 0 || ToIndex < 0) return;
    const int need = std::max(FromIndex, ToIndex) + 1;
    for (auto& r : rows_) {
        if (!r) continue;
        r->Unpack();
        if (static_cast<int>(r->texts.size()) > std::min(FromIndex, ToIndex)) {
            if (static_cast<int>(r->texts.size()) < need) r->texts.resize(need);
            MoveItem(r->texts, FromIndex, ToIndex);
            while (!r->texts.empty() && r->texts.back().empty()) r->texts.pop_back();
        }
        if (static_cast<int>(r->objects.size()) > std::min(FromIndex, ToIndex)) {
            if (static_cast<int>(r->objects.size()) < need) r->objects.resize(need, nullptr);
            MoveItem(r->objects, FromIndex, ToIndex);
            while (!r->objects.empty() && !r->objects.back()) r->objects.pop_back();
        }
    }
}

void TGridCells::ClearRowsFrom(int ARow) {
    ARow = std::max(ARow, 0);
    for (int i = ARow; i < static_cast<int>(rows_.size()); ++i) delete rows_[i];
    if (ARow < static_cast<int>(rows_.size())) rows_.resize(ARow);
    Trim();
}

void TGridCells::ClearColumnsFrom(int ACol) {
    ACol = std::max(ACol, 0);
    for (auto& r : rows_) {
        if (!r) continue;
        r->Unpack();
        if (static_cast<int>(r->texts.size()) > ACol) r->texts.resize(ACol);
        if (static_cast<int>(r->objects.size()) > ACol) r->objects.resize(ACol);
        if (r->Empty()) {
            delete r;
            r = nullptr;
        }
    }
    Trim();
}

void TGridCells::Clear() {
    for (Row* r : rows_) delete r;
    rows_.clear();
}

int TGridCells::TextExtent(int ARow) const {
    const Row* r = RowAt(ARow);
    return r ? r->TextCount() : 0;
}

long long TGridCells::SlotsInUse() const {
    long long n = 0;
    for (const auto& r : rows_)
        if (r) n += static_cast<long long>(r->TextCount()) + static_cast<long long>(r->objects.size());
    return n;
}
