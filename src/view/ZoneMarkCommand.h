// The command that takes the zone mark of a downloaded file off the help file shown, when the
// user asks for it (the mark makes the help viewer show blank pages).
#pragma once

class CTarnwickDoc;
class CFrameWindow;

// Asks first, with No as the default button; says in the frame's status bar when it is done.
void OfferToRemoveZoneMark(CTarnwickDoc& document, CFrameWindow* frame);
