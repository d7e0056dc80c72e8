#include "library/notes/ModNotes.h"

#include "library/catalogue/Constants.h"
#include "library/catalogue/ModRecord.h"
#include "library/platform/DataFile.h"
#include "library/removal/FolderSize.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <string>

namespace fs = std::filesystem;

namespace {

ModRecord recordIn(const fs::path &modFolder, const std::string &selfId)
{
    ModRecord record;
    record.entryPath = modFolder / kEntryFileName;
    record.self_ID = selfId;
    record.installState = true;
    return record;
}

} // namespace

TEST(ModNotes, SurviveARestartAndStayWithTheirFolder)
{
    TempDir dir;
    const fs::path file = dir / "data" / "notes";
    fs::create_directories(file.parent_path());
    // Two mods that declare the same self ID, and one whose folder name needs escaping.
    const ModRecord first = recordIn(dir / "mods" / "aircraft" / "Mi-8", "same");
    const ModRecord second = recordIn(dir / "mods" / "tech" / "Mi-8", "same");
    const ModRecord odd = recordIn(dir / "mods" / "aircraft" / "a\\b\tc", "odd");
    {
        ModNotes notes(file);
        notes.load();
        notes.setNote(ModNotes::keyOf(first), "needed for #server1");
        notes.setNote(ModNotes::keyOf(second), "breaks the F-key menu");
        notes.setNote(ModNotes::keyOf(odd), "  two\nlines\\n  ");
    }
    ModNotes restarted(file);
    restarted.load();
    ASSERT_NE(restarted.noteOf(first), nullptr);
    EXPECT_EQ(*restarted.noteOf(first), "needed for #server1");
    EXPECT_EQ(*restarted.noteOf(second), "breaks the F-key menu");
    EXPECT_EQ(*restarted.noteOf(odd), "two lines\\n");

    restarted.setNote(ModNotes::keyOf(first), "");
    EXPECT_EQ(restarted.noteOf(first), nullptr);
    ModNotes again(file);
    again.load();
    EXPECT_EQ(again.noteOf(first), nullptr);
    EXPECT_NE(again.noteOf(second), nullptr);
}

TEST(ModNotes, AreCutToTheirLengthBetweenCharacters)
{
    std::string longNote;
    for (int i = 0; i < 600; ++i)
        longNote += "ж";
    const std::string kept = ModNotes::normalised(longNote);
    EXPECT_EQ(kept.size(), ModNotes::kMaxLength * 2);
    EXPECT_EQ(ModNotes::normalised("   "), "");
}

TEST(ModNotes, DamagedFileIsRefusedAndNeverOverwritten)
{
    TempDir dir;
    const fs::path file = dir / "notes";
    const ModRecord mod = recordIn(dir / "aircraft" / "A", "a");
    for (const std::string &damaged :
         {std::string("not a notes file\n"), std::string("tessel3 notes 1\naircraft\tA\n"),
          std::string("tessel3 notes 1\naircraft\tA\tbad \\q escape\n"),
          std::string("tessel3 notes 1\naircraft\tA\t\xff\xfe\n"),
          std::string("tessel3 notes 2\n")}) {
        writeFile(file, damaged);
        ModNotes notes(file);
        try {
            notes.load();
            ADD_FAILURE() << "accepted: " << damaged;
        } catch (const DataFileError &error) {
            EXPECT_EQ(error.file(), file);
            EXPECT_GE(error.line(), 1U);
        }
        EXPECT_TRUE(notes.isRefused());
        EXPECT_EQ(notes.noteOf(mod), nullptr);
        EXPECT_THROW(notes.setNote(ModNotes::keyOf(mod), "new"), DataFileError);
        EXPECT_EQ(readFile(file), damaged);
    }
}

TEST(ModNotes, WritingIntoAMissingFolderFailsAndKeepsTheNotes)
{
    TempDir dir;
    ModNotes notes(dir / "no-such-folder" / "notes");
    notes.load();
    const ModRecord mod = recordIn(dir / "aircraft" / "A", "a");
    EXPECT_THROW(notes.setNote(ModNotes::keyOf(mod), "x"), fs::filesystem_error);
    EXPECT_EQ(notes.noteOf(mod), nullptr);
}

TEST(FolderSize, CountsTheFilesBelow)
{
    TempDir dir;
    writeFile(dir / "mod" / "a.bin", std::string(1000, 'a'));
    writeFile(dir / "mod" / "deep" / "er" / "b.bin", std::string(24, 'b'));
    EXPECT_EQ(folderSize(dir / "mod"), 1024U);
    EXPECT_EQ(folderSize(dir / "missing"), 0U);
}
