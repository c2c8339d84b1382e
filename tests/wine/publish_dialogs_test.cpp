// The publishing dialogs on the display with the client's templates: the
// vehicle and cargo forms (sentence, refusals, destination list, keypad,
// dmr.ini [LastArea]), the free-text dialog (keys and phrases at the caret,
// the cleaned text, the resend options), the resend options dialog itself,
// and the publishing path over all of them.
#include <winsock2.h>
#include <windows.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstdlib>
#include <functional>
#include <string>
#include <vector>

#include "tests/wine/gui_test_util.h"
#include "client/windows/publish_dialogs_win.h"
#include "client/windows/resend_options_dlg.h"
#include "client/res/resource.h"
#include "client/controls/session_ports_win.h"
#include "client/controls/win_profile_reader.h"
#include "text/gbk.h"

namespace {

using namespace testutil;  // the dialog-driving helpers

// ---------------------------------------------------------------- files

// 吉林 lists 吉林市 and 吉林 among its cities to show the prefix rule of the
// destination list; 北京 lists itself as its only city.
const char kAreaIni[] =
    "[全国省城]\r\nSF=北京\\辽宁\\吉林\\\r\n"
    "[北京]\r\nCS=北京\\\r\nXIAN=朝阳\\海淀\\\r\n"
    "[辽宁]\r\nCS=沈阳\\大连\\\r\nXIAN=新民\\\r\n"
    "[沈阳]\r\nXIAN=辽中\\康平\\\r\n"
    "[大连]\r\nXIAN=庄河\\\r\n"
    "[吉林]\r\nCS=吉林市\\长春\\吉林\\\r\n";

std::string ConfigIni() {
    return "[Sentence]\r\n"
           "CarLong=13/17.5/\r\n"
           "CarType=高栏/平板\r\n"
           "Goods=钢材/煤炭\r\n"
           "Other1=" + Numbered("短语", 25) + "\r\n"
           "Other2=急需车/\r\n"
           "Changyongci=" + Numbered("词", 30) + "\r\n"
           "Freight=面议\r\n";
}

std::string ReadUserIni(const char* section, const char* key) {
    char buf[200] = {};
    GetPrivateProfileStringA(section, key, "<none>", buf, sizeof buf, "dmr.ini");
    return buf;
}

void SetLastArea(const char* province, const char* city, const char* county) {
    WritePrivateProfileStringA("LastArea", nullptr, nullptr, "dmr.ini");
    WritePrivateProfileStringA("LastArea", "Sheng", province, "dmr.ini");
    WritePrivateProfileStringA("LastArea", "Shi", city, "dmr.ini");
    WritePrivateProfileStringA("LastArea", "Xian", county, "dmr.ini");
}

class PublishFiles : public ::testing::Test {
protected:
    void SetUp() override {
        areaFile = TempFile("pub_area.ini");
        configFile = TempFile("pub_config.ini");
        WriteFile(areaFile, kAreaIni);
        WriteFile(configFile, ConfigIni());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, areaFile.c_str());
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, configFile.c_str());
        SetLastArea("", "", "");
    }
    template <class D> void UseFiles(D& d) {
        d.areaFile = areaFile;
        d.configFile = configFile;
    }
    std::string areaFile, configFile;
};

// ---------------------------------------------------------------- driving

// The user types into an edit or an editable combo.
void Type(HWND dlg, int id, const char* text) {
    HWND c = GetDlgItem(dlg, id);
    SetWindowTextA(c, text);
    char cls[16] = {};
    GetClassNameA(c, cls, sizeof cls);
    if (std::string(cls) == "ComboBox")  // an edit reports the change itself
        SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, CBN_EDITCHANGE), reinterpret_cast<LPARAM>(c));
}

// The window that has the keyboard focus, or the combo whose edit has it.
HWND FocusedControl() {
    HWND f = GetFocus();
    char cls[16] = {};
    GetClassNameA(GetParent(f), cls, sizeof cls);
    return std::string(cls) == "ComboBox" ? GetParent(f) : f;
}

// ---------------------------------------------------------------- vehicle form

using Vehicle = Scripted<CFabuDlg>;

// 辽宁 / 沈阳 / 辽中 as departure; destinations 北京 (the city) and 海淀 (a
// county of it); length picked, type typed, tonnage through the keypad.
void FillVehicleForm(Vehicle& d) {
    HWND h = d.hwnd();
    Choose(h, IDC_PUB_FROM_PROVINCE, "辽宁");
    Choose(h, IDC_PUB_FROM_CITY, "沈阳");
    Choose(h, IDC_PUB_FROM_COUNTY, "辽中");
    Choose(h, IDC_PUB_TO_PROVINCE, "北京");
    Choose(h, IDC_PUB_TO_CITY, "北京");
    Choose(h, IDC_PUB_TO_COUNTY, "海淀");
    Choose(h, IDC_PUB_CAR_LENGTH, "17.5");
    Type(h, IDC_PUB_CAR_TYPE, "高栏");
    SetFocus(d.Ctl(IDC_PUB_TONNAGE));
    Click(d.Ctl(1042));  // "3"
    Click(d.Ctl(1049));  // "0"
    Type(h, IDC_PUB_REMARK, " 急走 电话13912345678 ");
}

