#include "widgets/CTeskToolTipCtrl.h"

#include <QHelpEvent>
#include <QToolTip>

#include <algorithm>

#include "widgets/ArtResources.h"

namespace trivane {
namespace {
constexpr int kIconSize = 32;
}

CTeskToolTipCtrl::CTeskToolTipCtrl(QObject* parent, StringLookup lookup)
    : QObject(parent), m_lookup(std::move(lookup)) {}

CTeskToolTipCtrl::~CTeskToolTipCtrl() { RemoveAllTools(); }

void CTeskToolTipCtrl::AddTool(QWidget* tool, int controlId, const QString& text) {
    if (tool == nullptr) return;
    RemoveTool(tool);
    m_tools.push_back({tool, controlId, text});
    tool->installEventFilter(this);
}

void CTeskToolTipCtrl::RemoveTool(QWidget* tool) {
    const auto it = std::find_if(m_tools.begin(), m_tools.end(),
                                 [tool](const Tool& t) { return t.window == tool; });
    if (it == m_tools.end()) return;
    if (it->window) it->window->removeEventFilter(this);
    m_tools.erase(it);
}

void CTeskToolTipCtrl::RemoveAllTools() {
    for (Tool& t : m_tools)
        if (t.window) t.window->removeEventFilter(this);
    m_tools.clear();
}

void CTeskToolTipCtrl::SetIconList(std::vector<ToolTipIcon> icons) { m_icons = std::move(icons); }

std::size_t CTeskToolTipCtrl::ToolCount() const {
    return static_cast<std::size_t>(std::count_if(m_tools.begin(), m_tools.end(),
                                                  [](const Tool& t) { return !t.window.isNull(); }));
}

bool CTeskToolTipCtrl::HasTool(const QWidget* tool) const {
    return tool != nullptr && std::any_of(m_tools.begin(), m_tools.end(),
                                          [tool](const Tool& t) { return t.window == tool; });
}

const ToolTipIcon* CTeskToolTipCtrl::IconFor(int controlId) const {
    const auto it = std::find_if(m_icons.begin(), m_icons.end(),
                                 [controlId](const ToolTipIcon& i) { return i.controlId == controlId; });
    return it == m_icons.end() ? nullptr : &*it;
}

bool CTeskToolTipCtrl::PrepareContent(const QWidget* tool, Content& content) {
    const auto it = std::find_if(m_tools.begin(), m_tools.end(),
                                 [tool](const Tool& t) { return t.window == tool; });
    if (tool == nullptr || it == m_tools.end()) return false;
    m_currentControl = it->controlId;
    content = Content{it->text, QString(), QImage(), 0};
    if (const ToolTipIcon* icon = IconFor(it->controlId)) {
        if (icon->descriptionStringId != 0 && m_lookup)
            content.description = QString::fromStdString(m_lookup(icon->descriptionStringId));
        if (icon->bitmapId != 0) {
            content.icon = LoadBitmapResource(icon->bitmapId);
            if (!content.icon.isNull()) content.iconId = icon->bitmapId;
        }
    }
    return true;
}

QString CTeskToolTipCtrl::ToHtml(const Content& content) {
    QString text = QStringLiteral("<b>") + content.label.toHtmlEscaped() + QStringLiteral("</b>");
    if (!content.description.isEmpty())
        text += QStringLiteral("<br>") + content.description.toHtmlEscaped();
    if (content.icon.isNull()) return text;
    return QStringLiteral("<table cellspacing=\"0\" cellpadding=\"2\"><tr><td><img src=\"%1\" "
                          "width=\"%2\" height=\"%2\"></td><td valign=\"middle\">%3</td></tr></table>")
        .arg(BitmapResourcePath(content.iconId))
        .arg(kIconSize)
        .arg(text);
}

bool CTeskToolTipCtrl::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::ToolTip) {
        auto* widget = qobject_cast<QWidget*>(watched);
        Content content;
        if (widget != nullptr && PrepareContent(widget, content)) {
            const auto* help = static_cast<QHelpEvent*>(event);
            QToolTip::showText(help->globalPos(), ToHtml(content), widget);
            return true;
        }
    }
    return QObject::eventFilter(watched, event);
}

}  // namespace trivane
