#pragma once

#include "progress/TQProgressSession.h"

namespace tavrel {

// Uploads: names the one file being uploaded, or counts the files of all its actions' "fileURLs".
class TQUploadProgressSession : public TQProgressSession
{
    Q_OBJECT

protected:
    void actionsDidChange() override;
};

} // namespace tavrel
