#pragma once

#include <QByteArray>
#include <QString>

class QWidget;

namespace tavrel {

// The program's own resources (credits, the suites of the preferences), built into the shell's library.
class ApplicationResources
{
public:
    // Registers the resources; the program and the tests call it once, and it may be called again.
    static void initialize();
    static QByteArray data(const QString& name);
    static QString text(const QString& name);
    // Places a window in the middle of its screen.
    static void centreWindow(QWidget* window);
};

} // namespace tavrel
