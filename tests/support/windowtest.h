#pragma once

#include <QByteArray>
#include <QString>

class FakeHost;
class frmedit;

/// The steps every test of the main window starts and ends with.
namespace WindowTest {

/// A main window on `host` with all its commands, shown and active; null when it could not be
/// activated. Connection warnings fail the running test from here on.
frmedit *open(FakeHost &host);
/// Deletes `window` without the question a modified document would ask.
void close(frmedit *window);

/// Writes `bytes` to the file at `path`; returns whether all of them were written.
bool writeBytes(const QString &path, const QByteArray &bytes);
/// The bytes of the file at `path`, or "<unreadable>".
QByteArray readBytes(const QString &path);

} // namespace WindowTest
