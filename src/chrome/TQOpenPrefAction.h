#pragma once

#include "chrome/IUIAction.h"

#include <QObject>
#include <functional>

namespace tavrel {

// The banner action "openPreferences": shows the preferences window. The application installs what
// opens it (the window lives above this layer); without an opener the action does nothing.
class TQOpenPrefAction : public IUIAction
{
public:
    static inline const QString kName = QStringLiteral("openPreferences");

    QString name() const override { return kName; }
    void execute() override;

    // Called with the action's sender (none).
    using Opener = std::function<void(QObject* sender)>;
    static void setPreferencesOpener(Opener opener);
};

} // namespace tavrel
