#include "client/windows/logic/offer_sentence.h"

#include <gtest/gtest.h>

namespace tovan {
namespace {

struct TextCase {
    const char* input;
    const char* expected;
};

TEST(MaskDigitRunsTest, SeventhAndLaterDigitsOfARunAreMasked) {
    const TextCase cases[] = {
        {"", ""},
        {"123456", "123456"},
        {"1234567", "123456x"},
        {"电话13912345678", "电话139123xxxxx"},
        {"138-1234-5678", "138-123x-xxxx"},
        // One sign between digits keeps the run, two end it.
        {"123456-7", "123456-x"},
        {"123456--7", "123456--7"},
        {"12/34.56,78", "12/34.56,xx"},
        {"123456电7", "123456电7"},
        {"123\t4567", "123\t456x"},
        // Each full-width digit (two bytes) past the sixth becomes "xx".
        {"１２３４５６７８９０１", "１２３４５６xxxxxxxxxx"},
        // ASCII and full-width digits share a run: the 0xA3 is the one gap byte.
        {"123４５６７", "123４５６xx"},
        {"12345６7", "12345６x"},
        // An ASCII sign before a full-width digit makes two gap bytes.
        {"１２３４５-６７８９", "１２３４５-６７８９"},
        {"１２３４５６-７", "１２３４５６-７"},
        // Chinese text and full-width signs pass untouched.
        {"沈阳到北京，有车。", "沈阳到北京，有车。"},
    };
    for (const TextCase& c : cases) {
        const std::string masked = MaskDigitRuns(c.input);
        EXPECT_EQ(masked, c.expected) << c.input;
        EXPECT_EQ(masked.size(), std::string(c.input).size()) << c.input;
    }
}

TEST(MaskDigitRunsTest, TestIsBytewiseAcrossCharacterBoundaries) {
    // "。" (A1 A3) and then characters whose lead byte is 0xB0..0xB9 and whose
    // trail byte is 0xA3: each lead byte follows an 0xA3 and counts as a digit,
    // each trail byte is a single gap. The seventh masks itself and the 0xA3
    // before it.
    const std::string text = "\xA1\xA3" "\xB0\xA3" "\xB1\xA3" "\xB2\xA3" "\xB3\xA3" "\xB4\xA3"
                             "\xB5\xA3" "\xB6\xA3";
    const std::string expected = "\xA1\xA3" "\xB0\xA3" "\xB1\xA3" "\xB2\xA3" "\xB3\xA3" "\xB4\xA3"
                                 "\xB5" "xx" "\xA3";
    EXPECT_EQ(MaskDigitRuns(text), expected);

    // A run made of a lone 0xB0..0xB9 without the 0xA3 is no digit.
    EXPECT_EQ(MaskDigitRuns("123456\xB7"), "123456\xB7");
}

TEST(CleanRemarkTest, BlanksGoDigitsMaskedEndsTrimmed) {
    const TextCase cases[] = {
        {"", ""},
        {"    ", ""},
        {" \t\r\n\v\f", ""},
        {"电话 139-1234", "电话139-123x"},
        // Blanks never break a run: eleven digits in one run.
        {"138 1234 5678", "138123xxxxx"},
        {"\t电话 13912345678 请联系\r\n", "电话139123xxxxx请联系"},
        // Only ASCII blanks are removed; a full-width blank stays.
        {"急　走", "急　走"},
        {"a\tb", "a\tb"},
    };
    for (const TextCase& c : cases) EXPECT_EQ(CleanRemark(c.input), c.expected) << c.input;
}

VehicleOfferFields ShenyangVehicle() {
    VehicleOfferFields f;
    f.departureCity = "沈阳";
    f.destinations = {"北京", "天津"};
    f.carLength = "13";
    f.carType = "高栏";
    return f;
}

TEST(ComposeVehicleOfferTest, PiecesInOrder) {
    struct Case {
        const char* what;
        void (*edit)(VehicleOfferFields&);
        const char* expected;
    };
    const Case cases[] = {
        {"plain", [](VehicleOfferFields&) {}, "沈阳→北京、天津,有13米高栏。"},
        {"tonnage and remark",
         [](VehicleOfferFields& f) {
             f.tonnage = "30";
             f.remark = "电话 139-1234";
         },
         "沈阳→北京、天津,有13米高栏,可装30吨。电话139-123x。"},
        {"one destination", [](VehicleOfferFields& f) { f.destinations = {"北京"}; },
         "沈阳→北京,有13米高栏。"},
        {"three destinations", [](VehicleOfferFields& f) { f.destinations = {"北京", "天津", "唐山"}; },
         "沈阳→北京、天津、唐山,有13米高栏。"},
        {"city and county",
         [](VehicleOfferFields& f) { f.departureCounty = "辽中县"; }, "沈阳辽中县→北京、天津,有13米高栏。"},
        {"county alone",
         [](VehicleOfferFields& f) {
             f.departureCity.clear();
             f.departureCounty = "辽中县";
         },
         "辽中县→北京、天津,有13米高栏。"},
        {"length and type trimmed, tonnage as is",
         [](VehicleOfferFields& f) {
             f.carLength = " 13\t";
             f.carType = "\r\n高栏 ";
             f.tonnage = " 30";
         },
         "沈阳→北京、天津,有13米高栏,可装 30吨。"},
        {"blank remark adds nothing", [](VehicleOfferFields& f) { f.remark = "   "; },
         "沈阳→北京、天津,有13米高栏。"},
        {"doubled commas of the remark stay", [](VehicleOfferFields& f) { f.remark = "急,,走"; },
         "沈阳→北京、天津,有13米高栏。急,,走。"},
    };
    for (const Case& c : cases) {
        VehicleOfferFields f = ShenyangVehicle();
        c.edit(f);
        EXPECT_EQ(ComposeVehicleOffer(f), c.expected) << c.what;
    }
}

TEST(ComposeVehicleOfferTest, NoDestinationKeepsTheArrowWhole) {
    // The dialog never sends an empty list; if one slips through, no half
    // character is left behind.
    VehicleOfferFields f = ShenyangVehicle();
    f.destinations.clear();
    EXPECT_EQ(ComposeVehicleOffer(f), "沈阳→,有13米高栏。");
}

CargoOfferFields ShenyangCargo() {
    CargoOfferFields f;
    f.departureCity = "沈阳";
    f.destinationCity = "北京";
    f.weight = "20";
    f.goodsType = "钢材";
    return f;
}

TEST(ComposeCargoOfferTest, PiecesInOrderAndCommasTidied) {
    struct Case {
        const char* what;
        void (*edit)(CargoOfferFields&);
        const char* expected;
    };
    const Case cases[] = {
        {"no truck wishes", [](CargoOfferFields&) {}, "沈阳→北京,有20吨钢材。"},
        {"full form",
         [](CargoOfferFields& f) {
             f.carLength = "13";
             f.carType = "高栏";
             f.freight = "5000";
         },
         "沈阳→北京,有20吨钢材,需13米高栏。运费5000元。"},
        {"length without type", [](CargoOfferFields& f) { f.carLength = "13"; }, "沈阳→北京,有20吨钢材,需13米车。"},
        {"type without length", [](CargoOfferFields& f) { f.carType = "厢式"; }, "沈阳→北京,有20吨钢材,需厢式。"},
        {"counties",
         [](CargoOfferFields& f) {
             f.departureCounty = "辽中县";
             f.destinationCity.clear();
             f.destinationCounty = "密云县";
         },
         "沈阳辽中县→密云县,有20吨钢材。"},
        {"fields trimmed",
         [](CargoOfferFields& f) {
             f.weight = " 20 ";
             f.goodsType = "\t钢材";
             f.carLength = " ";
             f.carType = "  ";
             f.freight = " 5000\r\n";
         },
         "沈阳→北京,有20吨钢材。运费5000元。"},
        {"remark masked",
         [](CargoOfferFields& f) { f.remark = " 电话 13912345678 "; }, "沈阳→北京,有20吨钢材。电话139123xxxxx。"},
        {"blank remark adds nothing", [](CargoOfferFields& f) { f.remark = " \t "; }, "沈阳→北京,有20吨钢材。"},
        // One pass over non-overlapping pairs: three commas become two.
        {"doubled commas", [](CargoOfferFields& f) { f.remark = "急,,走,,,快"; }, "沈阳→北京,有20吨钢材。急,走,,快。"},
        {"comma before full stop", [](CargoOfferFields& f) { f.remark = "急走,"; }, "沈阳→北京,有20吨钢材。急走。"},
        {"comma pairs then comma stop", [](CargoOfferFields& f) { f.remark = "急,,"; }, "沈阳→北京,有20吨钢材。急。"},
        {"line breaks removed", [](CargoOfferFields& f) { f.remark = "急\r\n走\n"; }, "沈阳→北京,有20吨钢材。急走。"},
        // Line breaks go last, so commas they separated stay doubled.
        {"line breaks after commas", [](CargoOfferFields& f) { f.remark = "急,\r\n,走"; }, "沈阳→北京,有20吨钢材。急,,走。"},
    };
    for (const Case& c : cases) {
        CargoOfferFields f = ShenyangCargo();
        c.edit(f);
        EXPECT_EQ(ComposeCargoOffer(f), c.expected) << c.what;
    }
}

TEST(OfferCompletenessTest, FormChecksOfTheDialogs) {
    VehicleOfferFields v = ShenyangVehicle();
    EXPECT_TRUE(IsVehicleOfferComplete(v));
    v.departureCity.clear();
    EXPECT_FALSE(IsVehicleOfferComplete(v));
    v.departureCounty = "辽中县";
    EXPECT_TRUE(IsVehicleOfferComplete(v));
    v.carType = " \t";
    EXPECT_FALSE(IsVehicleOfferComplete(v));
    v = ShenyangVehicle();
    v.carLength = "  ";
    EXPECT_FALSE(IsVehicleOfferComplete(v));
    v = ShenyangVehicle();
    v.destinations.clear();
    EXPECT_FALSE(IsVehicleOfferComplete(v));

    CargoOfferFields c = ShenyangCargo();
    EXPECT_TRUE(IsCargoOfferComplete(c));
    c.destinationCity.clear();
    EXPECT_FALSE(IsCargoOfferComplete(c));
    c.destinationCounty = "密云县";
    EXPECT_TRUE(IsCargoOfferComplete(c));
    c.departureCity.clear();
    EXPECT_FALSE(IsCargoOfferComplete(c));
    c = ShenyangCargo();
    c.weight = " ";
    EXPECT_FALSE(IsCargoOfferComplete(c));
    c = ShenyangCargo();
    c.goodsType = "\r\n";
    EXPECT_FALSE(IsCargoOfferComplete(c));
}

PreviewContact Zhang() {
    PreviewContact c;
    c.name = "张三";
    c.telephone = "024-88889999";
    c.mobile = "13912345678";
    c.sendMobile = true;
    return c;
}

TEST(ComposePreviewTextTest, ContactTailPieces) {
    const VehicleOfferFields f = ShenyangVehicle();
    const std::string sentence = "沈阳→北京、天津,有13米高栏。";
    struct Case {
        const char* what;
        void (*edit)(PreviewContact&);
        const char* tail;
    };
    const Case cases[] = {
        {"all", [](PreviewContact&) {}, " 联系人:张三 电话:024-88889999 手机:13912345678 "},
        {"mobile not sent", [](PreviewContact& c) { c.sendMobile = false; }, " 联系人:张三 电话:024-88889999 "},
        {"no mobile", [](PreviewContact& c) { c.mobile.clear(); }, " 联系人:张三 电话:024-88889999 "},
        {"no name", [](PreviewContact& c) { c.name.clear(); }, "电话:024-88889999 手机:13912345678 "},
        {"nothing known", [](PreviewContact& c) { c = PreviewContact(); }, ""},
    };
    for (const Case& c : cases) {
        PreviewContact contact = Zhang();
        c.edit(contact);
        EXPECT_EQ(ComposePreviewText(f, contact), sentence + c.tail) << c.what;
    }
}

TEST(ComposePreviewTextTest, RemarkOnlyTrimmedQuotesAndLineBreaks) {
    PreviewContact none;
    VehicleOfferFields v = ShenyangVehicle();
    v.remark = "  电话 139 1234 5678 'A'\r\n";
    // Blanks and digits stay; the trailing CR LF was trimmed.
    EXPECT_EQ(ComposePreviewText(v, none), "沈阳→北京、天津,有13米高栏。电话 139 1234 5678 \"A\"。");
    v.remark = "急\r\n走,,";
    EXPECT_EQ(ComposePreviewText(v, none), "沈阳→北京、天津,有13米高栏。急走,,。");

    // Cargo commas are tidied after the tail is added, so they reach the tail.
    CargoOfferFields c = ShenyangCargo();
    c.remark = "急,, 1234567,\r\n,走";
    PreviewContact odd;
    odd.name = "张,,三";
    EXPECT_EQ(ComposePreviewText(c, odd), "沈阳→北京,有20吨钢材。急, 1234567,,走。 联系人:张,三 ");
}

TEST(ComposePreviewTextTest, SentenceCutAtTwoHundredBytesNeverInsideACharacter) {
    VehicleOfferFields v = ShenyangVehicle();
    const std::string head = "沈阳→北京、天津,有13米高栏。";
    ASSERT_EQ(head.size(), 29u);
    std::string remark;
    for (int i = 0; i < 100; ++i) remark += "啊";
    v.remark = remark;
    PreviewContact contact;
    contact.telephone = "024-1";
    // 29 + 170 bytes of whole characters; the next one would end past byte 200.
    EXPECT_EQ(ComposePreviewText(v, contact), head + remark.substr(0, 170) + "电话:024-1 ");
    // One ASCII byte more in front: the cut falls between characters, at 200.
    v.remark = "a" + remark;
    EXPECT_EQ(ComposePreviewText(v, contact), head + "a" + remark.substr(0, 170) + "电话:024-1 ");
}

TEST(ComposePreviewTextTest, EmptyWhileTheFormIsIncomplete) {
    VehicleOfferFields v = ShenyangVehicle();
    v.carType = " ";
    EXPECT_EQ(ComposePreviewText(v, Zhang()), "");
    CargoOfferFields c = ShenyangCargo();
    c.destinationCity.clear();
    EXPECT_EQ(ComposePreviewText(c, Zhang()), "");
}

}  // namespace
}  // namespace tovan
