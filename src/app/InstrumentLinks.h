#pragma once

#include "library/ICompass.h"
#include "library/ISpeedReadout.h"
#include "library/IStatusBoard.h"
#include "widgets/CPngCompassStatic.h"
#include "widgets/CSpeedLabelStatic.h"
#include "widgets/CStatusBoardStatic.h"

namespace trivane {

// The catalogue's view of the window's instruments, forwarded to the controls.
class SpeedReadoutLink final : public ISpeedReadout {
public:
    explicit SpeedReadoutLink(CSpeedLabelStatic& label) : label_(label) {}
    void SetSpeed(std::uint16_t kmh) override { label_.SetSpeed(kmh); }

private:
    CSpeedLabelStatic& label_;
};

class CompassLink final : public ICompass {
public:
    explicit CompassLink(CPngCompassStatic& compass) : compass_(compass) {}
    void SetImageIndex(int index) override { compass_.SetImageIndex(index < 0 ? 0u : static_cast<unsigned>(index)); }

private:
    CPngCompassStatic& compass_;
};

class StatusBoardLink final : public IStatusBoard {
public:
    explicit StatusBoardLink(CStatusBoardStatic& board) : board_(board) {}
    void ShowBoard(bool visible) override
    {
        board_.setVisible(visible);
        if (visible) board_.raise();
    }
    void SetProgress(int percent, const std::string& caption) override
    {
        board_.SetProgress(percent, QString::fromStdString(caption));
        board_.repaint();
    }

private:
    CStatusBoardStatic& board_;
};

}  // namespace trivane
