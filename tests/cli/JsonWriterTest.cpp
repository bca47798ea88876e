#include "cli/JsonWriter.h"

#include <gtest/gtest.h>

TEST(JsonWriterTest, EscapesWhatJsonForbidsAndWritesUtf8)
{
    EXPECT_EQ(JsonQuoted(L"a\"b\\c"), R"("a\"b\\c")");
    EXPECT_EQ(JsonQuoted(std::wstring(L"\n\t\r\x01\x1f", 5) + std::wstring(1, L'\0')), R"("\n\t\r\u0001\u001f\u0000")");
    EXPECT_EQ(JsonQuoted(L"中\u00e9/\x7f"), "\"\xE4\xB8\xAD\xC3\xA9/\x7f\"");
    // U+1F600 is one code point, whether wchar_t holds it whole or as a surrogate pair.
    EXPECT_EQ(JsonQuoted(L"\U0001F600"), "\"\xF0\x9F\x98\x80\"");
}

TEST(JsonWriterTest, SeparatesMembersAndElements)
{
    CJsonWriter json;
    json.BeginObject();
    json.Key("a");
    json.BeginArray();
    json.Number(std::uint64_t{18446744073709551615u});
    json.Null();
    json.BeginObject();
    json.EndObject();
    json.EndArray();
    json.Key("b");
    json.Bool(false);
    json.Key("c");
    json.Number(0.25);
    json.EndObject();
    EXPECT_EQ(json.Take(), "{\"a\":[18446744073709551615,null,{}],\"b\":false,\"c\":0.25}\n");
}
