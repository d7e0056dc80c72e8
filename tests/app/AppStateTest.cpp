#include "app/AppState.h"

#include "tests/support/TempDir.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

namespace {

struct StartUpCase
{
    const char *name;
    std::optional<std::string> settings; // nothing: no settings file at all
    UiLanguage before;
    UiLanguage expected;
};

void PrintTo(const StartUpCase &startUp, std::ostream *out)
{
    *out << startUp.name;
}

class LoadLanguageSettingTest : public ::testing::TestWithParam<StartUpCase>
{
};

TEST_P(LoadLanguageSettingTest, SetsCurrentLanguage)
{
    TempDir temp;
    WorkingDirectoryScope scope(temp.path());
    if (GetParam().settings)
        writeFile(temp / "data" / "root.lua", *GetParam().settings);
    currentLanguage = GetParam().before;
    loadLanguageSetting();
    EXPECT_EQ(currentLanguage, GetParam().expected);
}

constexpr auto En = UiLanguage::English;
constexpr auto Cn = UiLanguage::Chinese;
constexpr auto Ru = UiLanguage::Russian;

INSTANTIATE_TEST_SUITE_P(
    StartUp, LoadLanguageSettingTest,
    ::testing::Values(
        StartUpCase{"Russian", "local Language = \"RU\"\r\n", En, Ru},
        StartUpCase{"Chinese", "local Language = \"CN\"\r\n", En, Cn},
        StartUpCase{"EnglishOverChinese", "local Language = \"EN\"\r\n", Cn, En},
        StartUpCase{"LowerCaseGivesEnglish", "local Language = \"cn\"\r\n", Ru, En},
        StartUpCase{"LeadingBlankGivesEnglish", "local Language = \" EN\"\r\n", Ru, En},
        StartUpCase{"OnlyCommentedOutKeepsStartValue", "-- local Language = \"RU\"\r\n", En, En},
        StartUpCase{"EmptyValueChangesNothing", "local Language = \"\"\r\n", Cn, Cn},
        StartUpCase{"NoFileChangesNothing", std::nullopt, Ru, Ru}),
    [](const auto &info) { return std::string(info.param.name); });

} // namespace
