#include "support/Unreadable.h"

#include <linux/capability.h>
#include <sys/syscall.h>
#include <unistd.h>

namespace tavrel::test {

namespace {

constexpr quint32 kOverrides = (1u << CAP_DAC_OVERRIDE) | (1u << CAP_DAC_READ_SEARCH);

// Clears or sets the overrides in the calling thread's effective set; false when they were not there.
bool setOverrides(bool on)
{
    __user_cap_header_struct header{_LINUX_CAPABILITY_VERSION_3, 0};
    __user_cap_data_struct data[2] = {};
    if (::syscall(SYS_capget, &header, data) != 0 || (data[0].permitted & kOverrides) == 0)
        return false;
    if (on)
        data[0].effective |= data[0].permitted & kOverrides;
    else
        data[0].effective &= ~kOverrides;
    return ::syscall(SYS_capset, &header, data) == 0;
}

} // namespace

Unreadable::Unreadable(const QString& path, QFile::Permissions permissions)
    : m_path(path), m_saved(QFile::permissions(path))
{
    QFile::setPermissions(path, permissions);
    m_dropped = setOverrides(false);
}

Unreadable::~Unreadable()
{
    if (m_dropped)
        setOverrides(true);
    QFile::setPermissions(m_path, m_saved);
}

void Unreadable::startAsUser(QString& program, QStringList& arguments)
{
    if (::geteuid() != 0)
        return;
    arguments.prepend(program);
    arguments.prepend(QStringLiteral("--"));
    arguments.prepend(QStringLiteral("--bounding-set=-dac_override,-dac_read_search"));
    arguments.prepend(QStringLiteral("--inh-caps=-dac_override,-dac_read_search"));
    program = QStringLiteral("setpriv");
}

} // namespace tavrel::test
