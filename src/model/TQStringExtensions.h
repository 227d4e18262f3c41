#pragma once

#include <QString>

namespace tavrel {

// Helpers on export names and mail addresses.
class TQStringExtensions
{
public:
    // The base name with the extension that the resource identifier's kind exports to ("document"
    // doc, "presentation" ppt, "spreadsheet" xls, "drawing" pdf); other kinds leave the name as it is.
    static QString exportNameWithResourceId(const QString& name, const QString& resourceId);
    // Whether two addresses have the same text from their first "@" on (letter case counts); false
    // for a null other address or an address without "@".
    static bool hasSameDomainAs(const QString& address, const QString& other);
};

} // namespace tavrel
