#pragma once

#include "controls/ControlPopovers.h"
#include "platform/ui/Cell.h"

#include <QColor>
#include <QImage>
#include <QList>
#include <QPointer>
#include <QSize>
#include <functional>

namespace tavrel::test {

// A shared floating controller as the layers above would register it: it records what the cells ask
// and shows nothing.
template <typename Port> class RecordingPort : public Port
{
public:
    struct Attachment
    {
        QPointer<QWidget> window;
        QPointF point;
    };

    bool isWindowVisible() const override { return visible; }
    void closeWindow() override
    {
        ++closes;
        if (!visible)
            return;
        const auto observers = willClose;
        willClose.clear();
        for (const auto& observer : observers)
            observer();
        visible = false;
    }
    void attachToWindow(QWidget* window, const QPointF& point) override
    {
        attachments.append({window, point});
        visible = true;
    }
    void observeWindowWillClose(std::function<void()> handler) override
    {
        willClose.append(std::move(handler));
    }

    bool visible = false;
    int closes = 0;
    QList<Attachment> attachments;
    QList<std::function<void()>> willClose;
};

class RecordingLabel : public RecordingPort<FloatingLabelPort>
{
public:
    void setLabel(const QString& label) override { labels.append(label); }
    QStringList labels;
};

class RecordingPermissionPopover : public RecordingPort<QuickPermissionPort>
{
public:
    void setDeletable(bool value) override { deletable = value; }
    void setItem(const QVariant& value) override { item = value; }
    void setEmail(const QVariant& value) override { email = value; }
    bool deletable = true;
    QVariant item;
    QVariant email;
};

class RecordingLinkPopover : public RecordingPort<QuickLinkPort>
{
public:
    void setItem(const QVariant& value) override { item = value; }
    QVariant item;
};

// Registers the four controllers for its lifetime.
struct RegisteredPopovers
{
    RegisteredPopovers();
    ~RegisteredPopovers();
    RecordingLabel label;
    RecordingLabel tooltip;
    RecordingPermissionPopover permission;
    RecordingLinkPopover link;
};

// A pixmap of one colour registered under a name, so drawings can be told apart by colour.
QPixmap registerSolid(const QString& name, const QColor& color, const QSize& size);
// A cell painted into a transparent image of the size (its frame the whole image unless given).
QImage renderCell(Cell& cell, const QSize& size, const QRectF& frame = QRectF());
// Runs the event loop for a while: to show that a delayed thing does not happen before its time.
void letTimePass(int milliseconds);
// Whether the colours match within a small tolerance (antialiasing, rounding to 8 bits).
bool sameColor(const QColor& a, const QColor& b, int tolerance = 2);

} // namespace tavrel::test
