#pragma once

#include <QList>
#include <QMetaType>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QThread>
#include <QVariant>
#include <functional>
#include <memory>
#include <mutex>

namespace tavrel {

class Invocation;
using InvocationPtr = std::shared_ptr<Invocation>;

// A call packaged as an object: a target, a selector and its arguments, to be invoked later, here or
// on another thread. Arguments are numbered as the selector's are counted from 2 (2 is the first
// argument, 4 the third), and every argument is a QVariant that the invocation keeps until it is
// released.
//
// The method is found by selector text: the part before the first ':' names a Q_INVOKABLE method (or
// slot) of the target, and the number of ':' is its number of parameters
// ("documentsDidTrashWithResult:error:" calls documentsDidTrashWithResult(result, error)).
//
// A target owned by shared_ptr is kept alive by the invocation; a target owned by Qt's parent tree is
// watched by QPointer. Invoking an invocation whose target is gone does nothing. A function invocation
// stands in for a class method or a block: its function receives the invocation and answers the
// return value.
class Invocation : public std::enable_shared_from_this<Invocation>
{
public:
    using Function = std::function<QVariant(Invocation& invocation)>;

    static constexpr int kFirstArgument = 2;
    static inline const QString kEncapsulateSelector =
        QStringLiteral("_encapsulateInvocation:withInvocation:parameter:");

    // The invocation of a selector on a target. Arguments from 2 on are unset (invalid QVariant).
    static InvocationPtr invocationForSelector(const QString& selector, std::shared_ptr<QObject> target);
    template <typename T>
    requires std::is_base_of_v<QObject, T>
    static InvocationPtr invocationForSelector(const QString& selector, const std::shared_ptr<T>& target)
    {
        return invocationForSelector(selector, std::static_pointer_cast<QObject>(target));
    }
    static InvocationPtr invocationForSelector(const QString& selector, QObject* target);
    // An invocation that runs a function under the given selector name.
    static InvocationPtr invocationWithFunction(const QString& selector, Function function);

    // Chains two invocations: invoking the answer runs the encapsulation with the first invocation
    // as argument 2, the second as argument 3 and the parameter as argument 4. Without an
    // encapsulation, one running encapsulateInvocation() is made. Nothing is invoked here; the
    // encapsulation passed in is the one answered.
    static InvocationPtr invocationWithInvocation(const InvocationPtr& first, const InvocationPtr& second,
                                                  const QVariant& parameter,
                                                  InvocationPtr encapsulation = nullptr);
    // Runs a chain on the calling thread: the parameter becomes argument 2 of the first invocation,
    // which is invoked; its return value becomes argument 2 of the second, which is invoked.
    static void encapsulateInvocation(const InvocationPtr& first, const InvocationPtr& second,
                                      const QVariant& parameter);

    // Whether the object has a method for the selector (a lookup in its meta-object).
    static bool respondsToSelector(const QObject* object, const QString& selector);
    // The C++ method name for a selector: its text up to the first ':'.
    static QByteArray methodNameForSelector(const QString& selector);

    ~Invocation();

    const QString& selector() const { return m_selector; }
    // The target, or nullptr when it is gone (or for a function invocation).
    QObject* target() const;
    bool isFunction() const { return bool(m_function); }
    // False when the target is gone: invoking then does nothing.
    bool hasTarget() const;

    void setArgument(int index, const QVariant& value);
    QVariant argument(int index) const;
    QVariant returnValue() const;

    // Calls the method on the calling thread. Answers false (and calls nothing) when the target is
    // gone or does not respond to the selector.
    bool invoke();
    // Invokes on the given thread; waiting as ThreadDispatch::performOnThread allows. The invocation,
    // and with it its target and arguments, lives until the call has run. Answers false when the
    // thread can't be reached.
    bool performOnThread(QThread* thread, bool wait);
    bool performOnMainThread(bool wait);

    // The thread to perform on; perform() invokes there (here when none is set).
    QThread* thread() const;
    void setThread(QThread* thread);
    bool perform(bool wait);

private:
    Invocation() = default;

    QString m_selector;
    std::shared_ptr<QObject> m_strongTarget;
    QPointer<QObject> m_weakTarget;
    bool m_hasObjectTarget = false;
    Function m_function;

    mutable std::mutex m_mutex;
    QList<QVariant> m_arguments; // index 0 is argument 2
    QVariant m_returnValue;
    QThread* m_thread = nullptr;
};

} // namespace tavrel

Q_DECLARE_METATYPE(tavrel::InvocationPtr)
