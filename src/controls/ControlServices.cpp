#include "controls/ControlServices.h"

namespace tavrel {

namespace {
struct Services
{
    ControlServices::Log log;
    ControlServices::Track track;
    ControlServices::CurrentUser user;
    ControlServices::OpenDocument open;
    ControlServices::ReadValue read;
    ControlServices::WriteValue write;
};

Services& services()
{
    static Services made;
    return made;
}
} // namespace

void ControlServices::log(const QString& line)
{
    if (services().log)
        services().log(line);
}

void ControlServices::track(const QString& category, const QString& name, const QString& value)
{
    if (services().track)
        services().track(category, name, value);
}

QString ControlServices::currentUserAddress()
{
    return services().user ? services().user() : QString();
}

void ControlServices::openDocument(const QVariant& record)
{
    if (services().open)
        services().open(record);
}

QVariant ControlServices::storedValue(const QString& key)
{
    return services().read ? services().read(key) : QVariant();
}

void ControlServices::storeValue(const QString& key, const QVariant& value)
{
    if (services().write)
        services().write(key, value);
}

void ControlServices::setLog(Log log)
{
    services().log = std::move(log);
}

void ControlServices::setTrack(Track track)
{
    services().track = std::move(track);
}

void ControlServices::setCurrentUser(CurrentUser user)
{
    services().user = std::move(user);
}

void ControlServices::setOpenDocument(OpenDocument open)
{
    services().open = std::move(open);
}

void ControlServices::setStorage(ReadValue read, WriteValue write)
{
    services().read = std::move(read);
    services().write = std::move(write);
}

} // namespace tavrel