TEST_F(PublishFiles, VehicleFormComposesTheSentenceAndRemembersTheDeparture) {
    Vehicle d;
    UseFiles(d);
    d.contactName = "张三";
    d.contactMobile = "13800000000";
    d.publishRights = 1;  // bit 2 not set: may publish here
    std::vector<std::string> departureCities, destinationCities, destinations;
    std::string preview, previewWithoutMobile;
    d.steps = {
        Do<CFabuDlg>([&](Vehicle& d) {
            EXPECT_EQ(FocusedControl(), d.Ctl(IDOK));
            Choose(d.hwnd(), IDC_PUB_FROM_PROVINCE, "北京");
            departureCities = Items(d.Ctl(IDC_PUB_FROM_CITY));
            Choose(d.hwnd(), IDC_PUB_TO_PROVINCE, "北京");
            destinationCities = Items(d.Ctl(IDC_PUB_TO_CITY));
            FillVehicleForm(d);
            destinations = Items(d.Ctl(IDC_PUB_DESTINATIONS));
            preview = d.ItemText(IDC_PUB_PREVIEW);
            Click(d.Ctl(IDC_PUB_SEND_MOBILE));
            previewWithoutMobile = d.ItemText(IDC_PUB_PREVIEW);
            PostClick(d.hwnd(), IDOK);
        }),
    };
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(departureCities, (std::vector<std::string>{"朝阳", "海淀"}));
    EXPECT_EQ(destinationCities, (std::vector<std::string>{"北京", "朝阳", "海淀"}));
    EXPECT_EQ(destinations, (std::vector<std::string>{"北京", "海淀"}));
    EXPECT_EQ(d.offerText, "沈阳辽中→北京、海淀,有17.5米高栏,可装30吨。急走电话139123xxxxx。");
    // The preview shows the remark only trimmed, and the contact tail.
    EXPECT_EQ(preview, "沈阳辽中→北京、海淀,有17.5米高栏,可装30吨。急走 电话13912345678。"
                       " 联系人:张三 手机:13800000000 ");
    EXPECT_EQ(previewWithoutMobile.find("手机"), std::string::npos) << previewWithoutMobile;
    EXPECT_EQ(d.sendMobile, 0);
    EXPECT_EQ(d.resendCount, 0);
    EXPECT_EQ(ReadUserIni("LastArea", "Sheng"), "辽宁");
    EXPECT_EQ(ReadUserIni("LastArea", "Shi"), "沈阳");
    EXPECT_EQ(ReadUserIni("LastArea", "Xian"), "辽中");

    // The next showing starts from that area, with the box checked again;
    // cancelling it leaves dmr.ini alone.
    std::string province, city, county;
    bool mobileChecked = false;
    d.steps = {
        Do<CFabuDlg>([&](Vehicle& d) {
            province = fw::GetText(d.Ctl(IDC_PUB_FROM_PROVINCE));
            city = fw::GetText(d.Ctl(IDC_PUB_FROM_CITY));
            county = fw::GetText(d.Ctl(IDC_PUB_FROM_COUNTY));
            mobileChecked = d.IsChecked(IDC_PUB_SEND_MOBILE);
            Choose(d.hwnd(), IDC_PUB_FROM_CITY, "大连");
            PostClick(d.hwnd(), IDCANCEL);
        }),
    };
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_EQ(province, "辽宁");
    EXPECT_EQ(city, "沈阳");
    EXPECT_EQ(county, "辽中");
    EXPECT_TRUE(mobileChecked);
    EXPECT_EQ(d.sendMobile, 1);
    EXPECT_EQ(ReadUserIni("LastArea", "Shi"), "沈阳");
}

struct Refusal {
    const char* what;
    int rights;
    std::function<void(HWND)> fill;  // after the complete form
    const char* text;
    const char* caption;
    int focus;  // 0: not checked
};

template <class D>
void ExpectRefusals(const std::vector<Refusal>& cases, const std::string& area,
                    const std::string& config, std::function<void(Scripted<D>&)> fillComplete) {
    for (const Refusal& c : cases) {
        SCOPED_TRACE(c.what);
        SetLastArea("", "", "");
        Scripted<D> d;
        d.areaFile = area;
        d.configFile = config;
        d.publishRights = c.rights;
        Box box;
        HWND focus = nullptr;
        std::string preview = "<unset>";
        d.steps = {
            Do<D>([&](Scripted<D>& d) {
                fillComplete(d);
                c.fill(d.hwnd());
                preview = d.ItemText(IDC_PUB_PREVIEW);
                PostClick(d.hwnd(), IDOK);
            }),
            AnswerBox<D>(box),
            Do<D>([&](Scripted<D>& d) {
                focus = FocusedControl();
                if (c.focus) {
                    EXPECT_EQ(focus, d.Ctl(c.focus));
                }
                PostClick(d.hwnd(), IDCANCEL);
            }),
        };
        EXPECT_EQ(d.DoModal(), IDCANCEL);
        EXPECT_EQ(box.text, c.text);
        EXPECT_EQ(box.caption, c.caption);
        if (c.rights == 0) {
            EXPECT_EQ(preview, "");  // incomplete forms preview nothing
        }
        EXPECT_EQ(d.offerText, "");
        EXPECT_EQ(ReadUserIni("LastArea", "Sheng"), "");
    }
}

TEST_F(PublishFiles, VehicleFormRefusesIncompleteFormsAndUsersWithoutRights) {
    // Double-clicks take the destinations off one by one.
    auto removeAll = [](HWND h) {
        HWND list = GetDlgItem(h, IDC_PUB_DESTINATIONS);
        while (SendMessageA(list, LB_GETCOUNT, 0, 0) > 0) {
            SendMessageA(list, LB_SETCURSEL, 0, 0);
            SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_PUB_DESTINATIONS, LBN_DBLCLK),
                         reinterpret_cast<LPARAM>(list));
        }
    };
    const std::vector<Refusal> cases = {
        {"rights word 2", 2, [](HWND) {}, "您无权发布信息，请联系管理员", "发送信息", 0},
        {"rights word 3 comes before the form checks", 3, removeAll,
         "您无权发布信息，请联系管理员", "发送信息", 0},
        {"a province alone is no departure", 0,
         [](HWND h) { Choose(h, IDC_PUB_FROM_PROVINCE, "吉林"); },
         "请选择发车地", "填写错误", IDC_PUB_FROM_COUNTY},
        {"no destination", 0, removeAll, "请选择目的地", "填写错误", IDC_PUB_TO_COUNTY},
        {"no car length", 0, [](HWND h) { Type(h, IDC_PUB_CAR_LENGTH, ""); },
         "请填写车长", "填写错误", IDC_PUB_CAR_LENGTH},
        {"car type of blanks", 0, [](HWND h) { Type(h, IDC_PUB_CAR_TYPE, "  "); },
         "请填写车型", "填写错误", IDC_PUB_CAR_TYPE},
    };
    ExpectRefusals<CFabuDlg>(cases, areaFile, configFile, FillVehicleForm);
}

