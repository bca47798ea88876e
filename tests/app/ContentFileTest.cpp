#include "support/TempFolder.h"
#include "support/TestData.h"
#include "view/ContentFile.h"

#include <gtest/gtest.h>

// The current folder first, as always, then beside the program; the bare name when neither has it.
TEST(ContentFile, IsLookedForInTheCurrentFolderThenBesideTheProgram)
{
    TempFolder current, program;
    const fs::path previous = fs::current_path();
    fs::current_path(current.Path());
    const auto found = [&program] { return LocateContentFile(L"tips.txt", program.Path().wstring()); };
    EXPECT_EQ(found(), L"tips.txt");
    WriteFileBytes(program / "tips.txt", {'p'});
    EXPECT_EQ(found(), (program / "tips.txt").wstring());
    WriteFileBytes(current / "tips.txt", {'c'});
    EXPECT_EQ(found(), L"tips.txt");
    fs::current_path(previous);
}
