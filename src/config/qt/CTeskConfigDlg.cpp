#include "config/qt/CTeskConfigDlg.h"

#include <QComboBox>
#include <QGroupBox>
#include <QMessageBox>
#include <QPushButton>
#include <QRect>
#include <QString>

#include <algorithm>
#include <cmath>
#include <cstdint>

#include "app/CSettingsFile.h"
#include "app/UIStrings.h"
#include "config/LanguageTable.h"
#include "playback/WindowMessages.h"
#include "widgets/WindowMessage.h"

namespace trivane {
namespace {

// Control ids, also the widgets' object names.
constexpr int IDD_CONFIG = 147;
constexpr int IDOK_BUTTON = 1;
constexpr int IDCANCEL_BUTTON = 2;
constexpr int IDC_MAP_LIST = 1038;
constexpr int IDC_MAP_APPLY = 1039;
constexpr int IDC_MAP_GROUP = 1040;
constexpr int IDC_LANGUAGE_GROUP = 1041;
constexpr int IDC_LANGUAGE_LIST = 1042;
constexpr int IDC_LANGUAGE_APPLY = 1043;

// Text ids.
constexpr int IDS_GOOGLE_MAPS = 105;
constexpr int IDS_CHINA_MAP = 106;
constexpr int IDS_OK = 107;
constexpr int IDS_CANCEL = 108;
constexpr int IDS_APPLY = 109;
constexpr int IDS_CAPTION = 110;
constexpr int IDS_LANGUAGE_GROUP = 114;
constexpr int IDS_MAP_GROUP = 115;
constexpr int IDS_WARNING = 131;
constexpr int IDS_NOT_SAVED = 159;  // "%1": the settings file

// Template rectangle in dialog units to pixels: 1.5 per horizontal and 1.625 per vertical unit.
// Edges are rounded rather than sizes, so controls that meet in the template still meet.
QRect FromDialogUnits(int x, int y, int width, int height)
{
    const auto h = [](int units) { return static_cast<int>(std::lround(units * 1.5)); };
    const auto v = [](int units) { return static_cast<int>(std::lround(units * 1.625)); };
    return QRect(QPoint(h(x), v(y)), QPoint(h(x + width) - 1, v(y + height) - 1));
}

// A combo box's list field is only as tall as one line; the template's height includes the
// dropped-down list.
QRect ComboRect(const QComboBox& box, int x, int y, int width)
{
    QRect r = FromDialogUnits(x, y, width, 0);
    r.setHeight(box.sizeHint().height());
    return r;
}

// The chosen item, or -1 when there is none.
int SelectionOf(const QComboBox& box) { return box.currentIndex(); }

// A button keeps its template size unless its text needs more; it then grows about the template
// centre, no wider than `limit`.
void PlaceCentred(QPushButton& button, const QRect& slot, int limit)
{
    const int width = std::min(std::max(slot.width(), button.sizeHint().width()), limit);
    button.setGeometry(slot.center().x() - (width - 1) / 2, slot.y(), width, slot.height());
}

QComboBox* MakeList(QWidget* parent, int id)
{
    auto* box = new QComboBox(parent);
    box->setObjectName(QString::number(id));
    // A pick list: typed text would be no choice and leave OK unable to close.
    box->setEditable(false);
    return box;
}

QPushButton* MakeButton(QWidget* parent, int id)
{
    auto* button = new QPushButton(parent);
    button->setObjectName(QString::number(id));
    return button;
}

QGroupBox* MakeGroup(QWidget* parent, int id)
{
    auto* group = new QGroupBox(parent);
    group->setObjectName(QString::number(id));
    return group;
}

}  // namespace

CTeskConfigDlg::CTeskConfigDlg(CSettingsFile& settings, QWidget* parent)
    : QDialog(parent),
      m_settings(settings),
      // Each group box is created before the controls it frames, which so lie above it.
      m_ok(MakeButton(this, IDOK_BUTTON)),
      m_cancel(MakeButton(this, IDCANCEL_BUTTON)),
      m_mapGroup(MakeGroup(this, IDC_MAP_GROUP)),
      m_mapList(MakeList(this, IDC_MAP_LIST)),
      m_mapApply(MakeButton(this, IDC_MAP_APPLY)),
      m_languageGroup(MakeGroup(this, IDC_LANGUAGE_GROUP)),
      m_languageList(MakeList(this, IDC_LANGUAGE_LIST)),
      m_languageApply(MakeButton(this, IDC_LANGUAGE_APPLY))
{
    setObjectName(QString::number(IDD_CONFIG));
    setModal(true);
    setFixedSize(FromDialogUnits(0, 0, 357, 116).size());

    m_ok->setDefault(true);
    m_mapGroup->setGeometry(FromDialogUnits(6, 3, 101, 83));
    m_mapList->setGeometry(ComboRect(*m_mapList, 22, 23, 74));
    m_languageGroup->setGeometry(FromDialogUnits(117, 3, 101, 83));
    m_languageList->setGeometry(ComboRect(*m_languageList, 135, 23, 66));

    for (const LanguageEntry& language : kLanguages)
        m_languageList->addItem(QString::fromUtf8(language.displayName.data(),
                                                  static_cast<qsizetype>(language.displayName.size())));
    // The map items keep the language they were added in.
    m_mapList->clear();
    m_mapList->addItem(QString::fromStdString(GetUIString(m_settings, IDS_GOOGLE_MAPS)));
    m_mapList->addItem(QString::fromStdString(GetUIString(m_settings, IDS_CHINA_MAP)));
    m_languageList->setCurrentIndex(static_cast<int>(m_settings.LanguageIndex()));
    SetTexts();

    m_appliedMap = m_settings.ReadMapProvider();
    m_mapList->setCurrentIndex(m_appliedMap < m_mapList->count() ? m_appliedMap : 0);

    connect(m_mapApply, &QPushButton::clicked, this, &CTeskConfigDlg::OnApplyMap);
    connect(m_languageApply, &QPushButton::clicked, this, &CTeskConfigDlg::OnApplyLanguage);
    connect(m_ok, &QPushButton::clicked, this, &CTeskConfigDlg::OnOK);
    connect(m_cancel, &QPushButton::clicked, this, &QDialog::reject);
}

// Fetched at each call, so they follow the language chosen at that moment.
void CTeskConfigDlg::SetTexts()
{
    const auto text = [this](int id) { return QString::fromStdString(GetUIString(m_settings, id)); };
    setWindowTitle(text(IDS_CAPTION));
    m_ok->setText(text(IDS_OK));
    m_cancel->setText(text(IDS_CANCEL));
    m_mapApply->setText(text(IDS_APPLY));
    m_languageApply->setText(text(IDS_APPLY));
    m_mapGroup->setTitle(text(IDS_MAP_GROUP));
    m_languageGroup->setTitle(text(IDS_LANGUAGE_GROUP));
    PlaceButtons();
}

// Template places, widened where a language's texts need it: OK and Cancel stay right-aligned
// with the template's gap between them.
void CTeskConfigDlg::PlaceButtons()
{
    const QRect okSlot = FromDialogUnits(245, 95, 50, 14);
    const QRect cancelSlot = FromDialogUnits(300, 95, 50, 14);
    const int gap = cancelSlot.left() - okSlot.right() - 1;
    const int cancelWidth = std::max(cancelSlot.width(), m_cancel->sizeHint().width());
    m_cancel->setGeometry(cancelSlot.right() + 1 - cancelWidth, cancelSlot.y(), cancelWidth, cancelSlot.height());
    const int okWidth = std::max(okSlot.width(), m_ok->sizeHint().width());
    m_ok->setGeometry(m_cancel->x() - gap - okWidth, okSlot.y(), okWidth, okSlot.height());

    PlaceCentred(*m_mapApply, FromDialogUnits(29, 55, 50, 14), m_mapGroup->width() - 8);
    PlaceCentred(*m_languageApply, FromDialogUnits(143, 55, 50, 14), m_languageGroup->width() - 8);
}

// No selection counts as the Google page. Only a value that reached the file is applied and
// announced; the settings object keeps whatever the file now holds.
bool CTeskConfigDlg::ApplyMap()
{
    const int value = SelectionOf(*m_mapList) == 1 ? 1 : 0;
    const bool written = m_settings.WriteMapProvider(value);
    if (written)
        m_settings.ReadMapProvider();
    m_appliedMap = value;
    PostWindowMessage(parent(), WM_MAP_PROVIDER_CHANGED, static_cast<std::uintptr_t>(value));
    return written;
}

bool CTeskConfigDlg::ApplyLanguage(int index)
{
    // The settings object selects the language before it writes it: a failed write still leaves
    // it chosen until the player closes.
    const bool written = m_settings.SetLanguage(static_cast<unsigned>(index));
    SetTexts();
    PostWindowMessage(parent(), WM_LANGUAGE_CHANGED, static_cast<std::uintptr_t>(index));
    return written;
}

void CTeskConfigDlg::ReportSaveFailure()
{
    const QString text =
        QString::fromStdString(GetUIString(m_settings, IDS_NOT_SAVED)).arg(QString::fromStdString(m_settings.Path()));
    if (m_reportSaveFailure) {
        m_reportSaveFailure(text);
        return;
    }
    QMessageBox box(QMessageBox::Warning, QString::fromStdString(GetUIString(m_settings, IDS_WARNING)), text,
                    QMessageBox::Ok, this);
    box.exec();
}

void CTeskConfigDlg::OnApplyMap()
{
    if (!ApplyMap())
        ReportSaveFailure();
}

void CTeskConfigDlg::OnApplyLanguage()
{
    const int index = SelectionOf(*m_languageList);
    if (index >= 0 && !ApplyLanguage(index))
        ReportSaveFailure();
}

// Without a language chosen the dialog stays open.
void CTeskConfigDlg::OnOK()
{
    const bool mapSaved = ApplyMap();
    const int index = SelectionOf(*m_languageList);
    if (index < 0) {
        if (!mapSaved)
            ReportSaveFailure();
        return;
    }
    const bool languageSaved = ApplyLanguage(index);
    if (!mapSaved || !languageSaved)
        ReportSaveFailure();
    accept();
}

}  // namespace trivane
