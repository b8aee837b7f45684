#pragma once

#include <QAbstractButton>
#include <QGroupBox>
#include <QLabel>
#include <QRect>
#include <QString>
#include <QWidget>
#include <gtest/gtest.h>
#include <vector>

namespace tillora::test {

// One control of a window as its form places it.
struct ControlSpec {
    const char* name; // the object name
    QRect geometry;
    // The text it shows: a button's or check box's text, a label's text, a
    // group box's title. None: the text is not compared; "" compares it as empty.
    const char* caption = nullptr;
};

// Finds each control among the window's children by its object name and
// compares its geometry and, where given, its caption. Stops at the first
// control that is missing; call it inside ASSERT_NO_FATAL_FAILURE to stop the
// test there too.
inline void expectControls(const QWidget& window, const std::vector<ControlSpec>& controls)
{
    for (const ControlSpec& c : controls) {
        SCOPED_TRACE(c.name);
        const auto* widget = window.findChild<const QWidget*>(QString::fromUtf8(c.name));
        ASSERT_NE(widget, nullptr);
        EXPECT_EQ(widget->geometry(), c.geometry);
        if (!c.caption)
            continue;
        const QString caption = QString::fromUtf8(c.caption);
        if (const auto* button = qobject_cast<const QAbstractButton*>(widget)) {
            EXPECT_EQ(button->text(), caption);
        } else if (const auto* label = qobject_cast<const QLabel*>(widget)) {
            EXPECT_EQ(label->text(), caption);
        } else if (const auto* group = qobject_cast<const QGroupBox*>(widget)) {
            EXPECT_EQ(group->title(), caption);
        } else {
            ADD_FAILURE() << "a " << widget->metaObject()->className() << " shows no caption";
        }
    }
}

} // namespace tillora::test
