#pragma once

#include <QMetaObject>
#include <QObject>
#include <functional>

namespace tavrel {

// Keeps something's "enabled" equal to the program's online flag (OnlineState): on while online, off
// while offline or while no status exists yet (before the main window first shows). The setter runs
// at once and on every change until the binding is destroyed.
class OnlineBinding : public QObject
{
    Q_OBJECT
public:
    using Setter = std::function<void(bool enabled)>;

    explicit OnlineBinding(Setter setter, QObject* parent = nullptr);
    ~OnlineBinding() override;

    // The value the binding gives: the online flag.
    static bool isOnline();

private:
    Setter m_setter;
};

} // namespace tavrel
