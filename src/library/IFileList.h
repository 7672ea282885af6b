#pragma once

#include <cstdint>
#include <string>

namespace trivane {

// What the catalogue needs of the file list.
class IFileList {
public:
    virtual ~IFileList() = default;
    virtual void DeleteAllRows() = 0;
    virtual bool AddFileRow(const std::string& fileName, std::uint8_t lockFlags) = 0;
    virtual void SetCurrentHighlight(int row, bool on) = 0;
    virtual void EnsureRowVisible(int row) = 0;
    virtual void SetCurrentItem(int row) = 0;
    virtual int CurrentItem() const = 0;  // -1 until the first selection
};

}  // namespace trivane
