#include "SafeName.h"

#include <gtest/gtest.h>

#include <map>

TEST(SafeFileName, KeepsOrdinaryNamesAsTheyAre)
{
    for (const wchar_t* name : {L"index.htm", L"第一章 概述.htm", L"100%.htm", L"50%off", L"a%2", L".hidden",
                                L"COM10", L"LPT0.txt", L"CONSOLE.txt", L"😀"})
        EXPECT_EQ(SafeFileName(name), name);
}

TEST(SafeFileName, RewritesEveryHostileFormDeterministically)
{
    const std::map<std::wstring, std::wstring> cases = {
        {L"", L"%00"},
        {L".", L"%2E"},
        {L"..", L"%2E%2E"},
        {L"...", L"%2E%2E%2E"},
        {L"a.", L"a%2E"},
        {L"a ", L"a%20"},
        {L"a. .", L"a%2E%20%2E"},
        {L"C:", L"C%3A"},
        {L"x\\y", L"x%5Cy"},
        {L"x/y", L"x%2Fy"},
        {L"stream:ads", L"stream%3Aads"},
        {L"tab\there", L"tab%09here"},
        {L"aux", L"%61ux"},
        {L"Prn.htm", L"%50rn.htm"},
        {L"COM\u00B9", L"%43OM\u00B9"},
        {L"lpt9 .a.b", L"%6Cpt9 .a.b"},
        {L"con.d", L"%63on.d"},
        {L"%2e", L"%252e"},
        {L"%25", L"%2525"},
    };
    for (const auto& [name, safe] : cases) EXPECT_EQ(SafeFileName(name), safe) << "for a name of length " << name.size();
}

TEST(SafeFileName, NeverMapsTwoNamesToOneFile)
{
    const std::vector<std::wstring> names = {
        L"a:b", L"a%3Ab", L"a%253Ab", L"a?b", L"a%3Fb", L"..", L"%2E%2E", L"%2E.", L".%2E", L"a.", L"a%2E", L"a",
        L"CON", L"%43ON", L"con", L"%63on", L"", L"%00", L"x ", L"x%20", L"x\\y", L"x%5Cy"};
    std::map<std::wstring, std::wstring> seen;
    for (const std::wstring& name : names) {
        const std::wstring safe = SafeFileName(name);
        const auto [at, inserted] = seen.emplace(safe, name);
        EXPECT_TRUE(inserted) << "two names collide";
        for (const wchar_t c : safe) EXPECT_EQ(std::wstring(L"<>:\"/\\|?*").find(c), std::wstring::npos);
        EXPECT_NE(safe.back(), L'.');
        EXPECT_NE(safe.back(), L' ');
    }
}
