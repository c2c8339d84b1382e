// The cargo offer form: where the goods start, one destination, weight and
// kind of goods, the truck wanted, the freight and a remark; it composes the
// cargo offer sentence for the frame's "发布货源" in expert mode.
#pragma once

#include "client/windows/offer_form_dlg.h"
#include "client/windows/logic/offer_sentence.h"

class CFabuDlg2 : public COfferFormDlg {
public:
    CFabuDlg2();

protected:
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    void FillFormLists() override;
    void RefreshPreview() override;

private:
    tovan::CargoOfferFields Fields() const;
};
