#include "client/model/record_lists.h"

#include <utility>

namespace tovan {

void ClearCurrentAndSearchLists(RecordLists& lists) {
    for (auto [list, grid] : {std::pair{&lists.currentList, &lists.currentGrid},
                              std::pair{&lists.searchList, &lists.searchGrid}}) {
        list->Reset(0);
        if (grid->pending != nullptr) grid->pending->Clear();
        if (grid->view != nullptr) grid->view->ResetRows(0);
    }
}

}  // namespace tovan
