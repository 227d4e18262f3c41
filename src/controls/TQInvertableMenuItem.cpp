#include "controls/TQInvertableMenuItem.h"

#include "platform/ui/ImageRegistry.h"

namespace tavrel {

namespace {
const QString kWhite = QStringLiteral("-white");
}

QString TQInvertableMenuItem::imageName() const
{
    return icon().name();
}

void TQInvertableMenuItem::setImageName(const QString& name)
{
    setIcon(ImageRegistry::icon(name));
}

void TQInvertableMenuItem::setPreparingHighlight(bool preparing)
{
    const QString name = imageName();
    if (name.isEmpty())
        return;
    QString candidate = name;
    if (preparing && !name.endsWith(kWhite))
        candidate = name + kWhite;
    else if (!preparing && name.endsWith(kWhite))
        candidate = QString(name).remove(kWhite);
    if (candidate != name && ImageRegistry::contains(candidate))
        setImageName(candidate);
}

} // namespace tavrel
