// "project FILE DEST": unpacks as "unpack" does, then writes beside the files the project that
// compiles them again.
#pragma once

#include <optional>
#include <string>

// `codePage`: the user's, for the file's texts; none to let the texts decide.
int Project(const std::wstring& file, const std::wstring& destination, std::optional<unsigned> codePage);
