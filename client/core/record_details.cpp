#include "client/core/record_details.h"

#include <algorithm>

#include "client/model/record_cell.h"
#include "client/windows/xiangqing_dlg.h"

std::string RecordDetailsText(const CViewGrid& grid, const tovan::MsgInfo& record) {
    std::string text = std::string(tovan::FieldText(record.BodyIs)) + " " +
                       std::string(tovan::FieldText(record.AddTime));
    text = grid.MaskText(text, 0);
    text.erase(std::remove(text.begin(), text.end(), '*'), text.end());  // "*" is no GBK trail byte
    return text;
}

void ShowRecordDetails(HWND owner, const CViewGrid& grid, int row) {
    if (!grid.records || row < 0 || row >= grid.records->Size()) return;
    const tovan::MsgInfo& record = grid.records->At(row);
    CXiangqing details(owner);
    details.text = RecordDetailsText(grid, record);
    details.from = std::string(tovan::FieldText(record.ByName));
    details.DoModal();
}
