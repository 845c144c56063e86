#include "FileFilter.h"

#include "Text.h"

#include <QStringList>

namespace ui {

QString qtFileFilter(std::string_view barSeparated) {
    const QStringList parts = qtext(barSeparated).split(QLatin1Char('|'));
    QStringList filters;
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QString pattern = parts[i + 1].trimmed();
        if (pattern == QLatin1String("*.*"))
            pattern = QStringLiteral("*");
        filters << parts[i] + QStringLiteral(" (") + pattern + QLatin1Char(')');
    }
    return filters.join(QStringLiteral(";;"));
}

} // namespace ui
