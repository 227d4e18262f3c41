#pragma once

#include <QList>
#include <QString>
#include <functional>

class QWidget;

namespace tavrel {

// One picture of a gallery page: a widget in one of its states and a caption saying which. A sample
// marked as a window is drawn with a window frame around it (dialogs, floating windows).
struct GallerySample
{
    QString caption;
    QWidget* widget = nullptr;
    bool isWindow = false;
};

// The pages of the gallery program (tools/gallery): each renders to <name>.png, a sheet of its
// samples. A page is a function in a file named *Gallery.cpp next to the classes it shows; those files
// are built into the gallery program only. The function makes its widgets (the gallery owns and
// deletes them) and returns them in their states:
//
//     static QList<GallerySample> switchButtons()
//     {
//         auto* on = new TQSwitchButton;
//         on->setState(1);
//         return {{QStringLiteral("On"), on}, ...};
//     }
//     TAVREL_GALLERY_PAGE("switch-buttons", "Switch buttons", switchButtons)
class GalleryRegistry
{
public:
    using PageFunction = std::function<QList<GallerySample>()>;
    struct Page
    {
        QString name;  // the file name, without ".png"
        QString title; // the heading of the sheet
        PageFunction make;
    };

    static GalleryRegistry& instance();
    bool add(const QString& name, const QString& title, PageFunction make);
    // The pages by name.
    QList<Page> pages() const;

private:
    QList<Page> m_pages;
};

} // namespace tavrel

#define TAVREL_GALLERY_CONCAT_(a, b) a##b
#define TAVREL_GALLERY_CONCAT(a, b) TAVREL_GALLERY_CONCAT_(a, b)
// Registers a gallery page: a name (the PNG's), a title and a function returning the samples.
#define TAVREL_GALLERY_PAGE(name, title, function)                                                           \
    static const bool TAVREL_GALLERY_CONCAT(galleryPageRegistered_, __LINE__) =                              \
        ::tavrel::GalleryRegistry::instance().add(QStringLiteral(name), QStringLiteral(title), function);
