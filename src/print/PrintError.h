#pragma once

#include <QString>

#include <stdexcept>

namespace korbana {

// A printing failure meant for the user: its German text ends the command and reaches the error report.
class PrintError final : public std::runtime_error
{
public:
    explicit PrintError(const QString& text)
        : std::runtime_error(text.toStdString())
    {
    }
};

} // namespace korbana
