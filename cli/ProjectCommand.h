// "project FILE DEST": unpacks as "unpack" does, then writes beside the files the project that
// compiles them again.
#pragma once

#include <string>

int Project(const std::wstring& file, const std::wstring& destination);
