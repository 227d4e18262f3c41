#include "DocInput.h"

#include "AtomText.h"
#include "LocalServiceState.h"

#include <QStringList>

namespace tavrel::localservice {

namespace {
using A = AtomText;

const char kKindScheme[] = "http://schemas.google.com/g/2005#kind";
const char kLabelScheme[] = "http://schemas.google.com/g/2005/labels";

bool isModelledDocElement(const pugi::xml_node& n)
{
    const QString ns = A::namespaceOf(n);
    const QString local = A::localName(n.name());
    if (ns == QLatin1String(A::kAtom))
        return QStringList{"id", "published", "updated", "title", "content", "link", "author", "category"}
            .contains(local);
    if (ns == QLatin1String(A::kApp) || ns == QLatin1String(A::kBatch))
        return true;
    if (ns == QLatin1String(A::kGd))
        return QStringList{"resourceId",     "lastModifiedBy", "lastViewed",
                           "quotaBytesUsed", "feedLink",       "deleted"}
            .contains(local);
    if (ns == QLatin1String(A::kDocs))
        return QStringList{"writersCanInvite", "isShareable", "isShareableByMe",     "modifiedByMeDate",
                           "md5Checksum",      "filename",    "suggestedFilename",   "size",
                           "changestamp",      "removed",     "isExplicitlyTrashed", "hasForm"}
            .contains(local);
    return false;
}
} // namespace

DocInput DocInput::read(const pugi::xml_node& entry)
{
    DocInput in;
    in.etag = A::attribute(entry, "etag");
    for (pugi::xml_node c = entry.first_child(); c; c = c.next_sibling()) {
        if (c.type() != pugi::node_element)
            continue;
        if (A::is(c, A::kAtom, "category")) {
            const QString scheme = QString::fromUtf8(c.attribute("scheme").value());
            const QString term = QString::fromUtf8(c.attribute("term").value());
            if (scheme == QLatin1String(kKindScheme)) {
                const QString k = LocalServiceState::kindFromTerm(term);
                if (!k.isEmpty())
                    in.kind = k;
            } else if (scheme == QLatin1String(kLabelScheme)) {
                QString label = QString::fromUtf8(c.attribute("label").value());
                if (label.isEmpty())
                    label = term.section(QLatin1Char('#'), -1);
                in.labels.insert(label);
            }
        } else if (A::is(c, A::kAtom, "title")) {
            in.title = QString::fromUtf8(c.text().get());
            in.hasTitle = true;
        } else if (A::is(c, A::kAtom, "id")) {
            in.id = A::lastSegment(QString::fromUtf8(c.text().get()).trimmed());
        } else if (A::is(c, A::kGd, "resourceId")) {
            in.id = QString::fromUtf8(c.text().get()).trimmed();
        } else if (A::is(c, A::kDocs, "writersCanInvite")) {
            in.hasWritersCanInvite = true;
            in.writersCanInvite = QString::fromUtf8(c.attribute("value").value()) == QLatin1String("true");
        } else if (!isModelledDocElement(c)) {
            in.extras.append(A::serializeStandalone(c));
        }
    }
    return in;
}

} // namespace tavrel::localservice