TEST_F(PublishFiles, VehicleDestinationListTakesNoPrefixOfAnEntryAndLosesDoubleClickedOnes) {
    Vehicle d;
    UseFiles(d);
    std::vector<std::string> afterProvince, afterCities, afterCounties, afterDoubleClick;
    d.steps = {
        Do<CFabuDlg>([&](Vehicle& d) {
            HWND h = d.hwnd();
            Choose(h, IDC_PUB_TO_PROVINCE, "吉林");
            afterProvince = Items(d.Ctl(IDC_PUB_DESTINATIONS));
            // 吉林市 is there first, so 吉林 (its prefix) is not added.
            Click(d.Ctl(IDC_PUB_ALL_CITIES));
            afterCities = Items(d.Ctl(IDC_PUB_DESTINATIONS));
            Choose(h, IDC_PUB_TO_PROVINCE, "辽宁");
            Choose(h, IDC_PUB_TO_CITY, "沈阳");
            Click(d.Ctl(IDC_PUB_ALL_COUNTIES));
            Click(d.Ctl(IDC_PUB_ALL_COUNTIES));  // nothing twice
            afterCounties = Items(d.Ctl(IDC_PUB_DESTINATIONS));
            SendMessageA(d.Ctl(IDC_PUB_DESTINATIONS), LB_SETCURSEL, 0, 0);
            SendMessageA(h, WM_COMMAND, MAKEWPARAM(IDC_PUB_DESTINATIONS, LBN_DBLCLK),
                         reinterpret_cast<LPARAM>(d.Ctl(IDC_PUB_DESTINATIONS)));
            afterDoubleClick = Items(d.Ctl(IDC_PUB_DESTINATIONS));
            PostClick(h, IDCANCEL);
        }),
    };
    d.DoModal();
    EXPECT_TRUE(afterProvince.empty());
    EXPECT_EQ(afterCities, (std::vector<std::string>{"吉林市", "长春"}));
    EXPECT_EQ(afterCounties, (std::vector<std::string>{"吉林市", "长春", "沈阳", "辽中", "康平"}));
    EXPECT_EQ(afterDoubleClick, (std::vector<std::string>{"长春", "沈阳", "辽中", "康平"}));

    // The other way round: 吉林 first, then 吉林市 is added.
    d.steps = {
        Do<CFabuDlg>([&](Vehicle& d) {
            Choose(d.hwnd(), IDC_PUB_TO_PROVINCE, "吉林");
            Choose(d.hwnd(), IDC_PUB_TO_CITY, "吉林");
            Choose(d.hwnd(), IDC_PUB_TO_CITY, "吉林市");
            afterCities = Items(d.Ctl(IDC_PUB_DESTINATIONS));
            PostClick(d.hwnd(), IDCANCEL);
        }),
    };
    d.DoModal();
    EXPECT_EQ(afterCities, (std::vector<std::string>{"吉林", "吉林市"}));
}

TEST_F(PublishFiles, VehicleKeypadWritesIntoTheLastFocusedField) {
    Vehicle d;
    UseFiles(d);
    std::string tonnage, length, lengthAfterArea;
    d.steps = {
        Do<CFabuDlg>([&](Vehicle& d) {
            // The tonnage field: the key replaces its selection.
            d.SetItemText(IDC_PUB_TONNAGE, "135");
            SetFocus(d.Ctl(IDC_PUB_TONNAGE));
            SendMessageA(d.Ctl(IDC_PUB_TONNAGE), EM_SETSEL, 1, 2);  // the "3"
            Click(d.Ctl(1047));  // "8"
            tonnage = d.ItemText(IDC_PUB_TONNAGE);
            // A combo: the key is appended to its text.
            d.SetItemText(IDC_PUB_CAR_LENGTH, "1");
            SetFocus(d.Ctl(IDC_PUB_CAR_LENGTH));
            Click(d.Ctl(1047));
            length = d.ItemText(IDC_PUB_CAR_LENGTH);
            // An area control ends the target: the key writes nowhere.
            SetFocus(d.Ctl(IDC_PUB_FROM_PROVINCE));
            Click(d.Ctl(1051));  // "."
            lengthAfterArea = d.ItemText(IDC_PUB_CAR_LENGTH);
            PostClick(d.hwnd(), IDCANCEL);
        }),
    };
    d.DoModal();
    EXPECT_EQ(tonnage, "185");
    EXPECT_EQ(length, "18");
    EXPECT_EQ(lengthAfterArea, "18");
}

// ---------------------------------------------------------------- cargo form

using Cargo = Scripted<CFabuDlg2>;

void FillCargoForm(Cargo& d) {
    HWND h = d.hwnd();
    Choose(h, IDC_PUB_FROM_PROVINCE, "辽宁");
    Choose(h, IDC_PUB_FROM_CITY, "沈阳");
    Choose(h, IDC_PUB_TO_PROVINCE, "北京");
    Choose(h, IDC_PUB_TO_CITY, "北京");
    d.SetItemText(IDC_PUB_WEIGHT, "20");
    Choose(h, IDC_PUB_GOODS, "钢材");
}

