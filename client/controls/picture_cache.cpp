#include "client/controls/picture_cache.h"

#include <map>
#include <memory>

#include "fw/window.h"

namespace {

class PictureCache {
public:
    PictureCache() = default;
    PictureCache(const PictureCache&) = delete;
    PictureCache& operator=(const PictureCache&) = delete;
    ~PictureCache() {
        for (auto& [id, entry] : entries_) {
            if (!entry) continue;
            SelectObject(entry->picture.imageDc, entry->oldImage);
            SelectObject(entry->picture.maskDc, entry->oldMask);
            DeleteDC(entry->picture.imageDc);
            DeleteDC(entry->picture.maskDc);
            DeleteObject(entry->image);
            DeleteObject(entry->mask);
        }
    }

    const CachedPicture* Find(int imageId) {
        const int id = imageId & 0xFFFF;
        auto it = entries_.find(id);
        if (it == entries_.end()) it = entries_.emplace(id, Load(id)).first;
        return it->second ? &it->second->picture : nullptr;
    }

private:
    struct Entry {
        CachedPicture picture;
        HBITMAP image = nullptr;
        HBITMAP mask = nullptr;
        HGDIOBJ oldImage = nullptr;
        HGDIOBJ oldMask = nullptr;
    };

    static std::unique_ptr<Entry> Load(int id) {
        HBITMAP image = LoadBitmapA(fw::Instance(), MAKEINTRESOURCEA(id));
        if (!image) return nullptr;
        BITMAP info = {};
        GetObjectA(image, sizeof info, &info);
        auto e = std::make_unique<Entry>();
        e->image = image;
        e->picture.width = info.bmWidth;
        e->picture.height = info.bmHeight;
        e->mask = CreateBitmap(info.bmWidth, info.bmHeight, 1, 1, nullptr);
        e->picture.imageDc = CreateCompatibleDC(nullptr);
        e->picture.maskDc = CreateCompatibleDC(nullptr);
        e->oldImage = SelectObject(e->picture.imageDc, e->image);
        e->oldMask = SelectObject(e->picture.maskDc, e->mask);

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
