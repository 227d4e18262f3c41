#pragma once

#include <QString>

namespace tavrel {

// Turns a document title into one safe file-name component and back. Encoding percent-escapes (as
// UTF-8) every character that can't stand in a URL, the percent sign, every non-ASCII character, the
// slash, the backslash and the digit zero, and leaves the space as it is ("Plan 2010/Q1" becomes
// "Plan 2%301%30%2FQ1"). A title of 256 characters or more is first cut to 250; the encoded name is
// then cut, between whole characters, so that it fits the 255-byte file-name limit.
class FileNameEncoding
{
public:
    static constexpr int kMaximumNameBytes = 255;

    // Null for an empty title.
    static QString stringByEncodingFileName(const QString& title);
    // Null for an empty name, a malformed escape or escapes that are not UTF-8.
    static QString stringByDecodingFileName(const QString& name);
};

} // namespace tavrel
