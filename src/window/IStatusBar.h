#pragma once

#include <QString>
#include <functional>

class QWidget;

namespace tavrel {

// The status bar at the foot of the main window, whoever provides it (the chrome's sliding bar, a
// test's recorder): the window feeds it the progress sessions and statuses by identifier.
class IStatusBar
{
public:
    // The identifier of the lost connection's status.
    static inline const QString kConnectionStatusIdentifier = QStringLiteral("connectionStatus");

    virtual ~IStatusBar() = default;

    virtual void showStatus(const QString& status, const QString& identifier) = 0;
    virtual void showProgress(const QString& status, const QString& identifier) = 0;
    virtual void removeStatusWithIdentifier(const QString& identifier) = 0;
    virtual void removeProgressWithIdentifier(const QString& identifier) = 0;
    virtual void setMessage(const QString& message, const QString& identifier) = 0;
    virtual void setProgressValue(double value, const QString& identifier) = 0;
    virtual void setIndicateActivity(bool indicate) = 0;

    // The bar lies over the bottom of the view the window answers (a bar without a view of its own
    // ignores it); detachFromWindow takes its view back before that window goes.
    virtual void attachToWindow(std::function<QWidget*()> contentView) { (void)contentView; }
    virtual void detachFromWindow(QWidget* window) { (void)window; }
};

} // namespace tavrel
