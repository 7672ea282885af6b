#pragma once

#include <QDialog>

namespace trivane {

// The About box: the program's icon, name and version, and an OK button.
class CAboutDlg final : public QDialog {
    Q_OBJECT

public:
    CAboutDlg(const QString& caption, const QIcon& icon, QWidget* parent);
};

}  // namespace trivane
