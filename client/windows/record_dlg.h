// The chat history viewer of one chat window: the transcripts of the last 60
// days with that peer, oldest first. Created hidden with the chat window;
// closing it only hides it.
#pragma once

#include <windows.h>

#include <string>
#include <vector>

#include "client/controls/dialog_ex.h"

class CRecord : public CDialogEx {
public:
    CRecord();

    HWND TextBox() const;
    // Appends every existing file of the list (each a whole RTF document)
    // after what the viewer shows, then shows it scrolled to the bottom.
    void ShowFiles(const std::vector<std::string>& paths);

protected:
    BOOL OnInitDialog() override;
};
