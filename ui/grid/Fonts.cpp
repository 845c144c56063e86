#include "ui/grid/Fonts.h"

#include <QFontDatabase>
#include <QStringList>

namespace ui {
namespace {

/// The family asked for by name: Courier New where it is installed, otherwise the first
/// installed face drawn to its metrics. Asking for a missing family by name makes every new
/// size and style search the fallback list afresh, which costs more at start-up than all the
/// monitor's own windows.
QString fixedPitchFamily() {
    static const QString family = [] {
        const QStringList candidates{QStringLiteral("Courier New"),
                                     QStringLiteral("Liberation Mono"), QStringLiteral("Cousine")};
        for (const QString& candidate : candidates)
            if (QFontDatabase::hasFamily(candidate))
                return candidate;
        return candidates.front();
    }();
    return family;
}

} // namespace

QFont courierNewFont(int pixelSize) {
    QFont font(fixedPitchFamily());
    font.setStyleHint(QFont::TypeWriter);
    font.setFixedPitch(true);
    font.setPixelSize(pixelSize);
    return font;
}

} // namespace ui
