#include "controls/TQDestinationDropDelegate.h"
#include "controls/TQHoverableCell.h"
#include "platform/ui/Cell.h"
#include "platform/ui/DragBus.h"

#include <QDropEvent>
#include <QMimeData>
#include <QObject>
#include <QUrl>
#include <gtest/gtest.h>
#include <vector>

namespace tavrel {
namespace {

// A controller that decides only whether a drag may hover.
class HoverOnlyDelegate : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject* acceptor, QDropEvent* info)
    {
        seenAcceptor = acceptor;
        seenInfo = info;
        return true;
    }
    QObject* seenAcceptor = nullptr;
    QDropEvent* seenInfo = nullptr;
};

// A controller that answers all three, refusing the drop itself.
class FailingDropDelegate : public QObject
{
    Q_OBJECT
public:
    Q_INVOKABLE bool acceptorCanAcceptDraggingInfo(QObject*, QDropEvent*) { return true; }
    Q_INVOKABLE bool acceptorValidateDraggingInfo(QObject*, QDropEvent*) { return true; }
    Q_INVOKABLE bool acceptorProcessDraggingInfo(QObject*, QDropEvent*)
    {
        ++processed;
        return false;
    }
    int processed = 0;
};

TEST(DropProtocol, AMissingMethodCountsAsRefusal)
{
    QObject nothing;
    HoverOnlyDelegate hoverOnly;
    FailingDropDelegate failing;
    QObject acceptor;
    QMimeData data;
    QDropEvent event(QPointF(4, 4), Qt::CopyAction | Qt::MoveAction, &data, Qt::LeftButton, {});

    struct Row
    {
        const char* name;
        QObject* delegate;
        bool canAccept, validate, process;
    };
    const std::vector<Row> rows{
        {"no delegate", nullptr, false, false, false},
        {"a delegate with none of the methods", &nothing, false, false, false},
        {"hover only: highlighted, but every drop refused", &hoverOnly, true, false, false},
        {"all three: the processing's own answer", &failing, true, true, false},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_EQ(TQDestinationDropDelegate::canAcceptDraggingInfo(row.delegate, &acceptor, &event),
                  row.canAccept);
        EXPECT_EQ(TQDestinationDropDelegate::validateDraggingInfo(row.delegate, &acceptor, &event),
                  row.validate);
        EXPECT_EQ(TQDestinationDropDelegate::processDraggingInfo(row.delegate, &acceptor, &event),
                  row.process);
    }
    // The delegate is told which target asks and about which drag.
    EXPECT_EQ(hoverOnly.seenAcceptor, &acceptor);
    EXPECT_EQ(hoverOnly.seenInfo, &event);
    EXPECT_EQ(failing.processed, 1);
}

TEST(DropProtocol, FilesAreCopiedAndOurOwnItemsTakeTheGenericOperation)
{
    QMimeData files;
    DragBus::setFileURLs(&files, {QUrl::fromLocalFile(QStringLiteral("/tmp/report.pdf"))});
    QMimeData records;
    DragBus::setFileItems(&records, {QStringLiteral("doc-1")});
    QMimeData empty;
    DragBus::setFileURLs(&empty, {});

    EXPECT_EQ(TQDestinationDropDelegate::dragOperation(&files), Qt::CopyAction);
    EXPECT_EQ(TQDestinationDropDelegate::dragOperation(&records), Qt::MoveAction);
    EXPECT_EQ(TQDestinationDropDelegate::dragOperation(&empty), Qt::MoveAction);
}

class HoverBadge : public Cell, public TQHoverableCell
{
    TAVREL_CELL(HoverBadge)
public:
    bool hovered() const override { return isHovered(); }
    void setHovered(bool hovered) override
    {
        ++changes;
        Cell::setHovered(hovered);
    }
    int changes = 0;
};

TEST(HoverProtocol, OnlyAdoptersAreSeenAsHoverableAndShareTheCellsState)
{
    Cell plain;
    HoverBadge badge;
    EXPECT_EQ(TQHoverableCell::from(&plain), nullptr);
    TQHoverableCell* hoverable = TQHoverableCell::from(&badge);
    ASSERT_NE(hoverable, nullptr);

    hoverable->setHovered(true);
    EXPECT_TRUE(badge.isHovered());
    // Hosts that only know Cell reach the adopter's own setHovered too.
    static_cast<Cell&>(badge).setHovered(false);
    EXPECT_FALSE(hoverable->hovered());
    EXPECT_EQ(badge.changes, 2);
    // A copy keeps its class, and with it the protocol.
    EXPECT_NE(TQHoverableCell::from(badge.clone().get()), nullptr);
}

} // namespace
} // namespace tavrel

#include "DropProtocolTest.moc"
