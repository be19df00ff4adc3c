#pragma once
// The operator's keys and the close control, for the tests that drive the window.
#include "tests/support/TestSupport.h"

#include <QAbstractButton>
#include <QCloseEvent>
#include <QMessageBox>
#include <QTest>
#include <QtTest/qtestspontaneevent.h>

// A key as the operator presses it: to the focused widget of the active window (the window
// itself when nothing has the focus), through the application's shortcuts.
inline void Press(UpdaterWindow& w, int key, Qt::KeyboardModifiers modifiers = Qt::NoModifier)
{
    w.activateWindow();
    // The key goes to the focused widget either way; activation only makes it as a person's would.
    (void)QTest::qWaitForWindowActive(&w);
    QWidget* target = w.focusWidget() ? w.focusWidget() : &w;
    QTest::keyClick(target, static_cast<Qt::Key>(key), modifiers);
    QCoreApplication::processEvents();  // what the window posted in answer
}

// The window system's close request, as the close control sends it.
inline void CloseControl(UpdaterWindow& w)
{
    QCloseEvent close;
    QSpontaneKeyEvent::setSpontaneous(&close);
    QCoreApplication::instance()->notify(w.windowHandle(), &close);
    QCoreApplication::processEvents();  // what the window posted in answer
}

inline void Answer(UpdaterWindow& w, const char* choice)
{
    ASSERT_NE(w.CloseQuestion(), nullptr);
    for (QAbstractButton* b : w.CloseQuestion()->buttons())
        if (b->text() == QLatin1String(choice))
            b->click();
    QCoreApplication::processEvents();  // what the window posted in answer
}
