#pragma once

#include <QObject>
#include <atomic>

namespace tavrel {

// The cancel flag of one size calculation, which a worker reads between files: set when
// "TQCancelSizeCalculationNotification" is posted with the calculation's files (their number, from
// filesIdentity), or by cancel(). Made and posted to on the main thread; read from any thread.
class TQCancellerAdapter : public QObject
{
    Q_OBJECT
public:
    static inline const QString kCancelSizeCalculationNotification =
        QStringLiteral("TQCancelSizeCalculationNotification");

    explicit TQCancellerAdapter(quint64 filesIdentity, QObject* parent = nullptr);

    bool cancelled() const { return m_cancelled.load(); }
    void setCancelled(bool cancelled) { m_cancelled.store(cancelled); }
    void cancel() { setCancelled(true); }

private:
    std::atomic<bool> m_cancelled{false};
};

} // namespace tavrel
