#include "ui/texts/UiTexts.h"

#include <QAbstractButton>
#include <QAction>
#include <QLabel>
#include <QMenu>
#include <QStringList>

#include <iterator>

namespace UiTexts {

const UiText menuFile{"menuFile", "File", "File", "文件", "Файл"};
const UiText menuFeatures{"menuFeatures", "Features", "Features", "功能", "Функции"};
const UiText menuLanguage{"menuLanguage", "Language", "Language", "语言", "Язык"};
const UiText backToMainLink{"backToMainLink", "Reselect Directory", "Reselect Folder", "重选目录",
                            "Выбрать другую папку"};
const UiText actionImport_Mod_AirCraft{"actionImport_Mod_AirCraft", "Import Mod(AirCraft)",
                                       "Import Mod(AircCraft)", "导入Mod(航空器)",
                                       "Импортировать мод (Самолет)"};
const UiText actionImport_Mod_Tech{"actionImport_Mod_Tech", "Import Mod(Tech)", "Import Mod(Tech)",
                                   "导入Mod(非航空器)", "Импортировать мод (Техника)"};
const UiText actionReload{"actionReload", "Reload", "Reload", "重载", "Перезагрузить"};
const UiText actionDisable_All{"actionDisable_All", "Disable All", "Disable All", "全部卸载",
                               "Отключить всё"};
const UiText actionEnable_All{"actionEnable_All", "Enable All", "Enable All", "全部安装",
                              "Включить всё"};
const UiText actionMore_Mod{"actionMore_Mod", "More Mod", "More Mod", "更多Mod", "Больше модулей"};
const UiText actionAbout_Author_2{"actionAbout_Author_2", "About Author", "About Author",
                                  "关于作者", "Об авторе"};
const UiText actionEnglish{"actionEnglish", "English", "English", "英语", "Английский"};
const UiText actionChinese{"actionChinese", "Chinese", "Chinese", "简体中文", "Китайский"};
const UiText actionRussian{"actionRussian", "Russian", "Russian", "俄语", "Русский язык"};
const UiText label_selfID{"label_selfID", "Self ID", "Self ID", "识别码", "ID"};
const UiText label_name{"label_name", "Name", "Name", "名称", "Имя"};
const UiText label_developer{"label_developer", "Developer", "Developer", "开发者", "Разработчик"};
const UiText label_version{"label_version", "Version", "Version", "版本", "Версия"};
const UiText label_state{"label_state", "State", "State", "状态", "Состояние"};

const std::array<const UiText *, 19> mainPanel{
    &menuFile,
    &menuFeatures,
    &menuLanguage,
    &backToMainLink,
    &actionImport_Mod_AirCraft,
    &actionImport_Mod_Tech,
    &actionReload,
    &actionDisable_All,
    &actionEnable_All,
    &actionMore_Mod,
    &actionAbout_Author_2,
    &actionEnglish,
    &actionChinese,
    &actionRussian,
    &label_selfID,
    &label_name,
    &label_developer,
    &label_version,
    &label_state,
};

const UiText actionImport_Archive_AirCraft{
    "actionImport_Archive_AirCraft", "Import Archive (Aircraft)…", "Import Archive (Aircraft)…",
    "导入压缩包(航空器)…", "Импортировать архив (Самолет)…"};
const UiText actionImport_Archive_Tech{"actionImport_Archive_Tech", "Import Archive (Tech)…",
                                       "Import Archive (Tech)…", "导入压缩包(非航空器)…",
                                       "Импортировать архив (Техника)…"};
const UiText dropAircraft{"dropAircraft", "Aircraft", "Aircraft", "航空器", "Самолет"};
const UiText dropTech{"dropTech", "Tech", "Tech", "非航空器", "Техника"};
const UiText archiveDialogCaption{"archiveDialog", "Select Archive", "Select Archive", "选择压缩包",
                                  "Выбрать архив"};
const UiText archiveDialogFilter{"archiveDialog", "Archives", "Archives", "压缩包", "Архивы"};
const UiText importProgressTitle{"ImportProgressWindow", "Importing", "Importing", "正在导入",
                                 "Импорт"};
const UiText pushButton_Cancel{"pushButton_Cancel", "Cancel", "Cancel", "取消", "Отмена"};

const UiText pushButton{"pushButton", "SelectFolder", "SelectFolder", "选择目录", "Выбрать папку"};
const UiText pushButton_Confirm{"pushButton_Confirm", "Confirm", "Confirm", "确认", "Подтвердить"};
const UiText label{
    "label",
    "Select the directory where the game stores mods. This directory should contain 'aircraft' "
    "and 'tech'.",
    "Select the directory where the game stores mods. This directory should contain 'aircraft' "
    "and 'tech'.",
    "选择游戏存储模组的目录。此目录应包含 'aircraft' 和 'tech' 文件夹。",
    "Выберите папку, где игра хранит моды. Эта папка должна содержать 'aircraft' и 'tech'."};

const std::array<const UiText *, 3> directoryWindow{&pushButton, &pushButton_Confirm, &label};

const UiText installButtonEnabled{"installButton", "Uninstall", "Uninstall", "卸载", "Удалить"};
const UiText installButtonDisabled{"installButton", "Install", "Install", "安装", "Установить"};
const UiText stateLabelEnabled{"stateLabel", "enabled", "enabled", "已启用", "включено"};
const UiText stateLabelDisabled{"stateLabel", "disabled", "disabled", "未启用", "отключено"};
const UiText openButton{"openButton", "open", "open", "打开", "открыть"};

const UiText filterEdit{"filterEdit", "Filter mods", "Filter mods", "筛选模组", "Фильтр модов"};
const UiText duplicateSelfId{"selfIdLabel", "Other mods declare this self ID too:\n%1",
                             "Other mods declare this self ID too:\n%1",
                             "其他模组也声明了此识别码：\n%1",
                             "Этот ID объявлен и в других модах:\n%1"};

const UiText rowMenuInstall{"rowInstall", "Install", "Install", "安装", "Включить"};
const UiText rowMenuUninstall{"rowInstall", "Uninstall", "Uninstall", "卸载", "Отключить"};
const UiText rowMenuOpenFolder{"rowOpenFolder", "Open Folder", "Open Folder", "打开文件夹",
                               "Открыть папку"};
const UiText rowMenuCopyId{"rowCopyId", "Copy ID", "Copy ID", "复制识别码", "Копировать ID"};
const UiText rowMenuCopyFolderPath{"rowCopyFolderPath", "Copy Folder Path", "Copy Folder Path",
                                   "复制文件夹路径", "Копировать путь к папке"};
const UiText rowMenuNote{"rowNote", "Note…", "Note…", "备注…", "Заметка…"};
const UiText rowMenuRecycle{"rowMoveToRecycleBin", "Move to Recycle Bin…", "Move to Recycle Bin…",
                            "移到回收站…", "Переместить в корзину…"};
const UiText actionCopy_Mod_List{"actionCopy_Mod_List", "Copy Mod List", "Copy Mod List",
                                 "复制模组列表", "Копировать список модов"};
const UiText noteDialogTitle{"noteDialog", "Note", "Note", "备注", "Заметка"};
const UiText noteDialogLabel{"noteDialog", "Note for %1 (one line, up to 500 characters):",
                             "Note for %1 (one line, up to 500 characters):",
                             "%1 的备注（一行，最多 500 字）：",
                             "Заметка к %1 (одна строка, до 500 символов):"};
const UiText recycleTitle{"recycleConfirmation", "Move to Recycle Bin", "Move to Recycle Bin",
                          "移到回收站", "Переместить в корзину"};
const UiText recycleQuestion{"recycleConfirmation",
                             "Move the mod %1 to the Recycle Bin?\n\nFolder: %2\nSize: %3",
                             "Move the mod %1 to the Recycle Bin?\n\nFolder: %2\nSize: %3",
                             "要将模组 %1 移到回收站吗？\n\n文件夹：%2\n大小：%3",
                             "Переместить мод %1 в корзину?\n\nПапка: %2\nРазмер: %3"};
const UiText recycleConfirm{"recycleConfirmation", "Move", "Move", "移动", "Переместить"};
const UiText listCategory{"modListText", "Category", "Category", "类别", "Категория"};
const UiText listFolder{"modListText", "Folder", "Folder", "文件夹", "Папка"};
const UiText measuringSize{"statusbar", "Measuring the size of %1…", "Measuring the size of %1…",
                           "正在计算 %1 的大小…", "Подсчёт размера %1…"};
const UiText movedToRecycleBin{"statusbar", "Moved %1 to the Recycle Bin.",
                               "Moved %1 to the Recycle Bin.", "已将 %1 移到回收站。",
                               "Мод %1 перемещён в корзину."};
const UiText recycleRefused{"statusbar", "Nothing was deleted: %1 could not go to the Recycle Bin (%2)",
                            "Nothing was deleted: %1 could not go to the Recycle Bin (%2)",
                            "未删除任何内容：%1 无法移到回收站（%2）",
                            "Ничего не удалено: не удалось переместить %1 в корзину (%2)"};
const UiText noRecycleBin{"statusbar", "this drive has no Recycle Bin",
                          "this drive has no Recycle Bin", "此驱动器没有回收站",
                          "на этом диске нет корзины"};
const UiText modListCopied{"statusbar", "Copied %1 mods to the clipboard.",
                           "Copied %1 mods to the clipboard.", "已将 %1 个模组复制到剪贴板。",
                           "Скопировано модов в буфер обмена: %1."};
const UiText notesDamaged{
    "statusbar",
    "The notes file %1 is damaged (line %2): notes stay off until it is mended or removed.",
    "The notes file %1 is damaged (line %2): notes stay off until it is mended or removed.",
    "备注文件 %1 已损坏（第 %2 行）：修复或删除该文件之前，备注不会显示也不会保存。",
    "Файл заметок %1 повреждён (строка %2): заметки отключены, пока его не исправят или не удалят."};
const UiText notesRefused{"statusbar", "The note was not saved: the notes file %1 is damaged.",
                          "The note was not saved: the notes file %1 is damaged.",
                          "备注未保存：备注文件 %1 已损坏。",
                          "Заметка не сохранена: файл заметок %1 повреждён."};
const UiText listOrderDamaged{
    "statusbar",
    "The list order file %1 is damaged (line %2): the list keeps the catalogue's order.",
    "The list order file %1 is damaged (line %2): the list keeps the catalogue's order.",
    "列表排序文件 %1 已损坏（第 %2 行）：列表按原有顺序显示。",
    "Файл порядка списка %1 повреждён (строка %2): список показан в исходном порядке."};

} // namespace UiTexts

