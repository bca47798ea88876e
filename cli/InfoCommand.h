// tarnwick-cli info FILE [--json]: what a help file says about itself.
#pragma once

#include <string>

int Info(const std::wstring& file, bool json);
