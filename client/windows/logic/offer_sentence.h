// The offer sentence that the structured publishing dialogs build from their
// form fields, the cleaning and digit masking of free remarks (also used for
// the free-text dialog and the resend entry editor), and the preview text the
// structured dialogs show while the form is filled. Pure text functions over
// GBK byte strings: every length and cut is in bytes.
#pragma once

#include <cstddef>
#include <string>
#include <vector>

namespace tovan {

// The fields of the vehicle offer dialog, as the dialog reads them; trimming
// and remark cleaning happen here.
struct VehicleOfferFields {
    std::string departureCity;              // selected item, empty if none
    std::string departureCounty;            // selected item, empty if none
    std::vector<std::string> destinations;  // destination list, in list order
    std::string carLength;                  // trimmed here
    std::string carType;                    // trimmed here
    std::string tonnage;                    // taken as is, not trimmed
    std::string remark;                     // cleaned here (preview: trimmed only)
};

// The fields of the cargo offer dialog, as the dialog reads them.
struct CargoOfferFields {
    std::string departureCity;       // selected item, empty if none
    std::string departureCounty;     // selected item, empty if none
    std::string destinationCity;     // selected item, empty if none
    std::string destinationCounty;   // selected item, empty if none
    std::string weight;              // trimmed here
    std::string goodsType;           // trimmed here
    std::string carLength;           // trimmed here
    std::string carType;             // trimmed here
    std::string freight;             // trimmed here
    std::string remark;              // cleaned here (preview: trimmed only)
};

// The user's contact details the frame copies into a structured dialog; they
// appear only in the preview (the send path adds its own tail).
struct PreviewContact {
    std::string name;
    std::string telephone;
    std::string mobile;
    bool sendMobile = true;  // the "发送手机号" box
};

// The preview shows at most this many bytes of the sentence before the tail.
constexpr std::size_t kPreviewSentenceBytes = 200;

// Removes blank, tab, CR, LF, vertical tab and form feed at both ends.
std::string TrimWhiteSpace(const std::string& text);

// Replaces the seventh and every later digit of each digit run by "x" (a
// full-width digit by "xx"); the length never changes. A single non-digit byte
// between digits keeps the run going, two in a row end it.
std::string MaskDigitRuns(const std::string& text);

// Every ASCII blank removed, digit runs masked, then trimmed; may be empty.
std::string CleanRemark(const std::string& text);

// The form checks of the dialogs: departure city or county, at least one
// destination, car length and car type not blank.
bool IsVehicleOfferComplete(const VehicleOfferFields& fields);
// Departure city or county, destination city or county, weight and goods type
// not blank.
bool IsCargoOfferComplete(const CargoOfferFields& fields);

// "<from>→<to>、<to>,有<length>米<type>,可装<tons>吨。<remark>。" with the
// optional pieces left out. Expects a complete form.
std::string ComposeVehicleOffer(const VehicleOfferFields& fields);

// "<from>→<to>,有<weight>吨<goods>,需<length>米<type>。运费<freight>元。<remark>。"
// with the optional pieces left out. Expects a complete form.
std::string ComposeCargoOffer(const CargoOfferFields& fields);

// What the dialog shows in its preview field: the sentence with the remark
// only trimmed, cut to at most 200 bytes of whole characters, then the
// contact tail. Empty while the form is incomplete.
std::string ComposePreviewText(const VehicleOfferFields& fields, const PreviewContact& contact);
std::string ComposePreviewText(const CargoOfferFields& fields, const PreviewContact& contact);

}  // namespace tovan
