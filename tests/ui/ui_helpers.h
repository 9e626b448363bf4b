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

// The name a screen reader reads for a control. On Linux a combo box's own name is the entry it
// shows, so assistive tools name it by the label it is the buddy of.
inline QString spokenName(QWidget* w) {
    QAccessibleInterface* control = QAccessible::queryAccessibleInterface(w);
    if (!qobject_cast<QComboBox*>(w)) {
        return control->text(QAccessible::Name);
    }
    const auto labels = control->relations(QAccessible::Label);
    return labels.isEmpty() ? QString() : labels.front().first->text(QAccessible::Name);
}

// "objectName=spoken name" of each control of the window itself, sorted: what takes the focus, the
// scroll bars, and the surfaces of the program's own that take the mouse.
inline QStringList controlNames(const QWidget* window) {
    QStringList names;
    for (QWidget* w : window->findChildren<QWidget*>()) {
        // The parts of a Qt control (a list's viewport, an edit's scroll bars) are its own.
        const QObject* owner = w->parent();
        while (owner != window && owner->metaObject()->className()[0] != 'Q') {
            owner = owner->parent();
        }
        const bool ownSurface =
            w->metaObject()->className()[0] != 'Q' && w->findChildren<QWidget*>().isEmpty();
        const bool control =
            w->focusPolicy() != Qt::NoFocus || qobject_cast<QScrollBar*>(w) || ownSurface;
        if (control && owner == window && w->window() == window) {
            names << w->objectName() + "=" + spokenName(w);
        }
    }
    names.sort();
    return names;
}

// The controls the Tab key visits from the first one, once round.
inline QWidgetList tabOrder(QWidget* window) {
    QWidgetList order;
    for (QWidget* w = window->nextInFocusChain(); w != window; w = w->nextInFocusChain()) {
        if ((w->focusPolicy() & Qt::TabFocus) && w->isVisibleTo(window) && w->isEnabled()) {
            order << w;
        }
    }
    return order;
}

// Each control lies wholly below or wholly right of the one before it: the rows as laid out, left
// to right, and a tall pane beside them after them.
inline testing::AssertionResult inRows(const QWidgetList& order) {
    for (qsizetype i = 1; i < order.size(); ++i) {
        const QWidget* top = order[i]->window();
        const QRect before(order[i - 1]->mapTo(top, QPoint()), order[i - 1]->size());
        const QRect next(order[i]->mapTo(top, QPoint()), order[i]->size());
        if (next.top() < before.bottom() && next.left() < before.right()) {
            return testing::AssertionFailure()
                   << order[i]->objectName().toStdString() << " comes after "
                   << order[i - 1]->objectName().toStdString();
        }
    }
    return testing::AssertionSuccess();
}

}  // namespace kavlo::test
