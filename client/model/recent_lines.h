// The newest lines of a log, oldest first: a log that takes lines for as
// long as the program runs keeps only the last `capacity` of them.
#pragma once

#include <cstddef>
#include <deque>
#include <string>
#include <utility>

namespace tovan {

class RecentLines {
public:
    explicit RecentLines(std::size_t capacity) : capacity_(capacity) {}

    void Add(std::string line) {
        lines_.push_back(std::move(line));
        while (lines_.size() > capacity_) lines_.pop_front();
    }
    void Clear() { std::deque<std::string>().swap(lines_); }
    const std::deque<std::string>& Lines() const { return lines_; }

private:
    std::size_t capacity_;
    std::deque<std::string> lines_;
};

}  // namespace tovan
