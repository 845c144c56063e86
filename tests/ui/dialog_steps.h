#pragma once

#include <QApplication>
#include <QDialog>
#include <QTest>
#include <QTimer>

#include <functional>

namespace testing_support {

/// Runs `step` on the modal dialog as soon as the event loop it opens is running. When a
/// check inside the step fails, the dialog is closed so the test ends instead of hanging.
inline void onNextModal(std::function<void(QWidget*)> step) {
    QTimer::singleShot(0, [step = std::move(step)] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY2(modal != nullptr, "no modal dialog was open");
        step(modal);
        if (QTest::currentTestFailed() && QApplication::activeModalWidget() == modal)
            modal->close();
    });
}

/// Shows `dialog` modally, runs `step` while it is open and returns what exec() returned.
inline int showAnd(QDialog& dialog, const std::function<void()>& step) {
    onNextModal([&dialog, &step](QWidget*) {
        step();
        // A failed check leaves the step early; the dialog must not keep the test waiting.
        if (dialog.isVisible())
            dialog.reject();
    });
    return dialog.exec();
}

} // namespace testing_support
