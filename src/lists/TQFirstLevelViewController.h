#pragma once

#include "lists/TQTableViewController.h"
#include "platform/store/Predicate.h"

#include <functional>

namespace tavrel {

// The base of the lists a sidebar mode shows directly (all items, contacts): a row filter that follows
// the search, a layout choice for the rows, the detach of an open quick-share popover while the list
// scrolls, and the selection rules of the record commands.
//
// The filter is a function the owner gives the list: it reads the list's current state (its search,
// its hidden-files choice) each time the rows are fetched, so the rows follow the search without the
// provider knowing of it.
class TQFirstLevelViewController : public TQTableViewController
{
    Q_OBJECT
    Q_PROPERTY(int rowsLayout READ rowsLayout WRITE setRowsLayout)
public:
    using Filter = std::function<Predicate()>;

    explicit TQFirstLevelViewController(const QString& nibName = QString(), QObject* parent = nullptr);
    ~TQFirstLevelViewController() override;

    // The predicate of the rows as it reads now; null (every row) without a filter.
    Predicate filter() const;
    // The list takes over the search test: with a filter, the provider's own search stays unused.
    void setFilter(Filter filter);
    bool hasFilter() const { return bool(m_filter); }
    // With a format ("title CONTAINS[c] %@"), the search goes to the provider instead of the filter:
    // the provider can then match a typed search against the rows it holds, without a new fetch. The
    // filter must then leave the search out.
    QString providerSearchFormat() const { return m_providerSearchFormat; }
    void setProviderSearchFormat(const QString& format);
    // Hands the filter's current predicate to the provider (which fetches again while it follows the
    // store), and tells whoever observes the filter.
    void filterDidChange();

    int rowsLayout() const { return m_rowsLayout; }
    void setRowsLayout(int layout) { m_rowsLayout = layout; }

    void setSearchString(const QString& searchString) override;
    // A new provider gets the filter in force.
    void setDataProvider(ListModel* provider) override;

    void awakeFromNib() override;
    void viewDidInstall() override;
    // share: and deleteEntity: need a selected row, editEntity: exactly one.
    Q_INVOKABLE bool validateUserInterfaceItem(QObject* item) override;

signals:
    void filterChanged();

protected:
    // The list scrolled: an open quick-share popover lets go of its anchor.
    void onViewPositionDidChange();

private:
    void handSearchToProvider();

    Filter m_filter;
    QString m_providerSearchFormat;
    int m_rowsLayout = 0;
};

} // namespace tavrel