TEST_F(PublishFiles, CargoFormComposesTheSentence) {
    struct Case {
        const char* what;
        std::function<void(Cargo&)> extra;
        const char* sentence;
    };
    const Case cases[] = {
        {"no truck wishes", [](Cargo&) {}, "沈阳→北京,有20吨钢材。"},
        {"car length", [](Cargo& d) { Choose(d.hwnd(), IDC_PUB_CAR_LENGTH, "13"); },
         "沈阳→北京,有20吨钢材,需13米车。"},
        {"everything, typed through the keypad where it can be",
         [](Cargo& d) {
             HWND h = d.hwnd();
             Choose(h, IDC_PUB_FROM_COUNTY, "康平");
             Choose(h, IDC_PUB_TO_COUNTY, "海淀");
             d.SetItemText(IDC_PUB_CAR_LENGTH, "1");
             SetFocus(d.Ctl(IDC_PUB_CAR_LENGTH));
             Click(d.Ctl(1044));  // "5": appended to the combo's text
             Choose(h, IDC_PUB_WANTED_TYPE, "平板");
             d.SetItemText(IDC_PUB_FREIGHT, "3000");
             SetFocus(d.Ctl(IDC_PUB_FREIGHT));
             SendMessageA(d.Ctl(IDC_PUB_FREIGHT), EM_SETSEL, 0, 1);
             Click(d.Ctl(1044));  // "5": replaces the selected "3"
             Choose(h, IDC_PUB_REMARK, "急需车");
         },
         "沈阳康平→北京海淀,有20吨钢材,需15米平板。运费5000元。急需车。"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        Cargo d;
        UseFiles(d);
        d.publishRights = 1;
        d.steps = {Do<CFabuDlg2>([&](Cargo& d) {
            FillCargoForm(d);
            c.extra(d);
            PostClick(d.hwnd(), IDOK);
        })};
        ASSERT_EQ(d.DoModal(), IDOK);
        EXPECT_EQ(d.offerText, c.sentence);
        EXPECT_EQ(ReadUserIni("LastArea", "Shi"), "沈阳");
    }
}

TEST_F(PublishFiles, CargoFormRefusesIncompleteFormsAndUsersWithoutRights) {
    const std::vector<Refusal> cases = {
        {"rights word 2", 2, [](HWND) {}, "您无权发布信息，请联系管理员", "发送信息", 0},
        {"a province alone is no departure", 0,
         [](HWND h) { Choose(h, IDC_PUB_FROM_PROVINCE, "吉林"); },
         "请选择发货地", "填写错误", IDC_PUB_FROM_COUNTY},
        {"another destination province drops the destination", 0,
         [](HWND h) { Choose(h, IDC_PUB_TO_PROVINCE, "辽宁"); },
         "请选择目的地", "填写错误", IDC_PUB_TO_COUNTY},
        {"no weight", 0, [](HWND h) { Type(h, IDC_PUB_WEIGHT, " "); },
         "请填写货物重量", "填写错误", IDC_PUB_WEIGHT},
        {"no goods", 0, [](HWND h) { Type(h, IDC_PUB_GOODS, ""); },
         "请填写货物类型", "填写错误", IDC_PUB_GOODS},
    };
    ExpectRefusals<CFabuDlg2>(cases, areaFile, configFile, FillCargoForm);
}

// Whether every double-byte character of the text is whole (a lead byte
// followed by a byte that can end a character).
bool WholeCharacters(const std::string& text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (!tovan::IsGbkLeadByte(static_cast<unsigned char>(text[i]))) continue;
        if (i + 1 >= text.size() || !tovan::IsGbkTrailByte(static_cast<unsigned char>(text[i + 1])))
            return false;
        ++i;
    }
    return true;
}

// A remark that makes the sentence longer than what is sent: the preview
// shows no half character, OK refuses as the free-text dialog does and the
// form stays as it was; a short remark then goes out.
template <class D>
void ExpectLongSentenceRefused(Scripted<D>& d, std::function<void(Scripted<D>&)> fill,
                               const std::string& longRemark, const std::string& sentence) {
    d.publishRights = 1;
    d.contactName = "张三";
    Box box;
    std::string preview, remarkAfterBox;
    d.steps = {
        Do<D>([&](Scripted<D>& d) {
            fill(d);
            Type(d.hwnd(), IDC_PUB_REMARK, longRemark.c_str());
            preview = d.ItemText(IDC_PUB_PREVIEW);
            PostClick(d.hwnd(), IDOK);
        }),
        AnswerBox<D>(box),
        Do<D>([&](Scripted<D>& d) {
            remarkAfterBox = d.ItemText(IDC_PUB_REMARK);
            Type(d.hwnd(), IDC_PUB_REMARK, "急");
            PostClick(d.hwnd(), IDOK);
        }),
    };
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_TRUE(WholeCharacters(preview)) << preview;
    EXPECT_NE(preview.find(" 联系人:张三 "), std::string::npos) << preview;
    EXPECT_EQ(box.text, "信息内容不能超过200个字节(100个汉字)，请删减后再发布");
    EXPECT_EQ(box.caption, "发送信息");
    EXPECT_EQ(remarkAfterBox, longRemark);
    EXPECT_EQ(d.offerText, sentence);
}

