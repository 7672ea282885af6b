#include "app/CAboutDlg.h"

#include <QDialogButtonBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QVBoxLayout>

namespace trivane {

CAboutDlg::CAboutDlg(const QString& caption, const QIcon& icon, QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("100"));
    setWindowTitle(caption);
    auto* picture = new QLabel(this);
    picture->setPixmap(icon.pixmap(48, 48));
    auto* text = new QLabel(QStringLiteral("Trivane 1,Version 1.1"), this);
    text->setObjectName(QStringLiteral("version"));
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok, this);
    connect(buttons, &QDialogButtonBox::accepted, this, &QDialog::accept);

    auto* row = new QHBoxLayout;
    row->addWidget(picture);
    row->addWidget(text, 1);
    auto* column = new QVBoxLayout(this);
    column->addLayout(row, 1);
    column->addWidget(buttons);
}

}  // namespace trivane
