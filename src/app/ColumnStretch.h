// Maximised, the main window's list gives the width it gained to the name and path columns, half
// each, as those are the texts that get cut; restored, they go back to their widths before.
#pragma once

#include <windows.h>

#include <optional>

class CColumnStretch {
public:
    // After the frame's size changed; `list` is the contents list.
    void OnFrameSized(HWND list, bool maximised);

private:
    struct Widths {
        int name;
        int path;
    };
    std::optional<Widths> m_beforeMaximising;
};
