#pragma once

#include <string>

namespace trivane {

// The providers' keys from the settings file; empty when not configured.
struct MapKeys {
    std::string google;
    std::string baidu;
};

// The page shown for a provider: its file beside the program and the key put into its query.
struct MapPageChoice {
    std::string fileName;  // "gmap.html", "BMap.html" or the key-less "osmmap.html"
    std::string queryKey;  // "key", "ak", or empty for the key-less page
    std::string keyValue;
};

// Provider 1 is the China map, any other value the Google map. Without a usable key for the chosen
// provider the key-less OpenStreetMap page is shown instead.
MapPageChoice ChooseMapPage(int provider, const MapKeys& keys);

// A key goes into a URL only when it is 1 to 128 letters, digits, '-' or '_'.
bool IsPlainKey(const std::string& key);

}  // namespace trivane