namespace {

struct MessageTexts
{
    const char *english;
    const char *chinese;
    const char *russian;
};

const char *pick(const MessageTexts &texts, UiLanguage language)
{
    switch (language) {
    case UiLanguage::Chinese:
        return texts.chinese;
    case UiLanguage::Russian:
        return texts.russian;
    case UiLanguage::English:
        break;
    }
    return texts.english;
}

const MessageTexts &commandText(FailedCommand command)
{
    static const MessageTexts load{"Could not load the mods folder", "无法加载模组目录",
                                   "Не удалось загрузить папку модов"};
    static const MessageTexts reload{"Could not reload the mods", "无法重载模组",
                                     "Не удалось перезагрузить моды"};
    static const MessageTexts importing{"Could not import the mods", "无法导入模组",
                                        "Не удалось импортировать моды"};
    static const MessageTexts move{"Could not move the mod's entry file", "无法移动模组的入口文件",
                                   "Не удалось переместить файл мода"};
    static const MessageTexts enableAll{"Could not enable all mods", "无法全部安装",
                                        "Не удалось включить все моды"};
    static const MessageTexts disableAll{"Could not disable all mods", "无法全部卸载",
                                         "Не удалось отключить все моды"};
    static const MessageTexts saveDirectory{"Could not save the folder", "无法保存目录",
                                            "Не удалось сохранить папку"};
    static const MessageTexts saveLanguage{"Could not save the language", "无法保存语言",
                                           "Не удалось сохранить язык"};
    static const MessageTexts readSettings{"Could not read the settings", "无法读取设置",
                                           "Не удалось прочитать настройки"};
    static const MessageTexts saveNote{"Could not save the note", "无法保存备注",
                                       "Не удалось сохранить заметку"};
    static const MessageTexts saveListOrder{"Could not save the list order", "无法保存列表排序",
                                            "Не удалось сохранить порядок списка"};
    static const MessageTexts readNotes{"Could not read the notes", "无法读取备注",
                                        "Не удалось прочитать заметки"};
    static const MessageTexts readListOrder{"Could not read the list order", "无法读取列表排序",
                                            "Не удалось прочитать порядок списка"};
    switch (command) {
    case FailedCommand::Load:
        return load;
    case FailedCommand::Reload:
        return reload;
    case FailedCommand::Import:
        return importing;
    case FailedCommand::Move:
        return move;
    case FailedCommand::EnableAll:
        return enableAll;
    case FailedCommand::DisableAll:
        return disableAll;
    case FailedCommand::SaveDirectory:
        return saveDirectory;
    case FailedCommand::SaveLanguage:
        return saveLanguage;
    case FailedCommand::ReadSettings:
        break;
    case FailedCommand::SaveNote:
        return saveNote;
    case FailedCommand::SaveListOrder:
        return saveListOrder;
    case FailedCommand::ReadNotes:
        return readNotes;
    case FailedCommand::ReadListOrder:
        return readListOrder;
    }
    return readSettings;
}

// %1 the command, %2 the path, %3 the reason; Chinese takes full-width punctuation.
const MessageTexts withPath{"%1: %2 (%3)", "%1：%2（%3）", "%1: %2 (%3)"};
const MessageTexts withoutPath{"%1 (%2)", "%1（%2）", "%1 (%2)"};
// %1 the mod, %2 the reason; for several mods %1 the number, %2 the first mod, %3 the reason.
const MessageTexts refusedEnable{"Could not enable %1 (%2)", "无法安装 %1（%2）",
                                 "Не удалось включить %1 (%2)"};
const MessageTexts refusedDisable{"Could not disable %1 (%2)", "无法卸载 %1（%2）",
                                  "Не удалось отключить %1 (%2)"};
const MessageTexts refusedEnableMany{"Could not enable %1 mods, the first %2 (%3)",
                                     "%1 个模组无法安装，首个：%2（%3）",
                                     "Не удалось включить модов: %1, первый — %2 (%3)"};
const MessageTexts refusedDisableMany{"Could not disable %1 mods, the first %2 (%3)",
                                      "%1 个模组无法卸载，首个：%2（%3）",
                                      "Не удалось отключить модов: %1, первый — %2 (%3)"};
const MessageTexts unknown{"unknown error", "未知错误", "неизвестная ошибка"};

} // namespace

