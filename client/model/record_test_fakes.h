// Test stand-ins for the frame and the record grids, shared by the record
// handler and row paging tests.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "client/model/record_grid_view.h"
#include "client/model/record_handlers.h"

namespace tovan::testing {

class FakeGrid : public RecordGridView {
public:
    int firstVisible = 0;
    std::vector<std::string> calls;  // "reset 25", "top", "delete 3", "redraw 6"

    int FirstVisibleRow() const override { return firstVisible; }
    void ResetRows(int count) override { calls.push_back("reset " + std::to_string(count)); }
    void InsertTopRow() override { calls.push_back("top"); }
    void DeleteRow(int row) override { calls.push_back("delete " + std::to_string(row)); }
    void RedrawRow(int row) override { calls.push_back("redraw " + std::to_string(row)); }
};

class FakeFrame : public RecordFrameEffects {
public:
    // State the handlers read and change: the client model, and its values
    // under short names.
    ClientModel model;
    std::string& currentArea = model.account.currentArea;
    int& watchMode = model.watchMode;
    std::string& homeCity = model.account.homeCity;
    std::string& homeProvince = model.account.homeProvince;
    int& areaLevel = model.account.areaLevel;
    std::string& titlePrefix = model.titlePrefix;
    std::string& watchAreas = model.watch.areas;
    std::string& watchClasses = model.watch.classes;
    std::string& watchDestinations = model.watch.destinations;
    std::string& watchKeywords = model.watch.keyword;
    std::string& searchAreas = model.search.areas;
    std::string& searchClasses = model.search.classes;
    std::string& searchDestinations = model.search.destinations;
    std::string& searchText = model.search.keyword;
    RecordLists& lists = model.lists;

    // Window effects.
    std::string title;
    std::string caption;
    bool searchVisible = false;
    std::vector<std::string> notes;

    FakeGrid viewGrid, searchGrid;
    PendingRequests viewPending, searchPending;

    FakeFrame() {
        currentArea = "p";
        homeCity = "c";
        homeProvince = "p";
        titlePrefix = "T";
        lists.currentGrid = {&viewGrid, &viewPending};
        lists.searchGrid = {&searchGrid, &searchPending};
    }

    std::string FrameTitle() const override { return title; }
    void SetFrameTitle(const std::string& t) override { title = t; }
    std::string SearchPaneCaption() const override { return caption; }
    void SetSearchPaneCaption(const std::string& c) override { caption = c; }
    bool SearchPaneVisible() const override { return searchVisible; }
    void Notify(const std::string& text) override { notes.push_back(text); }

    // Count replies that sized a list ("current 25", "search 30"), and what
    // the frame does then, when a test sets it.
    std::vector<std::string> counted;
    std::function<void(const RecordStore&)> whenCounted;
    void ListCounted(const RecordStore& list) override {
        counted.push_back((&list == &lists.searchList ? "search " : "current ") + std::to_string(list.Size()));
        if (whenCounted) whenCounted(list);
    }
};

}  // namespace tovan::testing
