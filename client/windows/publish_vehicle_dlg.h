// The vehicle offer form: where the truck starts, any number of
// destinations, its length, type and free load, and a remark; it composes the
// vehicle offer sentence for the frame's "发布车源" in expert mode.
#pragma once

#include "client/windows/offer_form_dlg.h"
#include "client/windows/logic/offer_sentence.h"

class CFabuDlg : public COfferFormDlg {
public:
    CFabuDlg();

protected:
    void BindControls() override;
    bool OnCommand(int id, int code, HWND control) override;
    void OnOK() override;
    void FillFormLists() override;
    void RefreshPreview() override;

private:
    tovan::VehicleOfferFields Fields() const;
    void OnDestinationProvinceChanged();
    void OnDestinationCityChanged();
    // Adds to the chosen destinations unless one of them begins with name.
    void AddDestination(const std::string& name);
    void AddAllOf(int listId);

    CXPButton allCitiesButton_, allCountiesButton_, resendButton_;
};
