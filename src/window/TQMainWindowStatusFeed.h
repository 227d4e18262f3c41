#pragma once

#include <QHash>
#include <QList>
#include <QObject>
#include <functional>

namespace tavrel {

class IStatusBar;
class TQProgressSession;

// Feeds the main window's status bar: the top session of the progress model with its progress, its
// name as it changes and its end, and the lost connection in words (the sidebar's red frame alone
// says too little). The bar is asked for at each use: a program may replace it while the window lives.
class TQMainWindowStatusFeed : public QObject
{
    Q_OBJECT
public:
    using BarProvider = std::function<IStatusBar*()>;
    explicit TQMainWindowStatusFeed(BarProvider bar, QObject* parent = nullptr);
    ~TQMainWindowStatusFeed() override;

    // The status bar's identifier of a progress session.
    static QString progressIdentifier(const TQProgressSession* session);
    // part * 100 / total in whole numbers; 0 for no total.
    static quint64 progressPercentage(quint64 part, quint64 total);

    void topSessionDidChange(TQProgressSession* session);
    // The bar's words for a lost connection, shown while it lasts.
    void showConnectionStatus(bool offline);

private:
    void stopObservingProgressSession(TQProgressSession* session);

    BarProvider m_bar;
    QHash<TQProgressSession*, QList<QMetaObject::Connection>> m_progressConnections;
};

} // namespace tavrel
