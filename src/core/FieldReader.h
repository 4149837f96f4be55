#pragma once
// Splits comma-separated text into fields: the one reader behind the settings file, the log file
// and the prefix table.
//
// Common to all three: a field is quoted or not. A quoted field runs from its opening double quote
// to the next double quote, line ends included; whatever follows the closing quote up to the next
// comma or line end is dropped. An unquoted field runs up to the next comma or line end. A comma
// or a line end (CR, LF or CR LF) closes a field. Blanks before a field are skipped.
//
// Where they differ, FieldRules says how; the three rule sets below are what those files have
// always been read with:
//
//                                  settings   log    prefix table
//   a tab before a field skipped     yes       no        yes
//   trailing blanks of an
//     unquoted field dropped         yes       no        no
//   an unclosed quote                field to  field to  no field (the text ends inside it)
//                                    the end   the end
//   a comma at the very end          nothing   one empty field
//   only blanks left after a
//     line end                       one field no field  one field
//
// Text is bytes (Windows-1252 in every file here); nothing is converted.

#include <string>
#include <string_view>

namespace tavrel {

struct FieldRules {
    bool tabIsBlank;           // a tab before a field is skipped like a blank
    bool trimUnquoted;         // an unquoted field loses its trailing blanks and tabs
    bool unclosedQuoteField;   // an unclosed quote gives the rest of the text as a field
    bool commaAtEndOpensField; // a comma as the last byte is followed by one empty field
    bool blankTailIsField;     // nothing but blanks after the last line end is one empty field
};

inline constexpr FieldRules kSettingsFieldRules{true, true, true, false, true};
inline constexpr FieldRules kLogFieldRules{false, false, true, true, false};
inline constexpr FieldRules kPrefixFieldRules{true, false, false, true, true};

class FieldReader {
public:
    FieldReader(std::string_view text, FieldRules rules) : m_text(text), m_rules(rules) {}

    // No further field: the text is used up (a closing comma at the very end still opens one
    // under commaAtEndOpensField).
    bool atEnd() const;
    // Nothing but blanks, tabs and line ends is left.
    bool onlyBlankLinesLeft() const;

    // Reads the next field into `out`; false, leaving `out` alone, when there is none.
    bool next(std::string& out);

    int fieldLine() const { return m_fieldLine; }      // 1-based line the field last read began on
    size_t position() const { return m_pos; }          // where reading the next field starts
    bool endedByComma() const { return m_afterComma; } // a comma, not a line end, closed it

private:
    bool isBlank(char c) const { return c == ' ' || (m_rules.tabIsBlank && c == '\t'); }
    void countLineEnds(size_t from, size_t to);
    void skipToFieldEnd();

    std::string_view m_text;
    FieldRules m_rules;
    size_t m_pos = 0;
    int m_line = 1;
    int m_fieldLine = 1;
    bool m_afterComma = false;
};

} // namespace tavrel
