#pragma once
// Pictures that markup texts name: a picture keeps its file's raw bytes and
// decodes them for drawing (animated GIFs frame by frame), a cache finds
// pictures by the source text they were loaded from, and a container holds
// named pictures.

#include "framework/Components.h"
#include "framework/Graphics.h"

#include <functional>
#include <memory>
#include <vector>

class TStream;

class THTMLPicture : public TGraphic {
public:
    THTMLPicture();
    ~THTMLPicture() override;

    void Assign(const TPersistent* Source) override;
    bool Empty() const override { return FIsEmpty; }
    int Width() const override;
    int Height() const override;
    // A picture's size is that of its data.
    void SetWidth(int) override {}
    void SetHeight(int) override {}
    const TImageData* ImageData() const override;

    // The stream's whole content becomes the data; decoding errors propagate.
    void LoadFromStream(TStream* Stream);
    void LoadFromBytes(const ByteString& Data) override;
    // Any error leaves the picture empty, silently: a missing file is not worth a message here.
    void LoadFromFile(const String& FileName);
    // A data resource of the program; a missing one is ignored.
    void LoadFromResourceName(const String& Name);
    // Raises EResNotFound for a missing resource.
    void LoadFromResourceID(int ID);
    // "RES://name", "FILE://path"; network addresses are never fetched.
    void LoadFromURL(const String& URL);
    // Form storage: the raw file bytes.
    void ReadData(TStream* Stream);
    void WriteData(TStream* Stream) const;
    void SaveToStream(TStream* Stream) const;
    ByteString SaveToBytes() const override { return FDatastream; }
    void LoadFromClipboardFormat() {}
    void SaveToClipboardFormat() const {}

    bool Stretch() const { return FStretched; }
    void SetStretch(bool V) { FStretched = V; }
    const String& ID() const { return FID; }
    void SetID(const String& V) { FID = V; }
    bool IsDB() const { return FIsDB; }
    void SetIsDB(bool V) { FIsDB = V; }
    bool Asynch() const { return FAsynch; }
    void SetAsynch(bool V) { FAsynch = V; }
    bool Busy() const { return FThreadBusy; }
    const String& URL() const { return FURL; }

    bool IsGIF() const;
    int FrameCount() const;
    int Frame() const { return FFrame; }
    void SetFrame(int Value);
    void FrameNext();
    void FramePrev();
    // Delay of frame i (1-based) in hundredths of a second; -1 for no such frame.
    int GetFrameTime(int i);
    // One animation tick (a tenth of a second); true when the frame changed.
    bool Step();
    int FrameXPos() const { return FFrameXPos; }
    int FrameYPos() const { return FFrameYPos; }
    bool FrameTransp() const { return FFrameTransp; }
    int FrameDisposal() const { return FFrameDisposal; }
    int MaxWidth() const;
    int MaxHeight() const;

    TNotifyEvent OnFrameChange;
    std::function<void(TObject* Sender, Cardinal dwSize, Cardinal dwTotSize)> OnDownLoadProgress;
    std::function<void(TObject* Sender, bool& Cancel)> OnDownLoadCancel;
    TNotifyEvent OnDownLoadComplete;
    std::function<void(TObject* Sender, const String& err)> OnDownLoadError;

protected:
    String ClassName() const override { return S("THTMLPicture"); }
    void Draw(TCanvas& Canvas, const TRect& R) const override;

private:
    void DecodeData();
    void Reset();
    std::vector<int> FrameMarkers() const;

    ByteString FDatastream;
    bool FIsEmpty = true;
    bool FStretched = false;
    std::unique_ptr<TGraphic> gpPicture;
    int FHimetricX = 0, FHimetricY = 0;  // the picture object's physical size
    int FLogPixX = 96, FLogPixY = 96;
    String FURL;
    String FID;
    bool FIsDB = false;
    bool FAsynch = true;
    bool FThreadBusy = false;
    int FFrame = 1;
    mutable int FFrameCount = -1;
    Word FFrameXPos = 0, FFrameYPos = 0, FFrameXSize = 0, FFrameYSize = 0;
    bool FFrameTransp = false;
    Word FFrameDisposal = 0;
    Word FAnimMaxX = 0, FAnimMaxY = 0;
    bool FCropped = false;  // the decoded picture holds the logical screen; the frame is cut out of it
    int FNextCount = -1;
    int FTimerCount = -1;
};

class THTMLPictureCache {
public:
    THTMLPictureCache() = default;
    ~THTMLPictureCache() { ClearPictures(); }
    THTMLPictureCache(const THTMLPictureCache&) = delete;
    THTMLPictureCache& operator=(const THTMLPictureCache&) = delete;

    THTMLPicture* AddPicture();
    // Exact match of the picture's ID.
    THTMLPicture* FindPicture(const String& ID) const;
    int Count() const { return int(FItems.size()); }
    THTMLPicture* GetPicture(int Index) const { return FItems.at(Index).get(); }
    void SetPicture(int Index, std::unique_ptr<THTMLPicture> Picture) { FItems.at(Index) = std::move(Picture); }
    void ClearPictures() { FItems.clear(); }
    bool Animate();

private:
    std::vector<std::unique_ptr<THTMLPicture>> FItems;
};

class TPictureItem : public TCollectionItem {
public:
    explicit TPictureItem(TCollection* Collection);
    ~TPictureItem() override;
    void Assign(const TPersistent* Source) override;
    THTMLPicture* Picture() const { return FPicture.get(); }
    void SetPicture(const THTMLPicture* Value) { FPicture->Assign(Value); }
    int Tag() const { return FTag; }
    void SetTag(int V) { FTag = V; }
    const String& Name() const { return FName; }
    void SetName(const String& V) { FName = V; }

private:
    std::unique_ptr<THTMLPicture> FPicture;
    int FTag = 0;
    String FName;
};

class TPictureCollection : public TCollection {
public:
    explicit TPictureCollection(TComponent* AOwner);
    TPictureItem* Add() { return static_cast<TPictureItem*>(TCollection::Add()); }
    TPictureItem* Insert(int Index) { return static_cast<TPictureItem*>(TCollection::Insert(Index)); }
    TPictureItem* Items(int Index) const { return static_cast<TPictureItem*>(TCollection::Items(Index)); }
    void SetItems(int Index, const TPictureItem* Value) { Items(Index)->Assign(Value); }
    bool Animate();
};

class TPictureContainer : public TComponent {
public:
    explicit TPictureContainer(TComponent* AOwner);
    ~TPictureContainer() override;
    TPictureCollection& Items() { return *FItems; }
    // Names compare without regard to letter case (a to z).
    virtual THTMLPicture* FindPicture(const String& Name) const;

private:
    std::unique_ptr<TPictureCollection> FItems;
};
