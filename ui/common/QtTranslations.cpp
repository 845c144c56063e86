#include "ui/common/QtTranslations.h"

#include <QCoreApplication>
#include <QTranslator>

namespace ui {

bool installQtTranslations() {
    // The application keeps only a pointer: the translator lives as its child.
    auto* translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral(":/translations/qtbase_ru.qm"))) {
        delete translator;
        return false;
    }
    return QCoreApplication::installTranslator(translator);
}

} // namespace ui
