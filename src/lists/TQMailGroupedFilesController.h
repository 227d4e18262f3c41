#pragma once

#include "lists/TQTimeGroupedFilesController.h"

#include <memory>

namespace tavrel {

class Mail;

// The rows of the list of documents shared between the user and one contact: grouped by owner relative
// to that contact (mine, the contact's, others' that both share). Its sort keys are its own: "owner"
// and "sharings" sort by date; the grouppers are the base's.
class TQMailGroupedFilesController : public TQTimeGroupedFilesController
{
    Q_OBJECT
public:
    explicit TQMailGroupedFilesController(ManagedObjectContext* context,
                                          const QString& entityName = QStringLiteral("FileEntryAbstract"),
                                          QObject* parent = nullptr);
    ~TQMailGroupedFilesController() override;

    // "owner" and "sharings" sort by "updatedDate"; any other key is its own sort key.
    static QString sortKeyForExternalKey(const QString& key);
    QString sortKeyFor(const QString& key) const override;

    // The contact whose documents are shown; set by the list when it is loaded.
    std::shared_ptr<Mail> email() const { return m_email; }
    void setEmail(const std::shared_ptr<Mail>& email);

protected:
    QList<FetchColumn> columnsForGroupper(Groupper groupper) const override;
    QList<Group> groupRows(Groupper groupper, const QList<Row>& rows) override;

private:
    QList<Group> mailOwnerGroups(const QList<Row>& rows);
    QList<Group> ownerMeGroups(const QList<Row>& rows);
    QString emailAddress() const;

    std::shared_ptr<Mail> m_email;
};

} // namespace tavrel
