// tarnwick-cli info FILE [--json] [--encoding CODEPAGE]: what a help file says about itself.
#pragma once

#include <optional>
#include <string>

// `codePage`: the user's, for the file's texts; none to let the texts decide.
int Info(const std::wstring& file, bool json, std::optional<unsigned> codePage);
