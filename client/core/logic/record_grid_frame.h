// What a record grid reads from the main frame at every fill: whether the
// class and chat columns are pictures, whether the view shows the watch list,
// and the search and watch keywords to highlight.
#pragma once

#include <string>

namespace tovan {

class RecordGridFrame {
public:
    virtual ~RecordGridFrame() = default;
    virtual bool UsePictures() const = 0;  // the platform is of the NT family
    virtual bool InWatchMode() const = 0;
    virtual std::string SearchText() const = 0;
    virtual std::string SearchDestinations() const = 0;
    virtual std::string WatchKeywords() const = 0;
    virtual std::string WatchDestinations() const = 0;
};

}  // namespace tovan
