#pragma once

#include <QDialog>

#include <functional>

class QComboBox;
class QGroupBox;
class QPushButton;

namespace trivane {

class CSettingsFile;

// Modal dialog choosing the map page (0 Google Maps, 1 China map) and the user-interface
// language, each with its own Apply button. Applied choices are written to the settings file and
// posted to the parent (WM_MAP_PROVIDER_CHANGED, WM_LANGUAGE_CHANGED). A choice whose write fails
// (a read-only settings file) still applies until the player closes and is posted; the user is
// told it could not be saved. OK applies both and closes; Cancel closes and keeps what was applied
// before.
class CTeskConfigDlg : public QDialog {
    Q_OBJECT

public:
    CTeskConfigDlg(CSettingsFile& settings, QWidget* parent = nullptr);

    // Shows the message that a choice could not be saved; a message box unless replaced (tests).
    void SetSaveFailureReporter(std::function<void(const QString& text)> report) { m_reportSaveFailure = std::move(report); }

    // The map value last written to the settings file by this dialog; until then the value read
    // when it opened. The main window takes it after an OK result.
    int AppliedMap() const { return m_appliedMap; }

private:
    void SetTexts();
    void PlaceButtons();
    bool ApplyMap();
    bool ApplyLanguage(int index);
    void OnApplyMap();
    void OnApplyLanguage();
    void OnOK();
    void ReportSaveFailure();

    CSettingsFile& m_settings;
    int m_appliedMap = 0;
    std::function<void(const QString& text)> m_reportSaveFailure;
    // In the template's order, which is also the tab order.
    QPushButton* m_ok;
    QPushButton* m_cancel;
    QGroupBox* m_mapGroup;
    QComboBox* m_mapList;
    QPushButton* m_mapApply;
    QGroupBox* m_languageGroup;
    QComboBox* m_languageList;
    QPushButton* m_languageApply;
};

}  // namespace trivane
