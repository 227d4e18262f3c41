#pragma once

#include "progress/IProgressAction.h"

#include <QVariantMap>
#include <memory>

namespace tavrel {

class TQProgressAction;
using TQProgressActionPtr = std::shared_ptr<TQProgressAction>;

// One running action as the progress model sees it, identified by its "actionID" argument. Made on
// the thread that reports the event and handed to the main thread.
class TQProgressAction : public IProgressAction
{
public:
    static inline const QString kActionIDKey = QStringLiteral("actionID");

    // Null (and logged) when the arguments carry no "actionID".
    static TQProgressActionPtr actionWithName(const QString& name, const QVariantMap& arguments);

    TQProgressAction(QString name, QVariantMap arguments, QString identifier)
        : m_identifier(std::move(identifier)), m_name(std::move(name)), m_arguments(std::move(arguments))
    {}

    const QString& identifier() const { return m_identifier; }
    void setIdentifier(const QString& identifier) { m_identifier = identifier; }
    const QVariantMap& arguments() const { return m_arguments; }
    void setArguments(const QVariantMap& arguments) { m_arguments = arguments; }

    QString name() const override { return m_name; }
    void setName(const QString& name) override { m_name = name; }
    quint64 progressPart() const override { return m_progressPart; }
    void setProgressPart(quint64 part) override { m_progressPart = part; }
    quint64 progressTotal() const override { return m_progressTotal; }
    void setProgressTotal(quint64 total) override { m_progressTotal = total; }

private:
    QString m_identifier;
    QString m_name;
    QVariantMap m_arguments;
    quint64 m_progressPart = 0;
    quint64 m_progressTotal = 0;
};

} // namespace tavrel
