#include "view/ZoneMarkCommand.h"

#include "framework/FrameWindow.h"
#include "framework/MessageBox.h"
#include "framework/ResourceText.h"
#include "resource.h"
#include "view/TarnwickDoc.h"

void OfferToRemoveZoneMark(CTarnwickDoc& document, CFrameWindow* frame)
{
    if (!document.IsMarkedAsDownloaded()) {
        ShowMessageBox(IDS_NO_ZONE_MARK);
        return;
    }
    const std::wstring& file = document.GetShownFile();
    if (ShowMessageBox(FormatWithArgument(LoadResourceString(IDS_REMOVE_ZONE_MARK_PROMPT), file), MB_YESNO | MB_ICONWARNING | MB_DEFBUTTON2) != IDYES)
        return;
    if (!document.RemoveZoneMark()) {
        ShowMessageBox(FormatWithArgument(LoadResourceString(IDS_ZONE_MARK_NOT_REMOVED), file));
        return;
    }
    if (frame) frame->SetMessageText(FormatWithArgument(LoadResourceString(IDS_ZONE_MARK_REMOVED), file));
}
