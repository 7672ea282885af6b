#pragma once

#include <QImage>
#include <QObject>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace trivane {

// Extra content for the tooltip of one control: a description line (string id, 0 for none) and
// an icon drawn beside the text (bitmap id, 0 for none).
struct ToolTipIcon {
    int controlId = 0;
    int descriptionStringId = 0;
    std::uint16_t bitmapId = 0;
};

// Controls that carry a tooltip and the string id of its text.
struct ToolTipText {
    int controlId;
    int stringId;
};
inline constexpr ToolTipText kToolTipTexts[] = {
    {1014, 183}, {1013, 182}, {1022, 190}, {1025, 193}, {1023, 191}, {1026, 194},
    {1021, 189}, {1024, 192}, {1001, 179}, {1005, 181}, {1006, 180}, {1056, 199},
};
// Controls whose tooltip shows the check-mark bitmap beside the text.
inline constexpr int kToolTipIconControls[] = {57670, 1014, 1013, 1022, 1025, 1023, 1026,
                                               1021,  1024, 1001, 1005, 1006, 1056};
inline constexpr std::uint16_t kToolTipIconBitmap = 161;

// The main window's tooltips. Each tool is a widget with a control id and a text; the owner
// removes them all and adds them again when the language changes.
class CTeskToolTipCtrl : public QObject {
    Q_OBJECT

public:
    using StringLookup = std::function<std::string(int)>;

    struct Content {
        QString label;
        QString description;
        QImage icon;  // null when none
        std::uint16_t iconId = 0;
    };

    // `lookup` fetches description texts by string id (the owner passes its text lookup); without
    // one, tooltips show their labels only.
    explicit CTeskToolTipCtrl(QObject* parent = nullptr, StringLookup lookup = {});
    ~CTeskToolTipCtrl() override;

    void AddTool(QWidget* tool, int controlId, const QString& text);
    void RemoveTool(QWidget* tool);
    void RemoveAllTools();
    void SetIconList(std::vector<ToolTipIcon> icons);

    std::size_t ToolCount() const;
    bool HasTool(const QWidget* tool) const;
    int CurrentControl() const { return m_currentControl; }

    // What the tooltip of `tool` shows; false when `tool` has none. Sets the current control.
    bool PrepareContent(const QWidget* tool, Content& content);
    static QString ToHtml(const Content& content);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    struct Tool {
        QPointer<QWidget> window;
        int controlId;
        QString text;
    };
    const ToolTipIcon* IconFor(int controlId) const;

    StringLookup m_lookup;
    std::vector<Tool> m_tools;
    std::vector<ToolTipIcon> m_icons;
    int m_currentControl = 0;
};

}  // namespace trivane
