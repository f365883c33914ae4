#pragma once

#include "document/document.h"
#include "editor/mainwindow.h"
#include "fakehost.h"
#include "view/textview.h"

#include <QTemporaryDir>

#include <memory>

/// Base of the tests that drive the main window. Each test function gets a fresh scripted
/// host, the main window with all its commands (shown and active) and an empty folder; at its
/// end every queued answer must have been used, and the window goes without asking.
class WindowFixture : public QObject
{
    Q_OBJECT

protected:
    /// Triggers the menu row or toolbar command `name`, as a click on it would.
    void trigger(const char *name);
    TextView *area() const { return m_window->area(); }
    Document &document() const { return m_window->document(); }
    /// `name` in this test's own folder.
    QString pathOf(const QString &name) const { return m_dir->filePath(name); }

    /// Writes `bytes` to the file at `path`; returns whether all of them were written.
    static bool writeBytes(const QString &path, const QByteArray &bytes);
    /// The bytes of the file at `path`, or "<unreadable>".
    static QByteArray readBytes(const QString &path);

    std::unique_ptr<FakeHost> m_host;
    MainWindow *m_window = nullptr;
    std::unique_ptr<QTemporaryDir> m_dir;
    /// The state home (XDG_STATE_HOME) of this test alone: its recovery journals go there.
    std::unique_ptr<QTemporaryDir> m_stateHome;

private slots:
    // Run by the test framework around every test function of a derived class.
    void init();
    void cleanup();
};