std::optional<QString> languageText(const UiText &text, UiLanguage language)
{
    switch (language) {
    case UiLanguage::English:
        return QString::fromUtf8(text.english);
    case UiLanguage::Chinese:
        return QString::fromUtf8(text.chinese);
    case UiLanguage::Russian:
        return QString::fromUtf8(text.russian);
    }
    return std::nullopt;
}

QString setUpText(const UiText &text)
{
    return QString::fromUtf8(text.setUp);
}

void applyLanguageText(QAbstractButton *button, const UiText &text, UiLanguage language)
{
    if (const auto value = languageText(text, language))
        button->setText(*value);
}

void applyLanguageText(QLabel *label, const UiText &text, UiLanguage language)
{
    if (const auto value = languageText(text, language))
        label->setText(*value);
}

void applyLanguageText(QAction *action, const UiText &text, UiLanguage language)
{
    if (const auto value = languageText(text, language))
        action->setText(*value);
}

void applyLanguageText(QMenu *menu, const UiText &text, UiLanguage language)
{
    if (const auto value = languageText(text, language))
        menu->setTitle(*value);
}

QString failureMessage(FailedCommand command, UiLanguage language, const QString &path,
                       const QString &reason)
{
    const QString what = QString::fromUtf8(pick(commandText(command), language));
    if (path.isEmpty())
        return QString::fromUtf8(pick(withoutPath, language)).arg(what, reason);
    return QString::fromUtf8(pick(withPath, language)).arg(what, path, reason);
}

