#include "ValueCheck.h"

#include "Core.h"

#include <QString>

std::optional<std::uint8_t> byteFromText(const QString& text) {
    return Core::byteFromText(text.toStdString());
}
