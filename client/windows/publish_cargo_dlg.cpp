#include "client/windows/publish_cargo_dlg.h"

#include "client/windows/logic/offer_sentence.h"
#include "client/windows/publish_support.h"
#include "client/res/resource.h"

CFabuDlg2::CFabuDlg2()
    : COfferFormDlg(IDD_PUBLISH_CARGO,
                    {IDC_PUB_CAR_LENGTH, IDC_PUB_GOODS, IDC_PUB_WANTED_TYPE, IDC_PUB_REMARK,
                     IDC_PUB_WEIGHT, IDC_PUB_FREIGHT},
                    {IDC_PUB_FROM_PROVINCE, IDC_PUB_FROM_CITY, IDC_PUB_FROM_COUNTY,
                     IDC_PUB_TO_PROVINCE, IDC_PUB_TO_CITY, IDC_PUB_TO_COUNTY}) {}

void CFabuDlg2::FillFormLists() {
    SendItem(IDC_PUB_WANTED_TYPE, CB_RESETCONTENT);
    FillPhraseCombo(IDC_PUB_CAR_LENGTH, "CarLong");
    FillPhraseCombo(IDC_PUB_GOODS, "Goods");
    FillPhraseCombo(IDC_PUB_REMARK, "Other2");
    FillPhraseCombo(IDC_PUB_WANTED_TYPE, "CarType");
}

tovan::CargoOfferFields CFabuDlg2::Fields() const {
    tovan::CargoOfferFields f;
    f.departureCity = Selection(IDC_PUB_FROM_CITY);
    f.departureCounty = Selection(IDC_PUB_FROM_COUNTY);
    f.destinationCity = Selection(IDC_PUB_TO_CITY);
    f.destinationCounty = Selection(IDC_PUB_TO_COUNTY);
    f.weight = ItemText(IDC_PUB_WEIGHT);
    f.goodsType = ItemText(IDC_PUB_GOODS);
    f.carLength = ItemText(IDC_PUB_CAR_LENGTH);
    f.carType = ItemText(IDC_PUB_WANTED_TYPE);
    f.freight = ItemText(IDC_PUB_FREIGHT);
    f.remark = ItemText(IDC_PUB_REMARK);
    return f;
}

void CFabuDlg2::RefreshPreview() {
    const tovan::PreviewContact contact{contactName, contactPhone, contactMobile, sendMobile != 0};
    SetItemText(IDC_PUB_PREVIEW, tovan::ComposePreviewText(Fields(), contact));
}

bool CFabuDlg2::OnCommand(int id, int code, HWND control) {
    if (code == LBN_SELCHANGE && id == IDC_PUB_TO_PROVINCE) {
        const std::string province = Selection(IDC_PUB_TO_PROVINCE);
        if (!province.empty()) {
            // A destination of the previous province is no longer chosen.
            SendItem(IDC_PUB_TO_CITY, LB_RESETCONTENT);
            SendItem(IDC_PUB_TO_COUNTY, LB_RESETCONTENT);
            publish::AddListItems(Item(IDC_PUB_TO_CITY), CitiesOf(province));
            RefreshPreview();
        }
        return true;
    }
    if (code == LBN_SELCHANGE && id == IDC_PUB_TO_CITY) {
        const std::string city = Selection(IDC_PUB_TO_CITY);
        if (!city.empty()) {
            SendItem(IDC_PUB_TO_COUNTY, LB_RESETCONTENT);
            publish::AddListItems(Item(IDC_PUB_TO_COUNTY), CountiesOf(city));
            RefreshPreview();
        }
        return true;
    }
    if (code == LBN_SELCHANGE && id == IDC_PUB_TO_COUNTY) {
        RefreshPreview();
        return true;
    }
    return COfferFormDlg::OnCommand(id, code, control);
}

void CFabuDlg2::OnOK() {
    if (publishRights & 2) {
        Refuse("您无权发布信息，请联系管理员", "发送信息", 0);
        return;
    }
    if (!HasSelection(IDC_PUB_FROM_COUNTY) && !HasSelection(IDC_PUB_FROM_CITY)) {
        Refuse("请选择发货地", "填写错误", IDC_PUB_FROM_COUNTY);
        return;
    }
    if (!HasSelection(IDC_PUB_TO_COUNTY) && !HasSelection(IDC_PUB_TO_CITY)) {
        Refuse("请选择目的地", "填写错误", IDC_PUB_TO_COUNTY);
        return;
    }
    const tovan::CargoOfferFields fields = Fields();
    if (tovan::TrimWhiteSpace(fields.weight).empty()) {
        Refuse("请填写货物重量", "填写错误", IDC_PUB_WEIGHT);
        return;
    }
    if (tovan::TrimWhiteSpace(fields.goodsType).empty()) {
        Refuse("请填写货物类型", "填写错误", IDC_PUB_GOODS);
        return;
    }
    const std::string sentence = tovan::ComposeCargoOffer(fields);
    if (RefuseTooLong(sentence)) return;
    offerText = sentence;
    SaveLastArea();
    COfferFormDlg::OnOK();
}
