#include "client/controls/picture_cache.h"

#include <map>
#include <memory>

#include "fw/scoped_gdi.h"
#include "fw/window.h"

namespace {

class PictureCache {
public:
    const CachedPicture* Find(int imageId) {
        const int id = imageId & 0xFFFF;
        auto it = entries_.find(id);
        if (it == entries_.end()) it = entries_.emplace(id, Load(id)).first;
        return it->second ? &it->second->picture : nullptr;
    }

private:
    // Members in the order they are taken; they go in reverse.
    struct Entry {
        Entry(HBITMAP loaded, int width, int height)
            : image(loaded),
              mask(CreateBitmap(width, height, 1, 1, nullptr)),
              imageDc(nullptr),
              maskDc(nullptr),
              useImage(imageDc, image),
              useMask(maskDc, mask),
              picture{imageDc, maskDc, width, height} {}

        fw::gdi::Bitmap image;
        fw::gdi::Bitmap mask;
        fw::gdi::MemoryDc imageDc;
        fw::gdi::MemoryDc maskDc;
        fw::gdi::Selection useImage;
        fw::gdi::Selection useMask;
        CachedPicture picture;
    };

    static std::unique_ptr<Entry> Load(int id) {
        HBITMAP image = LoadBitmapA(fw::Instance(), MAKEINTRESOURCEA(id));
        if (!image) return nullptr;
        BITMAP info = {};
        GetObjectA(image, sizeof info, &info);
        auto e = std::make_unique<Entry>(image, info.bmWidth, info.bmHeight);

        HDC imageDc = e->picture.imageDc;
        const int w = info.bmWidth, h = info.bmHeight;
        // Mask: 1 where the image has the transparent colour.
        SetBkColor(imageDc, kBitmapTransparentColor);
        BitBlt(e->picture.maskDc, 0, 0, w, h, imageDc, 0, 0, SRCCOPY);
        // Black out the transparent pixels of the image, so that OR leaves the background.
        SetBkColor(imageDc, RGB(0, 0, 0));
        SetTextColor(imageDc, RGB(255, 255, 255));
        BitBlt(imageDc, 0, 0, w, h, e->picture.maskDc, 0, 0, SRCAND);
        return e;
    }

    std::map<int, std::unique_ptr<Entry>> entries_;
};

}  // namespace

const CachedPicture* FindPicture(int imageId) {
    static PictureCache cache;
    return cache.Find(imageId);
}
