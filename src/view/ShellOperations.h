// What the help, home-page and e-mail commands hand to the shell.
#pragma once

#include <string>

// Hands `target` to the shell; when no program takes it, says so with `missing`.
void OpenOrSay(const std::wstring& target, const std::wstring& missing);

// "TARNHelp.chm" in the current folder, or else beside the program.
void OpenHelpFile();
// The product's home page, in the default browser.
void OpenHomePage();
// A new mail to the support address, in the default mail program.
void SendEmail();
