#include "map/MapPageChoice.h"

#include <cctype>

namespace trivane {

bool IsPlainKey(const std::string& key)
{
    if (key.empty() || key.size() > 128) return false;
    for (char c : key)
        if (std::isalnum(static_cast<unsigned char>(c)) == 0 && c != '-' && c != '_') return false;
    return true;
}

MapPageChoice ChooseMapPage(int provider, const MapKeys& keys)
{
    if (provider == 1 && IsPlainKey(keys.baidu)) return {"BMap.html", "ak", keys.baidu};
    if (provider != 1 && IsPlainKey(keys.google)) return {"gmap.html", "key", keys.google};
    return {"osmmap.html", "", ""};
}

}  // namespace trivane
