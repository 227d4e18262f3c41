#pragma once

#include <QObject>
#include <QString>
#include <QVariantMap>

namespace tavrel {

// The optional methods of an action's "progressConsumer". A consumer is a QObject that declares any
// of them Q_INVOKABLE:
//     Q_INVOKABLE void actionWillStart(const QString& action, const QVariantMap& arguments);
//     Q_INVOKABLE void actionDidProgress(const QString& progressID, const QVariantMap& arguments,
//                                        quint64 part, quint64 total);
//     Q_INVOKABLE void actionDidFinish(const QString& action, const QVariantMap& arguments);
// Each is sent only when the consumer responds to it, on the sender's thread.
class IProgressConsumer
{
public:
    static inline const QString kActionWillStartSelector = QStringLiteral("actionWillStart:arguments:");
    static inline const QString kActionDidProgressSelector =
        QStringLiteral("actionDidProgress:arguments:part:ofTotal:");
    static inline const QString kActionDidFinishSelector = QStringLiteral("actionDidFinish:arguments:");

    // Each answers whether the consumer responded (nothing is sent to a null consumer).
    static bool sendActionWillStart(QObject* consumer, const QString& action, const QVariantMap& arguments);
    static bool sendActionDidProgress(QObject* consumer, const QString& progressID,
                                      const QVariantMap& arguments, quint64 part, quint64 total);
    static bool sendActionDidFinish(QObject* consumer, const QString& action, const QVariantMap& arguments);
};

} // namespace tavrel
