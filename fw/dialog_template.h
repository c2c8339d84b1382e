// Dialog templates (DLGTEMPLATE and DLGTEMPLATEEX) taken apart far enough to
// lift out the items whose window class is an ActiveX class id such as
// "{8856F961-340A-11D0-A96B-00C04FD705A2}": the dialog manager cannot create
// those, so fw::Dialog creates the dialog from the rest and hosts the lifted
// items itself (fw::ControlHost).
#pragma once

#include <windows.h>

#include <string>
#include <vector>

namespace fw {

struct TemplateControlItem {
    std::string classId;  // "{...}" as written in the template
    int id = 0;
    RECT dialogUnits = {};  // left, top, right, bottom in dialog units
    DWORD style = 0;
    int previousId = -1;  // the item before it in the template, -1 when first
};

class DialogTemplate {
public:
    // Reads the template resource `id` of `module`; false when missing or malformed.
    bool Load(HINSTANCE module, UINT id);
    // Reads a template given as bytes; false when malformed.
    bool Parse(const void* data, size_t size);

    // The template without the class-id items (DWORD aligned, ready for
    // CreateDialogIndirectParam), and those items in template order.
    const DLGTEMPLATE* Stripped() const { return reinterpret_cast<const DLGTEMPLATE*>(stripped_.data()); }
    const std::vector<TemplateControlItem>& ControlItems() const { return items_; }
    // The dialog's own style, in the stripped template.
    DWORD Style() const;
    void SetStyle(DWORD style);

private:
    std::vector<DWORD> stripped_;
    bool extended_ = false;
    std::vector<TemplateControlItem> items_;
};

}  // namespace fw
