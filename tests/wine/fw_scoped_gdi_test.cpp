// The scoped GDI owners: each object is deleted exactly once, by whoever
// holds it last, and a selection gives the dc back as it found it, so that
// the object can be deleted at all.
#include <windows.h>

#include <gtest/gtest.h>

#include <utility>

#include "fw/scoped_gdi.h"

namespace {

HFONT NewFont() { return CreateFontA(-12, 0, 0, 0, FW_NORMAL, 0, 0, 0, DEFAULT_CHARSET, 0, 0, 0, 0, "Arial"); }

bool Alive(HGDIOBJ object) { return GetObjectType(object) != 0; }

TEST(ScopedGdiTest, EachObjectIsDeletedOnceByItsLastOwner) {
    HFONT first = NewFont();
    HFONT second = NewFont();
    {
        fw::gdi::Font a(first);
        fw::gdi::Font b(std::move(a));  // a gives it up
        EXPECT_EQ(a.Get(), nullptr);
        EXPECT_EQ(b.Get(), first);

        fw::gdi::Font c(second);
        c = std::move(b);  // c's own font goes, b's comes
        EXPECT_FALSE(Alive(second));
        EXPECT_TRUE(Alive(first));
    }
    EXPECT_FALSE(Alive(first));

    HBRUSH kept = CreateSolidBrush(RGB(1, 2, 3));
    {
        fw::gdi::Brush owner(kept);
        EXPECT_EQ(owner.Detach(), kept);  // handed on: no longer ours to delete
    }
    EXPECT_TRUE(Alive(kept));
    DeleteObject(kept);
}

TEST(ScopedGdiTest, SelectionsPutBackWhatTheyReplacedAndObjectsThenGo) {
    const fw::gdi::MemoryDc dc(nullptr);
    ASSERT_NE(dc.Get(), nullptr);
    const HGDIOBJ originalFont = GetCurrentObject(dc, OBJ_FONT);
    const HGDIOBJ originalBitmap = GetCurrentObject(dc, OBJ_BITMAP);
    HFONT font = NewFont();
    HBITMAP bitmap = CreateCompatibleBitmap(dc, 8, 8);
    {
        const fw::gdi::Bitmap ownedBitmap(bitmap);
        const fw::gdi::Font ownedFont(font);
        const fw::gdi::Selection useBitmap(dc, ownedBitmap);
        fw::gdi::Selection useFont(dc, ownedFont);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), font);
        EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), bitmap);
        useFont.Select(GetStockObject(SYSTEM_FONT));  // a swap meanwhile does not change what comes back
    }
    EXPECT_EQ(GetCurrentObject(dc, OBJ_FONT), originalFont);
    EXPECT_EQ(GetCurrentObject(dc, OBJ_BITMAP), originalBitmap);
    EXPECT_FALSE(Alive(font));
    EXPECT_FALSE(Alive(bitmap));
}

}  // namespace
