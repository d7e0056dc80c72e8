// Imports killed at random instants: after each kill a second import
// completes, every file is byte-identical to its source, and nothing of the
// killed run (a temporary file, an unpacking folder) is left.

#include "library/catalogue/ImportLeftovers.h"
#include "library/import/ModArchive.h"
#include "library/catalogue/ModCatalogue.h"
#include "library/import/ModImport.h"
#include "library/platform/PathText.h"
#include "tests/support/ArchiveWriter.h"
#include "tests/support/KillableProcess.h"
#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <chrono>
#include <fstream>
#include <iostream>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

namespace fs = std::filesystem;

namespace {

std::string noise(std::size_t size, unsigned seed)
{
    std::mt19937 generator(seed);
    std::string bytes(size, '\0');
    for (char &byte : bytes)
        byte = static_cast<char>(generator());
    return bytes;
}

// The whole file in one read: fast also in a sanitizer build.
std::string wholeFile(const fs::path &path)
{
    std::error_code error;
    const auto size = fs::file_size(path, error);
    if (error)
        return {};
    std::string bytes(size, '\0');
    std::ifstream in(path, std::ios::binary);
    in.read(bytes.data(), static_cast<std::streamsize>(size));
    return in ? bytes : std::string();
}

struct KillCase
{
    const char *what;
    bool archive;
    // The category folder on another file system, where moves become copies.
    bool categoryElsewhere;
};

void PrintTo(const KillCase &c, std::ostream *out)
{
    *out << c.what;
}

class ImportKillTest : public testing::TestWithParam<KillCase>
{
protected:
    void SetUp() override
    {
        fs::create_directories(mods / "tech");
        if (GetParam().categoryElsewhere) {
            std::error_code error;
            if (!fs::is_directory("/dev/shm", error))
                GTEST_SKIP() << "no /dev/shm for a category on another file system";
            elsewhere = fs::path("/dev/shm") / ("tessel3-kill-" + mods.path().filename().string());
            fs::create_directory(elsewhere);
            fs::create_directory_symlink(elsewhere, mods / "aircraft");
        } else {
            fs::create_directory(mods / "aircraft");
        }
        // Large enough for kills to land inside a file, small enough for many rounds.
        for (const char *mod : {"Kestrel", "Falcon"}) {
            files[std::string(mod) + "/entry.lua"] = "self_ID = \"" + std::string(mod) + "\"\n";
            for (unsigned part = 0; part < 3; ++part)
                files[std::string(mod) + "/Textures/part" + std::to_string(part) + ".dds"] =
                    noise(2 << 20, part + static_cast<unsigned>(mod[0]));
        }
        if (GetParam().archive) {
            std::vector<ArchiveEntry> entries;
            for (const auto &[name, bytes] : files)
                entries.push_back({name, bytes});
            chosen = source / "mods.zip";
            writeArchive(chosen, ArchiveKind::Zip, entries, "zip:compression=store");
        } else {
            for (const auto &[name, bytes] : files)
                writeFile(source / name, bytes);
            chosen = source.path();
        }
    }

    void TearDown() override
    {
        std::error_code ignored;
        if (!elsewhere.empty())
            fs::remove_all(elsewhere, ignored);
    }

    void emptyCategory()
    {
        for (const fs::directory_entry &entry : fs::directory_iterator(mods / "aircraft"))
            fs::remove_all(entry.path());
    }

    void importHere()
    {
        loadCatalogue(utf8FromPath(mods.path()));
        if (GetParam().archive)
            importArchive(*sharedCatalogue, chosen, ModCategory::Aircraft);
        else
            importMods(*sharedCatalogue, chosen, ModCategory::Aircraft);
    }

    std::vector<std::string> childArguments() const
    {
        return {utf8FromPath(mods.path()), utf8FromPath(chosen), GetParam().archive ? "archive" : "folder"};
    }

    TempDir mods;
    TempDir source;
    fs::path elsewhere;
    fs::path chosen;
    std::map<std::string, std::string> files;
};

TEST_P(ImportKillTest, ASecondImportCompletesEveryFileAndLeavesNothingBehind)
{
    const fs::path child = pathFromUtf8(TESSEL3_IMPORT_CHILD);
    // How long one whole import takes: kills are spread over it.
    const auto start = std::chrono::steady_clock::now();
    {
        KillableProcess whole(child, childArguments());
        ASSERT_TRUE(whole.started());
        ASSERT_EQ(whole.wait(), 0);
    }
    const auto duration = std::chrono::duration_cast<std::chrono::microseconds>(
        std::chrono::steady_clock::now() - start);
    std::mt19937 random(20261208);
    std::uniform_int_distribution<long long> delay(0, duration.count());
    constexpr int kKills = 30;
    int cutShort = 0;
    for (int kill = 0; kill < kKills; ++kill) {
        SCOPED_TRACE("kill " + std::to_string(kill));
        emptyCategory();
        {
            KillableProcess killed(child, childArguments());
            ASSERT_TRUE(killed.started());
            std::this_thread::sleep_for(std::chrono::microseconds(delay(random)));
            cutShort += !killed.kill();
        }
        importHere();
        for (const auto &[name, bytes] : files)
            ASSERT_TRUE(wholeFile(mods / "aircraft" / name) == bytes) << name << " differs";
        for (const fs::directory_entry &entry : fs::recursive_directory_iterator(mods.path()))
            ASSERT_FALSE(isLeftoverName(entry.path().filename())) << entry.path();
        if (!elsewhere.empty()) {
            for (const fs::directory_entry &entry : fs::recursive_directory_iterator(elsewhere))
                ASSERT_FALSE(isLeftoverName(entry.path().filename())) << entry.path();
        }
    }
    RecordProperty("kills that landed inside the import", cutShort);
    std::cout << GetParam().what << ": " << cutShort << " of " << kKills
              << " kills landed inside the import (" << duration.count() / 1000 << " ms)\n";
}

// The archive import's moves across file systems need /dev/shm.
const KillCase kKillCases[] = {
    {"folder import", false, false},
#ifndef _WIN32
    {"archive import", true, false},
    {"archive import, category elsewhere", true, true},
#endif
};

INSTANTIATE_TEST_SUITE_P(Imports, ImportKillTest, testing::ValuesIn(kKillCases),
                         [](const testing::TestParamInfo<KillCase> &info) {
                             return std::string(info.param.archive ? "Archive" : "Folder") +
                                    (info.param.categoryElsewhere ? "CategoryElsewhere" : "");
                         });

} // namespace
