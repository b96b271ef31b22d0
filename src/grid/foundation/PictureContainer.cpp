#include "grid/foundation/PictureContainer.h"

#include "framework/Files.h"
#include "framework/Resources.h"
#include "framework/Streams.h"
#include "framework/SysUtils.h"

#include <cmath>

namespace {

// Picture sizes are kept in HIMETRIC (hundredths of a millimetre), as the
// platform's picture objects report them.
constexpr int HimetricPerInch = 2540;

int PixelsToHimetric(int Pixels) { return int(std::lround(double(Pixels) * HimetricPerInch / 96)); }
int HimetricToPixels(int Himetric, int PixelsPerInch) {
    return int(std::lround(double(Himetric) * PixelsPerInch / HimetricPerInch));
}

Word WordAt(const ByteString& D, size_t I) { return Word(Byte(D[I]) | (Byte(D[I + 1]) << 8)); }

bool UpperStarts(const String& S, const String& Prefix) {
    if (S.size() < Prefix.size()) return false;
    for (size_t i = 0; i < Prefix.size(); ++i) {
        Char c = S[i];
        if (c >= u'a' && c <= u'z') c = Char(c - 32);
        if (c != Prefix[i]) return false;
    }
    return true;
}

}  // namespace

THTMLPicture::THTMLPicture() = default;
THTMLPicture::~THTMLPicture() = default;

void THTMLPicture::Reset() {
    FIsEmpty = true;
    gpPicture.reset();
    FFrameCount = -1;
    FNextCount = -1;
    FTimerCount = -1;
}

void THTMLPicture::Assign(const TPersistent* Source) {
    Reset();
    SetFrame(1);
    if (!Source) {
        FDatastream.clear();
        return;
    }
    if (auto Pic = dynamic_cast<const THTMLPicture*>(Source)) {
        FDatastream = Pic->FDatastream;
        FIsEmpty = Pic->FIsEmpty;
        if (!FIsEmpty) {
            DecodeData();
            Changed();
        }
    }
}

std::vector<int> THTMLPicture::FrameMarkers() const {
    std::vector<int> M;
    const ByteString& D = FDatastream;
    // A graphic control extension directly followed by an image descriptor.
    for (size_t i = 0; i + 9 <= D.size(); ++i)
        if (Byte(D[i]) == 0x21 && Byte(D[i + 1]) == 0xF9 && Byte(D[i + 2]) == 4 && Byte(D[i + 8]) == 0x2C)
            M.push_back(int(i));
    return M;
}

bool THTMLPicture::IsGIF() const { return FDatastream.size() >= 5 && FDatastream.compare(0, 4, "GIF8") == 0; }

int THTMLPicture::FrameCount() const {
    if (!IsGIF()) return -1;
    if (FFrameCount == -1) FFrameCount = int(FrameMarkers().size());
    return FFrameCount;
}

int THTMLPicture::GetFrameTime(int i) {
    if (!IsGIF()) return -1;
    std::vector<int> M = FrameMarkers();
    if (i < 1 || i > int(M.size())) return -1;
    size_t m = size_t(M[i - 1]);
    Byte Packed = Byte(FDatastream[m + 3]);
    FFrameTransp = (Packed & 1) != 0;
    FFrameDisposal = Word((Packed >> 2) & 7);
    return WordAt(FDatastream, m + 4);
}

