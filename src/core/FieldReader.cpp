#include "core/FieldReader.h"

namespace tavrel {

namespace {
bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}
} // namespace

bool FieldReader::atEnd() const {
    return m_pos >= m_text.size() && !(m_rules.commaAtEndOpensField && m_afterComma);
}

bool FieldReader::onlyBlankLinesLeft() const {
    return m_text.find_first_not_of(" \t\r\n", m_pos) == std::string_view::npos;
}

bool FieldReader::next(std::string& out) {
    if (atEnd()) return false;
    const size_t n = m_text.size();
    const bool afterComma = m_afterComma;
    m_afterComma = false;
    while (m_pos < n && isBlank(m_text[m_pos]))
        ++m_pos;
    m_fieldLine = m_line;
    if (m_pos >= n) {
        if (!(m_rules.commaAtEndOpensField && afterComma) && !m_rules.blankTailIsField) return false;
        out.clear();
        return true;
    }
    if (m_text[m_pos] == '"') {
        const size_t close = m_text.find('"', m_pos + 1);
        if (close == std::string_view::npos && !m_rules.unclosedQuoteField) {
            m_pos = n;
            return false;
        }
        const size_t end = close == std::string_view::npos ? n : close;
        out.assign(m_text.substr(m_pos + 1, end - m_pos - 1));
        countLineEnds(m_pos + 1, end);
        m_pos = end == n ? n : end + 1;
        skipToFieldEnd();
    } else {
        const size_t start = m_pos;
        skipToFieldEnd();
        out.assign(m_text.substr(start, m_pos - start));
        if (m_rules.trimUnquoted)
            while (!out.empty() && (out.back() == ' ' || out.back() == '\t'))
                out.pop_back();
    }
    // The comma or line end that closed the field.
    if (m_pos < n) {
        if (m_text[m_pos] == ',') {
            m_afterComma = true;
            ++m_pos;
        } else {
            m_pos += (m_text[m_pos] == '\r' && m_pos + 1 < n && m_text[m_pos + 1] == '\n') ? 2 : 1;
            ++m_line;
        }
    }
    return true;
}

void FieldReader::skipToFieldEnd() {
    while (m_pos < m_text.size() && m_text[m_pos] != ',' && !isLineEnd(m_text[m_pos]))
        ++m_pos;
}

// Line ends inside a quoted field, CR LF counted once.
void FieldReader::countLineEnds(size_t from, size_t to) {
    for (size_t i = from; i < to; ++i)
        if (m_text[i] == '\n' || (m_text[i] == '\r' && (i + 1 >= to || m_text[i + 1] != '\n'))) ++m_line;
}

} // namespace tavrel
