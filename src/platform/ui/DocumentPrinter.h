#pragma once

#include <QString>

class QPrinter;

namespace tavrel {

// Prints a local file ourselves, page by page onto a printer: PDF files through Qt PDF, images and
// plain text. Nothing is handed to another program or a shell.
class DocumentPrinter
{
public:
    enum class Kind { Unsupported, Pdf, Image, Text };

    // What the file's content type makes of it.
    static Kind kindOfFile(const QString& path);
    // Prints the file; false with the reason (in the user's words for a kind that cannot be printed).
    static bool printFile(const QString& path, QPrinter* printer, QString* error = nullptr);
};

} // namespace tavrel