void THTMLPicture::DecodeData() {
    FFrameXPos = FFrameYPos = FFrameXSize = FFrameYSize = 0;
    FAnimMaxX = FAnimMaxY = 0;
    FCropped = false;
    ByteString Block;
    std::vector<int> M = IsGIF() ? FrameMarkers() : std::vector<int>();
    if (!M.empty() && FDatastream.size() >= 10) {
        FAnimMaxX = WordAt(FDatastream, 6);
        FAnimMaxY = WordAt(FDatastream, 8);
        // Header, colour table and the frames from the current one on, so the
        // decoder shows the current frame.
        Block.reserve(FDatastream.size());
        Block.append(FDatastream, 0, size_t(M[0]));
        for (size_t k = 0; k < M.size(); ++k) {
            int Number = int(k) + 1;
            size_t From = size_t(M[k]);
            size_t To = k + 1 < M.size() ? size_t(M[k + 1]) : FDatastream.size();
            if (Number == FFrame && From + 17 <= FDatastream.size()) {
                FFrameXPos = WordAt(FDatastream, From + 9);
                FFrameYPos = WordAt(FDatastream, From + 11);
                FFrameXSize = WordAt(FDatastream, From + 13);
                FFrameYSize = WordAt(FDatastream, From + 15);
                FCropped = true;
            }
            if (Number >= FFrame) Block.append(FDatastream, From, To - From);
        }
    } else {
        Block = FDatastream;
    }
    std::unique_ptr<TGraphic> G;
    try {
        G = LoadPictureFromBytes(Block);
    } catch (const Exception&) {
        throw Exception("Could not load image. Invalid format");
    }
    if (!G) throw Exception("Could not load image");
    gpPicture = std::move(G);
    int W = gpPicture->Width(), H = gpPicture->Height();
    if (FCropped) {
        // The decoder composes the frame onto the logical screen; the frame's
        // own rectangle is the picture, the renderer adds its offset itself.
        W = std::max(0, std::min<int>(FFrameXSize, W - FFrameXPos));
        H = std::max(0, std::min<int>(FFrameYSize, H - FFrameYPos));
    }
    FHimetricX = PixelsToHimetric(W);
    FHimetricY = PixelsToHimetric(H);
}

void THTMLPicture::LoadFromBytes(const ByteString& Data) {
    FDatastream = Data;
    FIsEmpty = false;
    FFrameCount = -1;
    gpPicture.reset();
    DecodeData();
    Changed();
}

void THTMLPicture::LoadFromStream(TStream* Stream) {
    if (!Stream) return;
    Stream->SetPosition(0);
    LoadFromBytes(Stream->ReadBytes(int(Stream->Size())));
}

void THTMLPicture::LoadFromFile(const String& FileName) {
    try {
        LoadFromBytes(ReadFileBytes(FileName));
    } catch (const Exception&) {
        // Deliberately silent: a picture that cannot be read just stays empty.
        Reset();
    }
}

void THTMLPicture::LoadFromResourceName(const String& Name) {
    if (!ResourceExists(Name, rkData)) return;
    LoadFromBytes(LoadDataResource(Name));
}

void THTMLPicture::LoadFromResourceID(int ID) { LoadFromBytes(LoadDataResource(IntToStr(ID))); }

void THTMLPicture::LoadFromURL(const String& URL) {
    if (UpperStarts(URL, u"RES://")) {
        FID = URL;
        String Rest = URL.substr(6);
        if (!Rest.empty()) LoadFromResourceName(Rest);
    } else if (UpperStarts(URL, u"FILE://")) {
        FID = URL;
        String Rest = URL.substr(7);
        if (!Rest.empty()) LoadFromFile(Rest);
    } else if (!FAsynch) {
        FURL = URL;
        FID = URL;
    } else if (!FThreadBusy) {
        // Network pictures are never fetched: the download would do nothing,
        // so the picture stays empty and busy, and later loads do nothing.
        FURL = URL;
        FThreadBusy = true;
    }
}

void THTMLPicture::ReadData(TStream* Stream) {
    if (!Stream) return;
    FDatastream = Stream->ReadBytes(int(Stream->Size() - Stream->Position()));
    FIsEmpty = false;
    FFrameCount = -1;
    gpPicture.reset();
    DecodeData();
}

void THTMLPicture::WriteData(TStream* Stream) const {
    if (Stream) Stream->WriteBytes(FDatastream);
}

void THTMLPicture::SaveToStream(TStream* Stream) const { WriteData(Stream); }

const TImageData* THTMLPicture::ImageData() const { return gpPicture ? gpPicture->ImageData() : nullptr; }

int THTMLPicture::Width() const { return gpPicture ? HimetricToPixels(FHimetricX, 96) : 0; }
int THTMLPicture::Height() const { return gpPicture ? HimetricToPixels(FHimetricY, 96) : 0; }

int THTMLPicture::MaxWidth() const {
    if (!gpPicture) return 0;
    return FAnimMaxX != 0 ? FAnimMaxX : Width();
}

int THTMLPicture::MaxHeight() const {
    if (!gpPicture) return 0;
    return FAnimMaxY != 0 ? FAnimMaxY : Height();
}

