#pragma once

// The interface language; stored in the settings file as "EN", "CN" and "RU".
enum class UiLanguage : int
{
    English = 0,
    Chinese = 1,
    Russian = 2,
};
