// The zone mark of a downloaded file: what it says, where the platform keeps it, and the engine
// carrying it onto the files it writes.
#include "engine/ChmEngine.h"
#include "base/ZoneMark.h"
#include "storage/ComRef.h"
#include "support/ChmBuilder.h"
#include "support/TempFolder.h"
#include "support/TestData.h"
#include "support/ZoneMarkingFileSystem.h"

#include <gtest/gtest.h>

TEST(ZoneMark, TheZoneIsTheZoneIdOfTheZoneTransferSectionOnly)
{
    EXPECT_EQ(ZoneOfMark(kInternetZoneMark), 3);
    EXPECT_EQ(ZoneOfMark("[zonetransfer]\nReferrerUrl=x\n zoneid = 4 \n"), 4);
    EXPECT_EQ(ZoneOfMark("[Other]\r\nZoneId=3\r\n[ZoneTransfer]\r\nZoneId=2\r\n"), 2);
    EXPECT_EQ(ZoneOfMark("[ZoneTransfer]\r\n[Other]\r\nZoneId=3\r\n"), std::nullopt);
    EXPECT_EQ(ZoneOfMark("ZoneId=3"), std::nullopt);
    EXPECT_EQ(ZoneOfMark("[ZoneTransfer]\r\nZoneId=\r\n"), std::nullopt);
    EXPECT_EQ(ZoneOfMark("[ZoneTransfer]\r\nZoneId=3x\r\n"), std::nullopt);
    EXPECT_EQ(ZoneOfMark("[ZoneTransfer]\r\nZoneIdentifier=3\r\nZoneId=1"), 1);
    EXPECT_EQ(ZoneOfMark(""), std::nullopt);
}

// Where the platform keeps marks (NTFS streams on Windows, ntfs-3g's attributes natively): the
// mark written is the one read, beside the data, and once removed none is read. Skipped where the
// folder keeps none (natively, a file system without user attributes).
TEST(ZoneMark, ThePlatformKeepsReadsAndRemovesTheMark)
{
    TempFolder folder;
    const std::wstring file = (folder / "help.chm").wstring();
    WriteFileBytes(file, {'x'});
    IFileSystem& files = PlatformFileSystem();
    EXPECT_EQ(files.ReadZoneMark(file), "");
    EXPECT_TRUE(files.RemoveZoneMark(file)) << "no mark to remove is no failure";
    if (!files.WriteZoneMark(file, kInternetZoneMark)) GTEST_SKIP() << "this file system keeps no zone marks";
    EXPECT_EQ(files.ReadZoneMark(file), kInternetZoneMark);
    EXPECT_EQ(ReadFileText(file), "x") << "the mark is beside the data";
    EXPECT_TRUE(files.RemoveZoneMark(file));
    EXPECT_EQ(files.ReadZoneMark(file), "");
}

TEST(ZoneMark, TheEngineMarksEveryFileItWritesOnceToldToAndNoFileItFailsToWrite)
{
    TempFolder folder;
    WriteFileBytes(folder / "in.chm", BuildChm({{"/a/page.htm", "page"}, {"/top.htm", "top"}}));
    ZoneMarkingFileSystem files;
    CChmEngine engine({}, files);
    ASSERT_GE(engine.OpenFile((folder / "in.chm").wstring()), 0);
    tarnwick::storage::ComRef<IStorage> a;
    ASSERT_GE(engine.GetRoot()->OpenStorage(L"a", nullptr, STGM_READ, nullptr, 0, a.Put()), 0);
    const std::wstring out = folder.Path().wstring();

    ASSERT_TRUE(engine.ExtractStream(engine.GetRoot(), L"", L"top.htm", out, FALSE));
    EXPECT_TRUE(files.marks.empty());

    engine.SetZoneMarkOfCopies(kInternetZoneMark);
    ASSERT_TRUE(engine.ExtractStream(a.Get(), L"a\\", L"page.htm", out, TRUE));
    ASSERT_TRUE(engine.ExtractStream(engine.GetRoot(), L"", L"top.htm", out, FALSE));
    EXPECT_FALSE(engine.ExtractStream(engine.GetRoot(), L"", L"top.htm", (folder / "missing").wstring(), FALSE));
    EXPECT_EQ(files.marks, (std::map<std::wstring, std::string>{{(folder / "a" / "page.htm").wstring(), kInternetZoneMark},
                                                                {(folder / "top.htm").wstring(), kInternetZoneMark}}));
}
