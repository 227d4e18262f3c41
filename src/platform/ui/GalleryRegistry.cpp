#include "platform/ui/GalleryRegistry.h"

#include <algorithm>

namespace tavrel {

GalleryRegistry& GalleryRegistry::instance()
{
    static GalleryRegistry registry;
    return registry;
}

bool GalleryRegistry::add(const QString& name, const QString& title, PageFunction make)
{
    m_pages.append({name, title, std::move(make)});
    return true;
}

QList<GalleryRegistry::Page> GalleryRegistry::pages() const
{
    QList<Page> pages = m_pages;
    std::sort(pages.begin(), pages.end(), [](const Page& a, const Page& b) { return a.name < b.name; });
    return pages;
}

} // namespace tavrel
