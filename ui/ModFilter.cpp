#include "ModFilter.h"

#include "ModRecord.h"
#include "VezModItemWidget.h"

#include <QKeyEvent>

#include <string>
#include <utility>

namespace {

bool containsText(const std::string &bytes, const QString &text)
{
    // Every UTF-16 unit takes at least one UTF-8 byte, and the comparison folds
    // case unit by unit: fewer bytes than units cannot match.
    if (bytes.size() < static_cast<std::size_t>(text.size()))
        return false;
    return QString::fromUtf8(bytes.data(), static_cast<qsizetype>(bytes.size()))
        .contains(text, Qt::CaseInsensitive);
}

} // namespace

ModFilter::ModFilter(QString text) : m_text(std::move(text)) {}

bool ModFilter::isEmpty() const
{
    return m_text.isEmpty();
}

const QString &ModFilter::text() const
{
    return m_text;
}

bool ModFilter::matches(const ModRecord &record) const
{
    if (m_text.isEmpty())
        return true;
    return containsText(record.self_ID, m_text) ||
           VezModItemWidget::rowName(record).contains(m_text, Qt::CaseInsensitive) ||
           containsText(record.developerName, m_text) || containsText(record.version, m_text);
}

bool isFilterKey(const QKeyEvent &event)
{
    if (event.modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier))
        return false;
    const QString text = event.text();
    return !text.isEmpty() && text.at(0).isPrint() && !text.at(0).isSpace();
}
