#pragma once
// Typing into editors as a user does. QTest::keyClicks cannot carry Cyrillic, so each character goes
// as a key press and release carrying its text.

#include <QApplication>
#include <QKeyEvent>
#include <QLineEdit>
#include <QString>
#include <QTest>

namespace vx::test {

// Sends one key press and release carrying each character of this text.
inline void typeText(QWidget* target, const QString& text)
{
    for (QChar c : text) {
        QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &press);
        QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(c));
        QApplication::sendEvent(target, &release);
    }
}

// Replaces what an editor holds by typed text, as a user selecting everything and typing over it.
inline void typeOver(QLineEdit* editor, const QString& text)
{
    editor->setFocus(Qt::MouseFocusReason);
    QTest::keyClick(editor, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClick(editor, Qt::Key_Delete);
    typeText(editor, text);
}

} // namespace vx::test
