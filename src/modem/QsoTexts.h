#pragma once
// The texts the QSO buttons send on the air, built exactly, byte for byte. Every value is
// Windows-1252 text; an empty value contributes nothing.

#include <string>

namespace tavrel {

inline constexpr const char* kCrLf = "\r\n";

// What the transmit window says while the sign-off is held, and once its tail is queued; each
// follows a line break.
inline constexpr const char* kSignOffHeldNotice = "QSO sign-off is being held for queueing......";
inline constexpr const char* kSignOffQueuedNotice = "QSO sign-off has been queued for transmission";

// The station's own details and the contact's, as the texts use them.
struct QsoValues {
    std::string M;          // own call (item 0)
    std::string H;          // his call, upper case
    std::string R;          // report given to him
    std::string N, Q, A, L; // own name, town, area, locator (items 2-5)
    std::string C, G, P, T; // own computer, rig, power, antenna (items 6, 8, 9, 10)
    std::string S = "   ";  // the separator, three blanks
    std::string U;          // UTC time hh:mm:ss
    std::string D;          // local date mm-dd-yyyy
};

// A stored text (settings item) replaces the built-in one when it is not empty.
std::string cqText(const QsoValues& v, const std::string& stored);
std::string answerText(const QsoValues& v);
std::string toverText(const QsoValues& v);
std::string reportText(const QsoValues& v);
std::string qthText(const QsoValues& v, const std::string& stored);
std::string stationText(const QsoValues& v, const std::string& stored);
// QSL information and weather have no built-in text; the stored one always gets CR LF.
std::string storedLine(const std::string& stored);
// The held sign-off, ending with the local date and no line end.
std::string signOffText(const QsoValues& v, const std::string& stored);
// The tail queued when the held sign-off is released: the UTC time and "73   ====".
std::string signOffTail(const QsoValues& v);
// "BTU" S H S "de" S M S M S "kkk" CRLF: the closing line of the BTU button.
std::string btuLine(const std::string& myCall, const std::string& hisCall, const std::string& sep3);
// CR LF + text + CR LF: a user macro.
std::string userMacroText(const std::string& stored);

} // namespace tavrel
