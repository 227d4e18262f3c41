#pragma once

#include "contacts/TQAllContactsController.h"

namespace tavrel {

// The favourites list of the Contacts section: the contacts list showing starred people, ordered by
// how many documents each shares with the user (most first, ties by name then address). Delete
// unstars; the row menu's delete still hides. It can star up to five people automatically from the
// documents the user owns.
class TQContactFavoritesController : public TQAllContactsController
{
    Q_OBJECT
public:
    static inline const QString kAllContactsScreenRequestedNotification =
        QStringLiteral("TQAllContactsScreenRequestedNotification");
    // The most people the automatic choice stars.
    static constexpr int kAutomaticFavorites = 5;

    explicit TQContactFavoritesController(QObject* parent = nullptr);

    QString noSearchString() const override;
    // The order is always by shared documents, whatever the sort menu says.
    void setSortDescriptor(const std::optional<SortDescriptor>& descriptor) override;

    using TQAllContactsController::deleteEntity;
    Q_INVOKABLE void deleteEntity(QObject* sender) override;
    Q_INVOKABLE void deleteContact(QObject* sender) override;
    Q_INVOKABLE void showAllContacts(QObject* sender);
    Q_INVOKABLE void createFavoritesAutomatically(QObject* sender);

    // The people the automatic choice stars, in order: the visible people sharing the user's own
    // documents, by shared-document count, most first, ties by name then address, the user never.
    QList<std::shared_ptr<Mail>> automaticFavorites(Error* error) const;

protected:
    QWidget* makeNoItemsView(QWidget* parent) override;
};

} // namespace tavrel
