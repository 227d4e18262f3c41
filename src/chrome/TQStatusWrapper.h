#pragma once

#include <QString>
#include <memory>
#include <optional>

namespace tavrel {

// One entry of the status bar: its label, its key and, for a progress entry, its value (none for an
// indeterminate one). Entries are compared by identity.
class TQStatusWrapper
{
public:
    // Nothing when the status or the identifier is null.
    static std::shared_ptr<TQStatusWrapper> statusWrapperWithStatus(const QString& status,
                                                                    const QString& identifier);

    QString status() const { return m_status; }
    void setStatus(const QString& status) { m_status = status; }
    QString identifier() const { return m_identifier; }
    std::optional<double> progress() const { return m_progress; }
    void setProgress(std::optional<double> progress) { m_progress = progress; }

private:
    QString m_status;
    QString m_identifier;
    std::optional<double> m_progress;
};

using TQStatusWrapperPtr = std::shared_ptr<TQStatusWrapper>;

} // namespace tavrel
