#pragma once

#include "progress/IProgressAction.h"
#include "progress/TQProgressAction.h"

#include <QHash>
#include <QList>
#include <QObject>
#include <QString>
#include <functional>

namespace tavrel {

// The running actions of one name, shown to the user as one line. Part and total add up over every
// action the session has held. Main thread only.
class TQProgressSession : public QObject, public IProgressAction
{
    Q_OBJECT
    Q_PROPERTY(QString name READ name CONSTANT)
    Q_PROPERTY(QString humanReadableName READ humanReadableName NOTIFY humanReadableNameChanged)
    Q_PROPERTY(int numberOfActions READ numberOfActions NOTIFY numberOfActionsChanged)
    Q_PROPERTY(quint64 progressPart READ progressPart NOTIFY progressChanged)
    Q_PROPERTY(quint64 progressTotal READ progressTotal NOTIFY progressChanged)
    Q_PROPERTY(quint64 priority READ priority CONSTANT)
    Q_PROPERTY(bool hasProgress READ hasProgress CONSTANT)
    Q_PROPERTY(bool isCompleted READ isCompleted)
    Q_PROPERTY(bool isStatic READ isStatic CONSTANT)

public:
    using Factory = std::function<TQProgressSession*()>;

    static constexpr quint64 kFullUpdatePriority = 0x7fffffff;
    static constexpr quint64 kFastUpdatePriority = 0x7ffffffe;

    // A new session of the class, display name, priority and progress bar that the name calls for
    // (the caller owns it); null (and logged) for a null name.
    static TQProgressSession* sessionWithName(const QString& name);
    // Session name to the class that shows it; other names use this class.
    static const QHash<QString, Factory>& implementersMap();
    // Session name to the key of its localised display name; other names show "Updating".
    static const QHash<QString, QString>& namesMap();
    // A text of the "Localizable" table, or its English text when not translated.
    static QString localizedString(const QString& key);

    TQProgressSession() = default;

    QString name() const override { return m_name; }
    void setName(const QString& name) override { m_name = name; }
    quint64 progressPart() const override { return m_progressPart; }
    void setProgressPart(quint64 part) override;
    quint64 progressTotal() const override { return m_progressTotal; }
    void setProgressTotal(quint64 total) override;

    virtual QString humanReadableName() const { return m_humanReadableName; }
    void setHumanReadableName(const QString& name);
    quint64 priority() const { return m_priority; }
    void setPriority(quint64 priority) { m_priority = priority; }
    bool hasProgress() const { return m_hasProgress; }
    void setHasProgress(bool hasProgress) { m_hasProgress = hasProgress; }
    bool isCompleted() const { return m_isCompleted; }
    void setIsCompleted(bool completed) { m_isCompleted = completed; }
    virtual bool isStatic() const { return false; }

    // An identifier already held changes nothing.
    void addAction(const TQProgressActionPtr& action);
    // Takes the part and total of the action into the held one of the same identifier.
    void updateAction(const TQProgressActionPtr& action);
    void removeAction(const TQProgressActionPtr& action);
    QList<TQProgressActionPtr> allActions() const { return m_actions.values(); }
    int numberOfActions() const { return int(m_actions.size()); }

signals:
    void humanReadableNameChanged(const QString& humanReadableName);
    void numberOfActionsChanged(int numberOfActions);
    void progressChanged();

protected:
    // Called after every addAction() and removeAction(), so that a subclass can name its actions.
    virtual void actionsDidChange() {}

private:
    QString m_name;
    QString m_humanReadableName;
    QHash<QString, TQProgressActionPtr> m_actions;
    quint64 m_priority = 0;
    bool m_hasProgress = false;
    bool m_isCompleted = false;
    quint64 m_progressPart = 0;
    quint64 m_progressTotal = 0;
};

} // namespace tavrel
