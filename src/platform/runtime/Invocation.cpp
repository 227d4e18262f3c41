#include "platform/runtime/Invocation.h"

#include "platform/runtime/ThreadDispatch.h"

#include <QMetaMethod>
#include <QMetaObject>

namespace tavrel {

namespace {

int parameterCountForSelector(const QString& selector)
{
    return int(selector.count(QLatin1Char(':')));
}

QMetaMethod findMethod(const QMetaObject* meta, const QString& selector)
{
    const QByteArray name = Invocation::methodNameForSelector(selector);
    const int count = parameterCountForSelector(selector);
    // Walk from the most derived class so an override in a subclass wins.
    for (int i = meta->methodCount() - 1; i >= 0; --i) {
        const QMetaMethod method = meta->method(i);
        if (method.methodType() == QMetaMethod::Signal || method.methodType() == QMetaMethod::Constructor)
            continue;
        if (method.name() == name && method.parameterCount() == count)
            return method;
    }
    return {};
}

// Converts an argument to the parameter's type; a value that does not convert becomes the type's
// default value, as a nil object argument would.
QVariant argumentForParameter(const QVariant& value, QMetaType type)
{
    // A QVariant parameter takes the value as it is (QVariant::fromValue would not wrap it).
    if (type == QMetaType::fromType<QVariant>())
        return value;
    if (value.metaType() == type)
        return value;
    QVariant converted = value;
    if (value.isValid() && converted.convert(type))
        return converted;
    return QVariant(type);
}

} // namespace

Invocation::~Invocation() = default;

QByteArray Invocation::methodNameForSelector(const QString& selector)
{
    const qsizetype colon = selector.indexOf(QLatin1Char(':'));
    return (colon < 0 ? selector : selector.left(colon)).toUtf8();
}

bool Invocation::respondsToSelector(const QObject* object, const QString& selector)
{
    return object && findMethod(object->metaObject(), selector).isValid();
}

InvocationPtr Invocation::invocationForSelector(const QString& selector, std::shared_ptr<QObject> target)
{
    InvocationPtr invocation(new Invocation);
    invocation->m_selector = selector;
    invocation->m_hasObjectTarget = true;
    invocation->m_weakTarget = target.get();
    invocation->m_strongTarget = std::move(target);
    return invocation;
}

InvocationPtr Invocation::invocationForSelector(const QString& selector, QObject* target)
{
    InvocationPtr invocation(new Invocation);
    invocation->m_selector = selector;
    invocation->m_hasObjectTarget = true;
    invocation->m_weakTarget = target;
    return invocation;
}

InvocationPtr Invocation::invocationWithFunction(const QString& selector, Function function)
{
    InvocationPtr invocation(new Invocation);
    invocation->m_selector = selector;
    invocation->m_function = std::move(function);
    return invocation;
}

InvocationPtr Invocation::invocationWithInvocation(const InvocationPtr& first, const InvocationPtr& second,
                                                   const QVariant& parameter, InvocationPtr encapsulation)
{
    if (!encapsulation) {
        encapsulation = invocationWithFunction(kEncapsulateSelector, [](Invocation& self) {
            encapsulateInvocation(self.argument(2).value<InvocationPtr>(),
                                  self.argument(3).value<InvocationPtr>(), self.argument(4));
            return QVariant();
        });
    }
    encapsulation->setArgument(2, QVariant::fromValue(first));
    encapsulation->setArgument(3, QVariant::fromValue(second));
    encapsulation->setArgument(4, parameter);
    return encapsulation;
}

void Invocation::encapsulateInvocation(const InvocationPtr& first, const InvocationPtr& second,
                                       const QVariant& parameter)
{
    QVariant result;
    if (first) {
        first->setArgument(2, parameter);
        first->invoke();
        result = first->returnValue();
    }
    if (second) {
        second->setArgument(2, result);
        second->invoke();
    }
}

QObject* Invocation::target() const
{
    return m_weakTarget.data();
}

bool Invocation::hasTarget() const
{
    return m_function || !m_weakTarget.isNull();
}

void Invocation::setArgument(int index, const QVariant& value)
{
    if (index < kFirstArgument)
        return;
    std::lock_guard lock(m_mutex);
    const int slot = index - kFirstArgument;
    while (m_arguments.size() <= slot)
        m_arguments.append(QVariant());
    m_arguments[slot] = value;
}

QVariant Invocation::argument(int index) const
{
    std::lock_guard lock(m_mutex);
    const int slot = index - kFirstArgument;
    return slot >= 0 && slot < m_arguments.size() ? m_arguments.at(slot) : QVariant();
}

QVariant Invocation::returnValue() const
{
    std::lock_guard lock(m_mutex);
    return m_returnValue;
}

bool Invocation::invoke()
{
    // Keeps this invocation (and through it the target) alive for the call.
    const InvocationPtr self = shared_from_this();
    if (m_function) {
        QVariant result = m_function(*this);
        std::lock_guard lock(m_mutex);
        m_returnValue = std::move(result);
        return true;
    }
    QPointer<QObject> guard = m_weakTarget;
    QObject* object = guard.data();
    if (!object)
        return false;
    const QMetaMethod method = findMethod(object->metaObject(), m_selector);
    if (!method.isValid())
        return false;

    QList<QVariant> values;
    {
        std::lock_guard lock(m_mutex);
        for (int i = 0; i < method.parameterCount(); ++i)
            values.append(argumentForParameter(i < m_arguments.size() ? m_arguments.at(i) : QVariant(),
                                               method.parameterMetaType(i)));
    }
    const QMetaType returnType = method.returnMetaType();
    const bool returns = returnType.isValid() && returnType != QMetaType::fromType<void>();
    const bool returnsVariant = returnType == QMetaType::fromType<QVariant>();
    QVariant result;
    if (returns && !returnsVariant)
        result = QVariant(returnType);
    QList<void*> argv;
    // A QVariant return value is written into `result` itself.
    argv.append(!returns ? nullptr : returnsVariant ? static_cast<void*>(&result) : result.data());
    // A QVariant parameter is passed as the QVariant itself, any other as the value inside it.
    for (int i = 0; i < values.size(); ++i)
        argv.append(method.parameterMetaType(i) == QMetaType::fromType<QVariant>()
                        ? static_cast<void*>(&values[i])
                        : values[i].data());
    QMetaObject::metacall(object, QMetaObject::InvokeMetaMethod, method.methodIndex(), argv.data());
    std::lock_guard lock(m_mutex);
    m_returnValue = std::move(result);
    return true;
}

bool Invocation::performOnThread(QThread* thread, bool wait)
{
    const InvocationPtr self = shared_from_this();
    return ThreadDispatch::performOnThread(
        thread, [self] { self->invoke(); }, wait);
}

QThread* Invocation::thread() const
{
    std::lock_guard lock(m_mutex);
    return m_thread;
}

void Invocation::setThread(QThread* thread)
{
    std::lock_guard lock(m_mutex);
    m_thread = thread;
}

bool Invocation::perform(bool wait)
{
    QThread* target = thread();
    if (!target)
        return invoke();
    return performOnThread(target, wait);
}

bool Invocation::performOnMainThread(bool wait)
{
    const InvocationPtr self = shared_from_this();
    ThreadDispatch::performOnMainThread([self] { self->invoke(); }, wait);
    return true;
}

} // namespace tavrel
