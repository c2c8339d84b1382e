#include "client/windows/logic/offer_sentence.h"

#include "text/gbk.h"

namespace tovan {
namespace {

// Lengths come from the literals, so the rules hold in any execution charset
// (GBK in the programs; the fuzz build keeps UTF-8).
constexpr char kListSeparator[] = "、";
constexpr char kHave[] = "有";
constexpr char kNeedTruck[] = "需车,";
constexpr char kFullStop[] = "。";

template <std::size_t N>
constexpr std::size_t Len(const char (&)[N]) {
    return N - 1;
}

bool IsWhiteSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n' || c == '\v' || c == '\f';
}

bool EndsWith(const std::string& text, const char* tail, std::size_t tailLen) {
    return text.size() >= tailLen && text.compare(text.size() - tailLen, tailLen, tail) == 0;
}

// One pass from left to right over non-overlapping occurrences.
std::string ReplaceAll(const std::string& text, const std::string& from, const std::string& to) {
    std::string out;
    out.reserve(text.size());
    std::size_t pos = 0;
    for (std::size_t hit; (hit = text.find(from, pos)) != std::string::npos; pos = hit + from.size()) {
        out.append(text, pos, hit - pos);
        out += to;
    }
    out.append(text, pos, std::string::npos);
    return out;
}

// Empty pieces and the user's own text leave doubled commas and commas before
// a full stop; the cargo sentence tidies both.
std::string CollapseCommas(const std::string& text) {
    return ReplaceAll(ReplaceAll(text, ",,", ","), std::string(",") + kFullStop, kFullStop);
}

std::string RemoveLineBreaks(const std::string& text) {
    return ReplaceAll(text, "\r\n", "");
}

std::string VehicleSentence(const VehicleOfferFields& f, const std::string& remark) {
    std::string s = f.departureCity + f.departureCounty;
    s += "→";
    for (const std::string& destination : f.destinations) {
        s += destination;
        s += kListSeparator;
    }
    // Only a separator we appended is taken off: with no destination the
    // arrow stays whole.
    if (!f.destinations.empty()) s.erase(s.size() - Len(kListSeparator));
    s += ",有";
    s += TrimWhiteSpace(f.carLength);
    s += "米";
    s += TrimWhiteSpace(f.carType);
    s += ",";
    if (!f.tonnage.empty()) {
        s += "可装";
        s += f.tonnage;
        s += "吨,";
    }
    if (EndsWith(s, kHave, Len(kHave)))
        s.erase(s.size() - Len(kHave));
    else
        s.pop_back();  // the closing comma
    s += kFullStop;
    if (!remark.empty()) {
        s += remark;
        s += kFullStop;
    }
    return s;
}

// The cargo sentence before its comma and line-break clean-up.
std::string CargoSentence(const CargoOfferFields& f, const std::string& remark) {
    std::string s = f.departureCity + f.departureCounty;
    s += "→";
    s += f.destinationCity + f.destinationCounty;
    s += ",有";
    const std::string weight = TrimWhiteSpace(f.weight);
    if (!weight.empty()) {
        s += weight;
        s += "吨";
        s += TrimWhiteSpace(f.goodsType);
        s += ",";
    }
    s += "需";
    const std::string carLength = TrimWhiteSpace(f.carLength);
    if (!carLength.empty()) {
        s += carLength;
        s += "米";
    }
    const std::string carType = TrimWhiteSpace(f.carType);
    if (!carType.empty()) {
        s += carType;
        s += ",";
    } else {
        s += "车,";
    }
    // No wish about the truck: the whole "需车," goes.
    if (EndsWith(s, kNeedTruck, Len(kNeedTruck))) s.erase(s.size() - Len(kNeedTruck));
    if (EndsWith(s, kHave, Len(kHave))) s.erase(s.size() - Len(kHave));
    if (EndsWith(s, ",", 1)) s.pop_back();
    s += kFullStop;
    const std::string freight = TrimWhiteSpace(f.freight);
    if (!freight.empty()) {
        s += "运费";
        s += freight;
        s += "元。";
    }
    if (!remark.empty()) {
        s += remark;
        s += kFullStop;
    }
    return s;
}

// The sentence cut to the preview's size, then the contact tail.
std::string PreviewWithContact(const std::string& sentence, const PreviewContact& contact) {
    std::string p(GbkCut(sentence, kPreviewSentenceBytes));
    if (!contact.name.empty()) {
        p += " 联系人:";
        p += contact.name;
        p += " ";
    }
    if (!contact.telephone.empty()) {
        p += "电话:";
        p += contact.telephone;
        p += " ";
    }
    if (!contact.mobile.empty() && contact.sendMobile) {
        p += "手机:";
        p += contact.mobile;
        p += " ";
    }
    // The send path turns single quotes into double ones; show them that way.
    return ReplaceAll(p, "'", "\"");
}

}  // namespace

