#include "ui/common/FileFilter.h"

#include "ui/common/Text.h"

#include "formats/assignment_file.h"

#include <QStringList>

namespace ui {
namespace {

// Qt reads an entry as "description (patterns)", the patterns being the parenthesised
// tail, or as patterns alone, and shows the entry's text whole. A description that already
// ends with its pattern in parentheses is therefore passed as it is, without the blanks
// after the parenthesis (Qt finds the pattern only at the very end; a trailing blank does
// not show); a description that is its pattern is passed alone; any other description gets
// its pattern appended.
QString filterEntry(const QString& description, const QString& pattern) {
    QString shown = description;
    while (shown.endsWith(QLatin1Char(' ')))
        shown.chop(1);
    if (shown.endsWith(QLatin1Char('(') + pattern + QLatin1Char(')')) || shown == pattern)
        return shown;
    return shown + QStringLiteral(" (") + pattern + QLatin1Char(')');
}

} // namespace

QString qtFileFilter(std::string_view barSeparated) {
    const QStringList parts = qtext(barSeparated).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2)
        filters << filterEntry(parts[i], parts[i + 1].trimmed());
    return filters.join(QStringLiteral(";;"));
}

QString qtFileFilter(std::span<const formats::FileDialogFilter> filters) {
    QStringList entries;
    for (const formats::FileDialogFilter& filter : filters)
        entries << filterEntry(qtext(filter.description), qtext(filter.pattern));
    return entries.join(QStringLiteral(";;"));
}

} // namespace ui
