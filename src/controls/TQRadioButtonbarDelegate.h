#pragma once

#include "platform/ui/MessageNames.h"

#include <QObject>
#include <QString>
#include <QVariantList>
#include <optional>

namespace tavrel {

// The optional methods of a radio button bar's delegate, a QObject declaring any of them
// Q_INVOKABLE. The four radio-bar methods share their first keyword, so the second joins the name:
//     bool radiobarShouldActivateButton(QObject* bar, QAbstractButton* button);   // NO vetoes
//     void radiobarWillDeactivateButton(QObject* bar, QAbstractButton* active);   // nullptr at first
//     void radiobarDidActivateButton(QObject* bar, QAbstractButton* button);
//     void radiobarDidReactivateButton(QObject* bar, QAbstractButton* button);
//     bool validateUserInterfaceItem(QObject* button);
// and for bars that take drags (the sidebar):
//     bool validateDraggingInfo(QDropEvent* draggingInfo, QAbstractButton* button);
//     bool shouldAutoactivateButton(QAbstractButton* button, QDropEvent* draggingInfo);
//     bool performDropWithDraggingInfo(QDropEvent* draggingInfo, QAbstractButton* button);
// Each is sent only when the delegate has it.
class TQRadioButtonbarDelegate
{
public:
    static inline const QString kShouldActivateButtonSelector = Selectors::radiobarShouldActivateButton;
    static inline const QString kWillDeactivateButtonSelector = Selectors::radiobarWillDeactivateButton;
    static inline const QString kDidActivateButtonSelector = Selectors::radiobarDidActivateButton;
    static inline const QString kDidReactivateButtonSelector = Selectors::radiobarDidReactivateButton;
    static inline const QString kValidateUserInterfaceItemSelector = Commands::validateUserInterfaceItem;
    static inline const QString kValidateDraggingInfoSelector = Selectors::validateDraggingInfo;
    static inline const QString kShouldAutoactivateButtonSelector = Selectors::shouldAutoactivateButton;
    static inline const QString kPerformDropSelector = Selectors::performDropWithDraggingInfo;

    static bool responds(const QObject* delegate, const QString& selector);
    // Sends the method with the arguments; answers its result as a boolean, nothing when the delegate
    // does not have it.
    static std::optional<bool> send(QObject* delegate, const QString& selector,
                                    const QVariantList& arguments);
};

} // namespace tavrel
