#pragma once

#include <cstdint>
#include <string>

#include "files/AtomicFile.h"

namespace trivane {

// A KML 2.2 document with one styled line: header, coordinate lines, footer.
class CKmlFile {
public:
    // Prepares `path`; an existing file of that name is replaced when the footer is written.
    bool OpenForWrite(const std::string& path);
    // Name, description and car text go into element content, escaped.
    bool WriteHeader(const std::string& name, const std::string& description, const std::string& carText);
    // One coordinate line: decimal degrees and altitude.
    bool WriteCoordinate(double longitude, double latitude, std::int32_t altitude);
    // Writes the closing lines and puts the document in place; false when any write failed.
    bool WriteFooter();

private:
    AtomicFile file_;
};

}  // namespace trivane
