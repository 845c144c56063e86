#include "FileFilter.h"

#include "Text.h"

#include "formats/assignment_file.h"

#include <QStringList>

namespace ui {
namespace {

// Qt matches "*.*" literally, so on systems where names need no dot it would hide files
// without one; "*" is what the pattern means there.
QString filterEntry(const QString& description, QString pattern) {
    if (pattern == QLatin1String("*.*"))
        pattern = QStringLiteral("*");
    return description + QStringLiteral(" (") + pattern + QLatin1Char(')');
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
