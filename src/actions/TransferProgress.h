#pragma once

#include <QHash>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QVariantMap>

namespace tavrel {

// The byte progress of an aggregate transfer over its items (files of an upload, documents of a
// download): each item reports under its own identifier to the aggregate, which sums the items' bytes
// and reports its running totals under the request's own identifier to the request's consumer. An item
// whose actual size differs from the expected one corrects the total; the running count never goes
// back.
class TransferProgress
{
public:
    // The request's consumer (not owned) and identifier.
    void setConsumer(QObject* consumer, const QString& progressID);
    QObject* consumer() const { return m_consumer; }
    const QString& progressID() const { return m_progressID; }
    // Whether the consumer takes byte progress: only then are items measured and relayed.
    bool consumerTakesProgress() const;

    // A new item identifier ("upload_<n>", unique in the process) expecting `size` bytes.
    QString addItem(quint64 size);

    // An item step started or finished.
    void itemDidStartOrFinish() { m_lastProgress = 0; }
    // An item reported `part` of `total` bytes: the request's consumer hears the running totals.
    void itemDidProgress(const QString& identifier, const QVariantMap& arguments, quint64 part,
                         quint64 total);

    quint64 currentProgress() const { return m_currentProgress; }
    quint64 totalProgress() const { return m_totalProgress; }

private:
    QPointer<QObject> m_consumer;
    QString m_progressID;
    quint64 m_totalProgress = 0;
    quint64 m_currentProgress = 0;
    quint64 m_lastProgress = 0;
    QHash<QString, quint64> m_sizes;
};

} // namespace tavrel