QString refusedMoveMessage(bool enabling, UiLanguage language, std::size_t count,
                           const QString &mod, const QString &reason)
{
    if (count == 1)
        return QString::fromUtf8(pick(enabling ? refusedEnable : refusedDisable, language))
            .arg(mod, reason);
    return QString::fromUtf8(pick(enabling ? refusedEnableMany : refusedDisableMany, language))
        .arg(QString::number(count), mod, reason);
}

QString textIn(const UiText &text, UiLanguage language)
{
    return languageText(text, language).value_or(QString::fromUtf8(text.english));
}

QString unknownReason(UiLanguage language)
{
    return QString::fromUtf8(pick(unknown, language));
}

QString archiveProblemText(ArchiveProblem problem, UiLanguage language)
{
    static const MessageTexts unknownFormat{"not an archive of a known type", "不是可识别的压缩包格式",
                                            "неизвестный формат архива"};
    static const MessageTexts damaged{"the archive is damaged or incomplete", "压缩包已损坏或不完整",
                                      "архив повреждён или неполон"};
    static const MessageTexts encrypted{"the archive is encrypted", "压缩包已加密",
                                        "архив зашифрован"};
    static const MessageTexts unsafeName{"an entry would land outside its folder",
                                         "有条目会解压到目标文件夹之外",
                                         "элемент архива выходит за пределы папки"};
    static const MessageTexts unsafeLink{"a link points outside its folder", "有链接指向目标文件夹之外",
                                         "ссылка указывает за пределы папки"};
    static const MessageTexts noSpace{"not enough free space to unpack it", "磁盘空间不足，无法解压",
                                      "недостаточно места для распаковки"};
    static const MessageTexts bomb{"it would unpack to an absurd size", "解压后的大小异常",
                                   "архив распаковывается в недопустимый размер"};
    switch (problem) {
    case ArchiveProblem::UnknownFormat:
        return QString::fromUtf8(pick(unknownFormat, language));
    case ArchiveProblem::Damaged:
        return QString::fromUtf8(pick(damaged, language));
    case ArchiveProblem::Encrypted:
        return QString::fromUtf8(pick(encrypted, language));
    case ArchiveProblem::UnsafeName:
        return QString::fromUtf8(pick(unsafeName, language));
    case ArchiveProblem::UnsafeLink:
        return QString::fromUtf8(pick(unsafeLink, language));
    case ArchiveProblem::NotEnoughSpace:
        return QString::fromUtf8(pick(noSpace, language));
    case ArchiveProblem::CompressionBomb:
        break;
    }
    return QString::fromUtf8(pick(bomb, language));
}

QString importSummary(const ImportResult &result, UiLanguage language)
{
    static const MessageTexts done{"Mods imported: %1, files copied: %2.",
                                   "已导入模组：%1 个，已复制文件：%2 个。",
                                   "Импортировано модов: %1, скопировано файлов: %2."};
    static const MessageTexts cancelled{"Import cancelled. Mods imported: %1, files copied: %2.",
                                        "导入已取消。已导入模组：%1 个，已复制文件：%2 个。",
                                        "Импорт отменён. Импортировано модов: %1, скопировано файлов: %2."};
    static const MessageTexts nothing{"Nothing importable was found.", "未找到可导入的模组。",
                                      "Модов для импорта не найдено."};
    QString summary = !result.cancelled && result.modsImported == 0
                          ? QString::fromUtf8(pick(nothing, language))
                          : QString::fromUtf8(pick(result.cancelled ? cancelled : done, language))
                                .arg(result.modsImported)
                                .arg(result.filesCopied);
    if (result.refused.empty())
        return summary;
    // The first few by name and reason; the status bar shows the whole text on hover.
    static const MessageTexts notImported{"Not imported: %1.", "未导入：%1。", "Не импортировано: %1."};
    static const MessageTexts item{"%1 (%2)", "%1（%2）", "%1 (%2)"};
    static const MessageTexts more{"and %1 more", "等另外 %1 项", "и ещё %1"};
    constexpr std::size_t kShown = 3;
    QStringList items;
    for (std::size_t i = 0; i < result.refused.size() && i < kShown; ++i)
        items << QString::fromUtf8(pick(item, language))
                     .arg(QString::fromStdString(result.refused[i].name),
                          refusalReasonText(result.refused[i].reason, language));
    if (result.refused.size() > kShown)
        items << QString::fromUtf8(pick(more, language)).arg(result.refused.size() - kShown);
    return summary + ' ' + QString::fromUtf8(pick(notImported, language)).arg(items.join("; "));
}

