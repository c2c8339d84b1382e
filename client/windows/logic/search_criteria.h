// What the search dialogs offer and hand back: the area lists they fill from
// area.ini, the lists they restore from dmr.ini [Search], and their OK step,
// which turns the chosen entries into the quoted lists the frame stores and
// writes [Search] (and, when asked, the watch criteria in [关注]).
#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "client/model/area_scope.h"
#include "client/model/profile_reader.h"
#include "client/model/profile_writer.h"
#include "client/model/search_commands.h"

namespace tovan {

// dmr.ini [Search]: the last origins and destinations, names joined by ",".
constexpr const char* kSearchSection = "Search";
constexpr std::size_t kSearchListBuffer = 3900;

// A stored list split at ","; empty pieces are skipped.
std::vector<std::string> SplitStoredList(std::string_view value);

// The provinces of the origin list: all of them at area level 0, else only
// the home province. (The destination list has every province.)
std::vector<std::string> OriginProvinces(const AreaIni& areas, const AreaScope& scope);

// A province's cities, then the counties directly under it.
std::vector<std::string> PlacesOf(const AreaIni& areas, const std::string& province);

// The same for the origin city list, by area level: all at levels 0 and 1,
// only the home city at level 2, none above.
std::vector<std::string> OriginPlacesOf(const AreaIni& areas, const AreaScope& scope,
                                        const std::string& province);

// [Search] From: the stored origins the account may still search, in order
// (an origin out of scope after a change of the account is dropped).
std::vector<std::string> StoredOrigins(ProfileReader& profiles, const AreaScope& scope,
                                       const AreaIni& areas);
// [Search] To: the stored destinations, in order.
std::vector<std::string> StoredDestinations(ProfileReader& profiles);

// What the user chose when pressing OK.
struct SearchForm {
    std::vector<std::string> origins;       // the chosen origins, in list order
    std::vector<std::string> destinations;  // the chosen destinations
    std::string keywordText;                // the keyword edit as typed
    bool allOffersOfClass = false;          // search every offer of the classes
    bool cargo = true;                      // class 货
    bool vehicle = true;                    // class 车
    bool storeAsWatch = false;              // also make these the watch criteria
};

// The OK step's checks and results: `message` is the text to show when the
// form is refused (the dialog stays open); otherwise `result` holds the four
// outputs.
struct SearchOk {
    const char* message = nullptr;
    SearchDialogResult result;
};
SearchOk CheckSearchForm(const SearchForm& form);

// Writes [Search] From and To from the outputs (names without quotes), and,
// when asked, the same with the keyword and the classes as the watch
// criteria in [关注].
void SaveSearchSettings(ProfileWriter& profiles, const SearchDialogResult& result,
                        bool storeAsWatch);

}  // namespace tovan
