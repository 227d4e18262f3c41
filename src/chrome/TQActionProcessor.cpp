#include "chrome/TQActionProcessor.h"

#include <QCoreApplication>
#include <QPointer>

namespace tavrel {

TQActionProcessor::TQActionProcessor(QObject* parent) : QObject(parent) {}

TQActionProcessor* TQActionProcessor::sharedActionProcessor()
{
    static QPointer<TQActionProcessor> shared;
    if (!shared)
        shared = new TQActionProcessor(QCoreApplication::instance());
    return shared;
}

void TQActionProcessor::pushAction(const IUIActionPtr& action)
{
    if (action)
        m_container.insert(action->name(), action);
}

void TQActionProcessor::notificationController(QObject*, const QString& requestPerformAction)
{
    // Held while it runs, even if it registers its own replacement.
    if (const IUIActionPtr action = m_container.value(requestPerformAction))
        action->execute();
}

} // namespace tavrel