void THTMLPicture::Draw(TCanvas& Canvas, const TRect& R) const {
    if (FIsEmpty || !gpPicture) return;
    TRect Dest = R;
    if (!FStretched) {
        int Ppi = Canvas.PixelsPerInch();
        Dest = Bounds(R.Left, R.Top, HimetricToPixels(FHimetricX, Ppi), HimetricToPixels(FHimetricY, Ppi));
    }
    if (!FCropped) {
        Canvas.StretchDraw(Dest, *gpPicture);
        return;
    }
    // Draw the whole decoded screen scaled so that the frame fills Dest, clipped to Dest.
    int W = HimetricToPixels(FHimetricX, 96), H = HimetricToPixels(FHimetricY, 96);
    if (W <= 0 || H <= 0) return;
    double Sx = double(Dest.Width()) / W, Sy = double(Dest.Height()) / H;
    TRect Whole;
    Whole.Left = Dest.Left - int(std::lround(FFrameXPos * Sx));
    Whole.Top = Dest.Top - int(std::lround(FFrameYPos * Sy));
    Whole.Right = Whole.Left + int(std::lround(gpPicture->Width() * Sx));
    Whole.Bottom = Whole.Top + int(std::lround(gpPicture->Height() * Sy));
    int Saved = Canvas.SaveDC();
    Canvas.IntersectClipRect(Dest.Left, Dest.Top, Dest.Right, Dest.Bottom);
    Canvas.StretchDraw(Whole, *gpPicture);
    Canvas.RestoreDC(Saved);
}

void THTMLPicture::SetFrame(int Value) {
    FFrame = Value;
    if (!FDatastream.empty() && !FIsEmpty) {
        DecodeData();
        if (OnFrameChange) OnFrameChange(this);
    }
}

void THTMLPicture::FrameNext() {
    ++FFrame;
    if (FFrame > FrameCount()) FFrame = 1;
}

void THTMLPicture::FramePrev() {
    --FFrame;
    if (FFrame < 1) FFrame = FrameCount();
}

bool THTMLPicture::Step() {
    bool Moved = false;
    if (FrameCount() < 2 || FIsEmpty) return false;
    if (FNextCount == -1) FNextCount = GetFrameTime(FFrame);
    if (FTimerCount * 10 >= FNextCount) {
        FrameNext();
        DecodeData();
        FNextCount += GetFrameTime(FFrame);
        Moved = true;
    }
    ++FTimerCount;
    return Moved;
}

THTMLPicture* THTMLPictureCache::AddPicture() {
    FItems.push_back(std::make_unique<THTMLPicture>());
    return FItems.back().get();
}

THTMLPicture* THTMLPictureCache::FindPicture(const String& ID) const {
    for (const auto& P : FItems)
        if (P->ID() == ID) return P.get();
    return nullptr;
}

bool THTMLPictureCache::Animate() {
    bool Any = false;
    for (const auto& P : FItems)
        if (P->Step()) Any = true;
    return Any;
}

TPictureItem::TPictureItem(TCollection* Collection)
    : TCollectionItem(Collection), FPicture(std::make_unique<THTMLPicture>()) {}

TPictureItem::~TPictureItem() = default;

void TPictureItem::Assign(const TPersistent* Source) {
    if (auto Item = dynamic_cast<const TPictureItem*>(Source)) {
        FName = Item->FName;
        FTag = Item->FTag;
        FPicture->Assign(Item->FPicture.get());
    }
}

TPictureCollection::TPictureCollection(TComponent* AOwner)
    : TCollection([](TCollection* C) { return new TPictureItem(C); }, AOwner) {}

bool TPictureCollection::Animate() {
    bool Any = false;
    for (int i = 0; i < Count(); ++i)
        if (Items(i)->Picture()->Step()) Any = true;
    return Any;
}

TPictureContainer::TPictureContainer(TComponent* AOwner)
    : TComponent(AOwner), FItems(std::make_unique<TPictureCollection>(this)) {}

TPictureContainer::~TPictureContainer() = default;

THTMLPicture* TPictureContainer::FindPicture(const String& Name) const {
    for (int i = 0; i < FItems->Count(); ++i)
        if (UpperCase(FItems->Items(i)->Name()) == UpperCase(Name)) return FItems->Items(i)->Picture();
    return nullptr;
}
