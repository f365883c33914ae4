#pragma once

// The main window as the widget benchmarks drive it: a document of a given size, laid out, the
// caret placed, and keys typed as the keyboard would.

#include "benchtext.h"
#include "editor/mainwindow.h"
#include "view/textview.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>

/// Waits (two minutes at most) until the area's line count is exact: a big text is counted in
/// idle time.
inline void waitForLayout(TextView &area)
{
    QElapsedTimer timer;
    timer.start();
    while (!area.lineCountSettled() && timer.elapsed() < 120000)
        QCoreApplication::processEvents();
}

/// Shows `window` with a document of `characters` lines of prose, laid out, the caret at its end
/// or its start.
inline void showDocument(MainWindow &window, qsizetype characters, bool caretAtEnd)
{
    window.resize(800, 600);
    window.show();
    window.document().setText(benchmarkLines(characters));
    waitForLayout(*window.area());
    window.document().select(caretAtEnd ? window.document().size() : 0, 0);
}

/// Presses and releases the key that types `ch`.
inline void typeKey(QWidget *target, QChar ch)
{
    const QString text(ch);
    const int key = ch == u' ' ? int(Qt::Key_Space) : int(ch.toUpper().unicode());
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
    QKeyEvent release(QEvent::KeyRelease, key, Qt::NoModifier, text);
    QApplication::sendEvent(target, &release);
}