QString refusalReasonText(RefusalReason reason, UiLanguage language)
{
    static const MessageTexts reserved{"a name Windows keeps for a device", "Windows 保留的设备名",
                                       "имя устройства Windows"};
    static const MessageTexts dotOrSpace{"ends in a dot or a space", "以点或空格结尾",
                                         "оканчивается точкой или пробелом"};
    static const MessageTexts character{"a character names may not hold", "名称含不允许的字符",
                                        "недопустимый символ в имени"};
    static const MessageTexts tooLong{"name too long", "名称过长", "слишком длинное имя"};
    static const MessageTexts caseClash{"differs only in letter case from another file",
                                        "与另一文件仅大小写不同",
                                        "отличается от другого файла только регистром"};
    static const MessageTexts linkOutside{"a link leading out of the chosen folder",
                                          "指向所选文件夹之外的链接",
                                          "ссылка за пределы выбранной папки"};
    static const MessageTexts leftover{"left by an interrupted import, cannot be removed",
                                       "中断的导入所遗留，无法删除",
                                       "осталось от прерванного импорта, не удаляется"};
    static const MessageTexts tooDeep{"folders nested too deep", "文件夹嵌套过深",
                                      "слишком глубокая вложенность папок"};
    switch (reason) {
    case RefusalReason::ReservedName:
        return QString::fromUtf8(pick(reserved, language));
    case RefusalReason::EndsInDotOrSpace:
        return QString::fromUtf8(pick(dotOrSpace, language));
    case RefusalReason::ForbiddenCharacter:
        return QString::fromUtf8(pick(character, language));
    case RefusalReason::NameTooLong:
        return QString::fromUtf8(pick(tooLong, language));
    case RefusalReason::CaseClash:
        return QString::fromUtf8(pick(caseClash, language));
    case RefusalReason::LinkOutside:
        return QString::fromUtf8(pick(linkOutside, language));
    case RefusalReason::Leftover:
        return QString::fromUtf8(pick(leftover, language));
    case RefusalReason::TooDeep:
        break;
    }
    return QString::fromUtf8(pick(tooDeep, language));
}

QString importProgressCurrent(const ImportStatus &status, UiLanguage language)
{
    static const MessageTexts unpacking{"Unpacking %1", "正在解压 %1", "Распаковка %1"};
    static const MessageTexts copying{"Copying %1", "正在复制 %1", "Копирование %1"};
    return QString::fromUtf8(
               pick(status.stage == ImportStage::Unpacking ? unpacking : copying, language))
        .arg(QString::fromStdString(status.current));
}

QString importProgressCounts(const ImportStatus &status, UiLanguage language)
{
    static const MessageTexts files{"Files: %1 of %2", "文件：%1 / %2", "Файлов: %1 из %2"};
    static const MessageTexts filesSoFar{"Files: %1", "文件：%1", "Файлов: %1"};
    static const MessageTexts megabytes{"MB: %1 of %2", "MB：%1 / %2", "МБ: %1 из %2"};
    const auto mb = [](std::uint64_t bytes) {
        return QString::number(static_cast<double>(bytes) / (1024.0 * 1024.0), 'f', 1);
    };
    // While an archive unpacks its file count is not known yet; its bytes are the packed ones.
    const QString fileLine =
        status.filesTotal ? QString::fromUtf8(pick(files, language))
                                .arg(status.filesDone)
                                .arg(status.filesTotal)
                          : QString::fromUtf8(pick(filesSoFar, language)).arg(status.filesDone);
    return fileLine + QLatin1Char('\n') +
           QString::fromUtf8(pick(megabytes, language))
               .arg(mb(status.bytesDone), mb(status.bytesTotal));
}

// Mod sets.
namespace UiTexts {

const UiText menuSets{"menuSets", "Sets", "Sets", "方案", "Наборы"};
const UiText actionSave_Set{"actionSave_Set", "Save Current as Set…", "Save Current as Set…",
                            "将当前状态存为方案…", "Сохранить текущие как набор…"};
const UiText actionManage_Sets{"actionManage_Sets", "Manage Sets…", "Manage Sets…", "管理方案…",
                               "Управление наборами…"};
const UiText actionExport_Set{"actionExport_Set", "Export Set…", "Export Set…", "导出方案…",
                              "Экспорт набора…"};
const UiText actionImport_Set{"actionImport_Set", "Import Set…", "Import Set…", "导入方案…",
                              "Импорт набора…"};
const UiText actionCopy_Set_Code{"actionCopy_Set_Code", "Copy Set Code", "Copy Set Code",
                                 "复制方案代码", "Копировать код набора"};
const UiText actionPaste_Set_Code{"actionPaste_Set_Code", "Paste Set Code", "Paste Set Code",
                                  "粘贴方案代码", "Вставить код набора"};
const UiText switchPreviewTitle{"SwitchPreviewDialog", "Switch Mods", "Switch Mods", "切换模组",
                                "Переключение модов"};
const UiText pushButton_Apply{"pushButton_Apply", "Apply", "Apply", "应用", "Применить"};
const UiText pushButton_CopyMissing{"pushButton_CopyMissing", "Copy Missing", "Copy Missing",
                                    "复制缺失列表", "Копировать недостающие"};
const UiText checkBox_outside{"checkBox_outside", "Switch off mods not in the set",
                              "Switch off mods not in the set", "卸载不在方案中的模组",
                              "Отключить моды не из набора"};
const UiText manageSetsTitle{"ManageSetsDialog", "Manage Sets", "Manage Sets", "管理方案",
                             "Управление наборами"};
const UiText pushButton_Rename{"pushButton_Rename", "Rename…", "Rename…", "重命名…",
                               "Переименовать…"};
const UiText pushButton_Duplicate{"pushButton_Duplicate", "Duplicate", "Duplicate", "创建副本",
                                  "Дублировать"};
const UiText pushButton_Delete{"pushButton_Delete", "Delete", "Delete", "删除", "Удалить"};
const UiText pushButton_Close{"pushButton_Close", "Close", "Close", "关闭", "Закрыть"};
const UiText setFileFilter{"setFileDialog", "Mod sets", "Mod sets", "模组方案", "Наборы модов"};

} // namespace UiTexts

