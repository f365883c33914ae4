#pragma once

// The edit area the view tests drive: the view of our own, or, built with TARVEX_PLAIN_AREA,
// the QPlainTextEdit-based area it replaces, so that each behaviour is checked on both.
#include "document/document.h"

#include <QCoreApplication>

#ifdef TARVEX_PLAIN_AREA
#include "host/editarea.h"
using AreaUnderTest = EditArea;
inline constexpr bool kPlainArea = true;
#else
#include "view/textview.h"
using AreaUnderTest = TextView;
inline constexpr bool kPlainArea = false;
#endif

inline AreaUnderTest *makeArea(Document &document)
{
    auto *area = new AreaUnderTest(document);
    area->setAccessibleName(QStringLiteral("Text")); // as the main window names it
    return area;
}

/// Waits until the area shows the whole text and its line count is exact.
inline void settle(AreaUnderTest *area)
{
#ifdef TARVEX_PLAIN_AREA
    area->finishStreaming();
#endif
    while (!area->lineCountSettled())
        QCoreApplication::processEvents(QEventLoop::AllEvents, 50);
}
