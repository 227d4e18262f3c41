#pragma once

#include <QString>
#include <functional>

namespace tavrel {

// The lines the interface's platform layer logs (a missing image or string). The window's services hand
// it the program's log; until they do, the lines go to Qt's own warnings.
class InterfaceLog
{
public:
    static void setWriter(std::function<void(const QString&)> writer);
    static void write(const QString& line);
};

} // namespace tavrel