TEST_F(PublishFiles, StructuredSentencesLongerThanWhatIsSentAreRefused) {
    std::string remark;
    for (int i = 0; i < 150; ++i) remark += "啊";
    {
        SCOPED_TRACE("vehicle");
        Vehicle d;
        UseFiles(d);
        // 44 bytes before the remark: with "a" in front, byte 200 ends inside a character.
        ExpectLongSentenceRefused<CFabuDlg>(d, FillVehicleForm, "a" + remark,
                                            "沈阳辽中→北京、海淀,有17.5米高栏,可装30吨。急。");
    }
    {
        SCOPED_TRACE("cargo");
        Cargo d;
        UseFiles(d);
        // 23 bytes before the remark.
        ExpectLongSentenceRefused<CFabuDlg2>(d, FillCargoForm, remark, "沈阳→北京,有20吨钢材。急。");
    }
}

// ---------------------------------------------------------------- resend options

using Options = Scripted<CChongfa>;

TEST(ResendOptionsTest, OffersIntervalsForTheCountAndYieldsThePair) {
    // Preset 2 and 15: 5 to 15 offered, 15 chosen; OK keeps them.
    Options d;
    d.resendCount = 2;
    d.resendInterval = 15;
    std::vector<std::string> intervals;
    std::string chosen;
    d.steps = {Do<CChongfa>([&](Options& d) {
        intervals = Items(d.Ctl(IDC_RESEND_INTERVAL));
        chosen = fw::GetText(d.Ctl(IDC_RESEND_INTERVAL));
        PostClick(d.hwnd(), IDOK);
    })};
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(intervals.size(), 11u);
    EXPECT_EQ(intervals.front(), "5");
    EXPECT_EQ(intervals.back(), "15");
    EXPECT_EQ(chosen, "15");
    EXPECT_EQ(d.resendCount, 2);
    EXPECT_EQ(d.resendInterval, 15);

    // Changing the count drops the interval: OK asks for both.
    Box box;
    d.steps = {
        Do<CChongfa>([&](Options& d) {
            Choose(d.hwnd(), IDC_RESEND_COUNT, "6");
            intervals = Items(d.Ctl(IDC_RESEND_INTERVAL));
            PostClick(d.hwnd(), IDOK);
        }),
        AnswerBox<CChongfa>(box),
        Do<CChongfa>([&](Options& d) {
            Choose(d.hwnd(), IDC_RESEND_INTERVAL, "5");
            PostClick(d.hwnd(), IDOK);
        }),
    };
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(intervals, (std::vector<std::string>{"5"}));
    EXPECT_EQ(box.text, "请选择次数和发送时间间隔");
    EXPECT_EQ(box.caption, "错误");
    EXPECT_EQ(d.resendCount, 6);
    EXPECT_EQ(d.resendInterval, 5);

    // Cancel always yields 0 and 0.
    d.steps = {Do<CChongfa>([](Options& d) { PostClick(d.hwnd(), IDCANCEL); })};
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_EQ(d.resendCount, 0);
    EXPECT_EQ(d.resendInterval, 0);
}

TEST(ResendOptionsTest, WithoutACountNothingCanBeChosen) {
    Options d;
    Box box;
    std::vector<std::string> intervals{"<unset>"};
    d.steps = {
        Do<CChongfa>([&](Options& d) {
            intervals = Items(d.Ctl(IDC_RESEND_INTERVAL));
            PostClick(d.hwnd(), IDOK);
        }),
        AnswerBox<CChongfa>(box),
        Do<CChongfa>([](Options& d) { PostMessageA(d.hwnd(), WM_CLOSE, 0, 0); }),
    };
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_TRUE(intervals.empty());
    EXPECT_EQ(box.text, "请选择次数和发送时间间隔");
}

// ---------------------------------------------------------------- free text

using Free = Scripted<CHandFabu>;

TEST_F(PublishFiles, FreeTextKeysAndAreasWriteAtTheCaret) {
    Free d;
    UseFiles(d);
    d.thirdArea = "铁岭";
    std::string title, text, provinceKey, afterBackspace, afterClear;
    d.steps = {Do<CHandFabu>([&](Free& d) {
        HWND h = d.hwnd();
        title = fw::GetText(h);
        d.SetItemText(IDC_FREE_TEXT, "吨钢材");
        SetFocus(d.Ctl(IDC_FREE_TEXT));
        SendMessageA(d.Ctl(IDC_FREE_TEXT), EM_SETSEL, 0, 0);  // the caret before "吨"
        Click(d.Ctl(1042));                                      // "2"
        Click(d.Ctl(1040));                                      // "0"
        Choose(h, IDC_FREE_PROVINCE, "辽宁");                    // relabels 1076 only
        provinceKey = d.ItemText(IDC_FREE_PROVINCE_KEY);
        Click(d.Ctl(IDC_FREE_PROVINCE_KEY));
        Choose(h, IDC_FREE_CITY, "沈阳");
        Choose(h, IDC_FREE_COUNTY, "康平");
        Click(d.Ctl(1052));                                      // "→"
        Click(d.Ctl(IDC_FREE_THIRD_AREA));
        Click(d.Ctl(1053));                                      // ","
        Click(d.Ctl(1057));                                      // "有"
        text = d.ItemText(IDC_FREE_TEXT);
        Click(d.Ctl(IDC_FREE_BACKSPACE));
        afterBackspace = d.ItemText(IDC_FREE_TEXT);
        Click(d.Ctl(IDC_FREE_CLEAR));
        afterClear = d.ItemText(IDC_FREE_TEXT);
        PostClick(h, IDCANCEL);
    })};
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_EQ(title, "发布车源");
    EXPECT_EQ(provinceKey, "辽宁");
    EXPECT_EQ(text, "20辽宁沈阳康平→铁岭,有吨钢材");
    EXPECT_EQ(afterBackspace, "20辽宁沈阳康平→铁岭,吨钢材");
    EXPECT_EQ(afterClear, "");
}

