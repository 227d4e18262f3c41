#pragma once

class QObject;
class QWidget;

namespace tavrel {

// The sheet that names a new contact group, as the window opens it: the target hears how the
// creation ended (operationDidFinishWithResult:error:); the sheet frees itself when it ends.
class INewGroupSheet
{
public:
    // Whether the program can create groups at all (the action is built in).
    static bool isCreateGroupAvailable();

    virtual ~INewGroupSheet() = default;
    virtual void setCallbackTarget(QObject* target) = 0;
    virtual void showWindowModalToWindow(QWidget* window) = 0;
};

} // namespace tavrel
