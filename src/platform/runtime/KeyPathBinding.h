#pragma once

#include <QList>
#include <QMetaObject>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QStringList>
#include <QVariant>
#include <functional>

namespace tavrel {

// Follows a dotted path of Qt properties from a root object ("delegate.connectionStatus.online"):
// every step but the last must hold a QObject. The receiver gets the leaf's value once at binding
// (when the path resolves) and again whenever the leaf's NOTIFY signal fires or an object along the
// path is replaced (a declared property's NOTIFY, or a dynamic property being set). A path that
// breaks delivers an invalid value. Lives and delivers on the thread of its parent; main thread only.
class KeyPathBinding : public QObject
{
    Q_OBJECT

public:
    using Receiver = std::function<void(const QVariant& value)>;

    KeyPathBinding(QObject* root, const QString& keyPath, Receiver receiver, QObject* parent = nullptr);
    ~KeyPathBinding() override;

    // The leaf's current value; invalid while the path does not resolve.
    QVariant value() const;
    // Stops following the path; nothing is delivered after this.
    void unbind();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private slots:
    void pathChanged();

private:
    QVariant resolve(bool connectAlongPath);
    void disconnectAll();

    QPointer<QObject> m_root;
    QStringList m_keys;
    Receiver m_receiver;
    QList<QMetaObject::Connection> m_connections;
    QList<QPointer<QObject>> m_watched;
    bool m_bound = true;
};

} // namespace tavrel