std::string TrimWhiteSpace(const std::string& text) {
    std::size_t end = text.size();
    while (end > 0 && IsWhiteSpace(text[end - 1])) --end;
    std::size_t begin = 0;
    while (begin < end && IsWhiteSpace(text[begin])) ++begin;
    return text.substr(begin, end - begin);
}

std::string MaskDigitRuns(const std::string& text) {
    std::string out = text;
    std::size_t run = 0;  // digits in the current run
    std::size_t gap = 0;  // non-digit bytes since the last digit
    unsigned char previous = 0;  // the byte before, as it was before masking
    for (std::size_t i = 0; i < text.size(); ++i) {
        const unsigned char b = static_cast<unsigned char>(text[i]);
        // Full-width digits are 0xA3 0xB0 .. 0xA3 0xB9. The test is bytewise, so
        // it also fires on a 0xA3 trail byte followed by such a lead byte.
        const bool wideDigit = previous == 0xA3 && b >= 0xB0 && b <= 0xB9;
        if ((b >= '0' && b <= '9') || wideDigit) {
            ++run;
            gap = 0;
            if (run > 6) {
                out[i] = 'x';
                if (wideDigit) out[i - 1] = 'x';
            }
        } else if (++gap > 1) {
            run = 0;
            gap = 2;  // stays above 1 until the next digit; never wraps
        }
        previous = b;
    }
    return out;
}

std::string CleanRemark(const std::string& text) {
    std::string noBlanks;
    noBlanks.reserve(text.size());
    for (char c : text)
        if (c != ' ') noBlanks += c;
    return TrimWhiteSpace(MaskDigitRuns(noBlanks));
}

bool IsVehicleOfferComplete(const VehicleOfferFields& f) {
    return (!f.departureCity.empty() || !f.departureCounty.empty()) && !f.destinations.empty() &&
           !TrimWhiteSpace(f.carLength).empty() && !TrimWhiteSpace(f.carType).empty();
}

bool IsCargoOfferComplete(const CargoOfferFields& f) {
    return (!f.departureCity.empty() || !f.departureCounty.empty()) &&
           (!f.destinationCity.empty() || !f.destinationCounty.empty()) &&
           !TrimWhiteSpace(f.weight).empty() && !TrimWhiteSpace(f.goodsType).empty();
}

std::string ComposeVehicleOffer(const VehicleOfferFields& fields) {
    return VehicleSentence(fields, CleanRemark(fields.remark));
}

std::string ComposeCargoOffer(const CargoOfferFields& fields) {
    return RemoveLineBreaks(CollapseCommas(CargoSentence(fields, CleanRemark(fields.remark))));
}

std::string ComposePreviewText(const VehicleOfferFields& fields, const PreviewContact& contact) {
    if (!IsVehicleOfferComplete(fields)) return std::string();
    const std::string sentence = VehicleSentence(fields, TrimWhiteSpace(fields.remark));
    return RemoveLineBreaks(PreviewWithContact(sentence, contact));
}

std::string ComposePreviewText(const CargoOfferFields& fields, const PreviewContact& contact) {
    if (!IsCargoOfferComplete(fields)) return std::string();
    const std::string sentence = CargoSentence(fields, TrimWhiteSpace(fields.remark));
    return RemoveLineBreaks(CollapseCommas(PreviewWithContact(sentence, contact)));
}

}  // namespace tovan