QString setText(SetText text, UiLanguage language)
{
    // %1 the set's name throughout; further arguments as noted.
    static const MessageTexts headingApply{"Apply the set “%1”?", "应用方案“%1”？",
                                           "Применить набор «%1»?"};
    // %2 the file.
    static const MessageTexts headingFile{"The set “%1” from %2", "来自 %2 的方案“%1”",
                                          "Набор «%1» из файла %2"};
    static const MessageTexts headingCode{"The set “%1” from a pasted code",
                                          "来自粘贴代码的方案“%1”", "Набор «%1» из вставленного кода"};
    // %1 on, %2 off, %3 missing, %4 in another version.
    static const MessageTexts counts{"On: %1   Off: %2   Missing: %3   Other version: %4",
                                     "安装：%1　卸载：%2　缺失：%3　版本不同：%4",
                                     "Включить: %1   Отключить: %2   Нет: %3   Другая версия: %4"};
    static const MessageTexts sectionOn{"Switched on:", "将安装：", "Будут включены:"};
    static const MessageTexts sectionOff{"Switched off:", "将卸载：", "Будут отключены:"};
    static const MessageTexts sectionMissing{"Missing (get these mods):", "缺失（需要获取这些模组）：",
                                             "Отсутствуют (их нужно скачать):"};
    static const MessageTexts sectionOtherVersion{"In another version (set / here):",
                                                  "版本不同（方案 / 本地）：",
                                                  "Другая версия (в наборе / здесь):"};
    static const MessageTexts sectionAmbiguous{"Self ID declared by several mods:",
                                               "识别码被多个模组声明：",
                                               "Один ID у нескольких модов:"};
    // %1 the self ID, %2 the folder taken.
    static const MessageTexts ambiguousChosen{"%1: the folder %2 was taken", "%1：按文件夹选定 %2",
                                              "%1: выбрана папка %2"};
    // %1 the self ID, %2 the folders.
    static const MessageTexts ambiguousNone{"%1: none taken, left as they are (%2)",
                                            "%1：无法确定，均保持不变（%2）",
                                            "%1: ни один не выбран, оставлены как есть (%2)"};
    static const MessageTexts sectionNamedTwice{"Named twice (ignored):", "重复列出（已忽略）：",
                                                "Указаны дважды (пропущены):"};
    static const MessageTexts nothing{"Nothing to switch.", "无需切换任何模组。",
                                      "Переключать нечего."};
    // %2 on, %3 off, %4 missing.
    static const MessageTexts applied{"Set “%1” applied: %2 on, %3 off, %4 missing.",
                                      "已应用方案“%1”：安装 %2 个，卸载 %3 个，缺失 %4 个。",
                                      "Набор «%1» применён: включено %2, отключено %3, нет %4."};
    // %2 the mod, %3 the reason.
    static const MessageTexts refused{"Set “%1” not applied, nothing changed: %2 could not be moved (%3)",
                                      "未应用方案“%1”，未做任何更改：无法移动 %2（%3）",
                                      "Набор «%1» не применён, ничего не изменено: не удалось переместить %2 (%3)"};
    // %2 the mods that stayed moved, %3 the reason.
    static const MessageTexts notReversed{"Set “%1” half applied: could not put back %2 (%3)",
                                          "方案“%1”只应用了一部分：无法还原 %2（%3）",
                                          "Набор «%1» применён частично: не удалось вернуть %2 (%3)"};
    static const MessageTexts saved{"Set “%1” saved.", "已保存方案“%1”。", "Набор «%1» сохранён."};
    // %2 the code's length.
    static const MessageTexts codeCopied{"Code of the set “%1” copied (%2 characters).",
                                         "已复制方案“%1”的代码（%2 个字符）。",
                                         "Код набора «%1» скопирован (символов: %2)."};
    // %2 the file.
    static const MessageTexts exported{"Set “%1” exported to %2.", "方案“%1”已导出到 %2。",
                                       "Набор «%1» экспортирован в %2."};
    // %1 the file, %2 the problem.
    static const MessageTexts fileRefused{"Set file %1 refused: %2", "方案文件 %1 无法使用：%2",
                                          "Файл набора %1 отклонён: %2"};
    // %1 the problem.
    static const MessageTexts codeRefused{"Set code refused: %1", "方案代码无效：%1",
                                          "Код набора отклонён: %1"};
    // %2 the reason.
    static const MessageTexts saveFailed{"Could not save the set “%1” (%2)", "无法保存方案“%1”（%2）",
                                         "Не удалось сохранить набор «%1» (%2)"};
    static const MessageTexts promptName{"Name of the new set:", "新方案名称：",
                                         "Название нового набора:"};
    static const MessageTexts promptRename{"New name:", "新名称：", "Новое название:"};
    static const MessageTexts confirmDelete{"Delete the set “%1”?", "删除方案“%1”？",
                                            "Удалить набор «%1»?"};
    static const MessageTexts copyOf{"%1 (copy)", "%1（副本）", "%1 (копия)"};
    static const MessageTexts confirmReplace{"A set named “%1” exists. Replace it?",
                                             "已有名为“%1”的方案，是否替换？",
                                             "Набор «%1» уже есть. Заменить его?"};
    static const MessageTexts currentName{"Current mods", "当前模组", "Текущие моды"};
    static const MessageTexts nameTaken{"A set named “%1” exists already.", "已有名为“%1”的方案。",
                                        "Набор «%1» уже существует."};
    static const MessageTexts deleted{"Set “%1” deleted.", "已删除方案“%1”。", "Набор «%1» удалён."};
    // %2 the reason.
    static const MessageTexts deleteFailed{"Could not delete the set “%1” (%2)",
                                           "无法删除方案“%1”（%2）",
                                           "Не удалось удалить набор «%1» (%2)"};
    static const std::array<const MessageTexts *, 31> table{
        &headingApply,  &headingFile,  &headingCode,       &counts,     &sectionOn,
        &sectionOff,    &sectionMissing, &sectionOtherVersion, &sectionAmbiguous,
        &ambiguousChosen, &ambiguousNone, &sectionNamedTwice, &nothing, &applied,
        &refused,       &notReversed,  &saved,             &codeCopied, &exported,
        &fileRefused,   &codeRefused,  &saveFailed,        &promptName, &promptRename,
        &confirmDelete, &copyOf,   &confirmReplace, &currentName, &nameTaken,
        &deleted,       &deleteFailed};
    return QString::fromUtf8(pick(*table[static_cast<std::size_t>(text)], language));
}

