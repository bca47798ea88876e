// The rule that turns an element's name into a file name that stays where it is written.
#include "engine/SafeName.h"

#include <gtest/gtest.h>

#include <map>

TEST(SafeFileName, KeepsOrdinaryNamesAndRewritesEveryHostileForm)
{
    for (const wchar_t* name : {L"index.htm", L"第一章 概述.htm", L"100%.htm", L"a%2", L".hidden", L"COM10", L"CONSOLE.txt", L"😀"})
        EXPECT_EQ(SafeFileName(name), name);
    const std::map<std::wstring, std::wstring> cases = {
        {L"", L"%00"},           {L".", L"%2E"},           {L"..", L"%2E%2E"},          {L"a. .", L"a%2E%20%2E"},
        {L"C:", L"C%3A"},        {L"x\\y", L"x%5Cy"},      {L"x/y", L"x%2Fy"},          {L"tab\there", L"tab%09here"},
        {L"aux", L"%61ux"},      {L"Prn.htm", L"%50rn.htm"}, {L"COM\u00B9", L"%43OM\u00B9"}, {L"lpt9 .a.b", L"%6Cpt9 .a.b"},
        {L"nul.txt", L"%6Eul.txt"}, {L"%2e", L"%252e"},    {L"%25", L"%2525"},
    };
    for (const auto& [name, safe] : cases) EXPECT_EQ(SafeFileName(name), safe) << "for a name of length " << name.size();
}

TEST(SafeFileName, NeverMapsTwoNamesToOneFile)
{
    const std::vector<std::wstring> names = {L"a:b", L"a%3Ab", L"a%253Ab", L"..", L"%2E%2E", L"%2E.", L".%2E", L"a.", L"a%2E",
                                             L"a", L"CON", L"%43ON", L"con", L"", L"%00", L"x ", L"x%20", L"x\\y", L"x%5Cy"};
    std::map<std::wstring, std::wstring> seen;
    for (const std::wstring& name : names) EXPECT_TRUE(seen.emplace(SafeFileName(name), name).second) << "two names collide";
}

TEST(SafeFolderNames, MakesEachLevelOfAnInternalPathSafe)
{
    EXPECT_EQ(SafeFolderNames(L""), std::vector<std::wstring>{});
    EXPECT_EQ(SafeFolderNames(L"..\\a:b\\..\\"), (std::vector<std::wstring>{L"%2E%2E", L"a%3Ab", L"%2E%2E"}));
}
