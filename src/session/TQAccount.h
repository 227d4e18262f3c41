#pragma once

#include "session/WXAccount.h"

namespace tavrel {

// The application's account class; it adds nothing but its archived name.
class TQAccount : public WXAccount
{
    Q_OBJECT

public:
    using WXAccount::WXAccount;

    QString archiveClassName() const override { return QStringLiteral("TQAccount"); }
};

} // namespace tavrel
