// Arbitrary bytes as remark and form fields: the masking must keep the length,
// cleaning must never grow the text, and no composition may touch memory
// outside its strings.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <vector>

#include "client/windows/logic/offer_sentence.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    if (tovan::MaskDigitRuns(text).size() != text.size()) std::abort();
    if (tovan::CleanRemark(text).size() > text.size()) std::abort();

    // Byte 0x01 separates the fields, so the fuzzer can reach every branch.
    std::vector<std::string> parts(12);
    std::size_t n = 0;
    for (char c : text) {
        if (c == '\x01') {
            if (++n == parts.size()) break;
        } else {
            parts[n] += c;
        }
    }

    tovan::VehicleOfferFields v;
    v.departureCity = parts[0];
    v.departureCounty = parts[1];
    // Zero to three destinations, picked by the last field's first byte.
    const std::size_t destinations = parts[11].empty() ? 0 : static_cast<unsigned char>(parts[11][0]) % 4;
    for (std::size_t i = 0; i < destinations; ++i) v.destinations.push_back(parts[2 + i]);
    v.carLength = parts[6];
    v.carType = parts[7];
    v.tonnage = parts[8];
    v.remark = parts[9];

    tovan::CargoOfferFields c;
    c.departureCity = parts[0];
    c.departureCounty = parts[1];
    c.destinationCity = parts[2];
    c.destinationCounty = parts[3];
    c.weight = parts[4];
    c.goodsType = parts[5];
    c.carLength = parts[6];
    c.carType = parts[7];
    c.freight = parts[8];
    c.remark = parts[9];

    tovan::PreviewContact contact;
    contact.name = parts[10];
    contact.telephone = parts[3];
    contact.mobile = parts[4];
    contact.sendMobile = !parts[11].empty();

    tovan::ComposeVehicleOffer(v);
    tovan::ComposeCargoOffer(c);
    tovan::ComposePreviewText(v, contact);
    tovan::ComposePreviewText(c, contact);
    return 0;
}
