#include "modem/QsoTexts.h"

namespace tavrel {

std::string btuLine(const std::string& m, const std::string& h, const std::string& s) {
    return "BTU" + s + h + s + "de" + s + m + s + m + s + "kkk" + kCrLf;
}

} // namespace tavrel
