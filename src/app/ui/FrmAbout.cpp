#include "app/ui/FrmAbout.h"

#include "app/GlobalObject.h"

#include <QApplication>
#include <QHBoxLayout>
#include <QStyle>
#include <QVBoxLayout>

TfrmAbout::TfrmAbout(QWidget* parent)
    : QDialog(parent), imgIcon(new QLabel(this)), lblTitle(new QLabel(this)),
      btn1(new QPushButton(QStringLiteral("&Ok"), this))
{
    setFixedSize(FormWidth, FormHeight);
    setModal(true);

    const QIcon icon = QApplication::windowIcon().isNull() ? style()->standardIcon(QStyle::SP_MediaPlay)
                                                           : QApplication::windowIcon();
    imgIcon->setPixmap(icon.pixmap(48, 48));
    imgIcon->setFixedSize(48, 48);

    auto* top = new QHBoxLayout;
    top->addWidget(imgIcon, 0, Qt::AlignTop);
    top->addSpacing(12);
    top->addWidget(lblTitle, 1, Qt::AlignVCenter);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(btn1);
    btn1->setDefault(true);

    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(20, 20, 20, 16);
    layout->addLayout(top, 1);
    layout->addLayout(buttons);

    connect(btn1, &QPushButton::clicked, this, &TfrmAbout::btn1Click);
}

void TfrmAbout::showEvent(QShowEvent* event)
{
    FormShow();
    QDialog::showEvent(event);
}

void TfrmAbout::FormShow()
{
    if (GlobalObject) {
        setWindowTitle(GlobalObject->Title());
        lblTitle->setText(GlobalObject->Title() + GlobalObject->VersionText());
    }
    // Centred on the main window.
    if (QWidget* owner = parentWidget()) {
        const QPoint centre = owner->mapToGlobal(owner->rect().center());
        move(centre - QPoint(width() / 2, height() / 2));
    }
}

void TfrmAbout::btn1Click()
{
    accept();
}