// A key pressed twice quickly writes twice: the second press, a double-click
// to the system, is a press of the key too.
TEST_F(PublishFiles, FreeTextKeyPressedTwiceQuicklyWritesTwice) {
    Free d;
    UseFiles(d);
    std::string text;
    d.steps = {Do<CHandFabu>([&](Free& d) {
        SetForegroundWindow(d.hwnd());
        testutil::PressTwice(d.Ctl(1048), 100);  // "8"
        testutil::Pump(100);
        text = d.ItemText(IDC_FREE_TEXT);
        PostClick(d.hwnd(), IDCANCEL);
    })};
    EXPECT_EQ(d.DoModal(), IDCANCEL);
    EXPECT_EQ(text, "88");
}

TEST_F(PublishFiles, FreeTextOkCleansTheTextAndRefusesRightsAboveZero) {
    Free d;
    UseFiles(d);
    d.classWord = "货";
    d.publishRights = 1;
    Box box;
    std::string title;
    bool openAfterBlank = false;
    d.steps = {
        Do<CHandFabu>([&](Free& d) {
            title = fw::GetText(d.hwnd());
            d.SetItemText(IDC_FREE_TEXT, "电话13912345678 请联系");
            PostClick(d.hwnd(), IDOK);
        }),
        AnswerBox<CHandFabu>(box),
        Do<CHandFabu>([&](Free& d) {
            d.publishRights = 0;
            d.SetItemText(IDC_FREE_TEXT, "  \r\n ");
            PostClick(d.hwnd(), IDOK);
        }),
        Do<CHandFabu>([&](Free& d) {
            openAfterBlank = IsWindowVisible(d.hwnd()) && !OwnedDialog(d.hwnd());
            d.SetItemText(IDC_FREE_TEXT, "电话13912345678 请联系");
            PostClick(d.hwnd(), IDOK);
        }),
    };
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(title, "发布货源");
    EXPECT_EQ(box.text, "您无权自由发布信息，请联系管理员");
    EXPECT_EQ(box.caption, "发送信息");
    EXPECT_TRUE(openAfterBlank);
    EXPECT_EQ(d.offerText, "电话139123xxxxx请联系");
}

// The frame sends only the first 200 bytes of the cleaned text: a longer one is
// refused with a word, not cut silently; 200 bytes exactly pass.
TEST_F(PublishFiles, FreeTextLongerThanWhatIsSentIsRefused) {
    Free d;
    UseFiles(d);
    d.classWord = "车";
    d.publishRights = 0;
    Box box;
    bool openAfterLong = false;
    const std::string exact(200, 'a');
    d.steps = {
        Do<CHandFabu>([&](Free& d) {
            d.SetItemText(IDC_FREE_TEXT, std::string(100, 'a') + " " + std::string(101, 'a'));
            PostClick(d.hwnd(), IDOK);
        }),
        AnswerBox<CHandFabu>(box),
        Do<CHandFabu>([&](Free& d) {
            openAfterLong = IsWindowVisible(d.hwnd()) && !OwnedDialog(d.hwnd());
            d.SetItemText(IDC_FREE_TEXT, exact);
            PostClick(d.hwnd(), IDOK);
        }),
    };
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(box.text, "信息内容不能超过200个字节(100个汉字)，请删减后再发布");
    EXPECT_EQ(box.caption, "发送信息");
    EXPECT_TRUE(openAfterLong);
    EXPECT_EQ(d.offerText, exact);
}

TEST_F(PublishFiles, FreeTextRepeatsComeFromTheResendOptions) {
    Free d;
    UseFiles(d);
    std::vector<std::string> counts;
    d.steps = {
        Do<CHandFabu>([](Free& d) {
            d.SetItemText(IDC_FREE_TEXT, "沈阳到北京");
            Click(d.Ctl(IDC_FREE_SEND_MOBILE));  // unchecked
            PostClick(d.hwnd(), IDC_FREE_RESEND);
        }),
        [&](Free& d) {
            HWND options = OwnedDialog(d.hwnd());
            if (!options) return false;
            EXPECT_EQ(fw::GetText(options), "重发选项");
            counts = Items(GetDlgItem(options, IDC_RESEND_COUNT));
            Choose(options, IDC_RESEND_COUNT, "3");
            Choose(options, IDC_RESEND_INTERVAL, "10");
            PostClick(options, IDOK);
            return true;
        },
        [](Free& d) {
            if (OwnedDialog(d.hwnd())) return false;
            PostClick(d.hwnd(), IDOK);
            return true;
        },
    };
    ASSERT_EQ(d.DoModal(), IDOK);
    EXPECT_EQ(counts, (std::vector<std::string>{"1", "2", "3", "4", "5", "6"}));
    EXPECT_EQ(d.resendCount, 3);
    EXPECT_EQ(d.resendInterval, 10);
    EXPECT_EQ(d.sendMobile, 0);
    EXPECT_EQ(d.offerText, "沈阳到北京");
}

// The items of the visible popup menu, top to bottom.
std::vector<std::string> PopupItems(HWND menuWindow) {
    auto menu = reinterpret_cast<HMENU>(SendMessageA(menuWindow, MN_GETHMENU, 0, 0));
    std::vector<std::string> items;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char buf[100] = {};
        GetMenuStringA(menu, static_cast<UINT>(i), buf, sizeof buf, MF_BYPOSITION);
        items.push_back(buf);
    }
    return items;
}

// Waits for a popup menu, notes its items and chooses the one `down` places
// from the top (0: closes it without a choice).
template <class D> typename Scripted<D>::Step ChooseFromPopup(std::vector<std::string>& seen, int down) {
    return [&seen, down](Scripted<D>&) {
        HWND menu = FindWindowA("#32768", nullptr);
        if (!menu || !IsWindowVisible(menu)) return false;
        seen = PopupItems(menu);
        if (down == 0) {
            EndMenu();
            return true;
        }
        for (int i = 0; i < down; ++i) PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
        PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
        return true;
    };
}

