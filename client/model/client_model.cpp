#include "client/model/client_model.h"

namespace tovan {

RecordGridLook GridLook(const ClientModel& model, bool searchGrid) {
    RecordGridLook look;
    look.pictures = model.usePictures;
    look.highlight = searchGrid || model.watchMode != 0;
    if (look.highlight) {
        const QueryCriteria& c = searchGrid ? model.search : model.watch;
        look.keyword = c.keyword;
        look.destinations = c.destinations;
    }
    return look;
}

}  // namespace tovan
