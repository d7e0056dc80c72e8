#pragma once

#include <QString>

#include <string>

class QKeyEvent;
struct ModRecord;

// What the filter field asks for: the mods whose self ID, shown name, developer,
// version or note contain the text, whatever the letter case (Unicode case folding,
// so Cyrillic and accented letters match their other case too).
class ModFilter
{
public:
    ModFilter() = default;
    explicit ModFilter(QString text);

    // An empty filter lets every mod through.
    bool isEmpty() const;
    const QString &text() const;
    bool matches(const ModRecord &record, const std::string *note = nullptr) const;

private:
    QString m_text;
    std::string m_asciiLower; // the text in lower case when it is ASCII, else empty
};

// A key that types filter text: a printable character other than a space,
// without Ctrl, Alt or Meta.
bool isFilterKey(const QKeyEvent &event);
