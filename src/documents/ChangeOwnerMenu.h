#pragma once

#include "platform/store/ManagedObject.h"

#include <QList>

class QObject;

namespace tavrel {

class ManagedObjectContext;

// The change-owner item of the document lists' row menus. It is enabled while every document is the
// user's own and of a kind whose owner can change (documents, spreadsheets, drawings); its submenu
// lists the people who could become the owner, each once, then the entry that opens the change-owner
// dialog. Its entries send "changeOwnership:" to the target.
class ChangeOwnerMenu
{
public:
    static void setup(QObject* item, const QList<ManagedObjectPtr>& documents, ManagedObjectContext* context,
                      QObject* target);
};

} // namespace tavrel
