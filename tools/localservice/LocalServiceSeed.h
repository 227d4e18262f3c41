#pragma once

#include "LocalService.h"
#include "LocalServiceState.h"

#include <QByteArray>
#include <QString>

namespace tavrel::localservice {

// Seeds of the local service: the JSON format (README.md), and the generated demo account.
class LocalServiceSeed
{
public:
    static bool load(LocalServiceState& state, const QByteArray& json, QString* error);
    static void generate(LocalServiceState& state, const GenerateOptions& options);
    static QByteArray exportJson(const LocalServiceState& state);
};

} // namespace tavrel::localservice
