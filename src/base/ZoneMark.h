// What the mark Windows gives a downloaded file says: the security zone the file came from.
#pragma once

#include <optional>
#include <string_view>

// The ZoneId of the mark's [ZoneTransfer] section; nullopt when it names none.
std::optional<int> ZoneOfMark(std::string_view mark);
