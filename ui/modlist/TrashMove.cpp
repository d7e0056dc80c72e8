#include "ui/modlist/TrashMove.h"

#include "library/platform/TrashPlatform.h"
#include "ui/status/CommandGuard.h"
#include "ui/texts/CurrentLanguage.h"
#include "ui/texts/QtPathText.h"
#include "ui/texts/UiTexts.h"

#include <QFile>

QString moveFolderToRecycleBin(const std::filesystem::path &folder)
{
#ifdef _WIN32
    // The shell does the move; a drive it would delete on for good is refused first.
    if (const std::error_code refusal = recycleBinRefusal(folder))
        return refusal == noTrashOnThisDrive() ? textIn(UiTexts::noRecycleBin, currentLanguage)
                                               : reasonText(refusal);
    QFile trashed(qStringFromPath(folder));
    if (trashed.moveToTrash())
        return QString();
    return trashed.errorString().isEmpty() ? unknownReason(currentLanguage) : trashed.errorString();
#else
    // Qt's own move would fall back to a trash in the working folder when the
    // home trash cannot be made; this one refuses instead.
    const std::error_code refusal = moveFolderToTrash(folder);
    if (!refusal)
        return QString();
    return refusal == noTrashOnThisDrive() ? textIn(UiTexts::noRecycleBin, currentLanguage)
                                           : reasonText(refusal);
#endif
}
