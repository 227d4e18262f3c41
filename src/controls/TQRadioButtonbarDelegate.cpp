#include "controls/TQRadioButtonbarDelegate.h"

#include "platform/runtime/Invocation.h"

namespace tavrel {

bool TQRadioButtonbarDelegate::responds(const QObject* delegate, const QString& selector)
{
    return delegate && Invocation::respondsToSelector(delegate, selector);
}

std::optional<bool> TQRadioButtonbarDelegate::send(QObject* delegate, const QString& selector,
                                                   const QVariantList& arguments)
{
    if (!responds(delegate, selector))
        return std::nullopt;
    const InvocationPtr invocation = Invocation::invocationForSelector(selector, delegate);
    for (int i = 0; i < arguments.size(); ++i)
        invocation->setArgument(Invocation::kFirstArgument + i, arguments[i]);
    invocation->invoke();
    return invocation->returnValue().toBool();
}

} // namespace tavrel
