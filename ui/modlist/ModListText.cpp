#include "ui/modlist/ModListText.h"

#include "library/catalogue/ModRecord.h"
#include "ui/modlist/VezModItemWidget.h"
#include "ui/texts/QtPathText.h"
#include "ui/texts/UiTexts.h"

#include <QDir>
#include <QStringList>

#include <string>

namespace {

QString field(QString text)
{
    for (QChar &character : text)
        if (character == u'\t' || character == u'\n' || character == u'\r')
            character = u' ';
    return text;
}

QString fromUtf8(const std::string &bytes)
{
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

} // namespace

QString modListText(const std::vector<std::reference_wrapper<ModRecord>> &records,
                    UiLanguage language)
{
    QString text = QStringList{textIn(UiTexts::label_selfID, language),
                               textIn(UiTexts::label_name, language),
                               textIn(UiTexts::label_developer, language),
                               textIn(UiTexts::label_version, language),
                               textIn(UiTexts::label_state, language),
                               textIn(UiTexts::listCategory, language),
                               textIn(UiTexts::listFolder, language)}
                       .join(u'\t') +
                   u'\n';
    for (const ModRecord &record : records) {
        const std::filesystem::path folder = record.modFolder();
        text += QStringList{field(fromUtf8(record.self_ID)),
                            field(VezModItemWidget::rowName(record)),
                            field(fromUtf8(record.developerName)),
                            field(fromUtf8(record.version)),
                            textIn(record.installState ? UiTexts::stateLabelEnabled
                                                       : UiTexts::stateLabelDisabled,
                                   language),
                            field(qStringFromPath(folder.parent_path().filename())),
                            field(QDir::toNativeSeparators(qStringFromPath(folder)))}
                    .join(u'\t') +
                u'\n';
    }
    return text;
}
