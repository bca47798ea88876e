// A toolbar built from a toolbar resource: one button per command id in the
// resource, separators where the id is 0, with a gripper at its leading edge.
#pragma once

#include "framework/ControlBar.h"
#include "framework/UniqueHandle.h"

#include <string>

class CToolBar : public CControlBar {
public:
    ~CToolBar() override;

    // `controlStyle` holds TBSTYLE_ bits; `style` the window and bar styles.
    bool CreateEx(CFrameWindow& frame, DWORD controlStyle, DWORD style, UINT id);
    // Buttons and images of resource `resourceId`: the toolbar resource and the bitmap of that id.
    bool LoadToolBar(UINT resourceId);

    int GetButtonCount() const;
    // The button's command; 0 for a separator.
    UINT GetItemId(int index) const;
    void SetButtonText(int index, const std::wstring& text);
    RECT GetItemRect(int index) const;
    void SetSizes(SIZE button, SIZE image);
    // The toolbar shows these images from now on and keeps them until it goes.
    void SetImageList(CImageListHandle images);

    void SetDockSide(DockSide side) override;
    int CalcThickness() override;
    void UpdateCommandStates(CFrameWindow& frame) override;

protected:
    LRESULT WindowProc(UINT message, WPARAM wParam, LPARAM lParam) override;

private:
    bool IsVertical() const;
    void PaintGripper();
    UINT EdgeTowardsView() const;
    bool IsOnGripper(POINT screenPoint) const;
    // Dragging the gripper and letting go docks the bar on the frame's side nearest the pointer.
    void DropAt(POINT screenPoint);

    bool m_dragging = false;
    CGdiObject m_resourceBitmap;
    CImageListHandle m_images;
};
