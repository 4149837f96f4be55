#pragma once
// The widget edge: Windows-1252 bytes to QString and back.

#include "core/Cp1252.h"

#include <QList>
#include <QString>
#include <string>

namespace tavrel {

inline QString toQString(const std::string& bytes) {
    QString out;
    out.reserve(static_cast<qsizetype>(bytes.size()));
    for (unsigned char b : bytes)
        out.append(QChar(static_cast<char16_t>(cp1252ToUnicode(b))));
    return out;
}

// Characters the set cannot hold become their closest letter, or '?' where there is none.
inline std::string toBytes(const QString& text) {
    std::string out;
    out.reserve(static_cast<size_t>(text.size()));
    for (char32_t c : text.toUcs4())
        out += closestCp1252(c);
    return out;
}

} // namespace tavrel
