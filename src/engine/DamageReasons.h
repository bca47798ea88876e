// What is wrong with a damaged help file, as the storage component tells it and as people read it:
// the integrity test prints these reasons, and the window lists them after its check and gives them for
// entries it cannot unpack.
#pragma once

#include "storage/ITStorage.h"

#include <string>
#include <vector>

// Why the last failed open or read of a stream of the object's file failed; None when it cannot say.
DamageReport LastDamage(IUnknown* object);
// The kSection... bits of the help file's compressed section.
ULONG SectionState(IStorage* root);

// Why the storage component did not open a file, from its result.
std::wstring OpenFailureReason(HRESULT result);

// One stream's damage, with the frame it was found in where a frame is at fault.
std::wstring DescribeDamage(const DamageReport& report);
// The damages of the compressed section as a whole, one line each.
std::vector<std::wstring> SectionDamageNotes(ULONG state);
