// What is wrong with a damaged help file, as the storage component tells it and as people read it:
// the integrity test prints these reasons, and the window lists them after its check.
#pragma once

#include "storage/ITStorage.h"

#include <string>
#include <vector>

// One stream's damage, with the frame it was found in where a frame is at fault.
std::wstring DescribeDamage(const DamageReport& report);
// The damages of the compressed section as a whole, one line each.
std::vector<std::wstring> SectionDamageNotes(ULONG state);
