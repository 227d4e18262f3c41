#pragma once

#include "progress/TQProgressSession.h"

namespace tavrel {

// Saving downloads: names the one document being saved, or counts the documents of all its actions'
// "documentEntities".
class TQSavingProgressSession : public TQProgressSession
{
    Q_OBJECT

protected:
    void actionsDidChange() override;
};

} // namespace tavrel
