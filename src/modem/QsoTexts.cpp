#include "modem/QsoTexts.h"

namespace tavrel {

namespace {
const std::string CRLF = kCrLf;
}

std::string cqText(const QsoValues& v, const std::string& stored) {
    if (!stored.empty()) return stored;
    const std::string& M = v.M;
    const std::string& S = v.S;
    const std::string line = "CQ CQ CQ CQ de  " + M + S + M + S + M + CRLF;
    return CRLF + CRLF + line + line + "pse k " + CRLF + CRLF;
}

std::string answerText(const QsoValues& v) {
    const std::string& S = v.S;
    return CRLF + v.H + S + v.H + S + "de" + S + v.M + S + v.M + S + v.M + S + CRLF + "kkk" + CRLF;
}

std::string toverText(const QsoValues& v) {
    const std::string& S = v.S;
    return CRLF + v.H + S + "de" + S + v.M + S + v.M + CRLF;
}

std::string reportText(const QsoValues& v) {
    const std::string& S = v.S;
    return "Your report is" + std::string("    ") + v.R + S + v.R + S + v.R + CRLF;
}

std::string qthText(const QsoValues& v, const std::string& stored) {
    if (!stored.empty()) return stored;
    const std::string& S = v.S;
    return "Name is " + v.N + S + v.N + S + v.N + CRLF + "QTH is  " + v.Q + S + v.Q + S + v.Q + S + CRLF +
           v.A + CRLF + "Locator  " + v.L + S + v.L + S + v.L + CRLF;
}

std::string stationText(const QsoValues& v, const std::string& stored) {
    if (!stored.empty()) return stored;
    return "Equipment here :-" + CRLF + "Computer    " + v.C + CRLF +
           "Software     Tavrel. 6.1 by  Brannock  (Velmar)" + CRLF + "Rig              " + v.G +
           " running about " + v.P + " W" + " into a " + v.T + CRLF;
}

std::string storedLine(const std::string& stored) {
    return stored + CRLF;
}

std::string signOffText(const QsoValues& v, const std::string& stored) {
    if (!stored.empty()) return stored + CRLF + v.D;
    return "Thank you very much for the QSO and hope to see you again soon" + CRLF + "73 and good DX  de" +
           v.S + v.M + CRLF + v.D;
}

std::string signOffTail(const QsoValues& v) {
    return v.S + v.U + " Z" + CRLF + "73   ====" + CRLF + CRLF;
}

std::string btuLine(const std::string& m, const std::string& h, const std::string& s) {
    return "BTU" + s + h + s + "de" + s + m + s + m + s + "kkk" + CRLF;
}

std::string userMacroText(const std::string& stored) {
    return CRLF + stored + CRLF;
}

} // namespace tavrel
