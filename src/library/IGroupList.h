#pragma once

#include <cstdint>
#include <string>

namespace trivane {

// What the catalogue needs of the group list.
class IGroupList {
public:
    virtual ~IGroupList() = default;
    virtual void DeleteAllRows() = 0;
    virtual bool AddGroupRow(std::int32_t number, const std::string& resolution, std::uint64_t totalDurationMs,
                             std::uint64_t totalSize, std::uint8_t lockFlags, std::int64_t startTime) = 0;
    virtual void SetCurrentHighlight(int row, bool on) = 0;
    virtual void EnsureRowVisible(int row) = 0;
    virtual bool IsRowChecked(int row) const = 0;
};

}  // namespace trivane
