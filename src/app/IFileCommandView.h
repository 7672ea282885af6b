#pragma once

#include <string>

namespace trivane {

// What the unlock, delete and copy commands need of the main window: its texts and message
// boxes, the folder dialog, and events handled while a copy runs.
class IFileCommandView {
public:
    virtual std::string UIText(int id) = 0;
    virtual void ShowMessage(int textId, int captionId) = 0;
    // A message box with a warning icon; `text` is shown as it is.
    virtual void ShowWarningText(const std::string& text, int captionId) = 0;
    // OK / Cancel; true for OK.
    virtual bool AskOkCancel(const std::string& text, int captionId) = 0;
    // The folder dialog titled with text `titleId` and no initial folder: CFolderDialog's kOk
    // (with `path` set), kCancelled or kNoPath.
    virtual int ChooseFolder(int titleId, std::string& path) = 0;
    // Handles queued events except user input, so the window keeps painting.
    virtual void ProcessEventsExceptInput() = 0;

protected:
    ~IFileCommandView() = default;
};

}  // namespace trivane
