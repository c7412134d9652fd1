#include "talvik/model/CKeyConfig.h"

namespace talvik::model {

bool sameAssignment(const CKeyConfig& a, const CKeyConfig& b, int key, int level) {
    const KeyMode mode = a.Mode[key][level];
    if (mode != b.Mode[key][level]) {
        return false;
    }
    if (mode == KeyMode::NotSet) {
        return true;
    }
    if (isListMode(mode)) {
        return CActionList::sameContent(a.ComboKey[key][level], b.ComboKey[key][level]);
    }
    return a.HWCode[key][level] == b.HWCode[key][level];
}

} // namespace talvik::model
