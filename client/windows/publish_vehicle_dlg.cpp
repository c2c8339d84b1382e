#include "client/windows/publish_vehicle_dlg.h"

#include "client/windows/logic/offer_sentence.h"
#include "client/windows/publish_support.h"
#include "client/res/resource.h"

CFabuDlg::CFabuDlg()
    : COfferFormDlg(IDD_PUBLISH_VEHICLE,
                    {IDC_PUB_CAR_LENGTH, IDC_PUB_CAR_TYPE, IDC_PUB_TONNAGE, IDC_PUB_REMARK},
                    {IDC_PUB_FROM_PROVINCE, IDC_PUB_FROM_CITY, IDC_PUB_FROM_COUNTY,
                     IDC_PUB_DESTINATIONS, IDC_PUB_TO_COUNTY, IDC_PUB_TO_PROVINCE,
                     IDC_PUB_TO_CITY}) {}

void CFabuDlg::BindControls() {
    COfferFormDlg::BindControls();
    Bind(allCitiesButton_, IDC_PUB_ALL_CITIES);
    Bind(allCountiesButton_, IDC_PUB_ALL_COUNTIES);
    Bind(resendButton_, IDC_PUB_RESEND);
}

void CFabuDlg::FillFormLists() {
    SendItem(IDC_PUB_DESTINATIONS, LB_RESETCONTENT);
    SendItem(IDC_PUB_DESTINATIONS, LB_SETCOLUMNWIDTH, 60);
    FillPhraseCombo(IDC_PUB_CAR_LENGTH, "CarLong");
    FillPhraseCombo(IDC_PUB_CAR_TYPE, "CarType");
    FillPhraseCombo(IDC_PUB_REMARK, "Other1");
}

tovan::VehicleOfferFields CFabuDlg::Fields() const {
    tovan::VehicleOfferFields f;
    f.departureCity = Selection(IDC_PUB_FROM_CITY);
    f.departureCounty = Selection(IDC_PUB_FROM_COUNTY);
    f.destinations = publish::ListItems(Item(IDC_PUB_DESTINATIONS));
    f.carLength = ItemText(IDC_PUB_CAR_LENGTH);
    f.carType = ItemText(IDC_PUB_CAR_TYPE);
    f.tonnage = ItemText(IDC_PUB_TONNAGE);
    f.remark = ItemText(IDC_PUB_REMARK);
    return f;
}

void CFabuDlg::RefreshPreview() {
    const tovan::PreviewContact contact{contactName, contactPhone, contactMobile, sendMobile != 0};
    SetItemText(IDC_PUB_PREVIEW, tovan::ComposePreviewText(Fields(), contact));
}

void CFabuDlg::AddDestination(const std::string& name) {
    // The list box's own search: case-insensitive, by prefix, from the top.
    if (SendItem(IDC_PUB_DESTINATIONS, LB_FINDSTRING, static_cast<WPARAM>(-1),
                 reinterpret_cast<LPARAM>(name.c_str())) != LB_ERR)
        return;
    SendItem(IDC_PUB_DESTINATIONS, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name.c_str()));
}

void CFabuDlg::AddAllOf(int listId) {
    const auto names = publish::ListItems(Item(listId));
    if (names.empty()) return;
    for (const std::string& n : names) AddDestination(n);
    RefreshPreview();
}

void CFabuDlg::OnDestinationProvinceChanged() {
    const std::string province = Selection(IDC_PUB_TO_PROVINCE);
    if (province.empty()) return;
    SendItem(IDC_PUB_TO_CITY, LB_RESETCONTENT);
    SendItem(IDC_PUB_TO_COUNTY, LB_RESETCONTENT);
    publish::AddListItems(Item(IDC_PUB_TO_CITY), CitiesOf(province));
}

void CFabuDlg::OnDestinationCityChanged() {
    const std::string city = Selection(IDC_PUB_TO_CITY);
    if (city.empty()) return;
    SendItem(IDC_PUB_TO_COUNTY, LB_RESETCONTENT);
    AddDestination(city);
    publish::AddListItems(Item(IDC_PUB_TO_COUNTY), CountiesOf(city));
    RefreshPreview();
}

bool CFabuDlg::OnCommand(int id, int code, HWND control) {
    switch (id) {
    case IDC_PUB_TO_PROVINCE:
        if (code == LBN_SELCHANGE) OnDestinationProvinceChanged();
        break;
    case IDC_PUB_TO_CITY:
        if (code == LBN_SELCHANGE) OnDestinationCityChanged();
        break;
    case IDC_PUB_TO_COUNTY:
        if (code == LBN_SELCHANGE) {
            const std::string county = Selection(IDC_PUB_TO_COUNTY);
            if (!county.empty()) AddDestination(county);
            RefreshPreview();
        }
        break;
    case IDC_PUB_DESTINATIONS:
        if (code == LBN_DBLCLK) {
            const LRESULT i = SendItem(IDC_PUB_DESTINATIONS, LB_GETCURSEL);
            if (i != LB_ERR) SendItem(IDC_PUB_DESTINATIONS, LB_DELETESTRING, static_cast<WPARAM>(i));
            RefreshPreview();
        }
        break;
    case IDC_PUB_ALL_CITIES:
        if (code == BN_CLICKED) AddAllOf(IDC_PUB_TO_CITY);
        return code == BN_CLICKED;
    case IDC_PUB_ALL_COUNTIES:
        if (code == BN_CLICKED) AddAllOf(IDC_PUB_TO_COUNTY);
        return code == BN_CLICKED;
    }
    return COfferFormDlg::OnCommand(id, code, control);
}

void CFabuDlg::OnOK() {
    if (publishRights & 2) {
        Refuse("您无权发布信息，请联系管理员", "发送信息", 0);
        return;
    }
    // A province alone is not a place to start from.
    if (!HasSelection(IDC_PUB_FROM_COUNTY) && !HasSelection(IDC_PUB_FROM_CITY)) {
        Refuse("请选择发车地", "填写错误", IDC_PUB_FROM_COUNTY);
        return;
    }
    if (SendItem(IDC_PUB_DESTINATIONS, LB_GETCOUNT) <= 0) {
        Refuse("请选择目的地", "填写错误", IDC_PUB_TO_COUNTY);
        return;
    }
    const tovan::VehicleOfferFields fields = Fields();
    if (tovan::TrimWhiteSpace(fields.carLength).empty()) {
        Refuse("请填写车长", "填写错误", IDC_PUB_CAR_LENGTH);
        return;
    }
    if (tovan::TrimWhiteSpace(fields.carType).empty()) {
        Refuse("请填写车型", "填写错误", IDC_PUB_CAR_TYPE);
        return;
    }
    const std::string sentence = tovan::ComposeVehicleOffer(fields);
    if (RefuseTooLong(sentence)) return;
    offerText = sentence;
    SaveLastArea();
    COfferFormDlg::OnOK();
}