TEST_F(PublishFiles, FreeTextPhrasePopupsListAtMost22ItemsAndSparesTheRest) {
    Free d;
    UseFiles(d);
    std::vector<std::string> common, spare, phrases;
    std::string spare1, spare2, spare3, text;
    bool spare3Enabled = true;
    auto waitClosed = [](Free&) {
        HWND menu = FindWindowA("#32768", nullptr);
        return !menu || !IsWindowVisible(menu);
    };
    d.steps = {
        Do<CHandFabu>([&](Free& d) {
            spare1 = d.ItemText(IDC_FREE_SPARE_1);
            spare2 = d.ItemText(IDC_FREE_SPARE_2);
            spare3 = d.ItemText(IDC_FREE_SPARE_3);
            spare3Enabled = IsWindowEnabled(d.Ctl(IDC_FREE_SPARE_3)) != FALSE;
            d.SetItemText(IDC_FREE_TEXT, "[]");
            SendMessageA(d.Ctl(IDC_FREE_TEXT), EM_SETSEL, 1, 1);
            PostClick(d.hwnd(), IDC_FREE_COMMON_WORDS);
        }),
        ChooseFromPopup<CHandFabu>(common, 1),  // the top item: 词22
        waitClosed,
        Do<CHandFabu>([](Free& d) { PostClick(d.hwnd(), IDC_FREE_SPARE_2); }),
        ChooseFromPopup<CHandFabu>(spare, 8),  // the bottom item: 词23
        waitClosed,
        Do<CHandFabu>([](Free& d) { PostClick(d.hwnd(), IDC_FREE_PHRASES); }),
        ChooseFromPopup<CHandFabu>(phrases, 0),
        waitClosed,
        Do<CHandFabu>([&](Free& d) {
            text = d.ItemText(IDC_FREE_TEXT);
            PostClick(d.hwnd(), IDCANCEL);
        }),
    };
    d.DoModal();
    // Vehicle offer: Other1 (25 items) first, then Changyongci (30).
    EXPECT_EQ(spare1, "常用短语2");
    EXPECT_EQ(spare2, "常用词2");
    EXPECT_EQ(spare3, "备用");
    EXPECT_FALSE(spare3Enabled);
    ASSERT_EQ(common.size(), 22u);
    EXPECT_EQ(common.front(), "词22");
    EXPECT_EQ(common.back(), "词1");
    ASSERT_EQ(spare.size(), 8u);
    EXPECT_EQ(spare.front(), "词30");
    EXPECT_EQ(spare.back(), "词23");
    ASSERT_EQ(phrases.size(), 22u);
    EXPECT_EQ(phrases.front(), "短语22");
    EXPECT_EQ(text, "[词22词23]");
}

// The "信息管理" label of every publishing dialog: a popup of two commands
// that go to the frame.
std::vector<WPARAM> g_frameCommands;
LRESULT CALLBACK FakeFrameProc(HWND h, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COMMAND) g_frameCommands.push_back(wp);
    return DefWindowProcA(h, msg, wp, lp);
}

template <class D> void ExpectManagementPopup(D& d, HWND frame, int down, WPARAM command) {
    std::vector<std::string> items;
    d.commandTarget = frame;
    g_frameCommands.clear();
    d.steps = {
        Do<typename D::Base>([](D& d) {
            PostMessageA(d.hwnd(), WM_COMMAND, MAKEWPARAM(IDC_PUB_MANAGE, STN_CLICKED),
                         reinterpret_cast<LPARAM>(d.Ctl(IDC_PUB_MANAGE)));
        }),
        ChooseFromPopup<typename D::Base>(items, down),
        [](D& d) {
            if (g_frameCommands.empty()) return false;
            PostClick(d.hwnd(), IDCANCEL);
            return true;
        },
    };
    d.DoModal();
    EXPECT_EQ(items, (std::vector<std::string>{"我的信息", "重发信息"}));
    ASSERT_EQ(g_frameCommands.size(), 1u);
    EXPECT_EQ(LOWORD(g_frameCommands[0]), command);
}

TEST_F(PublishFiles, ManagementLabelSendsItsCommandToTheFrame) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = FakeFrameProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "PublishTestFrame";
    RegisterClassA(&wc);
    HWND frame = CreateWindowExA(0, "PublishTestFrame", "frame", WS_OVERLAPPEDWINDOW, 0, 0, 100, 100,
                                 nullptr, nullptr, wc.hInstance, nullptr);
    {
        SCOPED_TRACE("vehicle form");
        Vehicle d;
        UseFiles(d);
        ExpectManagementPopup(d, frame, 2, 32794);
    }
    {
        SCOPED_TRACE("cargo form");
        Cargo d;
        UseFiles(d);
        ExpectManagementPopup(d, frame, 1, 32782);
    }
    {
        SCOPED_TRACE("free text");
        Free d;
        UseFiles(d);
        ExpectManagementPopup(d, frame, 1, 32782);
    }
    DestroyWindow(frame);
}

// ---------------------------------------------------------------- the path

// The user's part in the dialogs PublishOffer shows, played by thread timers.
std::string* g_titleSeen;
void CALLBACK FillCargoFormWhenShown(HWND, UINT, UINT_PTR id, DWORD) {
    HWND form = FindWindowA(nullptr, "发布货源信息");
    if (!form) return;
    KillTimer(nullptr, id);
    *g_titleSeen = fw::GetText(form);
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(form, IDC_PUB_RESEND)));
    Choose(form, IDC_PUB_FROM_PROVINCE, "辽宁");
    Choose(form, IDC_PUB_FROM_CITY, "沈阳");
    Choose(form, IDC_PUB_TO_PROVINCE, "北京");
    Choose(form, IDC_PUB_TO_CITY, "北京");
    SetDlgItemTextA(form, IDC_PUB_WEIGHT, "20");
    SetDlgItemTextA(form, IDC_PUB_GOODS, "钢材");
    PostClick(form, IDOK);
}