QString setProblemText(ModSetProblem problem, UiLanguage language)
{
    static const MessageTexts notJson{"not a set file, or cut short", "不是方案文件，或内容不完整",
                                      "это не файл набора или он обрезан"};
    static const MessageTexts wrongShape{"an entry is missing or of the wrong kind",
                                         "缺少条目或条目类型不对",
                                         "нет нужного поля или оно неверного типа"};
    static const MessageTexts unknownVersion{"made by a newer version of the program",
                                             "由更新版本的程序生成",
                                             "создан более новой версией программы"};
    static const MessageTexts unknownCategory{"names an unknown category", "包含未知的类别",
                                              "указана неизвестная категория"};
    static const MessageTexts unsafeFolder{"a folder name leads outside the mods folder",
                                           "有文件夹名指向模组目录之外",
                                           "имя папки ведёт за пределы папки модов"};
    static const MessageTexts namedTwice{"names the same mod twice", "同一模组出现了两次",
                                         "один мод указан дважды"};
    static const MessageTexts notACode{"not a set code", "不是方案代码", "это не код набора"};
    static const MessageTexts codeDamaged{"the code is damaged or cut short", "代码已损坏或不完整",
                                          "код повреждён или обрезан"};
    static const MessageTexts tooLarge{"too large", "内容过大", "слишком большой"};
    static const MessageTexts emptyName{"the set has no name", "方案没有名称", "у набора нет названия"};
    static const std::array<const MessageTexts *, 10> table{
        &notJson,    &wrongShape, &unknownVersion, &unknownCategory, &unsafeFolder,
        &namedTwice, &notACode,   &codeDamaged,    &tooLarge,        &emptyName};
    return QString::fromUtf8(pick(*table[static_cast<std::size_t>(problem)], language));
}

namespace UiTexts {

const UiText actionUndo{"actionUndo", "Undo", "Undo", "撤销", "Отменить"};
const UiText actionRedo{"actionRedo", "Redo", "Redo", "重做", "Повторить"};
const UiText actionHistory{"actionHistory", "History…", "History…", "历史记录…", "История…"};
const UiText historyTitle{"HistoryWindow", "History", "History", "历史记录", "История"};
const UiText restoreButton{"restoreButton", "Restore to before this", "Restore to before this",
                           "恢复到此操作之前", "Вернуть как было до этого"};
const UiText historyCloseButton{"closeButton", "Close", "Close", "关闭", "Закрыть"};

} // namespace UiTexts

