#include "app/TQSessionMenuItemController.h"

#include "app/TQActionMenuItemController.h"
#include "app/TQMenuView.h"
#include "pipeline/TQQueueManager.h"
#include "platform/ui/MessageNames.h"
#include "progress/TQProgressSession.h"
#include "session/TQSessionManager.h"

#include <QSet>

namespace tavrel {

TQSessionMenuItemController::TQSessionMenuItemController(QWidgetAction* controlledItem)
    : TQActiveMenuItemController(controlledItem)
{
    m_submenu = new QMenu();
    view()->setProperty("highlightsOnHover", true);
}

TQSessionMenuItemController::~TQSessionMenuItemController()
{
    setProgressSession(nullptr);
    delete m_submenu;
}

bool TQSessionMenuItemController::hasSubitems() const
{
    return !m_submenu->actions().isEmpty();
}

QList<TQActionMenuItemController*> TQSessionMenuItemController::rows() const
{
    QList<TQActionMenuItemController*> rows;
    for (QAction* item : m_submenu->actions())
        if (auto* row = item->findChild<TQActionMenuItemController*>(QString(), Qt::FindDirectChildrenOnly))
            rows.append(row);
    return rows;
}

void TQSessionMenuItemController::setProgressSession(TQProgressSession* session)
{
    if (session == m_progressSession)
        return;
    for (const QMetaObject::Connection& connection : std::as_const(m_connections))
        QObject::disconnect(connection);
    m_connections.clear();
    m_progressSession = session;
    setTitleExtension({});
    if (!session) {
        rebuildSubmenu();
        return;
    }
    m_connections.append(connect(session, &TQProgressSession::humanReadableNameChanged, this,
                                 [this](const QString& name) { setTitle(name); }));
    m_connections.append(connect(session, &TQProgressSession::progressChanged, this,
                                 &TQSessionMenuItemController::progressDidChange));
    m_connections.append(connect(session, &TQProgressSession::numberOfActionsChanged, this,
                                 &TQSessionMenuItemController::rebuildSubmenu));
    progressDidChange();
    rebuildSubmenu();
}

void TQSessionMenuItemController::progressDidChange()
{
    if (!m_progressSession)
        return;
    if (m_progressSession->isCompleted()) {
        setTitleExtension({});
        return;
    }
    setTitleExtension(TQActionMenuItemController::percentageExtension(m_progressSession->progressPart(),
                                                                      m_progressSession->progressTotal()));
    for (TQActionMenuItemController* row : rows())
        row->progressDidChange();
}

void TQSessionMenuItemController::rebuildSubmenu()
{
    const QList<TQProgressActionPtr> actions =
        m_progressSession ? m_progressSession->allActions() : QList<TQProgressActionPtr>();
    QSet<QString> identifiers;
    for (const TQProgressActionPtr& action : actions)
        identifiers.insert(action->identifier());

    bool changed = false;
    QSet<QString> shown;
    for (TQActionMenuItemController* row : rows()) {
        const QString identifier = row->progressAction() ? row->progressAction()->identifier() : QString();
        if (!identifiers.contains(identifier)) {
            QAction* item = row->controlledItem();
            m_submenu->removeAction(item);
            item->deleteLater();
            changed = true;
        } else {
            shown.insert(identifier);
        }
    }
    if (actions.size() < 2) {
        // A single upload stands on the status line alone.
        if (actions.size() == 1 && !m_submenu->actions().isEmpty()) {
            for (QAction* item : m_submenu->actions()) {
                m_submenu->removeAction(item);
                item->deleteLater();
            }
            m_submenu->hide();
            changed = true;
        }
    } else {
        for (const TQProgressActionPtr& action : actions) {
            if (shown.contains(action->identifier()))
                continue;
            auto* item = new QWidgetAction(m_submenu);
            auto* row = new TQActionMenuItemController(item);
            row->setProgressAction(action);
            row->setTarget(this);
            row->setAction(Commands::cancelAction);
            m_submenu->addAction(item);
            changed = true;
        }
    }
    if (changed)
        emit hasSubitemsChanged();
}

void TQSessionMenuItemController::mouseEntered()
{
    if (!hasSubitems())
        return;
    m_submenu->popup(view()->mapToGlobal(QPoint(view()->rect().right() + 1, view()->rect().top())));
}

void TQSessionMenuItemController::mouseExited()
{
    // The pointer on its way into the submenu keeps it open.
    if (!m_submenu->underMouse() && !m_submenu->geometry().contains(QCursor::pos()))
        m_submenu->hide();
}

void TQSessionMenuItemController::cancelAction(QObject* sender)
{
    auto* row = qobject_cast<TQActionMenuItemController*>(sender);
    if (!row || !row->progressAction())
        return;
    const TQProgressActionPtr action = row->progressAction();
    if (TQSession* session = TQSessionManager::sharedManager()->currentSession()) {
        const QList<TQOperationPtr> operations =
            session->queueManager()->operationsMatchingName(action->name(), action->arguments());
        if (!operations.isEmpty())
            session->queueManager()->cancelOperation(operations.last());
    }
    m_submenu->hide();
    if (m_progressSession)
        m_progressSession->removeAction(action);
}

} // namespace tavrel
