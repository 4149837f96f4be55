#pragma once
// The widget edge: Windows-1252 bytes to QString and back.

#include "app/Cp1252.h"

#include <QString>
#include <string>

namespace tavrel {

inline QString toQString(const std::string& bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes) out.append(QChar(static_cast<char16_t>(cp1252ToUnicode(b))));
    return out;
}

// Characters the set cannot hold become '?'.
inline std::string toBytes(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (QChar c : text) {
        const int b = unicodeToCp1252(c.unicode());
        out.push_back(static_cast<char>(b < 0 ? '?' : b));
    }
    return out;
}

} // namespace tavrel
