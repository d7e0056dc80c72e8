#pragma once

#include "settings/UiLanguage.h"

#include <QString>

#include <functional>
#include <vector>

struct ModRecord;

// The mods as tab-separated lines under a heading line: ID, name, developer,
// version, state, category, folder. A spreadsheet takes it as columns, a chat
// as readable lines. Tabs and line breaks inside a value become spaces.
QString modListText(const std::vector<std::reference_wrapper<ModRecord>> &records,
                    UiLanguage language);
