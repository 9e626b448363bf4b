#pragma once

#include <gtest/gtest.h>

// The window tests use widgets of every kind; one include each spares every file its list.
#include <QtTest>
#include <QtWidgets>
#include <filesystem>

#include "test_files.h"
#include "text_checks.h"

// Readable failures for the Qt values the window tests compare.
inline void PrintTo(const QString& s, std::ostream* os) {
    *os << '"' << s.toStdString() << '"';
}

namespace kavlo::test {

inline QString qpath(const std::filesystem::path& path) {
    return QString::fromStdString(path.string());
}

// Exactly one message was shown, and its text holds every part.
inline testing::AssertionResult toldOnce(const std::vector<Message>& shown,
                                         std::initializer_list<std::string_view> parts) {
    if (shown.size() != 1) {
        return testing::AssertionFailure() << shown.size() << " messages, not one";
    }
    return holdsAll(shown[0].text, parts);
}

inline void click(const QWidget* window, const char* name) {
    QTest::mouseClick(window->findChild<QWidget*>(name), Qt::LeftButton);
}

// A left-button press, move or release at `at` on `widget`; moves carry the button.
inline void sendMouse(QWidget* widget, QEvent::Type type, QPoint at) {
    const auto buttons = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    const auto button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, at, widget->mapToGlobal(at), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

// "objectName=accessible name" of each control of the window itself, sorted. On Linux a combo
// box's own name is its entry; the name set on it is what assistive tools read.
inline QStringList controlNames(const QWidget* window) {
    QStringList names;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        const bool control = qobject_cast<QAbstractButton*>(w) || qobject_cast<QLineEdit*>(w) ||
                             qobject_cast<QComboBox*>(w) || qobject_cast<QAbstractScrollArea*>(w) ||
                             (qobject_cast<QScrollBar*>(w) && w->parent() == window);
        if (control && w->window() == window) {
            const QString set = w->accessibleName();
            names << w->objectName() + "=" +
                         (set.isEmpty()
                              ? QAccessible::queryAccessibleInterface(w)->text(QAccessible::Name)
                              : set);
        }
    }
    names.sort();
    return names;
}

}  // namespace kavlo::test
