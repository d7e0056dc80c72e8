#include "ui/modlist/ModFilter.h"

#include "library/catalogue/ModRecord.h"
#include "ui/modlist/VezModItemWidget.h"

#include <QByteArray>
#include <QKeyEvent>

#include <algorithm>
#include <string>
#include <string_view>
#include <utility>

namespace {

bool isAscii(std::string_view text)
{
    return std::all_of(text.begin(), text.end(),
                       [](char byte) { return static_cast<unsigned char>(byte) < 0x80; });
}

char asciiLower(char byte)
{
    return byte >= 'A' && byte <= 'Z' ? static_cast<char>(byte - 'A' + 'a') : byte;
}

// Most texts are ASCII: searched as bytes they need no conversion. An ASCII
// needle can still match other text (the Kelvin sign folds to "k"), so any
// other text goes through Qt's Unicode case folding.
bool containsText(const std::string &bytes, const QString &text, const std::string &asciiText)
{
    // Every UTF-16 unit takes at least one UTF-8 byte, and the comparison folds
    // case unit by unit: fewer bytes than units cannot match.
    if (bytes.size() < static_cast<std::size_t>(text.size()))
        return false;
    if (!asciiText.empty() && isAscii(bytes))
        return std::search(bytes.begin(), bytes.end(), asciiText.begin(), asciiText.end(),
                           [](char byte, char lower) { return asciiLower(byte) == lower; }) !=
               bytes.end();
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .contains(text, Qt::CaseInsensitive);
}

} // namespace

ModFilter::ModFilter(QString text) : m_text(std::move(text))
{
    const QByteArray utf8 = m_text.toUtf8();
    if (isAscii(std::string_view(utf8.constData(), static_cast<std::size_t>(utf8.size()))))
        for (const char byte : utf8)
            m_asciiLower.push_back(asciiLower(byte));
}

bool ModFilter::isEmpty() const
{
    return m_text.isEmpty();
}

const QString &ModFilter::text() const
{
    return m_text;
}

bool ModFilter::matches(const ModRecord &record, const std::string *note) const
{
    if (m_text.isEmpty())
        return true;
    if ((note && containsText(*note, m_text, m_asciiLower)) ||
        containsText(record.self_ID, m_text, m_asciiLower) ||
        containsText(record.developerName, m_text, m_asciiLower) ||
        containsText(record.version, m_text, m_asciiLower))
        return true;
    // The name column shows the first name the record has, else "None".
    if (!record.displayName.empty())
        return containsText(record.displayName, m_text, m_asciiLower);
    if (!record.shortName.empty())
        return containsText(record.shortName, m_text, m_asciiLower);
    return VezModItemWidget::rowName(record).contains(m_text, Qt::CaseInsensitive);
}

bool isFilterKey(const QKeyEvent &event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace();
}
