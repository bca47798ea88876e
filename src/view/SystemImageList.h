// Holds the shell's system image list of small icons for as long as any
// holder lives, and answers the shell's icon index and type name for a name.
// The list belongs to the shell: nothing here ever destroys it.
#pragma once

#include "engine/FileTypes.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

class CSystemImageList final : public IFileTypes {
public:
    CSystemImageList();
    ~CSystemImageList() override;
    CSystemImageList(const CSystemImageList&) = delete;
    CSystemImageList& operator=(const CSystemImageList&) = delete;

    // The shared small-icon list; null before any holder was made.
    static HIMAGELIST GetImageList();

    // The small icon the shell shows for a normal file of that name; the file
    // need not exist. The shell's plain-file icon when it has no answer.
    int GetIconIndex(const std::wstring& name);

    std::wstring GetTypeName(std::wstring_view name) override;
    int GetSmallIconIndex(std::wstring_view name) override { return GetIconIndex(std::wstring(name)); }

private:
    static HIMAGELIST s_imageList;
    static int s_holders;
};
