// A help file's facts as `info` prints them and the window shows them: one fact per line.
#pragma once

#include "helpfile/InfoReport.h"

#include "storage/ITStorage.h"

#include <optional>
#include <string>

// `codePage`: the user's, for the file's texts; none to let the texts decide.
InfoReport DescribeHelpFile(IStorage* root, std::optional<unsigned> codePage);

std::wstring FactsText(const InfoReport& report);