QString historyText(HistoryText text, UiLanguage language)
{
    // What a batch was: %1 the mod, or the number of mods for the bulk ones;
    // a set's: %1 its name, %2 the number.
    static const MessageTexts install{"Install %1", "安装 %1", "Включение %1"};
    static const MessageTexts uninstall{"Uninstall %1", "卸载 %1", "Отключение %1"};
    static const MessageTexts enableAll{"Enable All (%1 mods)", "全部安装（%1 个模组）",
                                        "Включить всё (модов: %1)"};
    static const MessageTexts disableAll{"Disable All (%1 mods)", "全部卸载（%1 个模组）",
                                         "Отключить всё (модов: %1)"};
    static const MessageTexts applySet{"Apply set %1 (%2 mods)", "应用方案 %1（%2 个模组）",
                                       "Применить набор %1 (модов: %2)"};
    // %1 what was undone, redone or restored to before.
    static const MessageTexts undo{"Undo %1", "撤销 %1", "Отмена: %1"};
    static const MessageTexts redo{"Redo %1", "重做 %1", "Повтор: %1"};
    static const MessageTexts restore{"Restore to before %1", "恢复到 %1 之前",
                                      "Возврат к состоянию до: %1"};
    static const MessageTexts undoAction{"Undo %1", "撤销 %1", "Отменить: %1"};
    static const MessageTexts redoAction{"Redo %1", "重做 %1", "Повторить: %1"};
    // %1 the number of mods.
    static const MessageTexts switchedOn{"%1 mods switched on. Ctrl+Z to undo.",
                                         "已启用 %1 个模组。按 Ctrl+Z 撤销。",
                                         "Включено модов: %1. Ctrl+Z — отменить."};
    static const MessageTexts switchedOff{"%1 mods switched off. Ctrl+Z to undo.",
                                          "已停用 %1 个模组。按 Ctrl+Z 撤销。",
                                          "Отключено модов: %1. Ctrl+Z — отменить."};
    // %1 what was undone, redone or restored to before.
    static const MessageTexts undone{"Undone: %1.", "已撤销：%1。", "Отменено: %1."};
    static const MessageTexts redone{"Redone: %1.", "已重做：%1。", "Повторено: %1."};
    static const MessageTexts restored{"Restored to before %1.", "已恢复到 %1 之前。",
                                       "Возвращено состояние до: %1."};
    // %1 the number left out, %2 the first of them.
    static const MessageTexts skipped{
        "%1 left out, the first %2: not where the history left it.",
        "%1 个未处理，首个：%2（已不在历史记录中的位置）。",
        "Пропущено: %1, первый — %2: он уже не там, где его оставила история."};
    static const MessageTexts nothingToUndo{"Nothing to undo.", "没有可撤销的操作。",
                                            "Нечего отменять."};
    static const MessageTexts nothingToRedo{"Nothing to redo.", "没有可重做的操作。",
                                            "Нечего повторять."};
    static const MessageTexts nothingToRestore{"Every mod is already as it was then.",
                                               "所有模组已与当时一致。",
                                               "Все моды уже в том состоянии."};
    static const MessageTexts notKept{"History is not kept.", "未保存历史记录。",
                                      "История не сохраняется."};
    // %1 the journal file, %2 the system's reason.
    static const MessageTexts notKeptReason{"History is not kept: %1 (%2).",
                                            "未保存历史记录：%1（%2）。",
                                            "История не сохраняется: %1 (%2)."};
    // %1 the number of damaged lines, %2 the journal file.
    static const MessageTexts damaged{"%1 damaged lines of %2 were left out.",
                                      "%2 中有 %1 行已损坏，已略过。",
                                      "Повреждённых строк в %2: %1, они пропущены."};
    // %1 the journal file.
    static const MessageTexts notOurs{
        "%1 is not this program's history; it is left alone and history is not kept.",
        "%1 不是本程序的历史记录，未作改动，也不保存历史记录。",
        "%1 — не история этой программы; файл не тронут, история не сохраняется."};
    static const MessageTexts interrupted{"interrupted", "已中断", "прервано"};
    // %1 the mod.
    static const MessageTexts moveOn{"%1 → enabled", "%1 → 已启用", "%1 → включено"};
    static const MessageTexts moveOff{"%1 → disabled", "%1 → 未启用", "%1 → отключено"};
    static const MessageTexts notMoved{"%1 (not moved)", "%1（未移动）", "%1 (не перемещён)"};
    static const MessageTexts restoreHeading{"Restore to before %1?", "恢复到 %1 之前？",
                                             "Вернуть состояние до: %1?"};
    // %1 the mod, %2 the system's reason: nothing was moved.
    static const MessageTexts refused{"Nothing was moved: %1 was refused (%2).",
                                      "未移动任何文件：%1 被拒绝（%2）。",
                                      "Ничего не перемещено: отказ для %1 (%2)."};
    static const MessageTexts *const table[] = {
        &install,      &uninstall,     &enableAll,     &disableAll,  &applySet,
        &undo,         &redo,          &restore,       &undoAction,  &redoAction,
        &switchedOn,   &switchedOff,   &undone,        &redone,      &restored,
        &skipped,      &nothingToUndo, &nothingToRedo, &nothingToRestore,
        &notKept,      &notKeptReason, &damaged,       &notOurs,     &interrupted,
        &moveOn,       &moveOff,       &notMoved,      &restoreHeading, &refused,
    };
    static_assert(std::size(table) == std::size_t(HistoryText::Refused) + 1);
    return QString::fromUtf8(pick(*table[static_cast<std::size_t>(text)], language));
}