void CALLBACK WriteFreeTextWithRepeats(HWND, UINT, UINT_PTR, DWORD) {
    if (HWND options = FindWindowA(nullptr, "重发选项")) {
        Choose(options, IDC_RESEND_COUNT, "2");
        Choose(options, IDC_RESEND_INTERVAL, "15");
        PostClick(options, IDOK);
        return;
    }
    HWND form = FindWindowA(nullptr, "发布车源");
    if (!form || !IsWindowEnabled(form)) return;
    if (fw::GetText(GetDlgItem(form, IDC_FREE_TEXT)).empty()) {
        SetDlgItemTextA(form, IDC_FREE_TEXT, "有车找货");
        PostClick(form, IDC_FREE_RESEND);
    } else {
        PostClick(form, IDOK);
    }
}

TEST_F(PublishFiles, PublishOfferTakesTheChosenDialogsResult) {
    tovan::AccountState account;
    account.isFullMember = 1;
    account.contactName = "张三";
    account.contactMobile = "13800000000";
    account.publishRights = 0;
    PublishDialogsWin dialogs(account);
    UseFiles(dialogs.vehicleDialog);
    UseFiles(dialogs.cargoDialog);
    UseFiles(dialogs.freeDialog);

    WinProfileReader profile;
    LocalClock clock;
    struct SentMessages : tovan::Outbox {
        void Send(const std::string& m) override { sent.push_back(m); }
        void DropQueuedListRequests() override {}
        std::vector<std::string> sent;
    } outbox;
    std::vector<std::string>& sent = outbox.sent;
    tovan::ResendSchedule schedule(clock, outbox);
    tovan::PublishPorts ports{profile, dialogs, clock, outbox};

    // Expert mode, cargo: the cargo form, whose resend box is hidden.
    WritePrivateProfileStringA("Publish", "Kind", "1", "dmr.ini");
    std::string title;
    g_titleSeen = &title;
    UINT_PTR t = SetTimer(nullptr, 0, 50, FillCargoFormWhenShown);
    EXPECT_EQ(tovan::PublishOffer("货", account, ports, schedule), tovan::PublishOutcome::Sent);
    KillTimer(nullptr, t);
    EXPECT_EQ(title, "发布货源信息");
    ASSERT_EQ(sent.size(), 1u);
    EXPECT_EQ(sent[0], "!ADDMSG!|货|沈阳→北京,有20吨钢材。 联系人:张三 手机:13800000000 ^");
    EXPECT_TRUE(schedule.entries().empty());

    // Free mode with repeats: the free-text dialog and its resend options.
    WritePrivateProfileStringA("Publish", "Kind", "0", "dmr.ini");
    t = SetTimer(nullptr, 0, 50, WriteFreeTextWithRepeats);
    EXPECT_EQ(tovan::PublishOffer("车", account, ports, schedule), tovan::PublishOutcome::Sent);
    KillTimer(nullptr, t);
    ASSERT_EQ(sent.size(), 2u);
    EXPECT_EQ(sent[1], "!ADDMSG!|车|有车找货 联系人:张三 手机:13800000000 ^");
    ASSERT_EQ(schedule.entries().size(), 1u);
    EXPECT_EQ(schedule.entries()[0].remaining, 2);
    EXPECT_EQ(schedule.entries()[0].interval, 15);
}

// ---------------------------------------------------------------- showcase

// Not a check: each publishing dialog on screen, filled in, for a screenshot
// when TOVAN_SHOWCASE_SECONDS is set (one dialog after the other).
TEST_F(PublishFiles, ShowcaseShowsTheDialogsWhenAsked) {
    const char* seconds = std::getenv("TOVAN_SHOWCASE_SECONDS");
    if (!seconds) GTEST_SKIP() << "set TOVAN_SHOWCASE_SECONDS to show the dialogs";
    const DWORD ms = static_cast<DWORD>(std::atoi(seconds)) * 1000;
    auto hold = [ms](HWND h) {
        SetWindowPos(h, nullptr, 20, 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
        testutil::Pump(ms);
        PostClick(h, IDCANCEL);
    };
    Vehicle vehicle;
    UseFiles(vehicle);
    vehicle.contactName = "张三";
    vehicle.contactPhone = "024-88886666";
    vehicle.contactMobile = "13800000000";
    vehicle.steps = {Do<CFabuDlg>([&](Vehicle& d) { FillVehicleForm(d); hold(d.hwnd()); })};
    vehicle.DoModal();

    Cargo cargo;
    UseFiles(cargo);
    cargo.contactName = "张三";
    cargo.steps = {Do<CFabuDlg2>([&](Cargo& d) {
        FillCargoForm(d);
        Choose(d.hwnd(), IDC_PUB_CAR_LENGTH, "13");
        d.SetItemText(IDC_PUB_FREIGHT, "3000");
        hold(d.hwnd());
    })};
    cargo.DoModal();

    Free free;
    UseFiles(free);
    free.thirdArea = "铁岭";
    free.steps = {Do<CHandFabu>([&](Free& d) {
        Choose(d.hwnd(), IDC_FREE_PROVINCE, "辽宁");
        d.SetItemText(IDC_FREE_TEXT, "沈阳→北京,有20吨钢材,需13米高栏,请联系");
        hold(d.hwnd());
    })};
    free.DoModal();

    Options options;
    options.resendCount = 2;
    options.resendInterval = 15;
    options.steps = {Do<CChongfa>([&](Options& d) { hold(d.hwnd()); })};
    options.DoModal();
}

}  // namespace
